// Keys typed into the window over the shipped workbook, then 导出数据: the
// workbook with the bill is copied to OUT. The Windows window test types the
// same keys into lanqi.exe and compares the two bills cell for cell.
//   ui_keyed_bill KEYS OUT
// KEYS: digits and '.', E Enter, B BackSpace, U Up, D Down, from the first focus.
#include "tests/ui/window_fixture.h"

#include <iostream>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::cerr << "usage: ui_keyed_bill KEYS OUT\n";
        return 2;
    }
    ShippedWindowFixture f;
    if (!f.ready()) {
        std::cerr << "the window did not become active\n";
        return 1;
    }
    // Every control the keys passed through, for choosing the keys.
    QStringList visited;
    for (char k : std::string_view(argv[1])) {
        f.key(k);
        if (visited.isEmpty() || visited.back() != f.focused()) visited << f.focused();
    }
    std::cout << visited.join(' ').toStdString() << "\n";
    QTest::qWait(1600);
    QTest::mouseClick(f.window->control(QStringLiteral("Command3")), Qt::LeftButton);
    for (const std::string& told : f.window->told) std::cerr << told << "\n";
    std::filesystem::copy_file(f.workbook, std::filesystem::path(argv[2]),
                               std::filesystem::copy_options::overwrite_existing);
    return 0;
}
