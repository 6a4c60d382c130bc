#pragma once
// Mirrors the tally sheet and the window's controls both ways: what the user
// types goes into the sheet at once, and every change of the sheet (fields,
// lists, captions) shows in its control at once. A control that already
// shows the sheet's text is left alone, so the caret of the field being typed
// in stays where it is.
#include "tally/sheet.h"
#include "ui/control_map.h"

#include <QObject>

#include <array>
#include <string>
#include <vector>

namespace lanqi::ui {

class ModelBinding : public QObject {
    Q_OBJECT
  public:
    ModelBinding(TallySheet& sheet, const ControlMap& controls, QObject* parent = nullptr);

  signals:
    // An entry of a list was picked by the user and is now selected in the
    // sheet (typing into a list's text part is not a pick).
    void comboPicked(lanqi::Combo combo);

  private:
    void watchSheet();
    void watchControls();
    void showAll();
    void showField(FieldId field);
    void showCombo(Combo combo);
    void showCaption(Label label);
    void mirrorMemoChange(FieldId field, int position, int removed, int added);
    void mirrorWholeMemo(FieldId field);

    TallySheet& sheet_;
    const ControlMap& controls_;
    bool showing_ = false;   // a sheet change is being put on screen
    bool mirroring_ = false; // a change of the remarks is going into the sheet
    // Where the last change of the remarks ended, in UTF-16 units and in bytes
    // of the sheet's text, and the text's length in UTF-16 units: typing goes
    // on from there without counting the text from its start.
    struct MemoMark {
        qsizetype units = 0;
        size_t bytes = 0;
    } memoMark_;
    qsizetype memoUnits_ = 0;
    std::array<std::vector<std::string>, kComboCount> shownItems_;
};

} // namespace lanqi::ui
