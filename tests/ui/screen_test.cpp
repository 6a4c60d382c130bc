// The window on a real X screen that is small for it (run by on_screen.sh on
// a virtual display with a panel, or at a scale): it lies wholly inside the
// work area, and the worked tally keyed over the shipped workbook's loaded
// values still shows its grand total whole.
#include "program/program.h"
#include "program/window_fit.h"
#include "ui/qt/fit_field.h"
#include "ui/qt/main_window.h"
#include "workbook/xls_spreadsheet.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The window with its messages recorded instead of shown.
class QuietWindow : public lanqi::ui::MainWindow {
  public:
    using MainWindow::MainWindow;
    std::vector<std::string> told;
    void inform(std::string_view message) override { told.emplace_back(message); }
    lanqi::Choice ask(std::string_view message, std::span<const lanqi::Choice> choices) override {
        told.emplace_back(message);
        return choices.back();
    }
};

void press(Qt::Key key, int times = 1) {
    for (int i = 0; i < times; ++i) QTest::keyClick(QApplication::focusWidget(), key);
}

void type(const char* digits) {
    QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(digits));
}

// The worked tally as a scaler keys it from the first focus: counts, Enter
// down to the diameters, diameters, Enter down to the unit prices, which are
// typed over or emptied.
void keyWorkedTally() {
    for (const char* count : {"3", "9", "2"}) {
        type(count);
        press(Qt::Key_Return);
    }
    press(Qt::Key_Return, 76); // the rest of the counts: 79 stops in all
    for (const char* diameter : {"20", "30", "12"}) {
        type(diameter);
        press(Qt::Key_Return);
    }
    press(Qt::Key_Return, 87); // the rest of the diameters and the ten bounds
    press(Qt::Key_Backspace);
    press(Qt::Key_Return);
    press(Qt::Key_Backspace);
    press(Qt::Key_Return);
    type("1000");
    press(Qt::Key_Return);
    type("1200");
    press(Qt::Key_Return);
    press(Qt::Key_Backspace);
    press(Qt::Key_Return);
    press(Qt::Key_Backspace);
}

} // namespace

class ScreenTest : public QObject {
    Q_OBJECT
  private slots:
    void windowFitsTheWorkAreaAndShowsTheWorkedTally() {
        const fs::path folder =
            fs::temp_directory_path() /
            ("lanqi-screen-test-" + std::to_string(QCoreApplication::applicationPid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::copy_file(LANQI_SHIPPED_WORKBOOK, folder / "账单明细.xls");

        lanqi::XlsApplication spreadsheet;
        lanqi::Program program(spreadsheet, folder / "账单明细.xls", folder / "lanqi.lock");
        QuietWindow window(program);
        QVERIFY(program.start());
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QRect work = window.screen()->availableGeometry();
        const QRect shown = window.frameGeometry();
        QVERIFY2(work.contains(shown),
                 qPrintable(QStringLiteral(
                                "the window %1x%2+%3+%4 is not inside the work area %5x%6+%7+%8")
                                .arg(shown.width())
                                .arg(shown.height())
                                .arg(shown.x())
                                .arg(shown.y())
                                .arg(work.width())
                                .arg(work.height())
                                .arg(work.x())
                                .arg(work.y())));
        QVERIFY(window.dpi() < lanqi::ui::kNormalDpi);

        window.control(QStringLiteral("Text2(0)"))->setFocus(Qt::TabFocusReason);
        keyWorkedTally();
        QTest::qWait(2 * 700 + 300);
        auto* total =
            qobject_cast<lanqi::ui::FitLineEdit*>(window.control(QStringLiteral("Text31(6)")));
        QCOMPARE(total->text(), QStringLiteral("4195.20"));
        QVERIFY(!total->fitted().cut);
        QVERIFY(window.told.empty());
        // For the README: the whole screen, panel and all.
        if (const QString shot = qEnvironmentVariable("LANQI_WINDOW_SHOT"); !shot.isEmpty())
            QVERIFY(window.screen()->grabWindow(0).save(shot));
        fs::remove_all(folder);
    }
};

QTEST_MAIN(ScreenTest)
#include "screen_test.moc"
