#include "ui/qt/main_window.h"

#include "ui/qt/button_faces.h"
#include "ui/qt/click_label.h"
#include "ui/qt/control_look.h"
#include "ui/qt/fit_field.h"
#include "ui/qt/focus_ring.h"
#include "ui/qt/frame_box.h"
#include "ui/qt/key_navigation.h"
#include "ui/qt/model_binding.h"
#include "ui/qt/records_window.h"
#include "ui/qt/remark_edit.h"
#include "ui/qt/window_icon.h"
#include "ui/qt/window_move.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

namespace lanqi::ui {

namespace {

QString qt(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QRect pixels(const Twips& t, int dpi) {
    return {toPixels(t.left, dpi), toPixels(t.top, dpi), toPixels(t.width, dpi),
            toPixels(t.height, dpi)};
}

QWidget* makeWidget(const Control& row, int dpi, Program& program, QWidget* parent) {
    switch (row.kind) {
    case Kind::Frame: {
        auto* frame = new FrameBox(parent);
        frame->setCaption(qt(row.caption), fontOf(row.look.font, dpi), colourOf(row.look.text));
        return frame;
    }
    case Kind::TextBox:
        return new FitLineEdit(parent);
    case Kind::Memo: {
        auto* memo = new RemarkEdit(program, parent);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setTabChangesFocus(true);
        return memo;
    }
    case Kind::Label:
        return new ClickLabel(qt(row.caption), parent);
    case Kind::Combo: {
        auto* box = new QComboBox(parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setCompleter(nullptr);
        return box;
    }
    case Kind::Button:
        return new FaceButton(qt(row.caption), qt(row.pressedCaption),
                              pixels(row.place, dpi).size(), parent);
    }
    return nullptr;
}

Qt::FocusPolicy focusPolicyOf(const Control& row) {
    if (row.kind == Kind::Label || row.kind == Kind::Frame) return Qt::NoFocus;
    return row.tabStop ? Qt::StrongFocus : Qt::ClickFocus;
}

} // namespace

MainWindow::MainWindow(Program& program, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), program_(program) {
    setWindowTitle(qt(kWindowTitle));
    setWindowIcon(drawWindowIcon());
    // Smaller on a screen too small for the window: every place, size and
    // font alike.
    const WindowFit fit = fitOnScreen(this);
    dpi_ = fit.dpi;
    setFixedSize(fit.place.width, fit.place.height);
    setFont(fontOf(Font::Default, dpi_));
    applyLook(this, {Colour::Inherit, kWindowBack}, dpi_);
    setAutoFillBackground(true);

    QWidget* frame = nullptr;
    for (ControlId id = 0; id < kControls.size(); ++id) {
        QWidget* w = build(id, frame ? frame : this);
        if (kControls[id].kind == Kind::Frame) frame = w;
    }
    applyTabOrder();
    for (ControlId id : drawingOrder()) controls_.widget(id)->raise();
    new FocusRing(frame);

    attached_ = program_.attach(*this);
    binding_ = new ModelBinding(program_, controls_, this);
    keys_ = new KeyNavigation(this, controls_, program_);
    connectHandlers();

    for (size_t t = 0; t < timers_.size(); ++t) {
        timers_[t].setInterval(kTimers[t].intervalMs);
        timers_[t].start();
    }
    move(fit.place.left, fit.place.top);
    program_.focusFirst();
}

// The key preview and the mirror go before the control map they read.
MainWindow::~MainWindow() {
    delete records_;
    delete keys_;
    delete binding_;
}

QWidget* MainWindow::build(ControlId id, QWidget* parent) {
    const Control& row = kControls[id];
    QWidget* w = makeWidget(row, dpi_, program_, parent);
    w->setObjectName(qt(controlName(id)));
    w->setGeometry(pixels(row.place, dpi_));
    w->setFocusPolicy(focusPolicyOf(row));
    // The frame keeps its caption's colour and font to itself, so that the
    // controls inside inherit only its background.
    applyLook(w, row.kind == Kind::Frame ? Look{Colour::Inherit, row.look.back} : row.look, dpi_);
    controls_.add(id, w);
    return w;
}

void MainWindow::applyTabOrder() {
    const std::span<const ControlId> order = tabOrder();
    for (size_t i = 1; i < order.size(); ++i)
        setTabOrder(controls_.widget(order[i - 1]), controls_.widget(order[i]));
}

void MainWindow::connectHandlers() {
    for (size_t t = 0; t < timers_.size(); ++t)
        connect(&timers_[t], &QTimer::timeout, this,
                [this, timer = kTimers[t].timer] { program_.timerFired(timer); });

    connect(static_cast<FrameBox*>(control(QStringLiteral("Frame1"))), &FrameBox::barePressed, this,
            [this] { program_.barePressed(); });

    for (ControlId id = 0; id < kControls.size(); ++id) {
        QWidget* w = controls_.widget(id);
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            connect(button, &QAbstractButton::clicked, this, [this, id] { program_.clicked(id); });
        else if (auto* label = qobject_cast<ClickLabel*>(w))
            connect(label, &ClickLabel::clicked, this, [this, id] { program_.clicked(id); });
    }
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (childAt(event->position().toPoint())) return QWidget::mousePressEvent(event);
    event->accept();
    program_.barePressed();
}

void MainWindow::inform(std::string_view message) {
    emit notice(qt(message));
    QMessageBox box(QMessageBox::NoIcon, qt(kWindowTitle), qt(message), QMessageBox::NoButton,
                    this);
    box.setEscapeButton(box.addButton(qt(wordsOf(Choice::Ok)), QMessageBox::AcceptRole));
    box.exec();
}

Choice MainWindow::ask(std::string_view message, std::span<const Choice> choices) {
    emit notice(qt(message));
    QMessageBox box(QMessageBox::NoIcon, qt(kWindowTitle), qt(message), QMessageBox::NoButton,
                    this);
    std::vector<QAbstractButton*> buttons;
    for (size_t i = 0; i < choices.size(); ++i)
        buttons.push_back(box.addButton(qt(wordsOf(choices[i])), i + 1 == choices.size()
                                                                     ? QMessageBox::RejectRole
                                                                     : QMessageBox::AcceptRole));
    if (buttons.empty()) return Choice::Cancel;
    box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
    box.setEscapeButton(buttons.back());
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i]) return choices[i];
    return choices.back();
}

void MainWindow::endProgram() {
    QApplication::exit(0);
}

void MainWindow::later(std::function<void()> task) {
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

// A reason of no kind: the toolkit selects nothing of its own on entry.
void MainWindow::focus(ControlId control) {
    controls_.widget(control)->setFocus(Qt::OtherFocusReason);
}

std::optional<ControlId> MainWindow::focusedControl() const {
    QWidget* w = QApplication::focusWidget();
    return w && w->window() == this ? controls_.idOf(w) : std::nullopt;
}

void MainWindow::selectText(ControlId control, Entry entry) {
    if (entry == Entry::Nothing) return;
    QWidget* w = controls_.widget(control);
    QLineEdit* line = qobject_cast<QLineEdit*>(w);
    if (auto* box = qobject_cast<QComboBox*>(w)) line = box->lineEdit();
    if (line) {
        if (entry == Entry::WholeText)
            line->selectAll();
        else
            line->end(false);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
        if (entry == Entry::WholeText)
            memo->selectAll();
        else
            memo->moveCursor(QTextCursor::End);
    }
}

void MainWindow::beep() {
    QApplication::beep();
}

void MainWindow::minimise() {
    showMinimized();
}

void MainWindow::startWindowMove() {
    ui::startWindowMove(this);
}

void MainWindow::openLink(std::string_view address) {
    QDesktopServices::openUrl(QUrl(qt(address)));
}

void MainWindow::showRecords(RecordsList& records) {
    if (!records_) records_ = new RecordsWindow(records, this);
    records_->present();
}

} // namespace lanqi::ui
