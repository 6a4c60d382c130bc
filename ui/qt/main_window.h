#pragma once
// Form1: the borderless window that shows the tally sheet. Its controls are
// built from the controls table; the sheet holds every text, list and
// caption, and the window follows it. What the user does goes to the
// program; what the program asks of a window, this window does.
#include "program/program.h"
#include "program/window_port.h"
#include "ui/qt/control_map.h"

#include <QTimer>
#include <QWidget>

#include <array>

namespace lanqi::ui {

class KeyNavigation;
class ModelBinding;
class RecordsWindow;

class MainWindow : public QWidget, public WindowPort {
    Q_OBJECT
  public:
    explicit MainWindow(Program& program, QWidget* parent = nullptr);
    ~MainWindow() override;

    // A control by the name it is known by: "Text2(0)", "Combo4", "Command3".
    QWidget* control(const QString& name) const { return controls_.byName(name); }
    const ControlMap& controls() const { return controls_; }
    // The dots per inch the window is laid out at: fewer than the screen's
    // own only where the window would not fit on the screen.
    int dpi() const { return dpi_; }

    // The dialogs: modal boxes under the program's title.
    void inform(std::string_view message) override;
    Choice ask(std::string_view message, std::span<const Choice> choices) override;
    void endProgram() override;
    void later(std::function<void()> task) override;
    // What the program does to the window.
    void focus(ControlId control) override;
    std::optional<ControlId> focusedControl() const override;
    void selectText(ControlId control, Entry entry) override;
    void beep() override;
    void minimise() override;
    void startWindowMove() override;
    void openLink(std::string_view address) override;
    void showRecords(RecordsList& records) override;
    // The records window, once it has been opened.
    RecordsWindow* records() const { return records_; }

  signals:
    // Something the user is told in a message.
    void notice(const QString& message);

  protected:
    // A press on the bare band around Frame1.
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QWidget* build(ControlId id, QWidget* frame);
    void applyTabOrder();
    void connectHandlers();

    Program& program_;
    int dpi_ = kNormalDpi;
    ControlMap controls_;
    ModelBinding* binding_ = nullptr;
    KeyNavigation* keys_ = nullptr;
    RecordsWindow* records_ = nullptr;
    std::array<QTimer, std::size(kTimers)> timers_;
    Subscription attached_;
};

} // namespace lanqi::ui
