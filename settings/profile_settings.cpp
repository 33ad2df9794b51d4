// The settings store, read from the INI file beside the program's file.
#include "settings/profile_settings.h"

#include <cstdlib>
#include <cstring>

#include "platform/files.h"
#include "platform/handles.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/window.h"
#include "res/resource.h"
#include "shellops/append_path.h"
#include "shellops/file_search.h"
#include "voice/character_table.h"

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

const char kVoiceSetsSection[] = "VoiceSets";

#define ZOLM_TEXT_FIELD(name) [](ProfileSettings& s) -> char* { return s.name; }, nullptr, sizeof(ProfileSettings::name)
#define ZOLM_NUMBER_FIELD(name) nullptr, [](ProfileSettings& s) -> uint32_t* { return &s.name; }, 0

// The key table, in the order in which Load reads and Save writes.
const KeyRow kKeyTable[] = {
    {"System", "InstallFolder", ZOLM_TEXT_FIELD(InstallFolder), DefaultSource::kRegistryInstallPath, 0},
    {"Replay", "DataFolder", ZOLM_TEXT_FIELD(DataFolder), DefaultSource::kDefaultDataFolder, 0},
    {"Replay", "CopySrc", ZOLM_TEXT_FIELD(ReplayCopySrc), DefaultSource::kText, IDS_REPLAY_COPY_SRC},
    {"Replay", "FilenameFormat", ZOLM_TEXT_FIELD(ReplayFilenameFormat), DefaultSource::kText,
     IDS_REPLAY_FILENAME_FORMAT},
    {"Replay", "FilenameStoredFormat2", ZOLM_TEXT_FIELD(FilenameStoredFormat2), DefaultSource::kText,
     IDS_STORED_FORMAT},
    {"Replay", "LastOpenedFolder", ZOLM_TEXT_FIELD(ReplayLastOpenedFolder), DefaultSource::kNone, 0},
    {"RensaVoice", "FolderName", ZOLM_TEXT_FIELD(FolderName), DefaultSource::kText, IDS_VOICE_FOLDER_NAME},
    {"RensaVoice", "CopySrc", ZOLM_TEXT_FIELD(RensaVoiceCopySrc), DefaultSource::kText, IDS_VOICE_COPY_SRC},
    {"RensaVoice", "FilenameFormat", ZOLM_TEXT_FIELD(RensaVoiceFilenameFormat), DefaultSource::kText,
     IDS_VOICE_FILENAME_FORMAT},
    {"RensaVoice", "FilenameExistsFormat", ZOLM_TEXT_FIELD(FilenameExistsFormat), DefaultSource::kText,
     IDS_VOICE_EXISTS_FORMAT},
    {"RensaVoice", "FilenameCharaFormat", ZOLM_TEXT_FIELD(FilenameCharaFormat), DefaultSource::kText,
     IDS_VOICE_CHARA_FORMAT},
    {"RensaVoice", "FolderNameOriginal", ZOLM_TEXT_FIELD(FolderNameOriginal), DefaultSource::kText,
     IDS_VOICE_BACKUP_FOLDER},
    {"RensaVoice", "LastOpenedFolder", ZOLM_TEXT_FIELD(RensaVoiceLastOpenedFolder), DefaultSource::kNone, 0},
    {"Replay", "MonitorInterval", ZOLM_NUMBER_FIELD(MonitorInterval), DefaultSource::kText, IDS_MONITOR_INTERVAL},
    {"Replay", "MaxIndex", ZOLM_NUMBER_FIELD(MaxIndex), DefaultSource::kText, IDS_MAX_INDEX},
    {"Replay", "MinIndex", ZOLM_NUMBER_FIELD(MinIndex), DefaultSource::kText, IDS_MIN_INDEX},
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

// The longest timer period taken from the file: one day.
constexpr uint32_t kMostMonitorInterval = 86400000;

// A period of plain decimal digits, at most kMostMonitorInterval.
bool ParseInterval(const char* text, uint32_t* value) {
    if (*text == '\0') return false;
    uint32_t result = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return false;
        result = result * 10u + static_cast<uint32_t>(*p - '0');
        if (result > kMostMonitorInterval) return false;
    }
    *value = result;
    return true;
}

// True when the existing file at path can be written: opened for writing, and
// neither truncated nor changed.
bool CanWriteFile(const char* path) {
    sys::Handle file =
        sys::CreateFileA(path, sys::kGenericWrite, sys::kFileShareAll, sys::kOpenExisting, sys::kFileAttributeNormal);
    if (file == sys::kInvalidHandle) return false;
    sys::CloseHandle(file);
    return true;
}

// True when the folder of the INI file at iniPath takes a new file. The probe is
// "<name>.tmp", as long as the INI file's own path: a second instance starting
// at the same moment must not find an INI file that is only the probe. That
// instance's probe, found in the way, proves the point.
bool FolderTakesNewFiles(const char* iniPath) {
    char probe[sys::kMaxPath];
    if (!CopyPath(probe, sizeof probe, iniPath)) return false;
    std::memcpy(probe + std::strlen(probe) - 3, "tmp", 3);
    sys::Handle file = sys::CreateFileA(probe, sys::kGenericWrite, 0, sys::kCreateNew,
                                        sys::kFileAttributeTemporary | sys::kFileFlagDeleteOnClose);
    if (file == sys::kInvalidHandle) return sys::GetLastError() == sys::kErrorFileExists;
    sys::CloseHandle(file);
    return true;
}

// Makes the folder that is to hold the file at path, when it is missing.
void CreateFolderOf(const char* path) {
    char folder[sys::kMaxPath];
    if (!CopyPath(folder, sizeof folder, path)) return;
    std::size_t name = FileNameOffset(folder);
    if (name < 2) return;
    folder[name - 1] = '\0';
    if (sys::GetFileAttributesA(folder) == sys::kInvalidFileAttributes) sys::CreateDirectoryA(folder);
}

}  // namespace

ProfileSettings::ProfileSettings(sys::Instance instance)
    : Instance(instance), Saved(false), MonitorIntervalRefused(false) {
    Load();
}

ProfileSettings::~ProfileSettings() {
    if (Saved) return;
    if (!Save()) ReportSaveFailure();
}

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
        } else if (row.number(*this) == &MonitorInterval) {
            MonitorInterval = ReadMonitorInterval(row.section, row.key, def, haveFile ? iniPath : nullptr);
        } else {
            int32_t number = std::atoi(def);
            *row.number(*this) = haveFile ? sys::GetPrivateProfileIntA(row.section, row.key, number, iniPath)
                                          : static_cast<uint32_t>(number);
        }
    }
    std::memset(VoiceSets, 0, sizeof VoiceSets);
    for (uint32_t character = 0; character < kVoiceSetCount && GetIniPath()[0] != '\0'; ++character) {
        sys::GetPrivateProfileStringA(kVoiceSetsSection, CharacterTable::BackupCode(character), "",
                                      VoiceSets[character], sizeof VoiceSets[character], GetIniPath());
    }
    for (uint32_t character = 0; character < kVoiceSetCount; ++character) {
        voiceSetStored[character] = VoiceSets[character][0] != '\0';
    }
}

bool ProfileSettings::Save() {
    Saved = true;
    GetIniPath();
    const char* iniPath = SaveIniPath;
    if (iniPath[0] == '\0') return true;  // no INI path: nothing is written
    // The file in the application data may be the first of its folder.
    if (sys::GetFileAttributesA(iniPath) == sys::kInvalidFileAttributes) CreateFolderOf(iniPath);
    bool written = true;
    for (const KeyRow& row : kKeyTable) {
        if (row.text != nullptr) {
            char* field = row.text(*this);
            field[row.size - 1] = '\0';  // never read past the field, whoever wrote it
            written &= sys::WritePrivateProfileStringA(row.section, row.key, field, iniPath);
        } else if (row.number(*this) == &MonitorInterval && MonitorIntervalRefused) {
            continue;  // the user's text stays; this run used the default
        } else {
            char value[260];
            std::memset(value, 0, sizeof value);
            FormatSigned(value, *row.number(*this));
            written &= sys::WritePrivateProfileStringA(row.section, row.key, value, iniPath);
        }
    }
    // Only the characters that wear a set of their own have a key.
    for (uint32_t character = 0; character < kVoiceSetCount; ++character) {
        char* name = VoiceSets[character];
        name[sizeof VoiceSets[character] - 1] = '\0';
        if (name[0] == '\0' && !voiceSetStored[character]) continue;
        written &= sys::WritePrivateProfileStringA(kVoiceSetsSection, CharacterTable::BackupCode(character),
                                                   name[0] != '\0' ? name : nullptr, iniPath);
    }
    return written;
}

uint32_t ProfileSettings::ReadMonitorInterval(const char* section, const char* key, const char* def,
                                              const char* iniPath) {
    // Read as text: GetPrivateProfileIntA gives no sign of a value that is no number
    // or does not fit, and such a period would leave archiving off for the run.
    uint32_t fallback = static_cast<uint32_t>(std::atoi(def));
    char text[64];
    std::memset(text, 0, sizeof text);
    if (iniPath != nullptr) {
        sys::GetPrivateProfileStringA(section, key, def, text, sizeof text, iniPath);
    } else {
        CopyCut(text, sizeof text, def);
    }
    uint32_t value = 0;
    MonitorIntervalRefused = !ParseInterval(text, &value);
    return MonitorIntervalRefused ? fallback : value;
}

// %APPDATA%\ZOLM joined with the name of the INI file beside the program.
bool ProfileSettings::AppDataIniPath(const char* beside, char* path) {
    char appData[sys::kMaxPath];
    std::memset(appData, 0, sizeof appData);
    if (CallSHGetFolderPath(nullptr, sys::kCsidlAppData, nullptr, sys::kShgfpTypeCurrent, appData) < 0) return false;
    appData[sizeof appData - 1] = '\0';
    return appData[0] != '\0' && CopyPath(path, sys::kMaxPath, appData) && AppendPath(path, "ZOLM") &&
           AppendPath(path, beside + FileNameOffset(beside));
}

void ProfileSettings::ReportSaveFailure() {
    // The window is gone by now, and the shared buffer holds the message.
    char caption[256];
    std::memset(caption, 0, sizeof caption);
    sys::LoadStringA(Instance, IDS_CAPTION, caption, sizeof caption);
    sys::MessageBoxA(nullptr, LoadText(IDS_SETTINGS_NOT_SAVED), caption, sys::kMbOk | sys::kMbIconInformation);
}

char* ProfileSettings::GetIniPath() {
    if (IniPath[0] != '\0') return IniPath;
    std::memset(SaveIniPath, 0, sizeof SaveIniPath);
    char beside[sys::kMaxPath];
    if (!IniPathBesideProgram(beside)) return IniPath;

    // Where the settings are: the file beside the program while it can be
    // written; else the user's own copy in the application data, which a
    // program folder that refuses files (Program Files) makes; else a file
    // beside the program that only can be read, saved to the application data
    // from now on; else a new file beside the program, where the folder takes
    // one.
    const char* read = beside;
    const char* save = beside;
    char appData[sys::kMaxPath];
    bool besideExists = IsFile(beside);
    if (!besideExists || !CanWriteFile(beside)) {
        bool haveAppData = AppDataIniPath(beside, appData);
        if (haveAppData && IsFile(appData)) {
            read = save = appData;
        } else if (besideExists) {
            if (haveAppData) save = appData;
        } else if (haveAppData && !FolderTakesNewFiles(beside)) {
            read = save = appData;
        }
    }
    CopyPath(SaveIniPath, sizeof SaveIniPath, save);
    CopyPath(IniPath, sizeof IniPath, read);
    return IniPath;
}

// The program's file with its extension replaced by "ini" (or ".ini" added when
// its name has none), into the path buffer path. False, with path empty, when
// the program's path is unknown or leaves no room.
bool ProfileSettings::IniPathBesideProgram(char* path) {
    std::memset(path, 0, sys::kMaxPath);
    uint32_t length = sys::GetModuleFileNameA(path, sys::kMaxPath);
    if (length == 0 || length >= sys::kMaxPath) {
        // No path, or one cut by the platform: a cut path names another file.
        std::memset(path, 0, sys::kMaxPath);
        return false;
    }
    // The last '.' or '\' of the path, read character by character: the second byte
    // of a double-byte character can be 0x5C and is never a separator.
    std::size_t mark = length;
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char byte = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(byte) && i + 1 < length) {
            ++i;
        } else if (byte == '.' || byte == '\\') {
            mark = i;
        }
    }
    std::size_t keep = length;
    const char* extension = ".ini";
    if (mark < length && path[mark] == '.') {
        keep = mark + 1;
        extension = "ini";
    }
    std::size_t extensionLength = std::strlen(extension);
    if (keep + extensionLength + 1 > sys::kMaxPath) {
        // No room for the changed extension: no INI file rather than a wrong one.
        std::memset(path, 0, sys::kMaxPath);
        return false;
    }
    std::memcpy(path + keep, extension, extensionLength + 1);
    return true;
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
