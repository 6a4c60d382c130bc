#pragma once
// The Qt calls of the sheet's mirror (program/sheet_mirror.h): what the user
// changes goes to the mirror, and the mirror writes the controls through
// these calls. The rules of the mirror are the program's.
#include "program/program.h"
#include "program/sheet_mirror.h"
#include "ui/qt/control_map.h"

#include <QObject>

namespace lanqi::ui {

class ModelBinding : public QObject, private MirrorControls {
    Q_OBJECT
  public:
    ModelBinding(Program& program, const ControlMap& controls, QObject* parent = nullptr);

  private:
    void watchControls();
    void memoChanged(ControlId memo, int position, int removed, int added);

    // MirrorControls.
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

    const ControlMap& controls_;
    SheetMirror mirror_;
    qsizetype memoUnits_ = 0; // the remarks' length as the document had it
};

} // namespace lanqi::ui
