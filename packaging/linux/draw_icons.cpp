// Draws the program's icon at the icon theme's sizes:
//   lanqi-icons FOLDER   writes FOLDER/SIZExSIZE/apps/lanqi.png
#include "ui/qt/window_icon.h"

#include <QDir>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: lanqi-icons FOLDER\n", stderr);
        return 2;
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(folder) || !lanqi::ui::drawLogEnd(size).save(folder + "/lanqi.png")) {
            std::fprintf(stderr, "lanqi-icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
