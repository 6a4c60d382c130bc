// Keying a tally in without the mouse: Enter walks the tab order, the arrows
// wrap within a column, and entering a column selects its text.
#include "tests/ui/window_fixture.h"

#include <QPlainTextEdit>

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
