// A started application over the fake platform, for the tests of the shell, the
// menus, the replay loader and the folder picker.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/tray_application.h"
#include "platform/window.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"
#include "tests/unit/dirty_heap.h"

namespace apptest {

const char kIniPath[] = "C:\\Program Files\\ZOLM\\zolm.ini";
const char kDataFolder[] = "C:\\Data";
const sys::Instance kInstance = reinterpret_cast<sys::Instance>(0x400000);

inline fake::State& S() { return fake::state(); }

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        WriteIni("");
    }

    void TearDown() override {
        // Early ends leave the object alive, as the program does; free it here.
        delete theApplication;
        theApplication = nullptr;
        EXPECT_EQ(fake::detail::OpenSearchCount(), 0) << "a search was not closed";
        EXPECT_TRUE(S().openFiles.empty()) << "a file was not closed";
    }

    // An INI file beside the program (so no first-run offer), with DataFolder and
    // the given extra lines of section Replay.
    static void WriteIni(const std::string& replayLines) {
        fake::AddFile(kIniPath, std::string("[Replay]\nDataFolder=") + kDataFolder + "\n" + replayLines);
    }

    // What WinMain does up to the message loop.
    static TrayApplication& Start() {
        theApplication = NewOnDirtyHeap<TrayApplication>(kInstance);
        theApplication->window =
            sys::CreateDialogParamA(kInstance, 103, sys::GetDesktopWindow(), TrayApplication::DialogProc, 0);
        theApplication->Initialize();
        return *theApplication;
    }

    // The dialog manager handing a message to the hidden window.
    static intptr_t Send(uint32_t message, sys::WParam wParam = 0, sys::LParam lParam = 0) {
        return TrayApplication::DialogProc(S().dialog, message, wParam, lParam);
    }

    // A press of the right mouse button on the tray icon.
    static void ClickTrayIcon() { Send(sys::kWmTrayNotify, 1, sys::kWmRButtonDown); }

    // The user choosing command from the tray menu.
    static void Choose(int command) {
        S().popupChoices.push_back(command);
        ClickTrayIcon();
    }
};

}  // namespace apptest
