// The window's share of the work: a recalculation tick on a full sheet with
// every changed field put on screen, and the time from starting the program
// to its window shown.
#include "program/program.h"
#include "tally/sheet.h"
#include "tally/tick.h"
#include "ui/qt/main_window.h"
#include "workbook/xls_spreadsheet.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace {

using lanqi::Arr;

// The window over a program whose workbook is never opened here.
struct OnScreen {
    lanqi::XlsApplication spreadsheet;
    lanqi::Program program{spreadsheet, "账单明细.xls", "lanqi-bench.lock"};
    lanqi::TallySheet& sheet = program.sheet();
    lanqi::ui::MainWindow window{program};
};

// All 80 tally rows with a diameter and a count, bounds and prices set.
void fillSheet(lanqi::TallySheet& sheet) {
    const char* bounds[] = {"14", "14", "20", "26", "32", "38"};
    for (int k = 0; k < 6; ++k) {
        sheet.setText(Arr::Text26, k, bounds[k]);
        sheet.setText(Arr::Text30, k, std::to_string(800 + 100 * k));
    }
    for (const lanqi::Block& b : lanqi::kBlocks) {
        sheet.setText(Arr::Text25, b.lengthIndex, "4");
        for (int i = 0; i < lanqi::kTallyRows; ++i) {
            sheet.setText(b.diameter, i, std::to_string(8 + 2 * i));
            sheet.setText(b.count, i, std::to_string(1 + (i * 7 + b.lengthIndex) % 13));
        }
    }
}

// Each tick follows a new log length in every block, so every volume,
// total and amount changes and is rewritten on screen.
void tickOnScreen(benchmark::State& state, bool paint) {
    OnScreen on;
    lanqi::TallySheet& sheet = on.sheet;
    lanqi::ui::MainWindow& window = on.window;
    window.show();
    fillSheet(sheet);
    QCoreApplication::processEvents();
    bool longer = false;
    for (auto _ : state) {
        longer = !longer;
        for (const lanqi::Block& b : lanqi::kBlocks)
            sheet.setText(Arr::Text25, b.lengthIndex, longer ? "6" : "4");
        lanqi::Timer1_Timer(sheet);
        if (paint) window.repaint();
    }
}

void BM_TickWithWidgetUpdates(benchmark::State& state) {
    tickOnScreen(state, false);
}
BENCHMARK(BM_TickWithWidgetUpdates)->Unit(benchmark::kMillisecond);

void BM_TickWithWidgetUpdatesAndPaint(benchmark::State& state) {
    tickOnScreen(state, true);
}
BENCHMARK(BM_TickWithWidgetUpdatesAndPaint)->Unit(benchmark::kMillisecond);

// The start-up load fills eight party lists of 201 entries one entry at a
// time; each entry shows in its list at once.
void BM_FillPartyListsOnScreen(benchmark::State& state) {
    const lanqi::Combo lists[] = {lanqi::Combo::Combo5,  lanqi::Combo::Combo6, lanqi::Combo::Combo1,
                                  lanqi::Combo::Combo7,  lanqi::Combo::Combo8, lanqi::Combo::Combo9,
                                  lanqi::Combo::Combo10, lanqi::Combo::Combo11};
    for (auto _ : state) {
        state.PauseTiming();
        auto on = std::make_unique<OnScreen>();
        state.ResumeTiming();
        for (lanqi::Combo list : lists)
            for (int k = 0; k < 201; ++k)
                on->sheet.setComboItem(list, k, "客户" + std::to_string(k));
        state.PauseTiming();
        on.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FillPartyListsOnScreen)->Unit(benchmark::kMillisecond);

// Words and Chinese, as remarks are written; no line breaks.
QString remarkOf(qsizetype length) {
    const QString words = QStringLiteral("车号黑A12345 已验 ");
    QString remark;
    while (remark.size() < length) remark += words;
    remark.truncate(length);
    return remark;
}

// One keystroke typed at the end of the remarks and one Backspace.
void typeAndTakeBack(QWidget* memo) {
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(memo, &typed);
    QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QCoreApplication::sendEvent(memo, &back);
    QCoreApplication::processEvents();
}

void endOf(QWidget* memo) {
    memo->setFocus();
    QCoreApplication::processEvents();
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QCoreApplication::sendEvent(memo, &end);
}

// Two keystrokes in a long remark on the window, each mirrored into the
// sheet. Less the same keystrokes in the remarks field alone (below), this is
// the mirror's share, which should not grow with the remark.
void BM_KeystrokeInLongRemark(benchmark::State& state) {
    OnScreen on;
    lanqi::TallySheet& sheet = on.sheet;
    lanqi::ui::MainWindow& window = on.window;
    window.show();
    const std::string text = remarkOf(state.range(0)).toStdString();
    sheet.setText(Arr::Text13, 0, text);
    QWidget* memo = window.control(QStringLiteral("Text13"));
    endOf(memo);
    for (auto _ : state) typeAndTakeBack(memo);
    if (sheet.text(Arr::Text13, 0) != text) state.SkipWithError("the remark was not mirrored");
}
BENCHMARK(BM_KeystrokeInLongRemark)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(32000)
    ->Unit(benchmark::kMicrosecond);

// The same keystrokes in a remarks field of the same size and font that
// mirrors nothing: the editor's own share.
void BM_KeystrokeInLongRemarkUnmirrored(benchmark::State& state) {
    OnScreen on;
    lanqi::ui::MainWindow& window = on.window;
    QWidget* shown = window.control(QStringLiteral("Text13"));
    QPlainTextEdit memo(&window);
    memo.setGeometry(shown->geometry());
    memo.setFont(shown->font());
    memo.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    shown->hide();
    window.show();
    memo.setPlainText(remarkOf(state.range(0)));
    endOf(&memo);
    for (auto _ : state) typeAndTakeBack(&memo);
}
BENCHMARK(BM_KeystrokeInLongRemarkUnmirrored)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(32000)
    ->Unit(benchmark::kMicrosecond);

// One character added at the end of the remarks and taken away again, in a
// window that is not shown, so that no line is laid out: the mirror's own
// cost and the document's.
void editHiddenRemark(benchmark::State& state, bool mirrored) {
    OnScreen on;
    lanqi::TallySheet& sheet = on.sheet;
    lanqi::ui::MainWindow& window = on.window;
    QPlainTextEdit alone;
    auto* memo =
        mirrored ? static_cast<QPlainTextEdit*>(window.control(QStringLiteral("Text13"))) : &alone;
    memo->setPlainText(remarkOf(state.range(0)));
    QTextCursor cursor(memo->document());
    cursor.movePosition(QTextCursor::End);
    for (auto _ : state) {
        cursor.insertText(QStringLiteral("a"));
        cursor.deletePreviousChar();
    }
    if (mirrored && sheet.text(Arr::Text13, 0) != remarkOf(state.range(0)).toStdString())
        state.SkipWithError("the remark was not mirrored");
}

void BM_EditOfAHiddenRemark(benchmark::State& state) {
    editHiddenRemark(state, true);
}
BENCHMARK(BM_EditOfAHiddenRemark)->Arg(1000)->Arg(10000)->Arg(32000)->Unit(benchmark::kMicrosecond);

void BM_EditOfAHiddenRemarkUnmirrored(benchmark::State& state) {
    editHiddenRemark(state, false);
}
BENCHMARK(BM_EditOfAHiddenRemarkUnmirrored)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(32000)
    ->Unit(benchmark::kMicrosecond);

// Starts the program, which ends itself after its first paint.
void BM_StartToWindowShown(benchmark::State& state) {
    std::string exe = LANQI_EXECUTABLE;
    char* argv[] = {exe.data(), nullptr};
    setenv("LANQI_EXIT_AFTER_SHOW", "1", 1);
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("the program could not be started");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program did not end cleanly");
            break;
        }
        state.SetIterationTime(seconds.count());
    }
    unsetenv("LANQI_EXIT_AFTER_SHOW");
}
BENCHMARK(BM_StartToWindowShown)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
