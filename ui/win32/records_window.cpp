#include "ui/win32/records_window.h"

#include "platform/windows/wide_text.h"
#include "program/controls_table.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/controls.h"
#include "ui/win32/key_codes.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <optional>

namespace lanqi::ui::win32 {

namespace {

using platform::windows::narrow;
using platform::windows::widen;

// The focus back in the filter, once the list view has taken it.
constexpr UINT kFocusFilter = WM_APP + 2;

// Places in pixels at 96 dpi, scaled to the window's.
constexpr int kMargin = 8, kRowHeight = 24, kCaptionWidth = 44, kDateWidth = 100,
              kButtonWidth = 72, kGap = 6, kTotalsHeight = 22;
constexpr int kWindowHeight = 560;

enum Child { kFilterId = 100, kFromId, kToId, kExportId, kLinesId, kTotalsId };

void registerRecordsClass(HINSTANCE instance, WNDPROC proc) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kRecordsClass;
    registered = RegisterClassExW(&wc) != 0;
}

std::string textOf(HWND h) {
    std::wstring w(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    w.resize(static_cast<size_t>(GetWindowTextW(h, w.data(), static_cast<int>(w.size()))));
    return narrow(w);
}

HWND child(HWND parent, const wchar_t* cls, std::string_view text, DWORD style, int id,
           DWORD exStyle = 0) {
    return CreateWindowExW(exStyle, cls, widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0,
                           0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                           nullptr);
}

} // namespace

RecordsWindow::RecordsWindow(HINSTANCE instance, HWND owner, RecordsList& list) : list_(list) {
    registerRecordsClass(instance, proc);
    const UINT dpi = GetDpiForWindow(owner);
    int width = 2 * kMargin + 24;
    for (const RecordColumnLayout& c : kRecordColumns) width += toPixels(c.width);
    CreateWindowExW(0, kRecordsClass, widen(kRecordsTitle).c_str(),
                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                    MulDiv(width, static_cast<int>(dpi), 96),
                    MulDiv(kWindowHeight, static_cast<int>(dpi), 96), owner, nullptr, instance,
                    this);
    attached_ = list_.attach(*this);
    refresh(true);
}

RecordsWindow::~RecordsWindow() {
    attached_.reset();
    if (window_) DestroyWindow(window_);
    if (font_) DeleteObject(font_);
}

void RecordsWindow::present() {
    if (!placed_) {
        RECT owner{}, own{};
        GetWindowRect(GetWindow(window_, GW_OWNER), &owner);
        GetWindowRect(window_, &own);
        const long width = own.right - own.left, height = own.bottom - own.top;
        SetWindowPos(window_, nullptr,
                     std::max(0L, (owner.left + owner.right - width) / 2),
                     std::max(0L, (owner.top + owner.bottom - height) / 2), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        placed_ = true;
    }
    ShowWindow(window_, IsWindowVisible(window_) ? SW_SHOWNORMAL : SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(filter_);
}

LRESULT CALLBACK RecordsWindow::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<RecordsWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<RecordsWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->handle(hwnd, message, wParam, lParam)
                : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT RecordsWindow::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        create(hwnd);
        return 0;
    case WM_SIZE:
        arrange();
        return 0;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        if (id == kFilterId && code == EN_CHANGE) list_.filterTyped(textOf(filter_));
        if ((id == kFromId || id == kToId) && code == EN_CHANGE)
            list_.periodTyped(textOf(from_), textOf(to_));
        if (id == kExportId && code == BN_CLICKED) list_.exportClicked();
        return 0;
    }
    case WM_NOTIFY:
        return notified(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CLOSE:
        list_.closeClicked();
        return 0;
    case kFocusFilter:
        SetFocus(filter_);
        return 0;
    case WM_DESTROY:
        window_ = nullptr;
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void RecordsWindow::create(HWND hwnd) {
    const UINT dpi = GetDpiForWindow(hwnd);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);

    captions_[0] = child(hwnd, L"STATIC", kFilterCaption, SS_CENTERIMAGE, 0);
    filter_ = child(hwnd, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, kFilterId, WS_EX_CLIENTEDGE);
    captions_[1] = child(hwnd, L"STATIC", kFromCaption, SS_CENTERIMAGE | SS_CENTER, 0);
    from_ = child(hwnd, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, kFromId, WS_EX_CLIENTEDGE);
    captions_[2] = child(hwnd, L"STATIC", kToCaption, SS_CENTERIMAGE | SS_CENTER, 0);
    to_ = child(hwnd, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, kToId, WS_EX_CLIENTEDGE);
    export_ = child(hwnd, L"BUTTON", kExportCaption, WS_TABSTOP | BS_PUSHBUTTON, kExportId);
    lines_ = child(hwnd, WC_LISTVIEWW, "",
                   LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS, kLinesId,
                   WS_EX_CLIENTEDGE);
    totals_ = child(hwnd, L"STATIC", "", SS_CENTERIMAGE | SS_NOPREFIX, kTotalsId);
    for (HWND h : {captions_[0], filter_, captions_[1], from_, captions_[2], to_, export_, lines_,
                   totals_})
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(filter_, EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(widen(kKeysHint).c_str()));
    for (HWND date : {from_, to_})
        SendMessageW(date, EM_SETCUEBANNER, TRUE,
                     reinterpret_cast<LPARAM>(widen(kDateHint).c_str()));

    ListView_SetExtendedListViewStyle(lines_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (int c = 0; c < static_cast<int>(std::size(kRecordColumns)); ++c) {
        const RecordColumnLayout& layout = kRecordColumns[c];
        std::wstring heading = widen(layout.heading);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = layout.figure ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = scaled(layout.width, dpi);
        column.pszText = heading.data();
        ListView_InsertColumn(lines_, c, &column);
    }
}

void RecordsWindow::arrange() {
    RECT client{};
    GetClientRect(window_, &client);
    const int dpi = static_cast<int>(GetDpiForWindow(window_));
    const auto px = [dpi](int at96) { return MulDiv(at96, dpi, 96); };
    const int margin = px(kMargin), row = px(kRowHeight), gap = px(kGap);
    const int right = client.right - margin;
    // The top row from the right: export, to, from; the filter takes the rest.
    int x = right - px(kButtonWidth);
    MoveWindow(export_, x, margin, px(kButtonWidth), row, TRUE);
    for (HWND date : {to_, from_}) {
        x -= gap + px(kDateWidth);
        MoveWindow(date, x, margin, px(kDateWidth), row, TRUE);
        x -= px(24);
        MoveWindow(date == to_ ? captions_[2] : captions_[1], x, margin, px(24), row, TRUE);
    }
    MoveWindow(captions_[0], margin, margin, px(kCaptionWidth), row, TRUE);
    const int filterLeft = margin + px(kCaptionWidth);
    MoveWindow(filter_, filterLeft, margin, x - gap - filterLeft, row, TRUE);
    const int linesTop = margin + row + gap;
    const int totalsTop = client.bottom - margin - px(kTotalsHeight);
    MoveWindow(lines_, margin, linesTop, right - margin, totalsTop - gap - linesTop, TRUE);
    MoveWindow(totals_, margin, totalsTop, right - margin, px(kTotalsHeight), TRUE);
}

LRESULT RecordsWindow::notified(const NMHDR& header) {
    if (header.hwndFrom != lines_) return 0;
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header))->item;
        if ((item.mask & LVIF_TEXT) && item.iSubItem < static_cast<int>(std::size(kRecordColumns))) {
            cell_ = widen(list_.cell(item.iItem, kRecordColumns[item.iSubItem].column));
            lstrcpynW(item.pszText, cell_.c_str(), item.cchTextMax);
        }
        return 0;
    }
    case NM_CUSTOMDRAW: {
        auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header));
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
        const auto row = static_cast<std::int64_t>(draw.nmcd.dwItemSpec);
        // The selected line in the highlight, though the focus is in the filter.
        if (row == list_.selected()) {
            draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
            draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
            draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        } else if (list_.replaced(row)) {
            draw.clrText = GetSysColor(COLOR_GRAYTEXT);
        }
        return CDRF_NEWFONT;
    }
    case LVN_ITEMCHANGED: {
        const auto& change = *reinterpret_cast<const NMLISTVIEW*>(&header);
        if (!selecting_ && change.iItem >= 0 && (change.uNewState & LVIS_SELECTED) &&
            !(change.uOldState & LVIS_SELECTED))
            list_.lineClicked(change.iItem);
        return 0;
    }
    case NM_DBLCLK: {
        const auto& activated = *reinterpret_cast<const NMITEMACTIVATE*>(&header);
        if (activated.iItem >= 0) list_.lineOpened(activated.iItem);
        return 0;
    }
    case NM_SETFOCUS:
        PostMessageW(window_, kFocusFilter, 0, 0);
        return 0;
    default:
        return 0;
    }
}

// The list view asks for the lines it draws; a moved selection only moves
// the highlight.
void RecordsWindow::refresh(bool lines) {
    if (!window_) return;
    selecting_ = true;
    if (lines) {
        ListView_SetItemCountEx(lines_, static_cast<int>(list_.lineCount()), 0);
        InvalidateRect(lines_, nullptr, TRUE);
    }
    ListView_SetItemState(lines_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    const auto row = static_cast<int>(list_.selected());
    if (row >= 0) {
        ListView_SetItemState(lines_, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(lines_, row, FALSE);
    }
    selecting_ = false;
    SetWindowTextW(totals_, widen(list_.totalsText()).c_str());
}

void RecordsWindow::dismiss() {
    ShowWindow(window_, SW_HIDE);
}

int RecordsWindow::shownLines() const {
    return std::max(1, ListView_GetCountPerPage(lines_));
}

bool RecordsWindow::preview(const MSG& msg) {
    if (!window_ || (msg.hwnd != window_ && !IsChild(window_, msg.hwnd))) return false;
    // Enter on the export button presses it.
    if (msg.message == WM_KEYDOWN && !(msg.hwnd == export_ && msg.wParam == VK_RETURN))
        if (list_.keyPressed(keyOf(msg.wParam), shownLines())) return true;
    return IsDialogMessageW(window_, const_cast<MSG*>(&msg)) != 0;
}

} // namespace lanqi::ui::win32
