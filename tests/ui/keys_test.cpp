// Keying a tally in without the mouse: Enter walks the tab order, the arrows
// wrap within a column, and entering a column selects its text.
#include "tests/ui/window_fixture.h"

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

QString at(const char* arr, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(arr)).arg(index);
}

// The whole cycle of tab stops, from the first stop back to it.
QStringList tabCycle() {
    QStringList cycle;
    for (const char* column : {"Text2", "Text5", "Text8", "Text11"})
        for (int r = 0; r < 20; ++r)
            if (!(QLatin1String(column) == QLatin1String("Text11") && r == 19))
                cycle << at(column, r);
    for (const char* column : {"Text1", "Text4", "Text7", "Text10"})
        for (int r = 0; r < 20; ++r) cycle << at(column, r);
    cycle << "Text26(0)";
    for (int k = 1; k <= 4; ++k) cycle << at("Text26", k) << at("Text27", k);
    cycle << "Text26(5)";
    for (int k = 0; k < 6; ++k) cycle << at("Text30", k);
    cycle << "Combo14"
          << "Combo13"
          << "Combo12"
          << "Combo6"
          << "Command2"
          << "Combo4"
          << "Combo2"
          << "Command6"
          << "Command4"
          << "Command3"
          << "Text28(6)"
          << "Command1"
          << "Text13"
          << "Text2(0)";
    return cycle;
}

} // namespace

class KeysTest : public QObject {
    Q_OBJECT
  private slots:
    void enterWalksTheWholeTabCycle() {
        WindowFixture f;
        QVERIFY(f.ready());
        const QStringList cycle = tabCycle();
        QCOMPARE(f.focused(), cycle.front());
        QStringList walked{f.focused()};
        for (int i = 1; i < cycle.size(); ++i) {
            f.press(Qt::Key_Return);
            walked << f.focused();
        }
        QCOMPARE(walked, cycle);
    }

    void enterFromFieldsOffTheCycle_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("Text11(19) skipped by Enter") << "Text11(18)"
                                                     << "Text1(0)";
        QTest::newRow("Text11(19) reached by arrows") << "Text11(19)"
                                                      << "Text1(0)";
        QTest::newRow("last diameter") << "Text10(19)"
                                       << "Text26(0)";
        QTest::newRow("block total") << "Text2(20)"
                                     << "Text28(6)";
        QTest::newRow("log length") << "Text25(0)"
                                    << "Text2(0)";
        QTest::newRow("remarks") << "Text13"
                                 << "Text2(0)";
    }
    void enterFromFieldsOffTheCycle() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        WindowFixture f;
        QVERIFY(f.ready());
        f.control(from)->setFocus(Qt::MouseFocusReason);
        f.press(Qt::Key_Enter);
        QCOMPARE(f.focused(), to);
    }

    void arrowsWrapWithinAColumn_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("to");
        const int none = Qt::NoModifier;
        QTest::newRow("down into block total")
            << "Text2(19)" << int(Qt::Key_Down) << none << "Text2(20)";
        QTest::newRow("down from block total")
            << "Text2(20)" << int(Qt::Key_Down) << none << "Text2(0)";
        QTest::newRow("up from count row 0")
            << "Text5(0)" << int(Qt::Key_Up) << none << "Text5(20)";
        QTest::newRow("up from Text8(0)") << "Text8(0)" << int(Qt::Key_Up) << none << "Text8(20)";
        QTest::newRow("up from block total")
            << "Text11(20)" << int(Qt::Key_Up) << none << "Text11(19)";
        QTest::newRow("shift+down reaches Text11(19)")
            << "Text11(18)" << int(Qt::Key_Down) << int(Qt::ShiftModifier) << "Text11(19)";
        QTest::newRow("ctrl+up") << "Text11(20)" << int(Qt::Key_Up) << int(Qt::ControlModifier)
                                 << "Text11(19)";
        QTest::newRow("down wraps diameters")
            << "Text1(19)" << int(Qt::Key_Down) << none << "Text1(0)";
        QTest::newRow("up wraps diameters")
            << "Text10(0)" << int(Qt::Key_Up) << none << "Text10(19)";
        QTest::newRow("down in a diameter")
            << "Text7(4)" << int(Qt::Key_Down) << none << "Text7(5)";
        QTest::newRow("volumes have no arrows")
            << "Text3(4)" << int(Qt::Key_Down) << none << "Text3(4)";
        QTest::newRow("bounds have no arrows")
            << "Text26(2)" << int(Qt::Key_Up) << none << "Text26(2)";
        QTest::newRow("a button keeps the focus")
            << "Command3" << int(Qt::Key_Down) << none << "Command3";
        QTest::newRow("a button takes no Left")
            << "Command4" << int(Qt::Key_Left) << none << "Command4";
        QTest::newRow("the grand total keeps the focus")
            << "Text28(6)" << int(Qt::Key_Up) << none << "Text28(6)";
        QTest::newRow("a list keeps the focus") << "Combo4" << int(Qt::Key_Down) << none << "Combo4";
    }
    void arrowsWrapWithinAColumn() {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, to);
        WindowFixture f;
        QVERIFY(f.ready());
        f.control(from)->setFocus(Qt::MouseFocusReason);
        f.press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(f.focused(), to);
    }

    void enteringAColumnSelectsItsText_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("by Enter") << int(Qt::Key_Return);
        QTest::newRow("by Down") << int(Qt::Key_Down);
        QTest::newRow("by Tab") << int(Qt::Key_Tab);
    }
    void enteringAColumnSelectsItsText() {
        QFETCH(int, key);
        WindowFixture f;
        QVERIFY(f.ready());
        f.sheet.setText(lanqi::Arr::Text2, 1, "128");
        QCOMPARE(f.focused(), QString("Text2(0)"));
        f.press(Qt::Key(key));
        QCOMPARE(f.focused(), QString("Text2(1)"));
        QCOMPARE(f.line("Text2(1)")->selectedText(), QString("128"));
        QTest::qWait(20); // nothing deferred may undo the selection
        f.type("7");
        QCOMPARE(f.shown("Text2(1)"), QString("7"));
        QCOMPARE(f.sheet.text(lanqi::Arr::Text2, 1), std::string("7"));
    }

    void comingBackToTheWindowKeepsTheCaret() {
        WindowFixture f;
        QVERIFY(f.ready());
        f.type("12");
        QLineEdit* typing = f.line("Text2(0)");
        QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(typing, &back);
        QVERIFY(!typing->hasSelectedText());
        f.type("5");
        QCOMPARE(f.shown("Text2(0)"), QString("125"));
    }

    void upFromARowSelectsTheDiameterAbove() {
        WindowFixture f;
        QVERIFY(f.ready());
        f.sheet.setText(lanqi::Arr::Text4, 19, "36");
        f.control("Text4(0)")->setFocus(Qt::MouseFocusReason);
        f.press(Qt::Key_Up);
        QCOMPARE(f.focused(), QString("Text4(19)"));
        f.type("4");
        QCOMPARE(f.sheet.text(lanqi::Arr::Text4, 19), std::string("4"));
    }

    // The worked tick keyed from the first focus with Enter, digits and
    // BackSpace only, over the diameters and prices the shipped workbook loads
    // (6, 8, 10 …; 850, 1000, 1200, 1350, 1500, 1700).
    void workedTickKeyedOverTheLoadedValues() {
        ShippedWindowFixture f;
        QVERIFY(f.ready());
        QCOMPARE(f.sheet().text(lanqi::Arr::Text30, 0), std::string("850"));
        QCOMPARE(f.focused(), QString("Text2(0)"));
        f.keys("3E9E2E");
        f.enters(76);
        QCOMPARE(f.focused(), QString("Text1(0)"));
        f.keys("20E30E12E");
        f.enters(87);
        QCOMPARE(f.focused(), QString("Text30(0)"));
        f.keys("BEBE1000E1200EBEB");
        QTest::qWait(1600); // two ticks: the amount total follows one tick behind
        const char* prices[] = {"", "", "1000", "1200", "", ""};
        for (int k = 0; k < 6; ++k)
            QCOMPARE(f.sheet().text(lanqi::Arr::Text30, k), std::string(prices[k]));
        QCOMPARE(f.sheet().text(lanqi::Arr::Text3, 1), std::string("3.096"));
        QCOMPARE(f.sheet().text(lanqi::Arr::Text31, 6), std::string("4195.20"));
        QCOMPARE(qobject_cast<QLineEdit*>(f.window->control("Text31(6)"))->text(),
                 QString("4195.20"));
    }

    // A loaded price entered by a key is typed over, whichever key entered it.
    void aLoadedPriceEnteredByAKeyIsTypedOver_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("field");
        QTest::newRow("Enter") << "Text26(5)" << int(Qt::Key_Return) << int(Qt::NoModifier)
                               << "Text30(0)";
        QTest::newRow("Tab") << "Text26(5)" << int(Qt::Key_Tab) << int(Qt::NoModifier)
                             << "Text30(0)";
        QTest::newRow("Shift+Tab") << "Text30(1)" << int(Qt::Key_Backtab)
                                   << int(Qt::ShiftModifier) << "Text30(0)";
        QTest::newRow("a list by Enter") << "Text30(5)" << int(Qt::Key_Return)
                                         << int(Qt::NoModifier) << "Combo14";
    }
    void aLoadedPriceEnteredByAKeyIsTypedOver() {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, field);
        ShippedWindowFixture f;
        QVERIFY(f.ready());
        f.window->control(from)->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key),
                        Qt::KeyboardModifiers(modifiers));
        QCOMPARE(f.focused(), field);
        f.keys("9");
        QWidget* w = f.window->control(field);
        auto* box = qobject_cast<QComboBox*>(w);
        QCOMPARE(box ? box->currentText() : qobject_cast<QLineEdit*>(w)->text(), QString("9"));
    }

    // A message's one button says 确定, as everywhere else in the window.
    void aMessageIsClosedWithItsChineseButton() {
        WindowFixture f;
        QVERIFY(f.ready());
        QStringList buttons;
        QTimer::singleShot(0, [&buttons] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            for (QAbstractButton* b : box->buttons()) buttons << b->text();
            box->buttons().front()->click();
        });
        f.window->MainWindow::inform("每次打印前请先关闭*账单明细*");
        QCOMPARE(buttons, QStringList{"确定"});
    }

    // The link lies over the end of the date, as the controls table stacks them.
    void theLinkLiesOverTheDate() {
        WindowFixture f;
        QVERIFY(f.ready());
        QWidget* frame = f.control("Frame1");
        const QPoint overlap(lanqi::ui::toPixels(8400), lanqi::ui::toPixels(11000));
        QWidget* top = frame->childAt(overlap);
        QVERIFY(top);
        QCOMPARE(top->objectName(), QString("Label8"));
    }

    void enterNeverReachesAControl() {
        WindowFixture f;
        QVERIFY(f.ready());
        auto* memo = qobject_cast<QPlainTextEdit*>(f.control("Text13"));
        memo->setFocus(Qt::MouseFocusReason);
        f.type("ab");
        f.press(Qt::Key_Return);
        QCOMPARE(memo->toPlainText(), QString("ab"));
        QCOMPARE(f.sheet.text(lanqi::Arr::Text13, 0), std::string("ab"));
        QCOMPARE(f.focused(), QString("Text2(0)"));

        // In an editable list Enter inserts no item and only moves on.
        QComboBox* list = f.box("Combo12");
        list->setFocus(Qt::MouseFocusReason);
        f.type("x");
        f.press(Qt::Key_Return);
        QCOMPARE(list->count(), 0);
        QCOMPARE(f.focused(), QString("Combo6"));
        QCOMPARE(f.sheet.combo(lanqi::Combo::Combo12).items.size(), size_t(0));
    }
};

QTEST_MAIN(KeysTest)
#include "keys_test.moc"
