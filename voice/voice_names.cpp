#include "voice/voice_names.h"

#include <cstring>

#include "platform/types.h"
#include "settings/profile_settings.h"
#include "shellops/append_path.h"
#include "shellops/format_check.h"
#include "voice/character_table.h"

bool BuildVoiceFolder(ProfileSettings& settings, char* folder) {
    const char* install = settings.InstallFolder;
    if (std::memchr(install, '\0', sizeof settings.InstallFolder) == nullptr || install[0] == '\0') {
        std::memset(folder, 0, sys::kMaxPath);
        return false;
    }
    if (!CopyPath(folder, sys::kMaxPath, install) || !AppendPath(folder, settings.FolderName)) {
        std::memset(folder, 0, sys::kMaxPath);
        return false;
    }
    return true;
}

bool BuildBackupFolder(ProfileSettings& settings, const char* voiceFolder, uint32_t character, char* folder) {
    const char* code = CharacterTable::BackupCode(character);
    if (code == nullptr || voiceFolder[0] == '\0' || !CopyPath(folder, sys::kMaxPath, voiceFolder) ||
        !AppendPath(folder, settings.FolderNameOriginal) || !AppendPath(folder, code)) {
        std::memset(folder, 0, sys::kMaxPath);
        return false;
    }
    return true;
}

namespace {

bool IsUsableFormat(const char* format, int integers) {
    return IsIntegerFormat(format, integers) && IsPlainFileName(format);
}

void CopyFormat(char* out, const char* format) {
    std::memset(out, 0, kVoiceFormatSize);
    std::strncpy(out, format, kVoiceFormatSize - 1);
}

}  // namespace

bool ChooseVoiceFormat(ProfileSettings& settings, const char* own, uint32_t defaultId, int integers, char* out) {
    // A format that asks for more, fewer or other arguments would make the
    // formatter read past the ones it is given.
    if (IsUsableFormat(own, integers)) {
        CopyFormat(out, own);
        return true;
    }
    const char* fallback = settings.LoadText(defaultId);
    if (std::strlen(fallback) < kVoiceFormatSize && IsUsableFormat(fallback, integers)) {
        CopyFormat(out, fallback);
        return true;
    }
    std::memset(out, 0, kVoiceFormatSize);
    return false;
}
