// The first-run offer to back up the game's own voice files, one folder per
// character, before any install can replace them.
#include <cstdint>
#include <cstring>

#include "app/tray_application.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/window.h"
#include "res/resource.h"
#include "shellops/append_path.h"
#include "shellops/file_request.h"
#include "shellops/file_search.h"
#include "shellops/path_list.h"
#include "voice/character_table.h"
#include "voice/voice_copy.h"
#include "voice/voice_names.h"

void TrayApplication::OfferVoiceBackup() {
    // The INI file is written at the first normal exit: until then this is a first run.
    sys::FindData found;
    sys::SearchHandle search = sys::FindFirstFileA(settings.GetIniPath(), &found);
    if (search != sys::kInvalidSearch) {
        sys::FindClose(search);
        return;
    }

    // Started with Windows, the question would open behind other windows, with no
    // taskbar button and no tray icon yet: as if the program had not started.
    int answer = sys::MessageBoxA(window, settings.LoadText(IDS_FIRST_RUN_QUESTION), caption,
                                  sys::kMbYesNo | sys::kMbIconInformation | sys::kMbSetForeground | sys::kMbTopmost);
    if (answer != sys::kIdYes) return;

    // A voice folder that cannot be built is as good as no install folder: a
    // backup under a cut or root-relative path would be no backup at all.
    char voiceFolder[sys::kMaxPath];
    if (!BuildVoiceFolder(settings, voiceFolder)) {
        sys::MessageBoxA(window, settings.LoadText(IDS_NO_INSTALL_PATH), caption, sys::kMbIconInformation);
        return;
    }

    bool saved = true;
    for (uint32_t character = 0; character < CharacterTable::kCount; ++character) {
        if (!BackupCharacterVoices(voiceFolder, voiceFolder, character)) saved = false;
    }
    // The player said yes and will install voices believing the originals saved
    // (a game under Program Files, say, refuses the copies): say so once.
    if (!saved && window != nullptr) {
        sys::MessageBoxA(window, settings.LoadText(IDS_BACKUP_FAILED), caption, sys::kMbOk | sys::kMbIconInformation);
    }
}

bool TrayApplication::BackupCharacterVoices(const char* sourceFolder, const char* backupBase, uint32_t character) {
    if (sourceFolder[0] == '\0' || CharacterTable::BackupCode(character) == nullptr) return false;
    char charaFormat[kVoiceFormatSize];
    if (!ChooseVoiceFormat(settings, settings.FilenameCharaFormat, IDS_VOICE_CHARA_FORMAT, 1, charaFormat)) {
        return false;
    }
    char pattern[sys::kMaxPath];
    std::memset(pattern, 0, sizeof pattern);
    sys::FormatInt(pattern, sizeof pattern, charaFormat, character);
    if (!IsPlainFileName(pattern)) return false;

    // A folder that does not fit copies nothing; what it should hold is then missing below.
    char target[sys::kMaxPath];
    BuildBackupFolder(settings, backupBase, character, target);

    // Only the files that the backup folder lacks: what it holds was saved before
    // any install could replace it, and must outlive every later backup.
    CopyFolderFiles(window, sourceFolder, pattern, target, true, request_flags::kSilentPairedCopy, nullptr);

    // Whatever the shell reports (success for files it did not copy, among
    // others), each voice file must be in the backup folder now.
    char source[sys::kMaxPath];
    if (!CopyPath(source, sizeof source, sourceFolder) || !AppendPath(source, pattern)) return false;
    bool saved = true;
    ForEachFile(source, [&](const sys::FindData& found) {
        saved = target[0] != '\0' && HoldsFile(target, found.cFileName);
        return saved;
    });
    return saved;
}
