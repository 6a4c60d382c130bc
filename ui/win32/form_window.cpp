#include "ui/win32/form_window.h"

#include "platform/windows/wide_text.h"
#include "program/controls.h"
#include "program/controls_table.h"
#include "program/window_fit.h"
#include "ui/win32/choice_dialog.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/face_button.h"
#include "ui/win32/key_codes.h"
#include "ui/win32/remarks_edit.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/window_move.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

namespace lanqi::ui::win32 {

namespace {

// A task handed to later(), run once the message being handled has ended.
constexpr UINT kRunLater = WM_APP + 1;

UINT_PTR timerId(size_t row) {
    return row + 1;
}

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

// The window on the monitor `monitor` of `screenDpi` dots per inch, as
// window_fit.h says.
WindowFit fitOn(HMONITOR monitor, UINT screenDpi, std::optional<ScreenPoint> wanted = {}) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const RECT& work = info.rcWork;
    return fitWindow(static_cast<int>(screenDpi),
                     {work.left, work.top, work.right - work.left, work.bottom - work.top}, wanted);
}

} // namespace

FormWindow::FormWindow(HINSTANCE instance, Program& program)
    : instance_(instance), program_(program) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);
    registerFormClass(instance, proc);
    registerFrameClass(instance);
    wchar_t flag[2];
    exitAfterShow_ = GetEnvironmentVariableW(L"LANQI_EXIT_AFTER_SHOW", flag, 2) > 0;
    // No title bar and no border; the minimise box lets the task bar bring
    // the window back.
    const HWND made =
        CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, kFormClass,
                        platform::windows::widen(kWindowTitle).c_str(),
                        WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU, CW_USEDEFAULT,
                        CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
    if (!made) {
        notMadeError_ = GetLastError();
        form_ = nullptr;
        return;
    }
    attached_ = program.attach(*this);
}

FormWindow::~FormWindow() {
    records_.reset();
    attached_.reset();
    if (form_) DestroyWindow(form_);
}

void FormWindow::show(int showCommand) {
    const ScreenArea& place = fit_.place;
    SetWindowPos(form_, nullptr, place.left, place.top, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(form_, showCommand);
    UpdateWindow(form_);
    // For start-up timing: once the window and every control are drawn the
    // process ends, before any timer has run and without taking the window down.
    if (exitAfterShow_) {
        RedrawWindow(form_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        ExitProcess(0);
    }
    program_.focusFirst();
    for (size_t t = 0; t < std::size(kTimers); ++t)
        SetTimer(form_, timerId(t), static_cast<UINT>(kTimers[t].intervalMs), nullptr);
}

// Every key pressed in a control of the window goes to the program first,
// Tab and Shift+Tab too: the dialog manager's own focus chain and the
// selection it makes on entry play no part. The Enter the program takes is
// swallowed with the character it makes.
bool FormWindow::preview(const MSG& msg) {
    if (records_ && records_->preview(msg)) return true;
    if (msg.message == WM_CHAR && msg.wParam == '\r' && swallowEnterChar_) {
        swallowEnterChar_ = false;
        return true;
    }
    if (msg.message != WM_KEYDOWN || !IsChild(form_, msg.hwnd)) return false;
    const auto id = controls_.rowOf(msg.hwnd);
    if (!id) return false;
    // An open list takes its own keys: Enter there picks the entry.
    if (kControls[*id].kind == Kind::Combo && ComboBox_GetDroppedState(controls_.handle(*id)))
        return false;
    if (!program_.keyPressed(*id, keyOf(msg.wParam))) return false;
    swallowEnterChar_ = msg.wParam == VK_RETURN;
    return true;
}

LRESULT CALLBACK FormWindow::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
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
        HANDLE_MSG(hwnd, WM_ACTIVATE, onActivate);
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
    case kRunLater:
        runLater();
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

BOOL FormWindow::onCreate(HWND hwnd, LPCREATESTRUCT) {
    fit_ = fitOn(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), GetDpiForWindow(hwnd));
    const auto dpi = static_cast<UINT>(fit_.dpi);
    controls_.create(hwnd, instance_, dpi);
    tooltip_ = makeFieldTooltip(hwnd, instance_);
    painters_.reserve(kControls.size());
    for (size_t row = 0; row < kControls.size(); ++row) {
        const Control& c = kControls[row];
        if (c.kind == Kind::TextBox) {
            painters_.push_back({c.look.font, &fittedFonts_, tooltip_, {}});
            attachFittedField(controls_.handle(row), &painters_.back());
        }
        if (c.kind == Kind::Memo) attachRemarksEdit(controls_.handle(row), program_);
    }
    applyDpi(dpi, false);
    mirrorCalls_ = std::make_unique<WindowsControls>(controls_);
    mirror_ = std::make_unique<SheetMirror>(program_, *mirrorCalls_);
    mirror_->showAll();
    return TRUE;
}

void FormWindow::onDestroy(HWND hwnd) {
    for (size_t t = 0; t < std::size(kTimers); ++t) KillTimer(hwnd, timerId(t));
    mirror_.reset();
    setFrameLook(controls_.frame(), nullptr);
    form_ = nullptr;
    PostQuitMessage(0);
}

void FormWindow::applyDpi(UINT dpi, bool movePlaces) {
    auto gdi = std::make_unique<GdiObjects>(dpi);
    fittedFonts_.use(gdi.get());
    frameLook_.gdi = gdi.get();
    setFrameLook(controls_.frame(), &frameLook_);
    if (movePlaces)
        controls_.place(*gdi);
    else
        controls_.dress(*gdi);
    gdi_ = std::move(gdi);
    InvalidateRect(form_, nullptr, TRUE);
}

// On a screen of another scale the window is drawn anew for it, near where
// the system would put it and wholly inside that screen's work area.
void FormWindow::onDpiChanged(UINT dpi, const RECT& suggested) {
    fit_ = fitOn(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), dpi,
                 ScreenPoint{suggested.left, suggested.top});
    const ScreenArea& place = fit_.place;
    SetWindowPos(form_, nullptr, place.left, place.top, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    applyDpi(static_cast<UINT>(fit_.dpi), true);
    RedrawWindow(form_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Coming back to the window gives the focus back where it was, its text and
// caret as they were.
void FormWindow::onActivate(HWND, UINT state, HWND, BOOL minimized) {
    if (state == WA_INACTIVE) {
        if (HWND had = GetFocus(); had && IsChild(form_, had)) lastFocus_ = had;
    } else if (!minimized && lastFocus_ && IsWindow(lastFocus_)) {
        SetFocus(lastFocus_);
    }
}

void FormWindow::onCommand(HWND, int, HWND control, UINT code) {
    const auto row = controls_.rowOf(control);
    if (!row || !mirror_) return;
    switch (kControls[*row].kind) {
    case Kind::TextBox:
    case Kind::Memo:
        if (code == EN_CHANGE) mirror_->fieldEdited(*row);
        break;
    case Kind::Combo:
        if (code == CBN_SELCHANGE)
            mirror_->listPicked(*row, ComboBox_GetCurSel(controls_.handle(*row)));
        if (code == CBN_EDITCHANGE) mirror_->listTextEdited(*row);
        if (code == CBN_SETFOCUS || code == CBN_KILLFOCUS) ringFocus();
        break;
    case Kind::Button:
        if (code == BN_CLICKED) program_.clicked(*row);
        break;
    case Kind::Label:
        if (code == STN_CLICKED) program_.clicked(*row);
        break;
    case Kind::Frame:
        break;
    }
}

void FormWindow::ringFocus() {
    const auto row = controls_.rowOf(GetFocus());
    frameLook_.ringed =
        row && kControls[*row].kind == Kind::Combo ? controls_.handle(*row) : nullptr;
    InvalidateRect(controls_.frame(), nullptr, TRUE);
}

void FormWindow::onTimer(HWND, UINT id) {
    if (id >= 1 && id <= std::size(kTimers)) program_.timerFired(kTimers[id - 1].timer);
}

HBRUSH FormWindow::onCtlColor(HWND, HDC dc, HWND control, int) {
    const auto row = controls_.rowOf(control);
    if (!row) return nullptr;
    const Look& look = kControls[*row].look;
    // A control without a background of its own shows the frame's.
    const Colour back = look.back != Colour::Inherit ? look.back : frameControl().look.back;
    SetTextColor(dc, GdiObjects::colour(look.text));
    SetBkColor(dc, GdiObjects::colour(back));
    return GdiObjects::brush(back);
}

void FormWindow::onDrawItem(HWND, const DRAWITEMSTRUCT* item) {
    const auto row = controls_.rowOf(item->hwndItem);
    if (row && kControls[*row].kind == Kind::Button) drawFace(*item, kControls[*row], *gdi_);
}

void FormWindow::onButtonDown(HWND, BOOL, int, int, UINT) {
    program_.barePressed();
}

void FormWindow::runLater() {
    while (!later_.empty()) {
        auto task = std::move(later_.front());
        later_.pop_front();
        task();
    }
}

void FormWindow::inform(std::string_view message) {
    askChoice(IsWindowVisible(form_) ? form_ : nullptr, kWindowTitle, message,
              {std::string(wordsOf(Choice::Ok))});
}

Choice FormWindow::ask(std::string_view message, std::span<const Choice> choices) {
    std::vector<std::string> words;
    for (Choice c : choices) words.emplace_back(wordsOf(c));
    const size_t chosen =
        askChoice(IsWindowVisible(form_) ? form_ : nullptr, kWindowTitle, message, words);
    return choices.empty() ? Choice::Cancel : choices[std::min(chosen, choices.size() - 1)];
}

// The window goes at once; taking its controls down follows out of sight.
void FormWindow::endProgram() {
    ShowWindow(form_, SW_HIDE);
    PostQuitMessage(0);
}

void FormWindow::later(std::function<void()> task) {
    later_.push_back(std::move(task));
    PostMessageW(form_, kRunLater, 0, 0);
}

void FormWindow::focus(ControlId control) {
    SetFocus(controls_.handle(control));
}

std::optional<ControlId> FormWindow::focusedControl() const {
    return controls_.rowOf(GetFocus());
}

void FormWindow::selectText(ControlId control, Entry entry) {
    if (entry == Entry::Nothing) return;
    HWND h = controls_.handle(control);
    const int end = GetWindowTextLengthW(h);
    const int from = entry == Entry::WholeText ? 0 : end;
    if (kControls[control].kind == Kind::Combo) {
        ComboBox_SetEditSel(h, from, end);
    } else {
        Edit_SetSel(h, from, end);
        Edit_ScrollCaret(h);
    }
}

void FormWindow::beep() {
    MessageBeep(MB_OK);
}

void FormWindow::minimise() {
    ShowWindow(form_, SW_MINIMIZE);
}

void FormWindow::startWindowMove() {
    win32::startWindowMove(form_);
}

void FormWindow::openLink(std::string_view address) {
    ShellExecuteW(form_, L"open", platform::windows::widen(address).c_str(), L"", L"", SW_SHOW);
}

void FormWindow::showRecords(RecordsList& records) {
    if (!records_) records_ = std::make_unique<RecordsWindow>(instance_, form_, records);
    records_->present();
}

} // namespace lanqi::ui::win32
