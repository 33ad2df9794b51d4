// The fake user interface: the hidden dialog and its message queue, the thread
// timer, message boxes, menus, the tray icon and the system-wide atom table.
#include <cstring>
#include <iterator>

#include "platform/window.h"
#include "rc_tables.h"
#include "tests/fake/fake_internal.h"
#include "tests/fake/fake_platform.h"

namespace fake {

namespace {

constexpr uint32_t kWmQuit = 0x0012;
constexpr uint32_t kMfPopup = 0x0010;
constexpr uint32_t kMfSeparator = 0x0800;
constexpr uint32_t kMenuItemMissing = 0xFFFFFFFFu;

// Kept beside State; read only while State says they are live (quitPosted,
// timerRunning), so a test's Reset() needs not clear them.
int quitCode = 0;
sys::TimerId timerId = 0;

void Record(const char* name) { state().calls.push_back(name); }

FakeMenu* LiveMenu(sys::Menu menu) {
    auto found = state().menus.find(menu);
    if (found == state().menus.end() || found->second.destroyed) return nullptr;
    return &found->second;
}

sys::Menu NewMenu() {
    sys::Menu menu = detail::NewHandle();
    state().menus[menu] = FakeMenu{};
    return menu;
}

void AddItem(sys::Menu menu, uint32_t flags, uintptr_t id, const std::string& text, sys::Menu subMenu) {
    FakeMenu& target = state().menus[menu];
    target.items.push_back(MenuItem{flags, id, text, false});
    target.subMenus.push_back(subMenu);
}

// The menu whose lines start at row, as LoadMenuA builds it from the resource;
// row is left on the kRcEnd of its level.
sys::Menu BuildMenu(const RcMenuItem*& row) {
    sys::Menu menu = NewMenu();
    for (; row->line != kRcEnd; ++row) {
        const RcMenuItem& line = *row;
        sys::Menu popup = line.line == kRcPopup ? BuildMenu(++row) : nullptr;
        uint32_t flags = popup != nullptr ? kMfPopup : line.line == kRcSeparator ? kMfSeparator : sys::kMfString;
        AddItem(menu, flags, popup != nullptr ? reinterpret_cast<uintptr_t>(popup) : line.id, line.bytes, popup);
    }
    return menu;
}

// The item with this command id, searched through the submenus as Win32 does.
MenuItem* FindByCommand(sys::Menu menu, uint32_t id) {
    FakeMenu* live = LiveMenu(menu);
    if (live == nullptr) return nullptr;
    for (std::size_t i = 0; i < live->items.size(); ++i) {
        if (live->subMenus[i] != nullptr) {
            if (MenuItem* inner = FindByCommand(live->subMenus[i], id)) return inner;
        } else if ((live->items[i].flags & kMfSeparator) == 0 && live->items[i].id == id) {
            return &live->items[i];
        }
    }
    return nullptr;
}

// The item at a position (kMfByPosition) or with a command id.
MenuItem* FindItem(sys::Menu menu, uint32_t item, uint32_t flags) {
    if ((flags & sys::kMfByPosition) == 0) return FindByCommand(menu, item);
    FakeMenu* live = LiveMenu(menu);
    return live != nullptr && item < live->items.size() ? &live->items[item] : nullptr;
}

void DestroyMenuTree(sys::Menu menu) {
    FakeMenu* live = LiveMenu(menu);
    if (live == nullptr) return;
    live->destroyed = true;
    live->destroyedAtCall = state().calls.size() - 1;
    for (sys::Menu sub : live->subMenus) {
        if (sub != nullptr) DestroyMenuTree(sub);
    }
}

// Global atoms are matched without case, as the system matches them.
std::string FoldName(const char* name) {
    std::string folded = name != nullptr ? name : "";
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

// A stable value in the string-atom range 0xC000..0xFFFF for a name.
uint16_t AtomValueOf(const std::string& folded) {
    uint32_t hash = 2166136261u;
    for (unsigned char c : folded) hash = (hash ^ c) * 16777619u;
    return static_cast<uint16_t>(0xC000u | (hash & 0x3FFFu));
}

std::map<std::string, int>::iterator FindAtom(const std::string& folded) {
    auto& atoms = state().atoms;
    for (auto it = atoms.begin(); it != atoms.end(); ++it) {
        if (FoldName(it->first.c_str()) == folded) return it;
    }
    return atoms.end();
}

}  // namespace

void FireTimer() {
    if (!state().timerRunning || state().timerProc == nullptr) return;
    state().tickCount += state().timerPeriod;  // a period has passed since the last
    state().timerProc(nullptr, sys::kWmTimer, timerId, 0);
}

}  // namespace fake

namespace sys {

using fake::state;

Window CreateDialogParamA(Instance, uint32_t, Window, DialogProcFn proc, LParam init) {
    fake::Record("CreateDialogParamA");
    if (fake::ShouldFail("CreateDialogParamA")) return nullptr;
    Window dialog = fake::detail::NewHandle();
    state().dialog = dialog;
    state().dialogProc = proc;
    state().dialogDestroyed = false;
    if (proc != nullptr) proc(dialog, kWmInitDialog, 0, init);
    return dialog;
}

Window GetDesktopWindow() {
    fake::Record("GetDesktopWindow");
    return reinterpret_cast<Window>(static_cast<uintptr_t>(0x10));
}

bool ShowWindow(Window, int) {
    fake::Record("ShowWindow");
    return false;
}

bool UpdateWindow(Window window) {
    fake::Record("UpdateWindow");
    if (fake::ShouldFail("UpdateWindow")) return false;
    return window != nullptr;
}

bool DestroyWindow(Window window) {
    fake::Record("DestroyWindow");
    if (fake::ShouldFail("DestroyWindow")) return false;
    if (window == nullptr || window != state().dialog || state().dialogDestroyed) return false;
    // The window gets WM_DESTROY while it is being destroyed, then nothing more.
    if (state().dialogProc != nullptr) state().dialogProc(window, kWmDestroy, 0, 0);
    state().dialogDestroyed = true;
    return true;
}

void PostQuitMessage(int exitCode) {
    fake::Record("PostQuitMessage");
    state().quitPosted = true;
    fake::quitCode = exitCode;
}

int GetMessageA(Message* msg) {
    fake::Record("GetMessageA");
    // Called in place, so that a hook may keep its own count of the passes.
    if (state().onGetMessage) state().onGetMessage();
    // The quit message comes when no other is waiting, as the system's does.
    if (state().messages.empty()) {
        if (!state().quitPosted) state().waitedForever = true;
        *msg = Message{nullptr, fake::kWmQuit, static_cast<WParam>(state().quitPosted ? fake::quitCode : 0), 0};
        return 0;
    }
    *msg = state().messages.front();
    state().messages.pop_front();
    return 1;
}

void TranslateMessage(const Message*) { fake::Record("TranslateMessage"); }

void DispatchMessageA(const Message* msg) {
    fake::Record("DispatchMessageA");
    if (msg->hwnd != nullptr && msg->hwnd == state().dialog && !state().dialogDestroyed &&
        state().dialogProc != nullptr) {
        state().dialogProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    }
}

bool PostMessageA(Window window, uint32_t message, WParam wParam, LParam lParam) {
    fake::Record("PostMessageA");
    if (fake::ShouldFail("PostMessageA")) return false;
    state().posted.push_back(Message{window, message, wParam, lParam});
    if (window != nullptr && window == state().dialog && !state().dialogDestroyed && message != kWmNull) {
        state().messages.push_back(Message{window, message, wParam, lParam});
    }
    return true;
}

intptr_t SendMessageA(Window window, uint32_t message, WParam wParam, LParam lParam) {
    fake::Record("SendMessageA");
    if (message == kBffmSetSelectionA) {
        state().browseSelections.push_back(lParam != 0 ? reinterpret_cast<const char*>(lParam) : "");
        return 0;
    }
    if (window != nullptr && window == state().dialog && !state().dialogDestroyed && state().dialogProc != nullptr) {
        return state().dialogProc(window, message, wParam, lParam);
    }
    return 0;
}

uint32_t RegisterWindowMessageA(const char* name) {
    fake::Record("RegisterWindowMessageA");
    if (fake::ShouldFail("RegisterWindowMessageA")) return 0;
    if (name == nullptr || *name == '\0') return 0;
    return fake::AtomValueOf(fake::FoldName(name));
}

intptr_t SetWindowLongPtrA(Window window, int index, intptr_t value) {
    fake::Record("SetWindowLongPtrA");
    if (window != state().dialog || index != kDwlpMsgResult) return 0;
    intptr_t previous = state().dialogResult;
    state().dialogResult = value;
    return previous;
}

TimerId SetTimer(Window window, TimerId id, uint32_t period, TimerProcFn proc) {
    fake::Record("SetTimer");
    if (fake::ShouldFail("SetTimer")) return 0;
    if (window != nullptr) {  // a timer of the hidden window, posting WM_TIMER with its id
        state().windowTimers[id] = period;
        return id;
    }
    state().timerProc = proc;
    state().timerPeriod = period;
    state().timerRunning = true;
    fake::timerId = static_cast<TimerId>(state().nextHandle++);
    return fake::timerId;
}

bool KillTimer(Window window, TimerId id) {
    fake::Record("KillTimer");
    if (fake::ShouldFail("KillTimer")) return false;
    if (window != nullptr) return state().windowTimers.erase(id) == 1;
    if (!state().timerRunning || id == 0 || id != fake::timerId) return false;
    state().timerRunning = false;
    return true;
}

uint32_t GetTickCount() { return state().tickCount; }

int MessageBoxA(Window owner, const char* text, const char* caption, uint32_t style) {
    fake::Record("MessageBoxA");
    if (fake::ShouldFail("MessageBoxA")) return 0;
    state().messageBoxes.push_back(
        fake::MessageBoxCall{owner, text != nullptr ? text : "", caption != nullptr ? caption : "", style});
    if (state().messageBoxAnswers.empty()) return kIdNo;
    int answer = state().messageBoxAnswers.front();
    state().messageBoxAnswers.pop_front();
    return answer;
}

Icon LoadImageA(Instance, uint32_t, uint32_t, int cx, int cy, uint32_t) {
    fake::Record("LoadImageA");
    if (fake::ShouldFail("LoadImageA")) return nullptr;
    state().loadedImageSizes.push_back(Point{cx, cy});
    return fake::detail::NewHandle();
}

int GetSystemMetrics(int index) {
    fake::Record("GetSystemMetrics");
    if (fake::ShouldFail("GetSystemMetrics")) return 0;
    return index == kSmCxSmIcon || index == kSmCySmIcon ? state().smallIconSize : 0;
}

uint32_t NotifyIconDataV1Size() {
    fake::Record("NotifyIconDataV1Size");
    return 88;
}

bool Shell_NotifyIconA(uint32_t message, NotifyIconData* data) {
    fake::Record("Shell_NotifyIconA");
    if (fake::ShouldFail("Shell_NotifyIconA")) return false;
    state().notifyIcons.push_back(fake::ShellNotifyCall{message, *data});
    std::pair<Window, uint32_t> icon(data->hWnd, data->uID);
    bool shown = state().trayIcons.count(icon) != 0;
    switch (message) {
        case kNimAdd:
            if (state().notifyAddFailures > 0) {
                --state().notifyAddFailures;
                return false;
            }
            if (shown) return false;
            state().trayIcons.insert(icon);
            return true;
        case kNimModify: return shown;
        case kNimDelete: return state().trayIcons.erase(icon) == 1;
        default: return false;
    }
}

Menu LoadMenuA(Instance, uint32_t id) {
    fake::Record("LoadMenuA");
    if (fake::ShouldFail("LoadMenuA")) return nullptr;
    for (const RcMenuItem* row = kRcMenus; row != std::end(kRcMenus); ++row) {
        if (row->menu == id) return fake::BuildMenu(row);
    }
    return nullptr;
}

Menu CreatePopupMenu() {
    fake::Record("CreatePopupMenu");
    if (fake::ShouldFail("CreatePopupMenu")) return nullptr;
    return fake::NewMenu();
}

bool AppendMenuA(Menu menu, uint32_t flags, uintptr_t id, const char* text) {
    fake::Record("AppendMenuA");
    if (fake::ShouldFail("AppendMenuA")) return false;
    if (fake::LiveMenu(menu) == nullptr) return false;
    fake::AddItem(menu, flags, id, text != nullptr ? text : "", nullptr);
    return true;
}

bool ModifyMenuA(Menu menu, uint32_t item, uint32_t flags, uintptr_t id, const char* text) {
    fake::Record("ModifyMenuA");
    fake::MenuItem* target = fake::FindItem(menu, item, flags);
    if (fake::ShouldFail("ModifyMenuA") || target == nullptr) return false;
    target->id = id;
    target->text = text != nullptr ? text : "";
    return true;
}

Menu GetSubMenu(Menu menu, int position) {
    fake::Record("GetSubMenu");
    if (fake::ShouldFail("GetSubMenu")) return nullptr;
    fake::FakeMenu* live = fake::LiveMenu(menu);
    if (live == nullptr || position < 0 || static_cast<std::size_t>(position) >= live->subMenus.size()) {
        return nullptr;
    }
    return live->subMenus[position];
}

uint32_t CheckMenuItem(Menu menu, uint32_t item, uint32_t flags) {
    fake::Record("CheckMenuItem");
    if (fake::ShouldFail("CheckMenuItem")) return fake::kMenuItemMissing;
    fake::MenuItem* target = fake::FindItem(menu, item, flags);
    if (target == nullptr) return fake::kMenuItemMissing;
    uint32_t previous = target->checked ? kMfChecked : kMfUnchecked;
    target->checked = (flags & kMfChecked) != 0;
    return previous;
}

uint32_t EnableMenuItem(Menu menu, uint32_t item, uint32_t flags) {
    fake::Record("EnableMenuItem");
    if (fake::ShouldFail("EnableMenuItem")) return fake::kMenuItemMissing;
    fake::MenuItem* target = fake::FindItem(menu, item, flags);
    if (target == nullptr) return fake::kMenuItemMissing;
    uint32_t previous = target->grayed ? kMfGrayed : kMfEnabled;
    target->grayed = (flags & kMfGrayed) != 0;
    return previous;
}

int GetMenuItemCount(Menu menu) {
    fake::Record("GetMenuItemCount");
    fake::FakeMenu* live = fake::LiveMenu(menu);
    if (fake::ShouldFail("GetMenuItemCount") || live == nullptr) return -1;
    return static_cast<int>(live->items.size());
}

bool DeleteMenu(Menu menu, uint32_t item, uint32_t flags) {
    fake::Record("DeleteMenu");
    fake::FakeMenu* live = fake::LiveMenu(menu);
    if (fake::ShouldFail("DeleteMenu") || live == nullptr || (flags & kMfByPosition) == 0 ||
        item >= live->items.size()) {
        return false;  // the program deletes by position only
    }
    if (live->subMenus[item] != nullptr) fake::DestroyMenuTree(live->subMenus[item]);
    live->items.erase(live->items.begin() + item);
    live->subMenus.erase(live->subMenus.begin() + item);
    return true;
}

bool DestroyMenu(Menu menu) {
    fake::Record("DestroyMenu");
    if (fake::ShouldFail("DestroyMenu")) return false;
    if (fake::LiveMenu(menu) == nullptr) return false;
    fake::DestroyMenuTree(menu);
    return true;
}

bool GetCursorPos(Point* point) {
    fake::Record("GetCursorPos");
    if (fake::ShouldFail("GetCursorPos")) return false;
    *point = Point{640, 480};
    return true;
}

bool SetForegroundWindow(Window window) {
    fake::Record("SetForegroundWindow");
    if (fake::ShouldFail("SetForegroundWindow")) return false;
    return window != nullptr;
}

int TrackPopupMenuEx(Menu menu, uint32_t, int x, int y, Window) {
    fake::Record("TrackPopupMenuEx");
    if (fake::ShouldFail("TrackPopupMenuEx")) return 0;
    state().trackedMenus.push_back(menu);
    state().trackedPoints.push_back(Point{x, y});
    if (fake::LiveMenu(menu) == nullptr) return 0;
    if (state().duringModalLoop) state().duringModalLoop();
    if (state().popupChoices.empty()) return 0;
    int choice = state().popupChoices.front();
    state().popupChoices.pop_front();
    return choice;
}

Atom GlobalFindAtomA(const char* name) {
    fake::Record("GlobalFindAtomA");
    if (fake::ShouldFail("GlobalFindAtomA")) return 0;
    std::string folded = fake::FoldName(name);
    if (fake::FindAtom(folded) == state().atoms.end()) return 0;
    return fake::AtomValueOf(folded);
}

Atom GlobalAddAtomA(const char* name) {
    fake::Record("GlobalAddAtomA");
    if (fake::ShouldFail("GlobalAddAtomA")) return 0;
    std::string folded = fake::FoldName(name);
    auto found = fake::FindAtom(folded);
    if (found == state().atoms.end()) {
        state().atoms[name] = 1;
    } else {
        ++found->second;
    }
    return fake::AtomValueOf(folded);
}

Atom GlobalDeleteAtom(Atom atom) {
    fake::Record("GlobalDeleteAtom");
    if (fake::ShouldFail("GlobalDeleteAtom")) return atom;
    auto& atoms = state().atoms;
    for (auto it = atoms.begin(); it != atoms.end(); ++it) {
        if (fake::AtomValueOf(fake::FoldName(it->first.c_str())) == atom) {
            if (--it->second <= 0) atoms.erase(it);
            return 0;
        }
    }
    return atom;  // not found: the system returns the atom itself
}

}  // namespace sys
