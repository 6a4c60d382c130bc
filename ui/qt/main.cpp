// 澜栖: the tally window on the desktop.
#include "app/program_paths.h"
#include "platform/executable_folder.h"
#include "platform/single_instance.h"
#include "program/program.h"
#include "program/window_not_made.h"
#include "ui/qt/main_window.h"
#include "workbook/xls_spreadsheet.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace {

// For start-up timing: LANQI_EXIT_AFTER_SHOW ends the program once the
// window has been painted for the first time.
class ExitAfterFirstPaint : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) QTimer::singleShot(0, qApp, &QApplication::quit);
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("lanqi"));
    app.setApplicationDisplayName(QStringLiteral("澜栖"));

    lanqi::XlsApplication spreadsheet;
    lanqi::Program program(spreadsheet, lanqi::workbookPath(),
                           lanqi::platform::instanceLockFile(lanqi::platform::executableFolder()),
                           lanqi::statementTemplatePath());
    lanqi::ui::MainWindow window(program);
    // The window's native window, made before anything else is done.
    window.winId();
    if (!window.windowHandle() || !window.windowHandle()->handle()) {
        const std::string message = lanqi::windowNotMadeMessage(0);
        std::fprintf(stderr, "lanqi: %s\n", message.c_str());
        const std::string_view title = lanqi::ui::kWindowTitle;
        QMessageBox box(QMessageBox::NoIcon,
                        QString::fromUtf8(title.data(), qsizetype(title.size())),
                        QString::fromStdString(message));
        box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        box.exec();
        return 1;
    }
    if (!program.start()) return 0;
    if (qEnvironmentVariableIsSet("LANQI_EXIT_AFTER_SHOW"))
        window.installEventFilter(new ExitAfterFirstPaint(&window));
    window.show();
    return app.exec();
}
