#include "ui/win32/form_window.h"

#include "platform/windows/wide_text.h"
#include "ui/controls_table.h"
#include "ui/web_links.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/face_button.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/window_move.h"

#include <shellapi.h>
#include <windowsx.h>

namespace lanqi::ui::win32 {

using platform::windows::widen;

namespace {

constexpr UINT_PTR kTimer1Id = 1, kTimer2Id = 2;

void registerFormClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GdiObjects::brush(kWindowBack);
    wc.lpszClassName = kFormClass;
    RegisterClassExW(&wc);
}

// The window's size for its client area at `dpi`: it has no border.
SIZE formSize(UINT dpi) {
    return {scaled(kWindowPlace.width, dpi), scaled(kWindowPlace.height, dpi)};
}

} // namespace

FormWindow::FormWindow(HINSTANCE instance) : instance_(instance) {
    registerFormClass(instance, proc);
    registerFrameClass(instance);
    // No title bar and no border; the minimise box lets the task bar bring
    // the window back.
    CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, kFormClass,
                    widen(kWindowTitle).c_str(),
                    WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU, CW_USEDEFAULT,
                    CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
}

FormWindow::~FormWindow() {
    if (form_) DestroyWindow(form_);
}

void FormWindow::show(int showCommand) {
    const UINT dpi = GetDpiForWindow(form_);
    const SIZE size = formSize(dpi);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(form_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    SetWindowPos(form_, nullptr, work.left + (work.right - work.left - size.cx) / 2,
                 work.top + std::max(0L, (work.bottom - work.top - size.cy) / 2), size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(form_, showCommand);
    UpdateWindow(form_);
}

bool FormWindow::preview(const MSG& msg) {
    (void)msg;
    return false;
}

LRESULT CALLBACK FormWindow::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->form_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->handle(hwnd, message, wParam, lParam)
                : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT FormWindow::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        HANDLE_MSG(hwnd, WM_CREATE, onCreate);
        HANDLE_MSG(hwnd, WM_DESTROY, onDestroy);
        HANDLE_MSG(hwnd, WM_COMMAND, onCommand);
        HANDLE_MSG(hwnd, WM_TIMER, onTimer);
        HANDLE_MSG(hwnd, WM_CTLCOLOREDIT, onCtlColor);
        HANDLE_MSG(hwnd, WM_CTLCOLORSTATIC, onCtlColor);
        HANDLE_MSG(hwnd, WM_CTLCOLORLISTBOX, onCtlColor);
        HANDLE_MSG(hwnd, WM_DRAWITEM, onDrawItem);
        HANDLE_MSG(hwnd, WM_LBUTTONDOWN, onButtonDown);
        HANDLE_MSG(hwnd, WM_RBUTTONDOWN, onButtonDown);
        HANDLE_MSG(hwnd, WM_MBUTTONDOWN, onButtonDown);
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

BOOL FormWindow::onCreate(HWND hwnd, LPCREATESTRUCT) {
    controls_.create(hwnd, instance_);
    applyDpi(GetDpiForWindow(hwnd));
    SetTimer(hwnd, kTimer1Id, static_cast<UINT>(kTimer1.intervalMs), nullptr);
    SetTimer(hwnd, kTimer2Id, static_cast<UINT>(kTimer2.intervalMs), nullptr);
    return TRUE;
}

void FormWindow::onDestroy(HWND hwnd) {
    KillTimer(hwnd, kTimer1Id);
    KillTimer(hwnd, kTimer2Id);
    setFrameLook(controls_.frame(), nullptr);
    form_ = nullptr;
    PostQuitMessage(0);
}

void FormWindow::applyDpi(UINT dpi) {
    auto gdi = std::make_unique<GdiObjects>(dpi);
    frameLook_.gdi = gdi.get();
    setFrameLook(controls_.frame(), &frameLook_);
    controls_.place(*gdi);
    gdi_ = std::move(gdi);
    InvalidateRect(form_, nullptr, TRUE);
}

void FormWindow::onDpiChanged(UINT dpi, const RECT& suggested) {
    SetWindowPos(form_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    applyDpi(dpi);
}

void FormWindow::onCommand(HWND, int, HWND control, UINT code) {
    const auto row = controls_.rowOf(control);
    if (!row) return;
    const Kind kind = kControls[*row].kind;
    if ((kind == Kind::Button && code == BN_CLICKED) || (kind == Kind::Label && code == STN_CLICKED))
        clicked(*row);
    if (kind == Kind::Combo && (code == CBN_SETFOCUS || code == CBN_KILLFOCUS)) ringFocus();
}

void FormWindow::clicked(size_t row) {
    const std::string_view name = kControls[row].name;
    if (name == "Command2") ShowWindow(form_, SW_MINIMIZE);
    for (const WebLink& link : kWebLinks)
        if (link.label == name)
            ShellExecuteW(form_, L"open", widen(link.address).c_str(), L"", L"", SW_SHOW);
}

void FormWindow::ringFocus() {
    const HWND focus = GetFocus();
    const auto row = controls_.rowOf(focus);
    frameLook_.ringed = row && kControls[*row].kind == Kind::Combo ? controls_.handle(*row) : nullptr;
    InvalidateRect(controls_.frame(), nullptr, TRUE);
}

void FormWindow::onTimer(HWND, UINT) {}

HBRUSH FormWindow::onCtlColor(HWND, HDC dc, HWND control, int) {
    const auto row = controls_.rowOf(control);
    if (!row) return nullptr;
    const Look& look = kControls[*row].look;
    // Inside a list the list's own colours; a label without a background of
    // its own shows the frame's.
    const Colour back = look.back != Colour::Inherit ? look.back : frameControl().look.back;
    if (look.text != Colour::Inherit) SetTextColor(dc, GdiObjects::colour(look.text));
    SetBkColor(dc, GdiObjects::colour(back));
    return GdiObjects::brush(back);
}

void FormWindow::onDrawItem(HWND, const DRAWITEMSTRUCT* item) {
    const auto row = controls_.rowOf(item->hwndItem);
    if (row && kControls[*row].kind == Kind::Button) drawFace(*item, kControls[*row], *gdi_);
}

void FormWindow::onButtonDown(HWND hwnd, BOOL, int, int, UINT) {
    startWindowMove(hwnd);
}

} // namespace lanqi::ui::win32
