#pragma once
// A shown main window over a fresh program with an in-memory workbook, and
// the key and field helpers the window tests share.
#include "program/program.h"
#include "tally/sheet.h"
#include "tests/workbook/fake_spreadsheet.h"
#include "ui/qt/main_window.h"
#include "workbook/cell_map.h"
#include "workbook/xls_spreadsheet.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The window with its dialogs recorded instead of shown, and the window's
// moves and the end of the program counted.
class TestWindow : public lanqi::ui::MainWindow {
  public:
    using MainWindow::MainWindow;
    std::vector<std::string> told;                 // every message and question, in turn
    std::vector<std::vector<lanqi::Choice>> asked; // the choices of every question
    std::vector<lanqi::Choice> answers;            // the choices the user makes, in turn
    int moves = 0, ends = 0;

    void inform(std::string_view message) override {
        told.emplace_back(message);
        emit notice(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    }
    lanqi::Choice ask(std::string_view message, std::span<const lanqi::Choice> choices) override {
        told.emplace_back(message);
        asked.emplace_back(choices.begin(), choices.end());
        if (answers.empty()) return choices.back(); // stays
        const lanqi::Choice a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    void endProgram() override { ++ends; }
    void startWindowMove() override { ++moves; }
};

// Each test process a folder of its own: CTest runs the tests side by side.
inline std::filesystem::path windowTestFolder() {
    return std::filesystem::temp_directory_path() /
           ("lanqi-window-test-" + std::to_string(QCoreApplication::applicationPid()));
}

struct WindowFixture {
    lanqi::testing::FakeSpreadsheet spreadsheet;
    lanqi::Program program{spreadsheet, windowTestFolder() / "账单明细.xls",
                           windowTestFolder() / "lanqi.lock"};
    lanqi::TallySheet& sheet = program.sheet();
    std::unique_ptr<TestWindow> window;

    WindowFixture() {
        spreadsheet.file[std::string(lanqi::cellmap::kBillSheet)];
        spreadsheet.file[std::string(lanqi::cellmap::kStoreSheet)];
        window = std::make_unique<TestWindow>(program);
        window->show();
        window->activateWindow();
    }
    bool ready() { return QTest::qWaitForWindowActive(window.get()); }

    QWidget* control(const QString& name) const { return window->control(name); }
    QLineEdit* line(const QString& name) const { return qobject_cast<QLineEdit*>(control(name)); }
    QComboBox* box(const QString& name) const { return qobject_cast<QComboBox*>(control(name)); }
    QString shown(const QString& name) const { return line(name)->text(); }

    // The window control that has the focus (a list's inner edit counts as
    // the list).
    QString focused() const {
        QWidget* w = QApplication::focusWidget();
        while (w && w->objectName().isEmpty()) w = w->parentWidget();
        return w ? w->objectName() : QString();
    }
    // A key pressed and released where the focus is, as the user types it.
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, mods);
    }
    // Typed text; characters beyond ASCII come as the text of a key event,
    // the way an input method delivers them.
    void type(const QString& text) {
        for (QChar c : text) {
            QWidget* w = QApplication::focusWidget();
            if (c.unicode() < 128)
                QTest::keyClick(w, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    // Gives a field the focus with the keyboard's reason and types into it.
    void typeInto(const QString& name, const QString& text) {
        control(name)->setFocus(Qt::TabFocusReason);
        type(text);
    }
};

// Picks entry k from the list's drop-down with the keyboard.
inline void pick(WindowFixture& f, const QString& list, int k) {
    QComboBox* box = f.box(list);
    box->setFocus(Qt::MouseFocusReason);
    box->showPopup();
    QAbstractItemView* view = box->view();
    QTRY_VERIFY(view->isVisible());
    view->setCurrentIndex(box->model()->index(k, 0));
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY(!view->isVisible());
}

// The window over a copy of the shipped workbook, loaded as at a real start:
// the lists, diameters, bounds, prices and block 1's length the scaler keys
// over. The bill is shown to no one.
struct ShippedWindowFixture {
    std::filesystem::path folder = windowTestFolder() / "shipped";
    std::filesystem::path workbook = folder / "账单明细.xls";
    lanqi::XlsApplication spreadsheet{[](const std::filesystem::path&) {}};
    std::unique_ptr<lanqi::Program> program;
    std::unique_ptr<TestWindow> window;

    explicit ShippedWindowFixture(const std::filesystem::path& shipped = LANQI_SHIPPED_WORKBOOK) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(shipped, workbook);
        program = std::make_unique<lanqi::Program>(spreadsheet, workbook, folder / "lanqi.lock");
        window = std::make_unique<TestWindow>(*program);
        program->start();
        window->show();
        window->activateWindow();
        program->focusFirst();
    }
    ~ShippedWindowFixture() {
        window.reset();
        program.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    bool ready() { return QTest::qWaitForWindowActive(window.get()); }
    lanqi::TallySheet& sheet() { return program->sheet(); }
    QString focused() const {
        QWidget* w = QApplication::focusWidget();
        while (w && w->objectName().isEmpty()) w = w->parentWidget();
        return w ? w->objectName() : QString();
    }
    // Keys as a scaler presses them: digits and '.', E Enter, B BackSpace,
    // U Up, D Down.
    void key(char k) {
        QWidget* w = QApplication::focusWidget();
        switch (k) {
        case 'E':
            return QTest::keyClick(w, Qt::Key_Return);
        case 'B':
            return QTest::keyClick(w, Qt::Key_Backspace);
        case 'U':
            return QTest::keyClick(w, Qt::Key_Up);
        case 'D':
            return QTest::keyClick(w, Qt::Key_Down);
        default:
            return QTest::keyClick(w, k);
        }
    }
    void keys(std::string_view typed) {
        for (char k : typed) key(k);
    }
    void enters(int n) { keys(std::string(static_cast<std::size_t>(n), 'E')); }
};
