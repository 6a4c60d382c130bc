#pragma once
// A shown main window over a fresh tally sheet, and the key and field helpers
// the window tests share.
#include "editing/blanking.h"
#include "tally/sheet.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <memory>

struct WindowFixture {
    lanqi::TallySheet sheet;
    std::unique_ptr<lanqi::ui::MainWindow> window;

    WindowFixture() {
        lanqi::attachBlankingRules(sheet);
        window = std::make_unique<lanqi::ui::MainWindow>(sheet);
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
