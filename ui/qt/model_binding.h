#pragma once
// Mirrors the tally sheet and the window's controls both ways: what the user
// types goes to the program at once, and every change of the sheet (fields,
// lists, captions) shows in its control at once. A control that already
// shows the sheet's text is left alone, so the caret of the field being typed
// in stays where it is.
#include "program/program.h"
#include "tally/subscription.h"
#include "ui/qt/control_map.h"

#include <QObject>

#include <array>
#include <string>
#include <vector>

namespace lanqi::ui {

class ModelBinding : public QObject {
    Q_OBJECT
  public:
    ModelBinding(Program& program, const ControlMap& controls, QObject* parent = nullptr);

  private:
    void watchSheet();
    void watchControls();
    void showAll();
    void showField(FieldId field);
    void showCombo(Combo combo);
    void showCaption(Label label);
    void mirrorMemoChange(FieldId field, int position, int removed, int added);
    void mirrorWholeMemo(FieldId field);

    Program& program_;
    TallySheet& sheet_;
    const ControlMap& controls_;
    bool showing_ = false;    // a sheet change is being put on screen
    bool mirroring_ = false;  // a change of the remarks is going into the sheet
    qsizetype memoUnits_ = 0; // the remarks' length as the document had it
    std::array<std::vector<std::string>, kComboCount> shownItems_;
    std::vector<Subscription> watches_;
};

} // namespace lanqi::ui
