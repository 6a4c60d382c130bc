#pragma once
// The Windows calls of the sheet's mirror (program/sheet_mirror.h): the
// controls' texts, selections, list entries and visibility, for the mirror's
// rules to use. The remarks' edit field keeps its lines apart with CR LF; the
// mirror sees them as the sheet has them.
#include "program/program.h"
#include "program/sheet_mirror.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace lanqi::ui::win32 {

class Controls;

class WindowsControls : public MirrorControls {
  public:
    explicit WindowsControls(const Controls& controls) : controls_(controls) {}

    std::string text(ControlId control) const override;
    void setText(ControlId control, std::string_view text) override;
    bool hasFocus(ControlId control) const override;
    TextSelection selection(ControlId control) const override;
    void select(ControlId control, TextSelection selection) override;
    void setEntry(ControlId list, int k, std::string_view text) override;
    void addEntries(ControlId list, const std::vector<std::string>& entries) override;
    void removeEntries(ControlId list, int first) override;
    void selectEntry(ControlId list, int k) override;
    void setShown(ControlId control, bool shown) override;
    void setCaption(ControlId label, std::string_view caption) override;

  private:
    const Controls& controls_;
};

// A control's text, and setting it, in UTF-8.
std::string windowText(HWND h);
void setWindowText(HWND h, std::string_view text);

// The selection of an edit field in its own UTF-16 units.
struct EditSelection {
    DWORD start = 0, end = 0;
};
EditSelection editSelection(HWND edit);

} // namespace lanqi::ui::win32
