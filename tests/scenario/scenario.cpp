#include "tests/scenario/scenario.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <set>

#include "app/tray_application.h"
#include "settings/profile_settings.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"

namespace scenario {

namespace {

const sys::Instance kInstance = reinterpret_cast<sys::Instance>(0x400000);
const char kIniPath[] = "C:\\Program Files\\ZOLM\\zolm.ini";
// Where the game keeps its replays: the fake's application-data folder joined
// with the game's folder, the default DataFolder.
const char kGameDataFolder[] = "C:\\Users\\player\\AppData\\Roaming\\Sega\\PuyoF";
const char kGameVoiceFolder[] = "C:\\Games\\PuyoF\\VOICE";
// A picked folder so deep that only its shortest names still fit a path buffer.
const std::string kDeepFolder = "C:\\" + std::string(120, 'd') + "\\" + std::string(119, 'e');

enum class Kind { kGameReplay, kStoredReplay, kUserVoice, kGameVoice };

struct Tracked {
    std::string home;  // where it lay when the run began
    std::string content;
    Kind kind;
    std::string foldedHome;
    std::string foldedFolder;
};

// The INI keys whose values the program writes, with the size of their field
// (0 for a number).
struct IniKey {
    const char* section;
    const char* key;
    std::size_t size;
};
const IniKey kIniKeys[] = {
    {"System", "InstallFolder", 260},
    {"Replay", "DataFolder", 260},
    {"Replay", "CopySrc", 64},
    {"Replay", "FilenameFormat", 64},
    {"Replay", "FilenameStoredFormat2", 64},
    {"Replay", "LastOpenedFolder", 260},
    {"RensaVoice", "FolderName", 64},
    {"RensaVoice", "CopySrc", 64},
    {"RensaVoice", "FilenameFormat", 64},
    {"RensaVoice", "FilenameExistsFormat", 64},
    {"RensaVoice", "FilenameCharaFormat", 64},
    {"RensaVoice", "FolderNameOriginal", 64},
    {"RensaVoice", "LastOpenedFolder", 260},
    {"Replay", "MonitorInterval", 0},
    {"Replay", "MaxIndex", 0},
    {"Replay", "MinIndex", 0},
};

std::string Fold(const std::string& text) { return fake::detail::FoldPath(text); }

std::string Trim(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return "";
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// "SECTION\nKEY" -> value, for the lines of an INI text that the platform reads
// as keys; the first of several lines of one key counts, as the platform reads it.
std::map<std::string, std::string> ParseIni(const std::string& text) {
    std::map<std::string, std::string> values;
    std::string section;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = Trim(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line = Trim(line.substr(0, line.size() - 1));
        start = end + 1;
        if (!line.empty() && line[0] == '[') {
            std::size_t close = line.find(']');
            section = Fold(Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
        } else if (!line.empty() && line[0] != ';' && line.find('=') != std::string::npos) {
            std::size_t equals = line.find('=');
            values.emplace(section + "\n" + Fold(Trim(line.substr(0, equals))), Trim(line.substr(equals + 1)));
        }
    }
    return values;
}

bool IsDecimal(const std::string& value) {
    std::size_t digits = value.size() - (!value.empty() && value[0] == '-' ? 1 : 0);
    if (digits == 0 || digits > 10) return false;
    return value.find_first_not_of("0123456789", value.size() - digits) == std::string::npos;
}

// True when path names a file or folder below folder: it starts with the folder
// and no later part climbs out of it (Windows drops the dots and spaces that end
// a part, so ". ." and ".. " climb too).
bool IsBelow(const std::string& path, std::string folder) {
    // '/' is never the second byte of a double-byte character.
    std::string p = Fold(path);
    std::replace(p.begin(), p.end(), '/', '\\');
    std::replace(folder.begin(), folder.end(), '/', '\\');
    folder = Fold(folder);
    if (folder.empty()) return false;
    if (fake::detail::LastSeparator(folder) != folder.size() - 1) folder += '\\';
    if (p.size() <= folder.size() || p.compare(0, folder.size(), folder) != 0) return false;
    std::string part;
    for (std::size_t i = folder.size(); i <= p.size(); ++i) {
        if (i < p.size() && fake::detail::IsLeadByte(static_cast<unsigned char>(p[i])) && i + 1 < p.size()) {
            part += p.substr(i++, 2);
            continue;
        }
        if (i < p.size() && p[i] != '\\') {
            part += p[i];
            continue;
        }
        if (part.find_first_not_of(". ") == std::string::npos && std::count(part.begin(), part.end(), '.') >= 2) {
            return false;
        }
        part.clear();
    }
    return true;
}

class Runner {
public:
    Runner(const World& world, const Fault& fault, Outcome& outcome)
        : world_(world), fault_(fault), outcome_(outcome) {}

    void Go() {
        SetUpFiles();
        iniBefore_ = IniFiles();
        if (world_.iniExists) userIni_ = ParseIni(world_.ini);
        fake::state().onGetMessage = [this] { OnGetMessage(); };
        Begin(Command::kStartUp);
        RunApplication(kInstance);
        fake::state().onGetMessage = nullptr;
        bool earlyEnd = theApplication != nullptr;
        End(!earlyEnd && current_ == Command::kExit);
        // An early end leaves the application alive, as the program does; free it
        // now that the checks have seen the files.
        delete theApplication;
        theApplication = nullptr;
        fake::FailCall("", 0);
    }

private:
    void Add(const std::string& path, const std::string& content, Kind kind, int when = 0) {
        // The game's replays of a given time, and times around leap days and centuries.
        static const uint64_t kTimes[] = {
            fake::FileTimeOf(2007, 5, 12, 21, 30, 5), fake::FileTimeOf(2000, 2, 29, 23, 59, 59),
            fake::FileTimeOf(2100, 3, 1, 0, 0, 0), fake::FileTimeOf(2007, 5, 12, 21, 30, 5)};
        fake::AddFile(path, content, kTimes[when % 4]);
        tracked_.push_back(Tracked{path, content, kind, Fold(path), Fold(fake::detail::ParentOf(path))});
    }

    void SetUpFiles() {
        fake::Reset();
        if (world_.iniExists) fake::AddFile(kIniPath, world_.ini);
        fake::AddFolder("C:\\Program Files\\ZOLM");
        fake::AddFolder(kGameDataFolder);
        for (const char* stored : {"A.RPD", "a_stored_replay_named_too_long.RPD"}) {
            Add(kDeepFolder + "\\" + stored, std::string("deep stored ") + stored, Kind::kStoredReplay);
        }
        for (const char* voice : {"v_03.WAV", "a_voice_named_too_long_04.WAV"}) {
            Add(kDeepFolder + "\\" + voice, std::string("deep user ") + voice, Kind::kUserVoice);
        }
        char name[64];
        for (uint32_t slot : world_.gameSlots) {
            std::snprintf(name, sizeof name, "\\REPLAY%03u.RPD", slot);
            Add(kGameDataFolder + std::string(name), "game replay " + std::to_string(slot), Kind::kGameReplay,
                static_cast<int>(slot));
        }
        // The game's own name in another case is still the slot's file; the other
        // names only look like slot files.
        Add(kGameDataFolder + std::string("\\replay042.rpd"), "game replay 42", Kind::kGameReplay);
        for (const char* decoy :
             {"REPLAY.RPD", "REPLAY0042.RPD", "REPLAY-01.RPD", "REPLAYx12.RPD", "REPLAY12.RPD.TXT"}) {
            fake::AddFile(kGameDataFolder + std::string("\\") + decoy, "not a slot file");
        }
        // Folders whose names match the patterns are neither replays nor voices.
        fake::AddFolder("C:\\Stored\\folder.RPD");
        fake::AddFolder("C:\\MyVoices\\folder_01.WAV");
        for (const char* stored : {"A.RPD", "B.RPD", "C.RPD"}) {
            Add(std::string("C:\\Stored\\") + stored, std::string("stored ") + stored, Kind::kStoredReplay);
        }
        for (const char* voice : {"my_00.WAV", "my_01.WAV", "my_05.WAV", "take_20.WAV", "x21.WAV"}) {
            Add(std::string("C:\\MyVoices\\") + voice, std::string("user ") + voice, Kind::kUserVoice);
        }
        for (int character = 0; character < 3; ++character) {
            for (int voice = 0; voice < 3; ++voice) {
                std::snprintf(name, sizeof name, "\\CH%02dVO%02d.WAV", character, voice);
                Add(kGameVoiceFolder + std::string(name), std::string("game voice") + name, Kind::kGameVoice);
            }
        }
        if (world_.anotherInstance) {
            fake::state().atoms["nezumi_one"] = 1;
            fake::state().messageBoxAnswers.push_back(world_.backupYes ? sys::kIdYes : sys::kIdNo);
        }
        fake::state().messageBoxAnswers.push_back(world_.backupYes ? sys::kIdYes : sys::kIdNo);
    }

    // The message loop asks for its next message: the command before has run.
    void OnGetMessage() {
        int next = static_cast<int>(current_) + 1;
        if (next >= kCommandCount) return;
        End(false);
        Begin(static_cast<Command>(next));
    }

    void Begin(Command command) {
        current_ = command;
        fake::State& s = fake::state();
        bool faulty = fault_.k != 0 && fault_.command == command;
        fake::FailCall(faulty ? fault_.target : "", faulty ? fault_.k : 0, fault_.repeat);
        // Answers left over from a command that went another way are not for this one.
        s.pickedFolders.clear();
        s.popupChoices.clear();
        if (command != Command::kStartUp) s.messageBoxAnswers.clear();
        switch (command) {
            case Command::kStartUp: break;
            case Command::kTick:
            case Command::kStableTick:
                // Until the slot range is bounded, a range wider than the game's slots
                // makes a tick search every number in it: billions of searches.
                fake::FireTimer();
                Post(sys::kWmPaint, 0, 0);
                break;
            case Command::kLoad:
                if (world_.gameWritesBeforeLoad && !fake::Exists(kGameDataFolder + std::string("\\REPLAY000.RPD"))) {
                    Add(kGameDataFolder + std::string("\\REPLAY000.RPD"), "game replay written before the load",
                        Kind::kGameReplay, 1);
                }
                s.pickedFolders.push_back(world_.replayPick);
                Choose({IDM_REPLAY});
                break;
            case Command::kPlayMode:
                if (world_.gameWritesInBrowseMode) {
                    Add(kGameDataFolder + std::string("\\REPLAY009.RPD"), "game replay written in browse mode",
                        Kind::kGameReplay);
                }
                Choose({IDM_PLAYMODE});
                break;
            case Command::kVoiceInstall:
                s.pickedFolders.push_back(world_.voicePick);
                Choose({IDM_VOICE, world_.characterChoice});
                break;
            case Command::kExit:
                if (world_.explorerRestarts && theApplication != nullptr) {
                    Post(theApplication->taskbarCreatedMessage, 0, 0);
                }
                if (world_.closeByMessage) {
                    Post(sys::kWmClose, 0, 0);
                } else {
                    Choose({IDM_EXIT});
                }
                break;
        }
    }

    void Post(uint32_t message, sys::WParam wParam, sys::LParam lParam) {
        fake::state().messages.push_back(sys::Message{fake::state().dialog, message, wParam, lParam});
    }

    // A click on the tray icon, and the user's choices in the popups it opens.
    void Choose(std::initializer_list<int> choices) {
        for (int choice : choices) fake::state().popupChoices.push_back(choice);
        Post(sys::kWmTrayNotify, 1, sys::kWmRButtonDown);
    }

    void End(bool normalEnd) {
        int index = static_cast<int>(current_);
        outcome_.failableCalls[index] = fake::state().faultCalls;
        for (const std::string& name : fake::state().faultsInjected) outcome_.injected.push_back(name);
        fake::state().faultsInjected.clear();
        fake::FailCall("", 0);
        Check(normalEnd);
    }

    void Violation(const std::string& text) {
        outcome_.violations.push_back(std::string(NameOf(current_)) + ": " + text);
    }

    void Check(bool normalEnd) {
        if (theApplication != nullptr) {
            dataFolder_ = theApplication->settings.DataFolder;
            installFolder_ = theApplication->settings.InstallFolder;
        }
        CheckRequests();
        CheckFiles();
        if (fake::detail::OpenSearchCount() != 0) Violation("a file search was left open");
        CheckIni(normalEnd);
    }

    void CheckRequests() {
        const std::vector<fake::FileOpCall>& ops = fake::state().fileOps;
        for (; requestsChecked_ < ops.size(); ++requestsChecked_) {
            const fake::FileOpCall& op = ops[requestsChecked_];
            std::string what = "request " + std::to_string(op.wFunc);
            if (op.wFunc == sys::kFoCopy || op.wFunc == sys::kFoMove) {
                for (const std::string& target : op.to) copyTargets_.insert(Fold(target));
                if (!op.from.empty() && op.to.empty()) Violation(what + " without a destination");
                bool paired = (op.fFlags & sys::kFofMultiDestFiles) != 0;
                if (paired && op.from.size() != op.to.size()) Violation(what + " with unpaired lists");
                if (!paired && op.to.size() > 1) Violation(what + " with several destinations");
            }
            for (const std::vector<std::string>* list : {&op.from, &op.to}) {
                for (const std::string& path : *list) {
                    if (IsContained(path)) continue;
                    Violation(what + " outside the folders: " + path);
                }
            }
        }
    }

    bool IsContained(const std::string& path) const {
        for (const std::string& folder : {dataFolder_, installFolder_, world_.replayPick, world_.voicePick}) {
            if (IsBelow(path, folder)) return true;
        }
        return false;
    }

    void CheckFiles() {
        std::map<std::string, std::vector<const fake::Entry*>> copies;  // content -> entries
        for (const fake::Entry& entry : fake::state().entries) {
            // A settings file may hold any text, a replay's own among them.
            if (!entry.isFolder && !IsIniFile(entry)) copies[entry.contents].push_back(&entry);
        }
        for (const Tracked& file : tracked_) {
            std::vector<std::string> paths;
            bool atHome = false;
            int inHomeFolder = 0;
            for (const fake::Entry* entry : copies[file.content]) {
                paths.push_back(entry->path);
                atHome = atHome || fake::detail::FoldedPathOf(*entry) == file.foldedHome;
                if (fake::detail::FoldedParentOf(*entry) == file.foldedFolder) ++inHomeFolder;
            }
            switch (file.kind) {
                case Kind::kGameReplay:
                    // No command may lose a game replay, nor keep it twice.
                    if (paths.size() > 1)
                        Violation(file.content + " is there " + std::to_string(paths.size()) + " times");
                    if (paths.empty()) Violation(file.content + " is lost");
                    break;
                case Kind::kStoredReplay:
                case Kind::kUserVoice:
                    if (!atHome) Violation(file.content + " left " + file.home);
                    for (const std::string& path : paths) {
                        if (Fold(path) == file.foldedHome) continue;
                        if (file.kind == Kind::kStoredReplay && IsBelow(path, dataFolder_) &&
                            !IsBelow(fake::detail::ParentOf(path), dataFolder_)) {
                            continue;  // loaded into a slot
                        }
                        if (file.kind == Kind::kUserVoice && copyTargets_.count(Fold(path)) != 0) continue;
                        Violation(file.content + " copied to " + path);
                    }
                    break;
                case Kind::kGameVoice:
                    // A game voice that an install was asked to replace has been replaced on purpose.
                    if (paths.empty() && copyTargets_.count(file.foldedHome) == 0) Violation(file.content + " is lost");
                    if (inHomeFolder > 1)
                        Violation(file.content + " is in its folder " + std::to_string(inHomeFolder) + " times");
                    break;
            }
        }
    }

    static bool IsIniFile(const fake::Entry& entry) {
        const std::string& folded = fake::detail::FoldedPathOf(entry);
        return !entry.isFolder && folded.size() > 4 && folded.compare(folded.size() - 4, 4, ".INI") == 0;
    }

    std::map<std::string, std::string> IniFiles() const {
        std::map<std::string, std::string> files;
        for (const fake::Entry& entry : fake::state().entries) {
            if (IsIniFile(entry)) files[fake::detail::FoldedPathOf(entry)] = entry.contents;
        }
        return files;
    }

    void CheckIni(bool normalEnd) {
        std::map<std::string, std::string> now = IniFiles();
        if (!normalEnd) {
            if (now != iniBefore_) Violation("the INI file was written before the normal end");
            return;
        }
        for (const auto& file : now) {
            if (iniBefore_.count(file.first) != 0 && iniBefore_.at(file.first) == file.second) continue;
            std::map<std::string, std::string> values = ParseIni(file.second);
            for (const IniKey& key : kIniKeys) {
                std::string name = Fold(key.section) + "\n" + Fold(key.key);
                auto found = values.find(name);
                if (found == values.end()) continue;
                auto user = userIni_.find(name);
                if (user != userIni_.end() && user->second == found->second) continue;  // the user's own text
                bool valid = key.size == 0 ? IsDecimal(found->second) : found->second.size() < key.size;
                if (!valid) Violation(std::string("INI ") + key.key + "=" + found->second);
            }
        }
    }

    const World& world_;
    const Fault& fault_;
    Outcome& outcome_;
    std::vector<Tracked> tracked_;
    std::map<std::string, std::string> iniBefore_;
    std::map<std::string, std::string> userIni_;
    Command current_ = Command::kStartUp;
    std::size_t requestsChecked_ = 0;
    std::set<std::string> copyTargets_;
    std::string dataFolder_ = kGameDataFolder;
    std::string installFolder_;
};

}  // namespace

const char* NameOf(Command command) {
    switch (command) {
        case Command::kStartUp: return "start-up";
        case Command::kTick: return "first tick";
        case Command::kStableTick: return "tick with stable replays";
        case Command::kLoad: return "load";
        case Command::kPlayMode: return "return to play mode";
        case Command::kVoiceInstall: return "voice install";
        case Command::kExit: return "exit";
    }
    return "?";
}

Outcome Run(const World& world, const Fault& fault) {
    Outcome outcome;
    Runner runner(world, fault, outcome);
    runner.Go();
    return outcome;
}

Outcome RunFuzzInput(const uint8_t* data, std::size_t size) { return Run(WorldOfFuzzInput(data, size)); }

World WorldOfFuzzInput(const uint8_t* data, std::size_t size) {
    World world;
    if (size >= 3) {
        static const std::string kPicks[] = {"", "C:\\Stored", "C:\\MyVoices", kDeepFolder};
        static const uint32_t kSlots[] = {0, 1, 3, 7, 42, 99, 999, 1000};
        world.iniExists = (data[0] & 1) != 0;
        world.backupYes = (data[0] & 2) != 0;
        world.gameWritesInBrowseMode = (data[0] & 4) != 0;
        world.replayPick = kPicks[(data[0] >> 3) & 3];
        world.voicePick = kPicks[(data[0] >> 5) & 3];
        world.gameSlots.clear();
        for (int bit = 0; bit < 8; ++bit) {
            if (data[1] & (1 << bit)) world.gameSlots.push_back(kSlots[bit]);
        }
        world.characterChoice = (data[2] & 0x1F) % 18;  // 17 is past the popup's last item
        world.closeByMessage = (data[2] & 0x20) != 0;
        world.explorerRestarts = (data[2] & 0x40) != 0;
        world.anotherInstance = (data[2] & 0x80) != 0;
        data += 3;
        size -= 3;
    }
    world.ini.assign(reinterpret_cast<const char*>(data), size);
    return world;
}

}  // namespace scenario
