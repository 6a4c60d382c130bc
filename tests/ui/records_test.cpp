// Three bills made in the window are found in the records window; the first,
// reopened with Enter over an unexported tally, comes back field for field
// and, exported again, is recorded as replacing it.
#include "ledger/ledger.h"
#include "tests/ui/window_fixture.h"
#include "ui/qt/records_window.h"

#include <QLabel>
#include <QTableView>

using lanqi::Choice;
using lanqi::Combo;

namespace {

struct Load {
    int buyer, scaler, species;
    const char* vehicle;
    const char* length;
    const char* diameters[3];
    const char* counts[3];
};
constexpr Load kLoads[] = {
    {1, 0, 1, "黑A·35812", "4", {"20", "30", "12"}, {"3", "9", "2"}},
    {2, 1, 0, "吉B·11111", "6", {"24", "26", ""}, {"5", "4", ""}},
    {0, 1, 1, "黑A·99999", "3", {"36", "", ""}, {"7", "", ""}},
};

// Every field and shown list as the window shows it.
QStringList shownBill(const WindowFixture& f) {
    QStringList shown;
    for (const lanqi::FieldId field : lanqi::allFields())
        if (field.arr != lanqi::Arr::Text13)
            shown << f.shown(QString::fromStdString(lanqi::fieldName(field)));
    for (const char* list : {"Combo4", "Combo2", "Combo13"}) shown << f.box(list)->currentText();
    // The buyer, scaler and species picked from their lists.
    for (const char* list : {"Combo6", "Combo12", "Combo14"})
        shown << f.box(list)->currentText() + "#" + QString::number(f.box(list)->currentIndex());
    return shown;
}

QString line(const lanqi::ui::RecordsWindow& records, int row, int column) {
    return records.table()->model()->index(row, column).data().toString();
}

} // namespace

class RecordsTest : public QObject {
    Q_OBJECT
  private slots:
    void billsAreFoundReopenedAndReplaced() {
        std::filesystem::remove_all(windowTestFolder());
        std::filesystem::create_directories(windowTestFolder());
        WindowFixture f;
        QVERIFY(f.ready());
        for (int k = 0; k < 3; ++k) {
            f.sheet.setComboItem(Combo::Combo6, k, "买家" + std::to_string(k));
            f.sheet.setComboItem(Combo::Combo12, k, "检尺员" + std::to_string(k));
            f.sheet.setComboItem(Combo::Combo14, k, "树种" + std::to_string(k));
        }

        QStringList first;
        for (const Load& load : kLoads) {
            QTest::mouseClick(f.control("Command4"), Qt::LeftButton);
            pick(f, "Combo6", load.buyer);
            pick(f, "Combo12", load.scaler);
            pick(f, "Combo14", load.species);
            f.typeInto("Combo13", load.vehicle);
            f.typeInto("Text25(0)", load.length);
            for (int r = 0; r < 3; ++r) {
                f.typeInto(QString("Text1(%1)").arg(r), load.diameters[r]);
                f.typeInto(QString("Text2(%1)").arg(r), load.counts[r]);
            }
            QTest::mouseClick(f.control("Command3"), Qt::LeftButton);
            if (first.isEmpty()) first = shownBill(f);
        }

        // F3 opens the records: newest first, the first bill last.
        f.typeInto("Text2(5)", "8"); // a tally not exported
        f.control("Text2(5)")->setFocus();
        f.press(Qt::Key_F3);
        lanqi::ui::RecordsWindow* records = f.window->records();
        QVERIFY(records && records->isVisible());
        QCOMPARE(records->table()->model()->rowCount(), 3);
        QCOMPARE(line(*records, 0, 2), QString("买家0"));
        QCOMPARE(line(*records, 2, 2), QString("买家1"));
        QCOMPARE(line(*records, 2, 3), QString("黑A·35812"));
        QCOMPARE(line(*records, 2, 5), QString("14"));
        QVERIFY(records->totalsLine()->text().startsWith("3 张账单"));
        const QString firstSerial = line(*records, 2, 0);

        // Typing finds; Down moves; Enter asks about the tally on the window.
        QTest::sendKeyEvent(QTest::Click, records->filterField(), Qt::Key_unknown, "吉",
                            Qt::NoModifier);
        QTest::keyClick(records->filterField(), 'B');
        QCOMPARE(records->table()->model()->rowCount(), 1);
        QTest::keyClick(records->filterField(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(records->filterField(), Qt::Key_Backspace);
        QCOMPARE(records->table()->model()->rowCount(), 3);
        QTest::keyClick(records->filterField(), Qt::Key_Down);
        QTest::keyClick(records->filterField(), Qt::Key_Down);
        f.window->answers = {Choice::OpenWithoutExport};
        const size_t asked = f.window->asked.size();
        QTest::keyClick(records->filterField(), Qt::Key_Return);
        QCOMPARE(f.window->asked.size(), asked + 1);
        QCOMPARE(f.window->asked.back(), (std::vector<Choice>{Choice::ExportFirst,
                                                              Choice::OpenWithoutExport,
                                                              Choice::Cancel}));
        QVERIFY(!records->isVisible());
        QCOMPARE(shownBill(f), first);

        // Exported again: a fourth record, naming the first as replaced.
        QTest::mouseClick(f.control("Command3"), Qt::LeftButton);
        const auto ledger = lanqi::ledger::Ledger::openExisting(windowTestFolder());
        const auto lines = ledger->lines({}, 0, 10);
        QCOMPARE(lines.size(), size_t{4});
        QCOMPARE(QString::fromStdString(lines[0].replaces), firstSerial);
        QVERIFY(lines[3].replaced);
        QCOMPARE(records->table()->model()->rowCount(), 4);
        QCOMPARE(line(*records, 3, 0), firstSerial + QString::fromUtf8(lanqi::kReplacedMark.data(),
                                        static_cast<qsizetype>(lanqi::kReplacedMark.size())));
    }
};

QTEST_MAIN(RecordsTest)
#include "records_test.moc"
