// Every platform call that can fail is made to fail, one at a time and then a
// whole group from a command's start, in each command of a player's session.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/scenario/scenario.h"

namespace {

using scenario::Command;

scenario::World FirstRun() {
    scenario::World world;
    world.iniExists = false;  // so start-up offers the backup, answered Yes
    return world;
}

scenario::World SecondInstanceClosedByMessage() {
    scenario::World world;
    world.anotherInstance = true;
    world.explorerRestarts = true;
    world.closeByMessage = true;
    return world;
}

TEST(FaultSweep, EveryFailingCallLeavesFilesRequestsAndSettingsSound) {
    const Command kSwept[] = {Command::kStartUp,  Command::kStableTick,   Command::kLoad,
                              Command::kPlayMode, Command::kVoiceInstall, Command::kExit};
    const char* const kGroups[] = {
        "allocation", "file search", "directory creation", "shell request", "profile", "registry",
        "menu",       "timer",       "tray icon",          "window",        "atom",    "format",
        "resource"};
    for (const scenario::World& world : {FirstRun(), SecondInstanceClosedByMessage()}) {
        const scenario::Outcome clean = scenario::Run(world);
        ASSERT_TRUE(clean.violations.empty()) << clean.violations.front();
        for (Command command : kSwept) {
            int calls = clean.failableCalls[static_cast<int>(command)];
            EXPECT_GT(calls, 0) << scenario::NameOf(command);
            std::vector<scenario::Fault> faults;
            for (int k = 1; k <= calls; ++k) faults.push_back(scenario::Fault{command, "", k, 1});
            for (const char* group : kGroups) faults.push_back(scenario::Fault{command, group, 1, 1 << 20});
            for (const scenario::Fault& fault : faults) {
                scenario::Outcome outcome = scenario::Run(world, fault);
                std::string failed = outcome.injected.empty() ? "nothing" : outcome.injected.front();
                for (const std::string& violation : outcome.violations) {
                    ADD_FAILURE() << scenario::NameOf(command) << ", " << (fault.target.empty() ? "call" : fault.target)
                                  << " " << fault.k << " (" << failed << ") failing: " << violation;
                }
            }
            std::printf("%s: %d failure points\n", scenario::NameOf(command), calls);
        }
    }
}

}  // namespace
