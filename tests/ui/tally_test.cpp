// A tally typed into the window: the computed fields follow after a tick,
// the blanking rules act on typing, and the clear buttons empty the sheet.
#include "editing/date_caption.h"
#include "tally/tick.h"
#include "tests/ui/window_fixture.h"

#include <QDesktopServices>
#include <QSignalSpy>
#include <QUrl>

using lanqi::Arr;

namespace {

// Block 1 with length 4: 20 cm × 3, 30 cm × 9, 12 cm × 2; bounds 14–38;
// prices 1000 and 1200 for grading rows 2 and 3.
void typeSampleTally(WindowFixture& f) {
    f.typeInto("Text25(0)", "4");
    const char* bounds[] = {"14", "14", "20", "26", "32", "38"};
    for (int k = 0; k < 6; ++k) f.typeInto(QStringLiteral("Text26(%1)").arg(k), bounds[k]);
    const char* upper[] = {"", "19", "25", "31", "37"};
    for (int k = 1; k <= 4; ++k) f.typeInto(QStringLiteral("Text27(%1)").arg(k), upper[k]);
    f.typeInto("Text30(2)", "1000");
    f.typeInto("Text30(3)", "1200");
    const char* rows[][2] = {{"20", "3"}, {"30", "9"}, {"12", "2"}};
    for (int i = 0; i < 3; ++i) {
        f.typeInto(QStringLiteral("Text1(%1)").arg(i), rows[i][0]);
        f.typeInto(QStringLiteral("Text2(%1)").arg(i), rows[i][1]);
    }
}

// Stands in for the browser.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened << url; }
};

} // namespace

class TallyTest : public QObject {
    Q_OBJECT
  private slots:
    void typedTallyShowsItsVolumesAndTotalsAfterATick() {
        WindowFixture f;
        QVERIFY(f.ready());
        typeSampleTally(f);
        QCOMPARE(f.sheet.text(Arr::Text2, 1), std::string("9"));
        QCOMPARE(f.shown("Text3(0)"), QString());

        lanqi::Timer1_Timer(f.sheet);
        QCOMPARE(f.shown("Text3(0)"), QString("0.480"));
        QCOMPARE(f.shown("Text3(1)"), QString("3.096"));
        QCOMPARE(f.shown("Text3(2)"), QString("0.124"));
        QCOMPARE(f.shown("Text2(20)"), QString("14"));
        QCOMPARE(f.shown("Text3(20)"), QString("3.7000"));
        QCOMPARE(f.shown("Text28(0)"), QString("2"));
        QCOMPARE(f.shown("Text29(0)"), QString("0.1240"));
        QCOMPARE(f.shown("Text28(1)"), QString());
        QCOMPARE(f.shown("Text29(2)"), QString("0.4800"));
        QCOMPARE(f.shown("Text31(2)"), QString("480.00"));
        QCOMPARE(f.shown("Text31(3)"), QString("3715.20"));
        QCOMPARE(f.shown("Text28(6)"), QString("14"));
        QCOMPARE(f.shown("Text29(6)"), QString("3.7000"));
        QCOMPARE(f.shown("Text31(6)"), QString());
        QCOMPARE(f.shown("Text5(20)"), QString());
        lanqi::Timer1_Timer(f.sheet);
        QCOMPARE(f.shown("Text31(6)"), QString("4195.20"));
    }

    void timersTickOnTheirOwn() {
        WindowFixture f;
        QVERIFY(f.ready());
        QCOMPARE(f.control("Label22")->property("text").toString(), QString("Label22"));
        f.typeInto("Text25(1)", "6");
        f.typeInto("Text4(0)", "30");
        f.typeInto("Text5(0)", "9");
        QTRY_COMPARE_WITH_TIMEOUT(f.shown("Text6(0)"), QString("4.941"), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(f.control("Label22")->property("text").toString(),
                                  QString::fromStdString(lanqi::todayCaption()), 1000);
    }

    void sheetChangesLeaveTheCaretOfTheFieldBeingTyped() {
        WindowFixture f;
        QVERIFY(f.ready());
        typeSampleTally(f);
        f.typeInto("Text2(3)", "15");
        QLineEdit* typing = f.line("Text2(3)");
        f.press(Qt::Key_Left);
        QCOMPARE(typing->cursorPosition(), 1);
        lanqi::Timer1_Timer(f.sheet); // rewrites totals and grading around it
        QCOMPARE(f.shown("Text2(20)"), QString("29"));
        QCOMPARE(typing->cursorPosition(), 1);
        QCOMPARE(f.focused(), QString("Text2(3)"));
    }

    void typingIntoAVolumeCellWithoutADiameterEmptiesIt() {
        WindowFixture f;
        QVERIFY(f.ready());
        f.control("Text3(5)")->setFocus(Qt::MouseFocusReason);
        f.type("5");
        QCOMPARE(f.shown("Text3(5)"), QString());
        QCOMPARE(f.sheet.text(Arr::Text3, 5), std::string());
        f.type("12");
        QCOMPARE(f.shown("Text3(5)"), QString());

        // With a diameter the typed volume stays until the next tick.
        f.typeInto("Text1(5)", "24");
        f.control("Text3(5)")->setFocus(Qt::MouseFocusReason);
        f.type("5");
        QCOMPARE(f.shown("Text3(5)"), QString("5"));
        // A zero typed into a block total empties it at once.
        f.control("Text8(20)")->setFocus(Qt::MouseFocusReason);
        f.type("0");
        QCOMPARE(f.shown("Text8(20)"), QString());
    }

    void clearCountsKeepsTheLayoutAndClearAllEmptiesIt() {
        WindowFixture f;
        QVERIFY(f.ready());
        typeSampleTally(f);
        f.typeInto("Text13", "车次 3");
        lanqi::Timer1_Timer(f.sheet);
        lanqi::Timer1_Timer(f.sheet);

        QTest::mouseClick(f.control("Command1"), Qt::LeftButton);
        QCOMPARE(f.shown("Text2(1)"), QString());
        QCOMPARE(f.shown("Text1(1)"), QString("30"));
        QCOMPARE(f.shown("Text2(20)"), QString("14")); // until the next tick
        lanqi::Timer1_Timer(f.sheet);
        lanqi::Timer1_Timer(f.sheet);
        for (const char* name :
             {"Text3(1)", "Text2(20)", "Text3(20)", "Text29(3)", "Text28(6)", "Text31(6)"})
            QVERIFY2(f.shown(name).isEmpty(), name);
        QCOMPARE(f.shown("Text30(3)"), QString("1200"));
        QCOMPARE(f.shown("Text25(0)"), QString("4"));

        QTest::mouseClick(f.control("Command4"), Qt::LeftButton);
        lanqi::Timer1_Timer(f.sheet);
        lanqi::Timer1_Timer(f.sheet);
        for (lanqi::FieldId field : f.window->controls().fields()) {
            QWidget* w = f.window->controls().field(field);
            if (auto* line = qobject_cast<QLineEdit*>(w))
                QVERIFY2(line->text().isEmpty(), lanqi::fieldName(field).c_str());
        }
        QCOMPARE(f.sheet.text(Arr::Text13, 0), std::string("车次 3"));
    }

    void windowIsBorderlessFixedAndHasItsIcon() {
        WindowFixture f;
        QVERIFY(f.ready());
        QVERIFY(f.window->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(f.window->size(), QSize(631, 768));
        QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
        QCOMPARE(f.control("Frame1")->geometry(), QRect(12, 11, 607, 746));
        QCOMPARE(f.control("Text2(1)")->geometry(), QRect(71, 112, 29, 21));
        QCOMPARE(f.control("Command1")->size(), QSize(81, 33));
        const QList<QSize> sizes = f.window->windowIcon().availableSizes();
        for (int s : {16, 32, 48}) QVERIFY(sizes.contains(QSize(s, s)));
        // Rows 6, 13 and 20 are red.
        QCOMPARE(f.line("Text4(13)")->palette().color(QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(f.line("Text12(20)")->palette().color(QPalette::Text), QColor(255, 0, 0));
        QVERIFY(f.line("Text4(12)")->palette().color(QPalette::Text) != QColor(255, 0, 0));
        QCOMPARE(f.window->windowTitle(), QString("澜栖"));
    }

    void minimiseButtonMinimises() {
        WindowFixture f;
        QVERIFY(f.ready());
        QTest::mouseClick(f.control("Command2"), Qt::LeftButton);
        QTRY_VERIFY(f.window->isMinimized());
    }

    void onlyTheBareBandAndFrameMoveTheWindow() {
        WindowFixture f;
        QVERIFY(f.ready());
        int& moves = f.window->moves;
        QWidget* frame = f.control("Frame1");
        QTest::mouseClick(f.window.get(), Qt::LeftButton, {}, QPoint(4, 300)); // band
        QTest::mouseClick(frame, Qt::RightButton, {}, QPoint(16, 6));          // caption
        QTest::mouseClick(frame, Qt::MiddleButton, {}, QPoint(300, 705));      // bare frame
        QCOMPARE(moves, 3);
        for (const char* name : {"Label22", "Label2(0)", "Text2(0)", "Text3(4)", "Combo4"})
            QTest::mouseClick(f.control(name), Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(moves, 3);
    }

    void linkLabelsOpenTheirAddresses() {
        WindowFixture f;
        QVERIFY(f.ready());
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        QTest::mouseClick(f.control("Label8"), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(f.control("Label5"), Qt::LeftButton, {}, QPoint(5, 5));
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(catcher.opened.size(), 2);
        QVERIFY(catcher.opened[0] != catcher.opened[1]);
        QCOMPARE(catcher.opened[0].scheme(), QString("https"));
    }

    void billAndExitButtonsOnlyAskForTheirWork() {
        WindowFixture f;
        QVERIFY(f.ready());
        QTest::mouseClick(f.control("Command3"), Qt::LeftButton);
        QTest::mouseClick(f.control("Command6"), Qt::LeftButton);
        QCOMPARE(f.spreadsheet.shown.size(), size_t(1));
        QCOMPARE(f.window->ends, 1);
        QVERIFY(f.window->isVisible());
    }

    void theWindowHasItsDesignedSize() {
        WindowFixture f;
        QVERIFY(f.ready());
        const QImage picture = f.window->grab().toImage();
        QCOMPARE(picture.size() / picture.devicePixelRatio(), QSize(631, 768));
    }
};

QTEST_MAIN(TallyTest)
#include "tally_test.moc"
