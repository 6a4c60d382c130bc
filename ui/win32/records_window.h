#pragma once
// The records window: the filter and the period above, the bills below in a
// virtual list view that asks for the lines it draws only, the totals of
// what is shown at the foot. Keys and clicks go to the program's records
// list, which decides.
#include "program/records.h"

#include <windows.h>

#include <string>

namespace lanqi::ui::win32 {

class RecordsWindow : public RecordsList::View {
  public:
    RecordsWindow(HINSTANCE instance, HWND owner, RecordsList& list);
    RecordsWindow(const RecordsWindow&) = delete;
    RecordsWindow& operator=(const RecordsWindow&) = delete;
    ~RecordsWindow() override;

    HWND handle() const { return window_; }
    // Shown, in front, with the focus in the filter.
    void present();
    // The keys of the records window, before its controls see them; true
    // when the message was the window's.
    bool preview(const MSG& msg);

    void refresh(bool lines) override;
    void dismiss() override;

  private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(HWND, UINT, WPARAM, LPARAM);
    void create(HWND hwnd);
    void arrange();
    LRESULT notified(const NMHDR& header);
    int shownLines() const;

    RecordsList& list_;
    HWND window_ = nullptr;
    HWND filter_ = nullptr, from_ = nullptr, to_ = nullptr, export_ = nullptr;
    HWND lines_ = nullptr, totals_ = nullptr;
    HWND captions_[3] = {};
    HFONT font_ = nullptr;
    std::wstring cell_; // the text of the cell just asked for
    Subscription attached_;
    bool placed_ = false; // centred over the main window once
    bool selecting_ = false; // the selection is being shown, not made by the user
};

} // namespace lanqi::ui::win32
