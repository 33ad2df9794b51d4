// The first-run offer to back up the game's own voice files, one folder per
// character, before any install can replace them.
#include <cstring>

#include "app/tray_application.h"
#include "platform/files.h"
#include "platform/window.h"
#include "res/resource.h"
#include "shellops/append_path.h"
#include "shellops/file_request.h"
#include "voice/character_table.h"
#include "voice/voice_names.h"

namespace {}  // namespace

void TrayApplication::OfferVoiceBackup() {
    // The INI file is written at the first normal exit: until then this is a first run.
    sys::FindData found;
    sys::SearchHandle search = sys::FindFirstFileA(settings.GetIniPath(), &found);
    if (search != sys::kInvalidSearch) {
        sys::FindClose(search);
        return;
    }

    int answer = sys::MessageBoxA(window, settings.LoadText(IDS_FIRST_RUN_QUESTION), caption,
                                  sys::kMbYesNo | sys::kMbIconInformation);
    if (answer != sys::kIdYes) return;

    // A voice folder that cannot be built is as good as no install folder: a
    // backup under a cut or root-relative path would be no backup at all.
    char voiceFolder[sys::kMaxPath];
    if (!BuildVoiceFolder(settings, voiceFolder)) {
        sys::MessageBoxA(window, settings.LoadText(IDS_NO_INSTALL_PATH), caption, sys::kMbIconInformation);
        return;
    }

    for (uint32_t character = 0; character < CharacterTable::kCount; ++character) {
        BackupCharacterVoices(voiceFolder, voiceFolder, character);
    }
}

void TrayApplication::BackupCharacterVoices(const char* sourceFolder, const char* backupBase, uint32_t character) {
    const char* code = CharacterTable::BackupCode(character);
    if (code == nullptr || sourceFolder[0] == '\0' || backupBase[0] == '\0') return;

    char charaFormat[kVoiceFormatSize];
    if (!ChooseVoiceFormat(settings, settings.FilenameCharaFormat, IDS_VOICE_CHARA_FORMAT, 1, charaFormat)) {
        return;
    }
    char pattern[sys::kMaxPath];
    std::memset(pattern, 0, sizeof pattern);
    sys::FormatInt(pattern, sizeof pattern, charaFormat, character);
    if (!IsPlainFileName(pattern)) return;

    // Each path keeps the byte after its NUL zero: the second NUL that ends a
    // one-entry list. A path that does not fit skips this character rather
    // than copying under a cut name.
    char source[sys::kMaxPath + 1];
    if (!CopyPath(source, sizeof source, sourceFolder) || !AppendPath(source, pattern)) return;

    char target[sys::kMaxPath + 1];
    if (!CopyPath(target, sizeof target, backupBase) || !AppendPath(target, settings.FolderNameOriginal) ||
        !AppendPath(target, code)) {
        return;
    }

    RunFileRequest(window, sys::kFoCopy, source, target, request_flags::kSilentCopy, nullptr);
}
