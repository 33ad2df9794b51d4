// Windows, messages, the timer, message boxes, menus, the tray icon and atoms.
#include "platform/window.h"

#include <cstring>

#include "platform/win32/win32_headers.h"

namespace sys {
namespace {

// The program has one dialog and one timer procedure, so one slot each holds the
// portable procedure that the trampoline forwards to.
DialogProcFn currentDialogProc = nullptr;
TimerProcFn currentTimerProc = nullptr;

INT_PTR CALLBACK DialogTrampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (currentDialogProc == nullptr) return FALSE;
    return currentDialogProc(window, message, wParam, lParam);
}

VOID CALLBACK TimerTrampoline(HWND window, UINT message, UINT_PTR id, DWORD time) {
    if (currentTimerProc == nullptr) return;
    currentTimerProc(window, message, id, time);
}

// The whole MSG of the last GetMessageA: DispatchMessageA must see the real one,
// since a WM_TIMER's lParam is the procedure to call and its time matters too.
MSG lastMessage;

bool IsLastMessage(const Message* msg) {
    return msg->hwnd == lastMessage.hwnd && msg->message == lastMessage.message && msg->wParam == lastMessage.wParam &&
           msg->lParam == lastMessage.lParam;
}

MSG ToMsg(const Message* msg) {
    if (IsLastMessage(msg)) return lastMessage;
    MSG result;
    ZeroMemory(&result, sizeof result);
    result.hwnd = static_cast<HWND>(msg->hwnd);
    result.message = msg->message;
    result.wParam = msg->wParam;
    result.lParam = msg->lParam;
    return result;
}

}  // namespace

Window CreateDialogParamA(Instance instance, uint32_t templateId, Window parent, DialogProcFn proc, LParam init) {
    // Set before the call: the dialog manager sends WM_INITDIALOG from inside it.
    currentDialogProc = proc;
    return ::CreateDialogParamA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(templateId),
                                static_cast<HWND>(parent), proc != nullptr ? DialogTrampoline : nullptr, init);
}

Window GetDesktopWindow() { return ::GetDesktopWindow(); }

bool ShowWindow(Window window, int command) { return ::ShowWindow(static_cast<HWND>(window), command) != FALSE; }

bool UpdateWindow(Window window) { return ::UpdateWindow(static_cast<HWND>(window)) != FALSE; }

bool DestroyWindow(Window window) { return ::DestroyWindow(static_cast<HWND>(window)) != FALSE; }

void PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

int GetMessageA(Message* msg) {
    ZeroMemory(&lastMessage, sizeof lastMessage);
    BOOL result = ::GetMessageA(&lastMessage, nullptr, 0, 0);
    msg->hwnd = lastMessage.hwnd;
    msg->message = lastMessage.message;
    msg->wParam = lastMessage.wParam;
    msg->lParam = lastMessage.lParam;
    return result;
}

void TranslateMessage(const Message* msg) {
    MSG real = ToMsg(msg);
    ::TranslateMessage(&real);
}

void DispatchMessageA(const Message* msg) {
    MSG real = ToMsg(msg);
    ::DispatchMessageA(&real);
}

bool PostMessageA(Window window, uint32_t message, WParam wParam, LParam lParam) {
    return ::PostMessageA(static_cast<HWND>(window), message, wParam, lParam) != FALSE;
}

intptr_t SendMessageA(Window window, uint32_t message, WParam wParam, LParam lParam) {
    return ::SendMessageA(static_cast<HWND>(window), message, wParam, lParam);
}

uint32_t RegisterWindowMessageA(const char* name) { return ::RegisterWindowMessageA(name); }

TimerId SetTimer(Window window, TimerId id, uint32_t period, TimerProcFn proc) {
    // A window's timer posts WM_TIMER without a procedure: the slot keeps the thread timer's.
    if (proc != nullptr) currentTimerProc = proc;
    return ::SetTimer(static_cast<HWND>(window), id, period, proc != nullptr ? TimerTrampoline : nullptr);
}

bool KillTimer(Window window, TimerId id) { return ::KillTimer(static_cast<HWND>(window), id) != FALSE; }

uint32_t GetTickCount() { return ::GetTickCount(); }

int MessageBoxA(Window owner, const char* text, const char* caption, uint32_t style) {
    return ::MessageBoxA(static_cast<HWND>(owner), text, caption, style);
}

Icon LoadImageA(Instance instance, uint32_t id, uint32_t type, int cx, int cy, uint32_t flags) {
    return ::LoadImageA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(id), type, cx, cy, flags);
}

int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

uint32_t NotifyIconDataV1Size() { return NOTIFYICONDATAA_V1_SIZE; }

bool Shell_NotifyIconA(uint32_t message, NotifyIconData* data) {
    // Zero-filled and sized as the first version, or the second for a balloon,
    // so that every shell reads exactly the fields we set and nothing uninitialised.
    NOTIFYICONDATAA notify;
    ZeroMemory(&notify, sizeof notify);
    bool balloon = (data->uFlags & NIF_INFO) != 0;
    notify.cbSize = balloon ? NOTIFYICONDATAA_V2_SIZE : NOTIFYICONDATAA_V1_SIZE;
    notify.hWnd = static_cast<HWND>(data->hWnd);
    notify.uID = data->uID;
    notify.uFlags = data->uFlags;
    notify.uCallbackMessage = data->uCallbackMessage;
    notify.hIcon = static_cast<HICON>(data->hIcon);
    std::memcpy(notify.szTip, data->szTip, sizeof data->szTip);
    notify.szTip[sizeof data->szTip - 1] = '\0';
    if (balloon) {
        std::memcpy(notify.szInfo, data->szInfo, sizeof notify.szInfo);
        notify.szInfo[sizeof notify.szInfo - 1] = '\0';
        std::memcpy(notify.szInfoTitle, data->szInfoTitle, sizeof notify.szInfoTitle);
        notify.szInfoTitle[sizeof notify.szInfoTitle - 1] = '\0';
        notify.dwInfoFlags = data->dwInfoFlags;
    }
    return ::Shell_NotifyIconA(message, &notify) != FALSE;
}

Menu LoadMenuA(Instance instance, uint32_t id) {
    return ::LoadMenuA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(id));
}

Menu CreatePopupMenu() { return ::CreatePopupMenu(); }

bool AppendMenuA(Menu menu, uint32_t flags, uintptr_t id, const char* text) {
    return ::AppendMenuA(static_cast<HMENU>(menu), flags, id, text) != FALSE;
}

bool ModifyMenuA(Menu menu, uint32_t item, uint32_t flags, uintptr_t id, const char* text) {
    return ::ModifyMenuA(static_cast<HMENU>(menu), item, flags, id, text) != FALSE;
}

Menu GetSubMenu(Menu menu, int position) { return ::GetSubMenu(static_cast<HMENU>(menu), position); }

uint32_t CheckMenuItem(Menu menu, uint32_t item, uint32_t flags) {
    return ::CheckMenuItem(static_cast<HMENU>(menu), item, flags);
}

int GetMenuItemCount(Menu menu) { return ::GetMenuItemCount(static_cast<HMENU>(menu)); }

bool DeleteMenu(Menu menu, uint32_t item, uint32_t flags) {
    return ::DeleteMenu(static_cast<HMENU>(menu), item, flags) != FALSE;
}

uint32_t EnableMenuItem(Menu menu, uint32_t item, uint32_t flags) {
    return static_cast<uint32_t>(::EnableMenuItem(static_cast<HMENU>(menu), item, flags));
}

bool DestroyMenu(Menu menu) { return ::DestroyMenu(static_cast<HMENU>(menu)) != FALSE; }

bool GetCursorPos(Point* point) {
    POINT cursor = {0, 0};
    BOOL ok = ::GetCursorPos(&cursor);
    point->x = cursor.x;
    point->y = cursor.y;
    return ok != FALSE;
}

bool SetForegroundWindow(Window window) { return ::SetForegroundWindow(static_cast<HWND>(window)) != FALSE; }

int TrackPopupMenuEx(Menu menu, uint32_t flags, int x, int y, Window owner) {
    return ::TrackPopupMenuEx(static_cast<HMENU>(menu), flags, x, y, static_cast<HWND>(owner), nullptr);
}

Atom GlobalFindAtomA(const char* name) { return ::GlobalFindAtomA(name); }

Atom GlobalAddAtomA(const char* name) { return ::GlobalAddAtomA(name); }

Atom GlobalDeleteAtom(Atom atom) { return ::GlobalDeleteAtom(atom); }

namespace {

LONG_PTR SetLongPtr(HWND window, int index, LONG_PTR value) { return ::SetWindowLongPtrA(window, index, value); }

}  // namespace

// The 32-bit header makes SetWindowLongPtrA a macro for SetWindowLongA, which
// would rename the function below; the call above has taken whichever it is.
#ifdef SetWindowLongPtrA
#undef SetWindowLongPtrA
#endif

intptr_t SetWindowLongPtrA(Window window, int index, intptr_t value) {
    static_assert(kDwlpMsgResult == DWLP_MSGRESULT, "a dialog's result slot");
    return SetLongPtr(static_cast<HWND>(window), index, value);
}

}  // namespace sys
