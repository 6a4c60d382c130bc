#pragma once
// Form1: the borderless window that shows the tally sheet. Its controls are
// built from the controls table; the sheet holds every text, list and
// caption, and the window follows it whether it is filled before or after
// the window is built.
#include "tally/sheet.h"
#include "ui/control_map.h"

#include <QTimer>
#include <QWidget>

namespace lanqi::ui {

class KeyNavigation;
class ModelBinding;

class MainWindow : public QWidget {
    Q_OBJECT
  public:
    explicit MainWindow(TallySheet& sheet, QWidget* parent = nullptr);
    ~MainWindow() override;

    // A control by the name it is known by: "Text2(0)", "Combo4", "Command3".
    QWidget* control(const QString& name) const { return controls_.byName(name); }
    const ControlMap& controls() const { return controls_; }
    TallySheet& sheet() { return sheet_; }

  signals:
    // Command3: write the bill.
    void billRequested();
    // Command6: store the settings and end the program.
    void saveAndExitRequested();
    // Something the user should be told in a message.
    void notice(const QString& message);
    // A press on the bare band or the bare frame, which moves the window.
    void surfacePressed();

  protected:
    // A press on the bare band around Frame1.
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QWidget* build(const Control& row, QWidget* frame);
    void applyTabOrder();
    void connectHandlers();

    TallySheet& sheet_;
    ControlMap controls_;
    ModelBinding* binding_ = nullptr;
    KeyNavigation* keys_ = nullptr;
    QTimer timer1_;
    QTimer timer2_;
};

} // namespace lanqi::ui
