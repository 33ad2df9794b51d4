// Going back to the game's own voices: a character's backup folder copied back
// over its voice files.
#include "app/tray_application.h"
#include "platform/window.h"
#include "res/resource.h"
#include "shellops/bounded_text.h"
#include "shellops/file_request.h"
#include "voice/character_table.h"
#include "voice/voice_copy.h"
#include "voice/voice_names.h"

void TrayApplication::ChooseAndRestoreVoices() {
    char voiceFolder[sys::kMaxPath];
    if (!BuildVoiceFolder(settings, voiceFolder)) {
        sys::MessageBoxA(window, settings.LoadText(IDS_NO_INSTALL_PATH_FOR_RESTORE), caption,
                         sys::kMbOk | sys::kMbIconInformation);
        return;
    }
    uint32_t command = ShowPopupAtCursor(characterPopup, window);
    // A close let through by the popup's loop has destroyed the window and menus.
    if (command == 0 || command > CharacterTable::kCount || window == nullptr) return;
    RestoreCharacterVoices(voiceFolder, command - 1);
}

void TrayApplication::RestoreCharacterVoices(const char* voiceFolder, uint32_t character) {
    // Every file the backup holds, copied: the backup itself stays as it is.
    char backup[sys::kMaxPath];
    int result = kNothingToCopy;
    if (BuildBackupFolder(settings, voiceFolder, character, backup)) {
        result = CopyFolderFiles(window, backup, "*", voiceFolder, false, request_flags::kRestoreCopy, caption);
    }
    if (result == kNothingToCopy) {
        char text[512];
        ExpandText(text, sizeof text, settings.LoadText(IDS_NO_VOICE_BACKUP), CharacterTable::Caption(character), 0);
        sys::MessageBoxA(window, text, caption, sys::kMbOk | sys::kMbIconInformation);
        return;
    }
    if (result == 0) WearVoiceSet(character, "");
}
