// Draws the README's pictures of the window, offscreen:
//   lanqi-pictures SAMPLE.tally LARGE.tally FOLDER
// writes FOLDER/window.png (the sample tally) and FOLDER/window-large.png (a
// full sheet of large figures), each with the focus in Text2(3).
#include "editing/date_caption.h"
#include "program/program.h"
#include "tally/tally_file.h"
#include "tally/tick.h"
#include "ui/qt/main_window.h"
#include "workbook/xls_spreadsheet.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QWidget>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// The window over a tally file; the workbook is never opened.
bool drawTally(const char* tally, const QString& picture) {
    std::ifstream file(tally);
    if (!file) {
        std::fprintf(stderr, "lanqi-pictures: cannot read %s\n", tally);
        return false;
    }
    lanqi::XlsApplication spreadsheet;
    lanqi::Program program(spreadsheet, "账单明细.xls",
                           QDir::temp().filePath("lanqi-pictures.lock").toStdString());
    lanqi::TallySheet& sheet = program.sheet();
    try {
        lanqi::readTallyFile(file, sheet);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lanqi-pictures: %s: %s\n", tally, e.what());
        return false;
    }
    lanqi::recalculateUntilStable(sheet);
    sheet.setCaption(lanqi::Label::Label22, lanqi::dateCaption(2026, 12, 7));
    sheet.setCaption(lanqi::Label::Label23, "检尺单位: 澜栖木材检尺站");
    lanqi::ui::MainWindow window(program);
    window.show();
    window.control(QStringLiteral("Text2(3)"))->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    if (!window.grab().toImage().save(picture)) {
        std::fprintf(stderr, "lanqi-pictures: cannot write %s\n", qPrintable(picture));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: lanqi-pictures SAMPLE.tally LARGE.tally FOLDER\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[3]));
    return drawTally(argv[1], folder.filePath("window.png")) &&
                   drawTally(argv[2], folder.filePath("window-large.png"))
               ? 0
               : 1;
}
