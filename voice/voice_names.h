// The voice folder and the file names and patterns built from the voice formats
// of the settings.
#pragma once

#include <cstddef>
#include <cstdint>

class ProfileSettings;

constexpr std::size_t kVoiceFormatSize = 64;

// Writes InstallFolder joined with FolderName into the 260-byte buffer folder.
// False, with folder empty, when InstallFolder is empty (the join would name a
// root-relative folder of whatever drive is current) or the join does not fit.
bool BuildVoiceFolder(ProfileSettings& settings, char* folder);

// Writes the backup folder of character, voiceFolder joined with
// FolderNameOriginal and the character's backup code, into the 260-byte buffer
// folder. False, with folder empty, when it does not fit.
bool BuildBackupFolder(ProfileSettings& settings, const char* voiceFolder, uint32_t character, char* folder);

// The format to use for a voice name: own, the user's text from the INI file,
// when it takes exactly `integers` integer arguments and names a plain file;
// otherwise string defaultId of the string table. The chosen text is copied into
// out (kVoiceFormatSize bytes), so the shared text buffer may be reused at once.
// False, with out empty, when neither text is usable.
bool ChooseVoiceFormat(ProfileSettings& settings, const char* own, uint32_t defaultId, int integers, char* out);
