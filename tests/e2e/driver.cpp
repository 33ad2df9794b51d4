// Drives the real zolm.exe from outside, as a user would: starts it, finds its
// hidden window, message boxes, popup menus, the folder picker and the shell's
// questions, reads their texts and presses their buttons.
//
// Every command prints what it saw on stdout, one line at a time, and returns
// 0 when what it waited for happened, non-zero otherwise. Waits poll with short
// sleeps until a timeout given in seconds.

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const DWORD kPollMs = 50;

// Exit codes of the driver itself, apart from "start", which passes on the
// exit code of the program it ran.
const int kOk = 0;
const int kNotFound = 1;
const int kUsage = 2;
const int kMismatch = 3;

void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fflush(stdout);
}

DWORD Deadline(double seconds) { return GetTickCount() + static_cast<DWORD>(seconds * 1000.0); }

bool Before(DWORD deadline) { return static_cast<LONG>(deadline - GetTickCount()) > 0; }

bool ClassIs(HWND window, const char* name) {
    char buffer[64] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return strcmp(buffer, name) == 0;
}

bool TitleIs(HWND window, const char* title) {
    char buffer[512] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return strcmp(buffer, title) == 0;
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

bool HasButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return button != nullptr && ClassIs(button, "Button");
}

struct ChildSearch {
    const char* name;
    bool found;
};

BOOL CALLBACK FindChildOfClass(HWND child, LPARAM data) {
    ChildSearch* search = reinterpret_cast<ChildSearch*>(data);
    if (!ClassIs(child, search->name)) return TRUE;
    search->found = true;
    return FALSE;
}

bool HasChildOfClass(HWND parent, const char* name) {
    ChildSearch search = {name, false};
    EnumChildWindows(parent, FindChildOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A test for one top-level window; pid 0 accepts every process.
struct WindowTest {
    DWORD pid;
    bool (*accepts)(HWND window, const WindowTest& test);
    const char* text;  // what the test compares with, if anything
};

struct TopLevelSearch {
    const WindowTest* test;
    HWND found;
};

BOOL CALLBACK FindAcceptedWindow(HWND window, LPARAM data) {
    TopLevelSearch* search = reinterpret_cast<TopLevelSearch*>(data);
    if (search->test->pid != 0 && ProcessOf(window) != search->test->pid) return TRUE;
    if (!search->test->accepts(window, *search->test)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindTopLevel(const WindowTest& test) {
    TopLevelSearch search = {&test, nullptr};
    EnumWindows(FindAcceptedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForTopLevel(const WindowTest& test, double seconds) {
    DWORD deadline = Deadline(seconds);
    for (;;) {
        HWND window = FindTopLevel(test);
        if (window != nullptr || !Before(deadline)) return window;
        Sleep(kPollMs);
    }
}

bool WaitUntilGone(HWND window, double seconds) {
    DWORD deadline = Deadline(seconds);
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (!Before(deadline)) return false;
        Sleep(kPollMs);
    }
    return true;
}

// The program's hidden window: a dialog without controls, title or visibility.
// A message box is all of that too for the moment of its creation.
bool IsHiddenWindow(HWND window, const WindowTest&) {
    return ClassIs(window, "#32770") && TitleIs(window, "") && !IsWindowVisible(window) &&
           GetWindow(window, GW_CHILD) == nullptr;
}

bool IsBox(HWND window, const WindowTest& test) {
    return ClassIs(window, "#32770") && IsWindowVisible(window) && TitleIs(window, test.text);
}

bool IsPopupMenu(HWND window, const WindowTest&) { return ClassIs(window, "#32768") && IsWindowVisible(window); }

// The folder picker, whatever its caption's language: a dialog with a tree.
bool IsFolderPicker(HWND window, const WindowTest&) {
    return ClassIs(window, "#32770") && IsWindowVisible(window) && HasButton(window, IDOK) &&
           HasChildOfClass(window, "SysTreeView32");
}

// The shell's confirmations (overwrite, delete), whatever their captions'
// language: dialogs with Yes and No buttons that are not the program's own
// message boxes, whose caption is test.text.
bool IsShellQuestion(HWND window, const WindowTest& test) {
    return ClassIs(window, "#32770") && IsWindowVisible(window) && !TitleIs(window, test.text) &&
           HasButton(window, IDYES) && HasButton(window, IDNO);
}

HWND HiddenWindowOf(DWORD pid, double seconds) {
    WindowTest test = {pid, IsHiddenWindow, nullptr};
    DWORD deadline = Deadline(seconds);
    for (;;) {
        HWND window = FindTopLevel(test);
        if (window != nullptr) {
            // Still the same a moment later: not a message box being made.
            Sleep(2 * kPollMs);
            if (IsWindow(window) && IsHiddenWindow(window, test)) return window;
        }
        if (!Before(deadline)) return nullptr;
        Sleep(kPollMs);
    }
}

struct TextSearch {
    char* text;
    int size;
};

BOOL CALLBACK FindStaticText(HWND child, LPARAM data) {
    TextSearch* search = reinterpret_cast<TextSearch*>(data);
    if (!ClassIs(child, "Static")) return TRUE;
    if (GetWindowTextA(child, search->text, search->size) > 0) return FALSE;
    search->text[0] = '\0';
    return TRUE;
}

// The text of a message box: the one Static child that carries text.
void BoxText(HWND box, char* text, int size) {
    TextSearch search = {text, size};
    text[0] = '\0';
    EnumChildWindows(box, FindStaticText, reinterpret_cast<LPARAM>(&search));
}

void PrintHex(const char* label, const char* bytes, size_t length) {
    Say("%s", label);
    for (size_t i = 0; i < length; ++i) Say("%02x", static_cast<unsigned char>(bytes[i]));
    Say("\n");
}

// Expected bytes from a hex text; false when it is not one.
bool DecodeHex(const char* hex, char* bytes, size_t size, size_t* length) {
    size_t digits = strlen(hex);
    if (digits % 2 != 0 || digits / 2 > size) return false;
    for (size_t i = 0; i < digits / 2; ++i) {
        char pair[3] = {hex[2 * i], hex[2 * i + 1], '\0'};
        char* end = nullptr;
        unsigned long value = strtoul(pair, &end, 16);
        if (end != pair + 2) return false;
        bytes[i] = static_cast<char>(value);
    }
    *length = digits / 2;
    return true;
}

bool ReadWholeFile(const char* path, char* bytes, size_t size, size_t* length) {
    FILE* file = fopen(path, "rb");
    if (file == nullptr) return false;
    *length = fread(bytes, 1, size, file);
    bool complete = feof(file) != 0 || fgetc(file) == EOF;
    fclose(file);
    return complete;
}

int AnswerId(const char* answer) {
    if (strcmp(answer, "yes") == 0) return IDYES;
    if (strcmp(answer, "no") == 0) return IDNO;
    if (strcmp(answer, "ok") == 0) return IDOK;
    if (strcmp(answer, "cancel") == 0) return IDCANCEL;
    return 0;
}

bool Press(HWND dialog, int id, double seconds) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    return WaitUntilGone(dialog, seconds);
}

HWND ParseWindow(const char* text) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoull(text, nullptr, 0)));
}

DWORD ParsePid(const char* text) { return static_cast<DWORD>(strtoul(text, nullptr, 0)); }

double ParseSeconds(const char* text) { return atof(text); }

// Options after the fixed arguments: "--name value" pairs.
const char* Option(int argc, char** argv, int first, const char* name) {
    for (int i = first; i + 1 < argc; ++i) {
        if (strcmp(argv[i], name) == 0) return argv[i + 1];
    }
    return nullptr;
}

// start <exe> [--wait-window SECONDS]
// Runs exe as a child and stays its parent until it ends, so that its exit code
// is never lost: prints "pid N", then "window 0x..." once its hidden window
// exists, then "exit N"; returns the child's exit code.
int Start(int argc, char** argv) {
    if (argc < 3) return kUsage;
    const char* waitWindow = Option(argc, argv, 3, "--wait-window");

    char commandLine[MAX_PATH + 3] = {};
    snprintf(commandLine, sizeof commandLine, "\"%s\"", argv[2]);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(argv[2], commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        Say("error CreateProcess %lu\n", GetLastError());
        return 127;
    }
    CloseHandle(process.hThread);
    Say("pid %lu\n", process.dwProcessId);

    if (waitWindow != nullptr) {
        DWORD deadline = Deadline(ParseSeconds(waitWindow));
        HWND window = nullptr;
        while (window == nullptr && Before(deadline) && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            window = HiddenWindowOf(process.dwProcessId, 0);
            if (window == nullptr) Sleep(kPollMs);
        }
        if (window != nullptr) {
            Say("window 0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
        } else {
            Say("no-window\n");
        }
    }

    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    Say("exit %lu\n", code);
    return static_cast<int>(code);
}

// window <pid> <timeout>: prints the hidden window of the process.
int Window(int argc, char** argv) {
    if (argc < 4) return kUsage;
    HWND window = HiddenWindowOf(ParsePid(argv[2]), ParseSeconds(argv[3]));
    if (window == nullptr) {
        Say("no-window\n");
        return kNotFound;
    }
    Say("window 0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
    return kOk;
}

// wait-box <caption> <timeout> [--pid P] [--text-hex HEX | --text-file F]
//          [--answer yes|no|ok|cancel]
// Waits for a message box with that caption, prints its text in hex, compares
// it byte for byte when asked, then presses the answer's button.
int WaitBox(int argc, char** argv) {
    if (argc < 4) return kUsage;
    const char* pid = Option(argc, argv, 4, "--pid");
    const char* textHex = Option(argc, argv, 4, "--text-hex");
    const char* textFile = Option(argc, argv, 4, "--text-file");
    const char* answer = Option(argc, argv, 4, "--answer");

    static char expected[4096];
    size_t expectedLength = 0;
    if (textHex != nullptr && !DecodeHex(textHex, expected, sizeof expected, &expectedLength)) return kUsage;
    if (textFile != nullptr && !ReadWholeFile(textFile, expected, sizeof expected, &expectedLength)) {
        Say("error cannot read %s\n", textFile);
        return kUsage;
    }
    int answerId = answer != nullptr ? AnswerId(answer) : 0;
    if (answer != nullptr && answerId == 0) return kUsage;

    WindowTest test = {pid != nullptr ? ParsePid(pid) : 0, IsBox, argv[2]};
    HWND box = WaitForTopLevel(test, ParseSeconds(argv[3]));
    if (box == nullptr) {
        Say("no-box\n");
        return kNotFound;
    }
    Say("box 0x%llx pid %lu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(box)), ProcessOf(box));

    static char text[4096];
    BoxText(box, text, sizeof text);
    size_t length = strlen(text);
    PrintHex("text ", text, length);

    int result = kOk;
    if (textHex != nullptr || textFile != nullptr) {
        if (length != expectedLength || memcmp(text, expected, length) != 0) {
            PrintHex("expected ", expected, expectedLength);
            Say("text-mismatch\n");
            result = kMismatch;
        } else {
            Say("text-match\n");
        }
    }
    if (answerId != 0) {
        if (!HasButton(box, answerId)) {
            Say("no-button %d\n", answerId);
            return kNotFound;
        }
        if (!Press(box, answerId, 10)) {
            Say("box-still-open\n");
            return kNotFound;
        }
        Say("answered %s\n", answer);
    }
    return result;
}

// no-box <caption> <seconds> [--pid P]: succeeds when no such box appears.
int NoBox(int argc, char** argv) {
    if (argc < 4) return kUsage;
    const char* pid = Option(argc, argv, 4, "--pid");
    WindowTest test = {pid != nullptr ? ParsePid(pid) : 0, IsBox, argv[2]};
    HWND box = WaitForTopLevel(test, ParseSeconds(argv[3]));
    if (box != nullptr) {
        static char text[4096];
        BoxText(box, text, sizeof text);
        PrintHex("unexpected-box ", text, strlen(text));
        return kNotFound;
    }
    Say("no-box\n");
    return kOk;
}

// close <pid>: WM_CLOSE to the hidden window.
int Close(int argc, char** argv) {
    if (argc < 3) return kUsage;
    HWND window = HiddenWindowOf(ParsePid(argv[2]), 5);
    if (window == nullptr || !PostMessageA(window, WM_CLOSE, 0, 0)) {
        Say("no-window\n");
        return kNotFound;
    }
    Say("closed\n");
    return kOk;
}

LPARAM ParseMouseMessage(const char* text) {
    static const struct {
        const char* name;
        UINT message;
    } kMessages[] = {
        {"WM_MOUSEMOVE", WM_MOUSEMOVE},         {"WM_LBUTTONDOWN", WM_LBUTTONDOWN}, {"WM_LBUTTONUP", WM_LBUTTONUP},
        {"WM_LBUTTONDBLCLK", WM_LBUTTONDBLCLK}, {"WM_RBUTTONDOWN", WM_RBUTTONDOWN}, {"WM_RBUTTONUP", WM_RBUTTONUP},
        {"WM_RBUTTONDBLCLK", WM_RBUTTONDBLCLK}, {"WM_MBUTTONDOWN", WM_MBUTTONDOWN},
    };
    for (const auto& entry : kMessages) {
        if (strcmp(text, entry.name) == 0) return entry.message;
    }
    return static_cast<LPARAM>(strtol(text, nullptr, 0));
}

// tray <pid> <wparam> <lparam>: the tray icon's callback message, as the shell
// sends it when the icon is clicked.
int Tray(int argc, char** argv) {
    if (argc < 5) return kUsage;
    HWND window = HiddenWindowOf(ParsePid(argv[2]), 5);
    if (window == nullptr) {
        Say("no-window\n");
        return kNotFound;
    }
    WPARAM wParam = static_cast<WPARAM>(strtoul(argv[3], nullptr, 0));
    LPARAM lParam = ParseMouseMessage(argv[4]);
    if (!PostMessageA(window, 0x8064, wParam, lParam)) {
        Say("post-failed %lu\n", GetLastError());
        return kNotFound;
    }
    Say("posted\n");
    return kOk;
}

// menu-char <pid> <char> <timeout>: chooses an item of the open popup menu by
// its mnemonic letter.
int MenuChar(int argc, char** argv) {
    if (argc < 5) return kUsage;
    WindowTest test = {ParsePid(argv[2]), IsPopupMenu, nullptr};
    HWND menu = WaitForTopLevel(test, ParseSeconds(argv[4]));
    if (menu == nullptr) {
        Say("no-menu\n");
        return kNotFound;
    }
    PostMessageA(menu, WM_CHAR, static_cast<unsigned char>(argv[3][0]), 1);
    if (!WaitUntilGone(menu, 10)) {
        Say("menu-still-open\n");
        return kNotFound;
    }
    Say("chosen %c\n", argv[3][0]);
    return kOk;
}

// menu-keys <pid> <keys> <timeout>: presses keys in the open popup menu; keys
// is a comma list of down, up, return and escape.
int MenuKeys(int argc, char** argv) {
    if (argc < 5) return kUsage;
    WindowTest test = {ParsePid(argv[2]), IsPopupMenu, nullptr};
    HWND menu = WaitForTopLevel(test, ParseSeconds(argv[4]));
    if (menu == nullptr) {
        Say("no-menu\n");
        return kNotFound;
    }
    char keys[256] = {};
    snprintf(keys, sizeof keys, "%s", argv[3]);
    for (char* key = strtok(keys, ","); key != nullptr; key = strtok(nullptr, ",")) {
        WPARAM vk = 0;
        if (strcmp(key, "down") == 0)
            vk = VK_DOWN;
        else if (strcmp(key, "up") == 0)
            vk = VK_UP;
        else if (strcmp(key, "return") == 0)
            vk = VK_RETURN;
        else if (strcmp(key, "escape") == 0)
            vk = VK_ESCAPE;
        else
            return kUsage;
        PostMessageA(menu, WM_KEYDOWN, vk, 1);
        PostMessageA(menu, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
    }
    if (!WaitUntilGone(menu, 10)) {
        Say("menu-still-open\n");
        return kNotFound;
    }
    Say("keys-sent\n");
    return kOk;
}

// no-menu <pid> <seconds>: succeeds when no popup menu of the process appears.
int NoMenu(int argc, char** argv) {
    if (argc < 4) return kUsage;
    WindowTest test = {ParsePid(argv[2]), IsPopupMenu, nullptr};
    if (WaitForTopLevel(test, ParseSeconds(argv[3])) != nullptr) {
        Say("unexpected-menu\n");
        return kNotFound;
    }
    Say("no-menu\n");
    return kOk;
}

// picker <pid> <timeout> [--answer ok|cancel]: waits for the folder picker
// and presses its button (OK takes the preselected folder).
int Picker(int argc, char** argv) {
    if (argc < 4) return kUsage;
    const char* answer = Option(argc, argv, 4, "--answer");
    int answerId = AnswerId(answer != nullptr ? answer : "ok");
    if (answerId != IDOK && answerId != IDCANCEL) return kUsage;
    WindowTest test = {ParsePid(argv[2]), IsFolderPicker, nullptr};
    HWND picker = WaitForTopLevel(test, ParseSeconds(argv[3]));
    if (picker == nullptr) {
        Say("no-picker\n");
        return kNotFound;
    }
    // The preselection is made while the dialog initialises; give it a moment
    // to reach the tree before OK reads it.
    Sleep(300);
    if (!Press(picker, answerId, 10)) {
        Say("picker-still-open\n");
        return kNotFound;
    }
    Say("answered %s\n", answerId == IDOK ? "ok" : "cancel");
    return kOk;
}

// answer-shell <pid> <timeout> [--expect N] [--answer yes|no] [--caption C] [--hold S]
// Answers the shell's confirmations, one per file, until --expect of them were
// answered, or, without --expect, until none has appeared for the timeout.
// C is the program's own caption, whose boxes are not the shell's. With --hold,
// each question is left open for S seconds first, as a user who hesitates would.
int AnswerShell(int argc, char** argv) {
    if (argc < 4) return kUsage;
    const char* expect = Option(argc, argv, 4, "--expect");
    const char* answer = Option(argc, argv, 4, "--answer");
    const char* caption = Option(argc, argv, 4, "--caption");
    const char* hold = Option(argc, argv, 4, "--hold");
    int answerId = AnswerId(answer != nullptr ? answer : "yes");
    if (answerId != IDYES && answerId != IDNO) return kUsage;
    long wanted = expect != nullptr ? strtol(expect, nullptr, 10) : -1;
    double seconds = ParseSeconds(argv[3]);

    WindowTest test = {ParsePid(argv[2]), IsShellQuestion, caption != nullptr ? caption : "ZOLM"};
    long answered = 0;
    while (wanted < 0 || answered < wanted) {
        HWND question = WaitForTopLevel(test, seconds);
        if (question == nullptr) break;
        char title[256] = {};
        GetWindowTextA(question, title, sizeof title);
        static char text[4096];
        BoxText(question, text, sizeof text);
        Say("question ");
        PrintHex("", title, strlen(title));
        PrintHex("question-text ", text, strlen(text));
        if (hold != nullptr) Sleep(static_cast<DWORD>(ParseSeconds(hold) * 1000));
        if (!Press(question, answerId, 10)) {
            Say("question-still-open\n");
            return kNotFound;
        }
        ++answered;
    }
    Say("answered %ld\n", answered);
    if (wanted >= 0 && answered != wanted) return kNotFound;
    return kOk;
}

bool ShellHasIcon(HWND window, UINT id) {
    // An empty modification changes nothing and fails for a missing icon.
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = id;
    data.uFlags = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// tray-icon <window> <id> <present|absent> <timeout>: waits until the shell
// has, or no longer has, the icon of that window and id.
int TrayIcon(int argc, char** argv) {
    if (argc < 6) return kUsage;
    HWND window = ParseWindow(argv[2]);
    UINT id = static_cast<UINT>(strtoul(argv[3], nullptr, 0));
    bool wanted = strcmp(argv[4], "present") == 0;
    if (!wanted && strcmp(argv[4], "absent") != 0) return kUsage;
    DWORD deadline = Deadline(ParseSeconds(argv[5]));
    bool present = ShellHasIcon(window, id);
    while (present != wanted && Before(deadline)) {
        Sleep(kPollMs);
        present = ShellHasIcon(window, id);
    }
    Say(present ? "icon\n" : "no-icon\n");
    return present == wanted ? kOk : kNotFound;
}

// forget-icon <window> <id>: drops the icon from the shell, as a restarting
// Explorer loses every icon.
int ForgetIcon(int argc, char** argv) {
    if (argc < 4) return kUsage;
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = ParseWindow(argv[2]);
    data.uID = static_cast<UINT>(strtoul(argv[3], nullptr, 0));
    if (!Shell_NotifyIconA(NIM_DELETE, &data)) {
        Say("no-icon\n");
        return kNotFound;
    }
    Say("forgotten\n");
    return kOk;
}

// wait-exit <pid> <timeout>: prints the exit code of a running process.
int WaitExit(int argc, char** argv) {
    if (argc < 4) return kUsage;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ParsePid(argv[2]));
    if (process == nullptr) {
        Say("gone\n");
        return kNotFound;
    }
    DWORD wait = WaitForSingleObject(process, static_cast<DWORD>(ParseSeconds(argv[3]) * 1000.0));
    if (wait != WAIT_OBJECT_0) {
        CloseHandle(process);
        Say("running\n");
        return kNotFound;
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    Say("exit %lu\n", code);
    return kOk;
}

// broadcast-taskbar-created: what Explorer sends when it has restarted.
int BroadcastTaskbarCreated(int, char**) {
    UINT message = RegisterWindowMessageA("TaskbarCreated");
    if (message == 0 || !PostMessageA(HWND_BROADCAST, message, 0, 0)) {
        Say("broadcast-failed %lu\n", GetLastError());
        return kNotFound;
    }
    Say("broadcast 0x%x\n", message);
    return kOk;
}

// appdata: the current user's application-data folder.
int AppData(int, char**) {
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, path))) {
        Say("no-appdata\n");
        return kNotFound;
    }
    Say("%s\n", path);
    return kOk;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM pid) {
    DWORD owner = ProcessOf(window);
    if (pid != 0 && owner != static_cast<DWORD>(pid)) return TRUE;
    char name[64] = {};
    char title[256] = {};
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, title, sizeof title);
    Say("0x%llx pid %lu %s class %s title ", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)),
        owner, IsWindowVisible(window) ? "visible" : "hidden", name);
    PrintHex("", title, strlen(title));
    return TRUE;
}

// list [pid]: every top-level window, for a failing test's log.
int List(int argc, char** argv) {
    DWORD pid = argc >= 3 ? ParsePid(argv[2]) : 0;
    EnumWindows(PrintWindow, static_cast<LPARAM>(pid));
    return kOk;
}

void Usage() {
    Say("usage: driver start <exe> [--wait-window S]\n"
        "       driver window <pid> <timeout>\n"
        "       driver wait-box <caption> <timeout> [--pid P] [--text-hex HEX | --text-file F]"
        " [--answer yes|no|ok|cancel]\n"
        "       driver no-box <caption> <seconds> [--pid P]\n"
        "       driver close <pid>\n"
        "       driver tray <pid> <wparam> <lparam>\n"
        "       driver menu-char <pid> <char> <timeout>\n"
        "       driver menu-keys <pid> <down,up,return,escape...> <timeout>\n"
        "       driver no-menu <pid> <seconds>\n"
        "       driver picker <pid> <timeout> [--answer ok|cancel]\n"
        "       driver answer-shell <pid> <timeout> [--expect N] [--answer yes|no] [--caption C] [--hold S]\n"
        "       driver tray-icon <window> <id> <present|absent> <timeout>\n"
        "       driver forget-icon <window> <id>\n"
        "       driver wait-exit <pid> <timeout>\n"
        "       driver broadcast-taskbar-created\n"
        "       driver appdata\n"
        "       driver list [pid]\n");
}

}  // namespace

int main(int argc, char** argv) {
    static const struct {
        const char* name;
        int (*run)(int, char**);
    } kCommands[] = {
        {"start", Start},
        {"window", Window},
        {"wait-box", WaitBox},
        {"no-box", NoBox},
        {"close", Close},
        {"tray", Tray},
        {"menu-char", MenuChar},
        {"menu-keys", MenuKeys},
        {"no-menu", NoMenu},
        {"picker", Picker},
        {"answer-shell", AnswerShell},
        {"tray-icon", TrayIcon},
        {"forget-icon", ForgetIcon},
        {"wait-exit", WaitExit},
        {"broadcast-taskbar-created", BroadcastTaskbarCreated},
        {"appdata", AppData},
        {"list", List},
    };
    if (argc >= 2) {
        for (const auto& command : kCommands) {
            if (strcmp(argv[1], command.name) == 0) {
                int result = command.run(argc, argv);
                if (result == kUsage) Usage();
                return result;
            }
        }
    }
    Usage();
    return kUsage;
}
