// Fault injection: any call of the seam that the platform lets fail can be made to
// fail, by its number among the calls of one function or of one group.
#include <cstring>

#include "tests/fake/fake_platform.h"

namespace fake {

namespace {

struct GroupRule {
    const char* part;  // a part of the function's name
    const char* group;
};

// The first rule whose part occurs in the name gives the group.
const GroupRule kGroupRules[] = {
    {"RegisterWindowMessage", "window"},
    {"Atom", "atom"},
    {"Mutex", "atom"},
    {"CreateFile", "profile"},
    {"SystemMetrics", "resource"},
    {"SHGet", "shell request"},
    {"SHFileOperation", "shell request"},
    {"SHBrowse", "shell request"},
    {"ShellExecute", "shell request"},
    {"CoInitialize", "shell request"},
    {"Alloc", "allocation"},
    {"Find", "file search"},
    {"ReadFile", "file search"},
    {"FileAttributes", "file search"},
    {"FileTime", "file search"},
    {"Directory", "directory creation"},
    {"PrivateProfile", "profile"},
    {"ModuleFileName", "profile"},
    {"Reg", "registry"},
    {"Version", "registry"},
    {"Library", "registry"},
    {"ProcAddress", "registry"},
    {"Menu", "menu"},
    {"CursorPos", "menu"},
    {"Foreground", "menu"},
    {"Timer", "timer"},
    {"NotifyIcon", "tray icon"},
    {"Format", "format"},
    {"LoadString", "resource"},
    {"LoadImage", "resource"},
    {"Window", "window"},
    {"Dialog", "window"},
    {"Message", "window"},
};

}  // namespace

std::string GroupOf(const std::string& name) {
    for (const GroupRule& rule : kGroupRules) {
        if (name.find(rule.part) != std::string::npos) return rule.group;
    }
    return "";
}

void FailCall(const std::string& target, int k, int repeat) {
    state().faultTarget = target;
    state().faultAt = k;
    state().faultRepeat = repeat;
    state().faultCalls = 0;
}

bool ShouldFail(const char* name) {
    State& s = state();
    if (!s.faultTarget.empty() && s.faultTarget != name && s.faultTarget != GroupOf(name)) return false;
    int number = ++s.faultCalls;
    if (s.faultAt == 0 || number < s.faultAt || number >= s.faultAt + s.faultRepeat) return false;
    s.faultsInjected.push_back(name);
    return true;
}

}  // namespace fake
