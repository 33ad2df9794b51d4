// Windows, messages, the timer, message boxes, menus, the tray icon and atoms.
#pragma once

#include "platform/types.h"

namespace sys {

// Creates the modeless dialog of template id. The dialog procedure receives
// kWmInitDialog before this returns. NULL on failure.
Window CreateDialogParamA(Instance instance, uint32_t templateId, Window parent, DialogProcFn proc, LParam init);
Window GetDesktopWindow();
bool ShowWindow(Window window, int command);
bool UpdateWindow(Window window);
bool DestroyWindow(Window window);
void PostQuitMessage(int exitCode);
// Fills *msg; 0 when the quit message arrived, -1 on error.
int GetMessageA(Message* msg);
void TranslateMessage(const Message* msg);
void DispatchMessageA(const Message* msg);
bool PostMessageA(Window window, uint32_t message, WParam wParam, LParam lParam);
intptr_t SendMessageA(Window window, uint32_t message, WParam wParam, LParam lParam);
// 0 when the message cannot be registered.
uint32_t RegisterWindowMessageA(const char* name);
// Sets a value of the window's extra memory; index kDwlpMsgResult is a dialog
// procedure's result for a message whose answer is not the procedure's own return.
intptr_t SetWindowLongPtrA(Window window, int index, intptr_t value);
constexpr int kDwlpMsgResult = 0;

// A thread timer when window is NULL. Returns the timer id, 0 on failure.
TimerId SetTimer(Window window, TimerId id, uint32_t period, TimerProcFn proc);
bool KillTimer(Window window, TimerId id);
// Milliseconds since the system started, wrapping after 49.7 days: take differences.
uint32_t GetTickCount();

// The button the user pressed (kIdYes, kIdNo, kIdOk), 0 on failure.
int MessageBoxA(Window owner, const char* text, const char* caption, uint32_t style);

// NULL on failure.
Icon LoadImageA(Instance instance, uint32_t id, uint32_t type, int cx, int cy, uint32_t flags);
// A system measure in pixels, 0 on failure. The small icon's size follows the
// display scaling: 16 at 100 %, 24 at 150 %, 32 at 200 %.
constexpr int kSmCxSmIcon = 49;
constexpr int kSmCySmIcon = 50;
int GetSystemMetrics(int index);

// NOTIFYICONDATAA's first size on this architecture (88 bytes on 32-bit Windows).
uint32_t NotifyIconDataV1Size();
bool Shell_NotifyIconA(uint32_t message, NotifyIconData* data);

// Menus. NULL on failure; a loaded or created menu is destroyed with DestroyMenu.
Menu LoadMenuA(Instance instance, uint32_t id);
Menu CreatePopupMenu();
bool AppendMenuA(Menu menu, uint32_t flags, uintptr_t id, const char* text);
// Gives item (by command with kMfByCommand) a new id and text.
bool ModifyMenuA(Menu menu, uint32_t item, uint32_t flags, uintptr_t id, const char* text);
Menu GetSubMenu(Menu menu, int position);
uint32_t CheckMenuItem(Menu menu, uint32_t item, uint32_t flags);
// -1 on failure.
int GetMenuItemCount(Menu menu);
bool DeleteMenu(Menu menu, uint32_t item, uint32_t flags);
// The item's previous state, 0xFFFFFFFF when there is no such item.
uint32_t EnableMenuItem(Menu menu, uint32_t item, uint32_t flags);
bool DestroyMenu(Menu menu);
bool GetCursorPos(Point* point);
bool SetForegroundWindow(Window window);
// With kTpmReturnCmd: the chosen command id, 0 when dismissed.
int TrackPopupMenuEx(Menu menu, uint32_t flags, int x, int y, Window owner);

// Global atoms: 0 when not found or on failure.
Atom GlobalFindAtomA(const char* name);
Atom GlobalAddAtomA(const char* name);
Atom GlobalDeleteAtom(Atom atom);

}  // namespace sys
