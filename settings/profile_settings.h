// All settings of the program, read from the INI file beside the program's file
// when constructed and written back when destroyed.
#pragma once

#include <cstdint>

#include "platform/types.h"

// The most slots that are tracked, scanned and loaded into: the game's own range,
// 0 to 999. A wider range in the INI file is cut to its first slots for the run.
constexpr uint32_t kMaxTrackedSlots = 1000;

// One voice set per character of the game.
constexpr uint32_t kVoiceSetCount = 16;

class ProfileSettings {
public:
    explicit ProfileSettings(sys::Instance instance);
    virtual ~ProfileSettings();

    ProfileSettings(const ProfileSettings&) = delete;
    ProfileSettings& operator=(const ProfileSettings&) = delete;

    void Load();
    // Writes every setting; false when the file refused a write. Once it has run,
    // the destructor writes nothing more.
    bool Save();
    // The INI file that is read, found on the first call; SaveIniPath is then
    // where Save writes (another file when this one can only be read).
    char* GetIniPath();
    // The text of string id in the one shared buffer, valid until the next call.
    char* LoadText(uint32_t id);

    // The slot range, after GuardSlotRange.
    uint32_t GetMinIndex();
    uint32_t GetMaxIndex();
    void GuardSlotRange();

    // Game folder discovery.
    char* GetRegistryInstallPath();
    char* GetDefaultDataFolder();
    bool IsWin9x();
    int32_t CallSHGetFolderPath(sys::Window owner, int folder, void* token, uint32_t flags, char* path);

    sys::Instance Instance;
    char TextBuffer[1024];
    char IniPath[260];
    char SaveIniPath[260];
    char InstallFolder[260];
    char DataFolder[260];
    char RegistryInstallPath[260];
    char DefaultDataFolder[260];
    uint32_t MonitorInterval;
    char ReplayCopySrc[64];
    char ReplayFilenameFormat[64];
    char FilenameStoredFormat2[64];
    char RensaVoiceCopySrc[64];
    char FolderName[64];
    char FolderNameOriginal[64];
    char RensaVoiceFilenameFormat[64];
    char FilenameExistsFormat[64];
    char FilenameCharaFormat[64];
    char ReplayLastOpenedFolder[260];
    char RensaVoiceLastOpenedFolder[260];
    uint32_t MaxIndex;
    uint32_t MinIndex;
    // Section VoiceSets, beside the keys above: per character, by its backup
    // code, the name of the folder its voices were installed from; empty while
    // it has the game's own.
    char VoiceSets[kVoiceSetCount][64];
    // True once Save has run: at a session's end, before the process is ended.
    bool Saved;
    // True when the file's MonitorInterval was no usable period: the run uses the
    // default, and Save leaves the user's text as it stands.
    bool MonitorIntervalRefused;

private:
    // The voice sets whose key the file holds: an emptied one is removed from it.
    bool voiceSetStored[kVoiceSetCount];

    uint32_t ReadMonitorInterval(const char* section, const char* key, const char* def, const char* iniPath);
    bool IniPathBesideProgram(char* path);
    bool AppDataIniPath(const char* beside, char* path);
    void ReportSaveFailure();
};
