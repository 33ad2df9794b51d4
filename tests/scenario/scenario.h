// One run of the whole program over the fake platform, the way a player uses it:
// start-up (with the first-run backup), two ticks, a load (over a replay the game
// has just written), the return to play mode, a voice install and the exit, all
// through the real message loop. After each command the run checks what must
// hold whatever the platform did:
//   - every replay and voice file is still there exactly once (by content): a
//     game replay in its slot or the archive, a stored replay or a user's voice
//     in its own folder, a game voice in the voice folder or its backup;
//   - every batch request has paired lists, a destination, and paths below the
//     data folder, the install folder or a picked folder;
//   - no search is left open;
//   - the INI file is written only by the normal end, with valid values.
// Shared by the fault sweep and the fuzzer, which only differ in how they vary it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace scenario {

enum class Command { kStartUp, kTick, kStableTick, kLoad, kPlayMode, kVoiceInstall, kExit };
constexpr int kCommandCount = 7;
const char* NameOf(Command command);

// Where a run starts from.
struct World {
    bool iniExists = true;
    std::string ini = "[Replay]\r\nMonitorInterval=5000\r\n";
    bool backupYes = true;                     // the answer to the first-run question
    std::vector<uint32_t> gameSlots = {3, 7};  // slots holding a game replay at start
    bool gameWritesBeforeLoad = true;          // a replay written into slot 0, when free, just before the load
    bool gameWritesInBrowseMode = true;        // a replay written into slot 9 while replays are loaded
    std::string replayPick = "C:\\Stored";     // "" cancels the picker
    std::string voicePick = "C:\\MyVoices";
    int characterChoice = 3;        // character popup id; 0 dismisses it
    bool closeByMessage = false;    // WM_CLOSE ends the run instead of the menu's exit
    bool explorerRestarts = false;  // TaskbarCreated arrives before the exit
    bool anotherInstance = false;   // its atom exists; the question is answered like the backup's
};

// A failure to inject: the k-th failable seam call of target (a function, a
// group, or "" for any) during command, and the repeat - 1 calls after it.
struct Fault {
    Command command = Command::kStartUp;
    std::string target;
    int k = 0;  // 0: no fault
    int repeat = 1;
};

struct Outcome {
    std::vector<std::string> violations;
    int failableCalls[kCommandCount] = {};  // counted for the command with the fault, or all without one
    std::vector<std::string> injected;      // the calls that were made to fail
};

Outcome Run(const World& world, const Fault& fault = Fault{});

// The fuzzer's input: a few bytes that choose the world, then the INI file.
World WorldOfFuzzInput(const uint8_t* data, std::size_t size);
Outcome RunFuzzInput(const uint8_t* data, std::size_t size);

}  // namespace scenario
