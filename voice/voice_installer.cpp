// The voice command: copies a folder of collected voice files over the game's
// voice files of one character.
#include <cstring>

#include "app/tray_application.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/window.h"
#include "res/resource.h"
#include "shellops/append_path.h"
#include "shellops/bounded_text.h"
#include "shellops/file_request.h"
#include "shellops/file_search.h"
#include "shellops/path_list.h"
#include "voice/character_table.h"
#include "voice/voice_names.h"

namespace {

constexpr uint32_t kVoiceCount = 21;  // voice numbers 0..20
// One path per voice number, and the byte of the closing NUL, so that a full
// set of the longest paths still fits.
constexpr std::size_t kVoiceListSize = kVoiceCount * sys::kMaxPath + 1;

// The source of one voice number: the first file in sourceFolder whose name the
// pattern for the number matches.
bool FindSourceVoice(const char* sourceFolder, const char* existsFormat, uint32_t voice, char* source) {
    char pattern[sys::kMaxPath];
    std::memset(pattern, 0, sizeof pattern);
    sys::FormatInt(pattern, sizeof pattern, existsFormat, voice);
    if (!IsPlainFileName(pattern)) return false;

    char searchPath[sys::kMaxPath];
    if (!CopyPath(searchPath, sizeof searchPath, sourceFolder) || !AppendPath(searchPath, pattern)) {
        return false;
    }
    // A folder, or a file found by a short name ending in any number, cannot stand in for a voice.
    sys::FindData found;
    if (!FindOneFile(searchPath, &found)) return false;
    return CopyPath(source, sys::kMaxPath, sourceFolder) && AppendPath(source, found.cFileName);
}

// The game's voice file of one character and voice number.
bool BuildTargetVoice(const char* voiceFolder, const char* targetFormat, uint32_t character, uint32_t voice,
                      char* target) {
    char name[sys::kMaxPath];
    std::memset(name, 0, sizeof name);
    sys::FormatInt2(name, sizeof name, targetFormat, character, voice);
    if (!IsPlainFileName(name)) return false;
    return CopyPath(target, sys::kMaxPath, voiceFolder) && AppendPath(target, name);
}

// The originals of the character could not be saved: installing anyway is the
// player's choice, and No is the answer at hand.
bool AgreesToLoseOriginals(TrayApplication& app, uint32_t character) {
    if (app.window == nullptr) return false;
    char text[512];
    ExpandText(text, sizeof text, app.settings.LoadText(IDS_ORIGINALS_NOT_SAVED), CharacterTable::Caption(character),
               0);
    int answer =
        sys::MessageBoxA(app.window, text, app.caption, sys::kMbYesNo | sys::kMbIconInformation | sys::kMbDefButton2);
    return answer == sys::kIdYes;
}

}  // namespace

void TrayApplication::ChooseAndInstallVoices() {
    char chosen[sys::kMaxPath];
    std::memset(chosen, 0, sizeof chosen);

    // Without the game's install folder the voice folder would be "\VOICE" on
    // whatever drive is current: never copy there.
    char voiceFolder[sys::kMaxPath];
    if (!BuildVoiceFolder(settings, voiceFolder)) {
        sys::MessageBoxA(window, settings.LoadText(IDS_NO_INSTALL_PATH_FOR_VOICES), caption, sys::kMbIconInformation);
        return;
    }

    const char* start =
        settings.RensaVoiceLastOpenedFolder[0] != '\0' ? settings.RensaVoiceLastOpenedFolder : voiceFolder;
    BrowseForFolder(chosen, start);
    if (chosen[0] == '\0') return;
    // A close let through by the picker's loop has destroyed the window and menus.
    if (window == nullptr) return;

    uint32_t command = ShowPopupAtCursor(characterPopup, window);
    if (command == 0 || command > CharacterTable::kCount) return;
    if (window == nullptr) return;

    InstallCharacterVoices(chosen, voiceFolder, command - 1);

    CopyPath(settings.RensaVoiceLastOpenedFolder, sizeof settings.RensaVoiceLastOpenedFolder, chosen);
}

void TrayApplication::InstallCharacterVoices(const char* sourceFolder, const char* voiceFolder, uint32_t character) {
    if (sourceFolder[0] == '\0' || voiceFolder[0] == '\0') return;

    char existsFormat[kVoiceFormatSize];
    char targetFormat[kVoiceFormatSize];
    if (!ChooseVoiceFormat(settings, settings.FilenameExistsFormat, IDS_VOICE_EXISTS_FORMAT, 1, existsFormat) ||
        !ChooseVoiceFormat(settings, settings.RensaVoiceFilenameFormat, IDS_VOICE_FILENAME_FORMAT, 2, targetFormat)) {
        return;
    }

    char* sourceBuffer = static_cast<char*>(sys::AllocateZeroed(kVoiceListSize));
    char* targetBuffer = static_cast<char*>(sys::AllocateZeroed(kVoiceListSize));
    if (sourceBuffer == nullptr || targetBuffer == nullptr) {
        sys::Free(sourceBuffer);
        sys::Free(targetBuffer);
        return;
    }
    PathList sources(sourceBuffer, kVoiceListSize);
    PathList targets(targetBuffer, kVoiceListSize);

    for (uint32_t voice = 0; voice < kVoiceCount; ++voice) {
        char source[sys::kMaxPath];
        char target[sys::kMaxPath];
        if (!FindSourceVoice(sourceFolder, existsFormat, voice, source)) continue;
        if (!BuildTargetVoice(voiceFolder, targetFormat, character, voice, target)) continue;
        // Both entries or neither, so that each source stays paired with its target.
        PathList::AppendPair(sources, source, targets, target);
    }

    // A replaced voice file does not go to the recycle bin: the originals are
    // kept first, or the player decides to lose them.
    bool install = KeepOriginals(voiceFolder, character, targets) || AgreesToLoseOriginals(*this, character);
    // A close let through by the loop of the backup's copy or of the question has ended the program.
    if (install && window != nullptr) {
        int result =
            RunFileRequest(window, sys::kFoCopy, sources.Text(), targets.Text(), request_flags::kPairedCopy, caption);
        // Done, it is worn, even when a close came while the shell copied.
        if (result == 0 && sources.count != 0) WearVoiceSet(character, sourceFolder);
    }

    sys::Free(sourceBuffer);
    sys::Free(targetBuffer);
}

bool TrayApplication::KeepOriginals(const char* voiceFolder, uint32_t character, const PathList& targets) {
    char backup[sys::kMaxPath];
    BuildBackupFolder(settings, voiceFolder, character, backup);
    auto allKept = [&] {
        for (const char* target = targets.Text(); *target != '\0'; target += std::strlen(target) + 1) {
            if (IsFile(target) && (backup[0] == '\0' || !HoldsFile(backup, target + FileNameOffset(target)))) {
                return false;
            }
        }
        return true;
    };
    if (allKept()) return true;
    // By the first-run backup's own rule: only what the backup lacks, never over what it holds.
    BackupCharacterVoices(voiceFolder, voiceFolder, character);
    return allKept();
}
