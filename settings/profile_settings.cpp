// The settings store, read from the INI file beside the program's file.
#include "settings/profile_settings.h"

#include <cstdlib>
#include <cstring>

#include "platform/profile.h"
#include "shellops/append_path.h"

namespace {

// Where a key's default comes from when the file lacks the key.
enum class DefaultSource {
    kNone,                 // the empty string
    kRegistryInstallPath,  // GetRegistryInstallPath
    kDefaultDataFolder,    // GetDefaultDataFolder
    kText,                 // a text of the string table
};

// One row of the key table. A string key has text and size; an integer key has number.
struct KeyRow {
    const char* section;
    const char* key;
    char* (*text)(ProfileSettings& settings);
    uint32_t* (*number)(ProfileSettings& settings);
    uint32_t size;
    DefaultSource source;
    uint32_t textId;
};

#define ZOLM_TEXT_FIELD(name) [](ProfileSettings& s) -> char* { return s.name; }, nullptr, sizeof(ProfileSettings::name)
#define ZOLM_NUMBER_FIELD(name) nullptr, [](ProfileSettings& s) -> uint32_t* { return &s.name; }, 0

// The key table, in the order in which Load reads and Save writes.
const KeyRow kKeyTable[] = {
    {"System", "InstallFolder", ZOLM_TEXT_FIELD(InstallFolder), DefaultSource::kRegistryInstallPath, 0},
    {"Replay", "DataFolder", ZOLM_TEXT_FIELD(DataFolder), DefaultSource::kDefaultDataFolder, 0},
    {"Replay", "CopySrc", ZOLM_TEXT_FIELD(ReplayCopySrc), DefaultSource::kText, 4},
    {"Replay", "FilenameFormat", ZOLM_TEXT_FIELD(ReplayFilenameFormat), DefaultSource::kText, 5},
    {"Replay", "FilenameStoredFormat2", ZOLM_TEXT_FIELD(FilenameStoredFormat2), DefaultSource::kText, 20},
    {"Replay", "LastOpenedFolder", ZOLM_TEXT_FIELD(ReplayLastOpenedFolder), DefaultSource::kNone, 0},
    {"RensaVoice", "FolderName", ZOLM_TEXT_FIELD(FolderName), DefaultSource::kText, 14},
    {"RensaVoice", "CopySrc", ZOLM_TEXT_FIELD(RensaVoiceCopySrc), DefaultSource::kText, 13},
    {"RensaVoice", "FilenameFormat", ZOLM_TEXT_FIELD(RensaVoiceFilenameFormat), DefaultSource::kText, 12},
    {"RensaVoice", "FilenameExistsFormat", ZOLM_TEXT_FIELD(FilenameExistsFormat), DefaultSource::kText, 15},
    {"RensaVoice", "FilenameCharaFormat", ZOLM_TEXT_FIELD(FilenameCharaFormat), DefaultSource::kText, 16},
    {"RensaVoice", "FolderNameOriginal", ZOLM_TEXT_FIELD(FolderNameOriginal), DefaultSource::kText, 17},
    {"RensaVoice", "LastOpenedFolder", ZOLM_TEXT_FIELD(RensaVoiceLastOpenedFolder), DefaultSource::kNone, 0},
    {"Replay", "MonitorInterval", ZOLM_NUMBER_FIELD(MonitorInterval), DefaultSource::kText, 7},
    {"Replay", "MaxIndex", ZOLM_NUMBER_FIELD(MaxIndex), DefaultSource::kText, 8},
    {"Replay", "MinIndex", ZOLM_NUMBER_FIELD(MinIndex), DefaultSource::kText, 10},
};

#undef ZOLM_TEXT_FIELD
#undef ZOLM_NUMBER_FIELD

// Copies text into a buffer of size bytes, cut and always NUL-terminated.
void CopyCut(char* out, uint32_t size, const char* text) {
    std::size_t length = std::strlen(text);
    if (length > size - 1) length = size - 1;
    std::memcpy(out, text, length);
    out[length] = '\0';
}

// The 32-bit value as signed decimal text.
void FormatSigned(char* out, uint32_t value) {
    char digits[16];
    int count = 0;
    bool negative = (value & 0x80000000u) != 0;
    uint32_t magnitude = negative ? 0u - value : value;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0);
    if (negative) *out++ = '-';
    while (count > 0) *out++ = digits[--count];
    *out = '\0';
}

}  // namespace

ProfileSettings::ProfileSettings(sys::Instance instance) : Instance(instance) { Load(); }

ProfileSettings::~ProfileSettings() { Save(); }

void ProfileSettings::Load() {
    std::memset(IniPath, 0, sizeof IniPath);
    std::memset(InstallFolder, 0, sizeof InstallFolder);
    std::memset(DataFolder, 0, sizeof DataFolder);
    std::memset(RegistryInstallPath, 0, sizeof RegistryInstallPath);
    std::memset(DefaultDataFolder, 0, sizeof DefaultDataFolder);
    std::memset(ReplayCopySrc, 0, sizeof ReplayCopySrc);
    std::memset(ReplayFilenameFormat, 0, sizeof ReplayFilenameFormat);
    std::memset(FilenameStoredFormat2, 0, sizeof FilenameStoredFormat2);
    std::memset(RensaVoiceCopySrc, 0, sizeof RensaVoiceCopySrc);
    std::memset(FolderName, 0, sizeof FolderName);
    std::memset(FolderNameOriginal, 0, sizeof FolderNameOriginal);
    std::memset(RensaVoiceFilenameFormat, 0, sizeof RensaVoiceFilenameFormat);
    std::memset(FilenameExistsFormat, 0, sizeof FilenameExistsFormat);
    std::memset(FilenameCharaFormat, 0, sizeof FilenameCharaFormat);
    std::memset(ReplayLastOpenedFolder, 0, sizeof ReplayLastOpenedFolder);
    std::memset(RensaVoiceLastOpenedFolder, 0, sizeof RensaVoiceLastOpenedFolder);

    for (const KeyRow& row : kKeyTable) {
        const char* iniPath = GetIniPath();
        // The default is produced just before its key is read: TextBuffer holds one text.
        const char* def = nullptr;
        switch (row.source) {
            case DefaultSource::kNone: break;
            case DefaultSource::kRegistryInstallPath: def = GetRegistryInstallPath(); break;
            case DefaultSource::kDefaultDataFolder: def = GetDefaultDataFolder(); break;
            case DefaultSource::kText: def = LoadText(row.textId); break;
        }
        // Without an INI path (the program's path left no room for it) no file is
        // read: every setting takes its default.
        bool haveFile = iniPath[0] != '\0';
        if (row.text != nullptr) {
            char* field = row.text(*this);
            if (haveFile) {
                sys::GetPrivateProfileStringA(row.section, row.key, def, field, row.size, iniPath);
            } else {
                CopyCut(field, row.size, def != nullptr ? def : "");
            }
        } else {
            int32_t number = std::atoi(def);
            *row.number(*this) = haveFile ? sys::GetPrivateProfileIntA(row.section, row.key, number, iniPath)
                                          : static_cast<uint32_t>(number);
        }
    }
}

void ProfileSettings::Save() {
    const char* iniPath = GetIniPath();
    if (iniPath[0] == '\0') return;  // no INI path: nothing is written
    for (const KeyRow& row : kKeyTable) {
        if (row.text != nullptr) {
            char* field = row.text(*this);
            field[row.size - 1] = '\0';  // never read past the field, whoever wrote it
            sys::WritePrivateProfileStringA(row.section, row.key, field, iniPath);
        } else {
            char value[260];
            std::memset(value, 0, sizeof value);
            FormatSigned(value, *row.number(*this));
            sys::WritePrivateProfileStringA(row.section, row.key, value, iniPath);
        }
    }
}

char* ProfileSettings::GetIniPath() {
    if (IniPath[0] != '\0') return IniPath;
    std::memset(IniPath, 0, sizeof IniPath);
    uint32_t length = sys::GetModuleFileNameA(IniPath, sizeof IniPath);
    if (length == 0 || length >= sizeof IniPath) {
        // No path, or one cut by the platform: a cut path names another file.
        std::memset(IniPath, 0, sizeof IniPath);
        return IniPath;
    }
    // The last '.' or '\' of the path, read character by character: the second byte
    // of a double-byte character can be 0x5C and is never a separator.
    std::size_t mark = length;
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char byte = static_cast<unsigned char>(IniPath[i]);
        if (IsLeadByte(byte) && i + 1 < length) {
            ++i;
        } else if (byte == '.' || byte == '\\') {
            mark = i;
        }
    }
    std::size_t keep = length;
    const char* extension = ".ini";
    if (mark < length && IniPath[mark] == '.') {
        keep = mark + 1;
        extension = "ini";
    }
    std::size_t extensionLength = std::strlen(extension);
    if (keep + extensionLength + 1 > sizeof IniPath) {
        // No room for the changed extension: no INI file rather than a wrong one.
        std::memset(IniPath, 0, sizeof IniPath);
        return IniPath;
    }
    std::memcpy(IniPath + keep, extension, extensionLength + 1);
    return IniPath;
}

char* ProfileSettings::LoadText(uint32_t id) {
    TextBuffer[0] = '\0';
    sys::LoadStringA(Instance, id, TextBuffer, sizeof TextBuffer);
    return TextBuffer;
}

uint32_t ProfileSettings::GetMinIndex() {
    GuardSlotRange();
    return MinIndex;
}

uint32_t ProfileSettings::GetMaxIndex() {
    GuardSlotRange();
    // A wider range is cut to its first slots for the run; the fields, and so the
    // INI file, keep the user's numbers. A reversed range stays as it is.
    if (MinIndex <= MaxIndex && MaxIndex - MinIndex >= kMaxTrackedSlots) return MinIndex + (kMaxTrackedSlots - 1);
    return MaxIndex;
}

void ProfileSettings::GuardSlotRange() {
    if (MaxIndex == MinIndex) {
        MinIndex = 1;
        MaxIndex = 100;
    }
}
