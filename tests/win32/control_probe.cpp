// Reads the running window back from its controls, for the window tests under
// Wine: every control's name, class, place, visibility and text, as the
// system itself reports them.
//   control_probe dump [NAME...] one line per control of the main window (or
//                                the controls named)
//   control_probe focus          the name of the control with the focus
//   control_probe layout         every control of the table at its place
//   control_probe where NAME     the screen point at the middle of a control
//   control_probe screen         the main window on the screen, then the work
//                                area of its monitor: left,top,width,height
//   control_probe rescale DPI    tells the main window that its screen is now
//                                of DPI dots per inch, as the system does
//   control_probe dialogs        other top-level windows: title, then texts
//   control_probe records        the records window's list: the line count and
//                                the selected line, then each line's cells
//   control_probe answer TEXT    presses the button TEXT of a shown dialog
//   control_probe wait-gone      waits until no main window is left
//   control_probe end            ends every running copy of the program
//   control_probe opened FILE    stands in for the spreadsheet program: notes
//                                FILE in "opened.txt" beside it and ends
//   control_probe clip COUNT SECONDS  puts COUNT letters x on the clipboard
//                                and serves them for SECONDS
// Lines are UTF-8, fields separated by tabs. Exit 2: no main window.
#include "program/controls_table.h"
#include "ui/win32/control_ids.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <string>
#include <vector>

using namespace lanqi::ui;

namespace {

std::string utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

// A message to the program's window; one whose thread is busy longer than
// this answers 0 rather than hanging the test.
LRESULT ask(HWND h, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(h, message, wParam, lParam, SMTO_NORMAL, 15000, &result);
    return static_cast<LRESULT>(result);
}

// One message for the usual short texts, a second for a long one.
std::wstring textOf(HWND h) {
    std::wstring w(256, L'\0');
    auto got = static_cast<size_t>(
        ask(h, WM_GETTEXT, static_cast<WPARAM>(w.size()), reinterpret_cast<LPARAM>(w.data())));
    if (got + 1 >= w.size()) {
        w.assign(static_cast<size_t>(ask(h, WM_GETTEXTLENGTH)) + 1, L'\0');
        got = static_cast<size_t>(
            ask(h, WM_GETTEXT, static_cast<WPARAM>(w.size()), reinterpret_cast<LPARAM>(w.data())));
    }
    w.resize(std::min(got, w.size()));
    return w;
}

std::wstring classOf(HWND h) {
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    return name;
}

// The main window once it is shown.
HWND mainWindow() {
    HWND h = FindWindowW(kFormClass, nullptr);
    return h && IsWindowVisible(h) ? h : nullptr;
}

std::string controlName(const Control& c) {
    char name[32];
    if (c.index == kNoIndex)
        std::snprintf(name, sizeof name, "%.*s", static_cast<int>(c.name.size()), c.name.data());
    else
        std::snprintf(name, sizeof name, "%.*s(%d)", static_cast<int>(c.name.size()),
                      c.name.data(), c.index);
    return name;
}

const Control* rowOf(HWND h) {
    const int id = GetDlgCtrlID(h);
    const int row = id - kFirstControlId;
    if (row < 0 || row >= static_cast<int>(kControls.size())) return nullptr;
    return &kControls[static_cast<size_t>(row)];
}

// The focus of the window's thread, which this process cannot ask GetFocus for.
HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// A control's place in the main window's client area.
RECT placeIn(HWND window, HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<HWND> children(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM all) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(all)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The control, or the list whose edit part it is.
HWND controlOf(HWND h) {
    while (h && !rowOf(h)) h = GetParent(h);
    return h;
}

int focus(HWND window) {
    const HWND h = controlOf(focusOf(window));
    const Control* c = h ? rowOf(h) : nullptr;
    std::printf("%s\n", c ? controlName(*c).c_str() : "");
    return 0;
}

int dump(HWND window, const std::vector<std::string>& names) {
    RECT client{};
    GetClientRect(window, &client);
    std::printf("Form1\t%s\t0,0,%ld,%ld\t%d\t%d\t%s\n", utf8(classOf(window)).c_str(),
                client.right, client.bottom, IsIconic(window) ? 1 : 0,
                static_cast<int>(GetDpiForWindow(window)), utf8(textOf(window)).c_str());
    const HWND focus = controlOf(focusOf(window));
    for (HWND h : children(window)) {
        const Control* c = rowOf(h);
        if (!c) continue;
        if (!names.empty() && std::find(names.begin(), names.end(), controlName(*c)) == names.end())
            continue;
        const RECT r = placeIn(window, h);
        std::string extra;
        if (c->kind == Kind::Combo) {
            char counts[48];
            std::snprintf(counts, sizeof counts, "\t%lld\t%lld",
                          static_cast<long long>(ask(h, CB_GETCOUNT)),
                          static_cast<long long>(ask(h, CB_GETCURSEL)));
            extra = counts;
        }
        std::printf("%s\t%s\t%ld,%ld,%ld,%ld\t%d\t%d\t%s%s\n", controlName(*c).c_str(),
                    utf8(classOf(h)).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
                    IsWindowVisible(h) ? 1 : 0, h == focus ? 1 : 0, utf8(textOf(h)).c_str(),
                    extra.c_str());
    }
    return 0;
}

int scaled(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

// Each control of the table where the table puts it, at the window's DPI:
// inside the frame, and the frame inside the window. Lists are checked by
// their closed part; its height follows the font.
int layout(HWND window) {
    // The window's DPI as its width shows it: another process may be told
    // its own DPI rather than the window's.
    RECT client{};
    GetClientRect(window, &client);
    const auto dpi = static_cast<UINT>(MulDiv(client.right, 1440, kWindowPlace.width));
    int faults = 0;
    if (client.right != scaled(kWindowPlace.width, dpi) ||
        client.bottom != scaled(kWindowPlace.height, dpi)) {
        std::printf("Form1: %ld x %ld\n", client.right, client.bottom);
        ++faults;
    }
    int found = 0;
    RECT frame{};
    HWND frameWindow = nullptr;
    for (HWND h : children(window))
        if (const Control* c = rowOf(h); c && c->kind == Kind::Frame) {
            frame = placeIn(window, h);
            frameWindow = h;
        }
    for (HWND h : children(window)) {
        const Control* c = rowOf(h);
        if (!c) continue;
        ++found;
        const RECT r = placeIn(window, h);
        const bool inFrame = c->kind != Kind::Frame;
        const long left = (inFrame ? frame.left : 0) + scaled(c->place.left, dpi);
        const long top = (inFrame ? frame.top : 0) + scaled(c->place.top, dpi);
        const long width = scaled(c->place.width, dpi);
        const long height = scaled(c->place.height, dpi);
        const long gotHeight = r.bottom - r.top;
        const bool heightOk = c->kind == Kind::Combo ? std::abs(gotHeight - height) <= static_cast<long>(dpi) / 48
                                                     : gotHeight == height;
        if (r.left != left || r.top != top || r.right - r.left != width || !heightOk) {
            std::printf("%s: at %ld,%ld %ldx%ld, the table says %ld,%ld %ldx%ld\n",
                        controlName(*c).c_str(), r.left, r.top, r.right - r.left, gotHeight, left,
                        top, width, height);
            ++faults;
        }
        if (c->kind == Kind::Label && !c->caption.empty() &&
            utf8(textOf(h)) != std::string(c->caption)) {
            std::printf("%s: caption %s\n", controlName(*c).c_str(), utf8(textOf(h)).c_str());
            ++faults;
        }
    }
    // The system's Tab follows the stack of the frame's children: the
    // controls that take the focus lie in tab order.
    int lastTab = -1;
    for (HWND h = frameWindow ? GetWindow(frameWindow, GW_CHILD) : nullptr; h;
         h = GetWindow(h, GW_HWNDNEXT)) {
        const Control* c = rowOf(h);
        if (!c || c->kind == Kind::Label) continue;
        if (c->tab < lastTab) {
            std::printf("%s: stacked after a later tab position\n", controlName(*c).c_str());
            ++faults;
        }
        lastTab = c->tab;
    }
    if (found != static_cast<int>(kControls.size())) {
        std::printf("%d controls of %zu\n", found, kControls.size());
        ++faults;
    }
    std::printf("%d faults at %u dpi\n", faults, dpi);
    return faults ? 1 : 0;
}

int where(HWND window, const std::string& name) {
    for (HWND h : children(window)) {
        const Control* c = rowOf(h);
        if (!c || controlName(*c) != name) continue;
        RECT r{};
        GetWindowRect(h, &r);
        std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        return 0;
    }
    std::printf("no control %s\n", name.c_str());
    return 1;
}

int screen(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& w = monitor.rcWork;
    std::printf("%ld,%ld,%ld,%ld\t%ld,%ld,%ld,%ld\n", r.left, r.top, r.right - r.left,
                r.bottom - r.top, w.left, w.top, w.right - w.left, w.bottom - w.top);
    return 0;
}

// As the system tells a window that has moved to a screen of another scale:
// the new DPI and the window's place scaled to it, in the window's own
// process (the message carries a pointer).
int rescale(HWND window, int dpi) {
    RECT r{};
    GetWindowRect(window, &r);
    const RECT suggested{r.left, r.top, r.left + MulDiv(kWindowPlace.width, dpi, 1440),
                         r.top + MulDiv(kWindowPlace.height, dpi, 1440)};
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, id);
    if (!process) return 1;
    void* there = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE,
                                 PAGE_READWRITE);
    const bool written =
        there && WriteProcessMemory(process, there, &suggested, sizeof suggested, nullptr);
    if (written)
        ask(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(there));
    if (there) VirtualFreeEx(process, there, 0, MEM_RELEASE);
    CloseHandle(process);
    return written ? 0 : 1;
}

// The shown top-level windows that are not a main window: the messages and
// questions of every running copy.
std::vector<HWND> shownDialogs() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND h, LPARAM all) -> BOOL {
            if (IsWindowVisible(h) && classOf(h) != kFormClass)
                reinterpret_cast<std::vector<HWND>*>(all)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

int dialogs() {
    for (HWND h : shownDialogs()) {
        std::printf("%s", utf8(textOf(h)).c_str());
        for (HWND c : children(h)) std::printf("\t%s", utf8(textOf(c)).c_str());
        std::printf("\n");
    }
    return 0;
}

int answer(const std::string& choice) {
    for (HWND h : shownDialogs())
        for (HWND c : children(h))
            if (classOf(c) == L"Button" && utf8(textOf(c)) == choice) {
                PostMessageW(c, BM_CLICK, 0, 0);
                return 0;
            }
    std::printf("no button %s\n", choice.c_str());
    return 1;
}

// Ends the processes of every window of the program's class, shown or not.
int endAll() {
    for (HWND h = FindWindowW(kFormClass, nullptr); h; h = FindWindowW(kFormClass, nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(h, &process);
        HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process);
        if (!p) return 1;
        TerminateProcess(p, 1);
        WaitForSingleObject(p, 10000);
        CloseHandle(p);
    }
    return 0;
}

// The records window's list view holds no texts: it asks the program for
// them. Each cell is asked for with a buffer in the program's own memory.
int records() {
    const HWND window = FindWindowW(kRecordsClass, nullptr);
    HWND list = nullptr;
    for (HWND h : window ? children(window) : std::vector<HWND>{})
        if (classOf(h) == WC_LISTVIEWW) list = h;
    if (!list || !IsWindowVisible(window)) {
        std::printf("no records window\n");
        return 3;
    }
    const auto count = static_cast<int>(ask(list, LVM_GETITEMCOUNT));
    std::printf("%d\t%lld\n", count,
                static_cast<long long>(ask(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                           LVNI_SELECTED)));
    DWORD process = 0;
    GetWindowThreadProcessId(list, &process);
    HANDLE p = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                           process);
    constexpr int kChars = 256;
    auto* remote = static_cast<char*>(VirtualAllocEx(p, nullptr, sizeof(LVITEMW) + kChars * 2,
                                                     MEM_COMMIT, PAGE_READWRITE));
    if (!p || !remote) return 4;
    const auto columns = static_cast<int>(
        ask(reinterpret_cast<HWND>(ask(list, LVM_GETHEADER)), HDM_GETITEMCOUNT));
    for (int row = 0; row < std::min(count, 100); ++row) {
        for (int column = 0; column < columns; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
            item.cchTextMax = kChars;
            WriteProcessMemory(p, remote, &item, sizeof item, nullptr);
            const auto n = static_cast<size_t>(ask(list, LVM_GETITEMTEXTW,
                                                   static_cast<WPARAM>(row),
                                                   reinterpret_cast<LPARAM>(remote)));
            std::wstring text(std::min<size_t>(n, kChars), L'\0');
            ReadProcessMemory(p, remote + sizeof(LVITEMW), text.data(), text.size() * 2, nullptr);
            std::printf("%s%s", column ? "\t" : "", utf8(text).c_str());
        }
        std::printf("\n");
    }
    VirtualFreeEx(p, remote, 0, MEM_RELEASE);
    CloseHandle(p);
    return 0;
}

int opened(const std::string& file) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring note(self);
    note.resize(note.find_last_of(L'\\') + 1);
    note += L"opened.txt";
    if (FILE* f = _wfopen(note.c_str(), L"a")) {
        std::fprintf(f, "%s\n", file.c_str());
        std::fclose(f);
    }
    return 0;
}

// The clipboard stays with a window of the probe's own, served for `seconds`:
// what an ended program left there Wine may drop.
int clip(int count, int seconds) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (count < 0 || !owner || !OpenClipboard(owner)) return 1;
    EmptyClipboard();
    const auto bytes = (static_cast<size_t>(count) + 1) * sizeof(wchar_t);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
    auto* text = static_cast<wchar_t*>(GlobalLock(data));
    std::fill(text, text + count, L'x');
    text[count] = L'\0';
    GlobalUnlock(data);
    const bool set = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
    CloseClipboard();
    std::printf("%s\n", set ? "set" : "not set");
    std::fflush(stdout);
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (set && GetTickCount() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
    return set ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** wargv) {
    std::vector<std::string> argv;
    for (int i = 0; i < argc; ++i) argv.push_back(utf8(wargv[i]));
    const std::string command = argc > 1 ? argv[1] : "dump";
    if (command == "dialogs") return dialogs();
    if (command == "answer" && argc > 2) return answer(argv[2]);
    if (command == "opened" && argc > 2) return opened(argv[2]);
    if (command == "end") return endAll();
    if (command == "records") return records();
    if (command == "clip" && argc > 3) return clip(std::atoi(argv[2].c_str()), std::atoi(argv[3].c_str()));
    if (command == "wait-gone") {
        for (int i = 0; i < 100 && mainWindow(); ++i) Sleep(100);
        return mainWindow() ? 1 : 0;
    }
    HWND window = mainWindow();
    if (!window) {
        std::printf("no window\n");
        return 2;
    }
    if (command == "dump")
        return dump(window, {argv.begin() + std::min<std::ptrdiff_t>(2, argc), argv.end()});
    if (command == "focus") return focus(window);
    if (command == "layout") return layout(window);
    if (command == "where" && argc > 2) return where(window, argv[2]);
    if (command == "screen") return screen(window);
    if (command == "rescale" && argc > 2) return rescale(window, std::atoi(argv[2].c_str()));
    std::printf("unknown command %s\n", command.c_str());
    return 64;
}
