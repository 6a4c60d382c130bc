// Reads the running window back from its controls, for the window tests under
// Wine: every control's name, class, place, visibility and text, as the
// system itself reports them.
//   control_probe dump           one line per control of the main window
//   control_probe layout         every control of the table at its place
//   control_probe where NAME     the screen point at the middle of a control
//   control_probe dialogs        the program's other windows: title, texts
//   control_probe wait-gone      waits until no main window is left
// Lines are UTF-8, fields separated by tabs. Exit 2: no main window.
#include "ui/controls_table.h"
#include "ui/win32/control_ids.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
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

std::wstring textOf(HWND h) {
    auto n = static_cast<size_t>(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0));
    std::wstring w(n + 1, L'\0');
    auto got = SendMessageW(h, WM_GETTEXT, static_cast<WPARAM>(w.size()),
                            reinterpret_cast<LPARAM>(w.data()));
    w.resize(static_cast<size_t>(got));
    return w;
}

std::wstring classOf(HWND h) {
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    return name;
}

HWND mainWindow() {
    return FindWindowW(kFormClass, nullptr);
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

int dump(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    std::printf("Form1\t%s\t0,0,%ld,%ld\t%d\t%d\t%s\n", utf8(classOf(window)).c_str(),
                client.right, client.bottom, IsIconic(window) ? 1 : 0,
                static_cast<int>(GetDpiForWindow(window)), utf8(textOf(window)).c_str());
    const HWND focus = controlOf(focusOf(window));
    for (HWND h : children(window)) {
        const Control* c = rowOf(h);
        if (!c) continue;
        const RECT r = placeIn(window, h);
        std::string extra;
        if (c->kind == Kind::Combo) {
            char counts[48];
            std::snprintf(counts, sizeof counts, "\t%lld\t%lld",
                          static_cast<long long>(SendMessageW(h, CB_GETCOUNT, 0, 0)),
                          static_cast<long long>(SendMessageW(h, CB_GETCURSEL, 0, 0)));
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
    const UINT dpi = GetDpiForWindow(window);
    int faults = 0;
    RECT client{};
    GetClientRect(window, &client);
    if (client.right != scaled(kWindowPlace.width, dpi) ||
        client.bottom != scaled(kWindowPlace.height, dpi)) {
        std::printf("Form1: %ld x %ld\n", client.right, client.bottom);
        ++faults;
    }
    int found = 0;
    RECT frame{};
    for (HWND h : children(window))
        if (const Control* c = rowOf(h); c && c->kind == Kind::Frame) frame = placeIn(window, h);
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

// Message boxes and questions the program shows: their title, then the
// texts of their controls, one window a line.
int dialogs(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    struct Seek {
        DWORD process;
        HWND main;
    } seek{process, window};
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Seek*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (owner != s->process || h == s->main || !IsWindowVisible(h)) return TRUE;
            std::printf("%s", utf8(textOf(h)).c_str());
            for (HWND c : children(h)) std::printf("\t%s", utf8(textOf(c)).c_str());
            std::printf("\n");
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seek));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "dump";
    if (command == "wait-gone") {
        for (int i = 0; i < 100 && mainWindow(); ++i) Sleep(100);
        return mainWindow() ? 1 : 0;
    }
    HWND window = mainWindow();
    if (!window) {
        std::printf("no window\n");
        return 2;
    }
    if (command == "dump") return dump(window);
    if (command == "layout") return layout(window);
    if (command == "where" && argc > 2) return where(window, argv[2]);
    if (command == "dialogs") return dialogs(window);
    std::printf("unknown command %s\n", command.c_str());
    return 64;
}
