// The party and detail caption lists switch which name list and which detail
// list are on show; picking a name moves every detail list to its row.
#include "editing/selectors.h"
#include "tests/ui/window_fixture.h"

using lanqi::Combo;

namespace {

const QStringList kNameSlot{"Combo6", "Combo5"};
const QStringList kDetailSlot{"Combo1",  "Combo7",  "Combo8", "Combo9",
                              "Combo10", "Combo11", "Combo13"};
const Combo kPartyLists[] = {Combo::Combo5, Combo::Combo6, Combo::Combo1,  Combo::Combo7,
                             Combo::Combo8, Combo::Combo9, Combo::Combo10, Combo::Combo11};

// Six sheet rows of parties, entry k of every list on row k, as the start-up
// load fills them.
void fillPartyLists(lanqi::TallySheet& sheet) {
    for (Combo c : kPartyLists)
        for (int k = 0; k < 6; ++k)
            sheet.setComboItem(c, k, std::string(lanqi::nameOf(c)) + "-" + std::to_string(k));
}

// The list of a stack that is on show; empty when none or more than one.
QString shownOf(const WindowFixture& f, const QStringList& stack) {
    QStringList shown;
    for (const QString& name : stack)
        if (f.control(name)->isVisible()) shown << name;
    return shown.size() == 1 ? shown.front() : QString();
}

} // namespace

class SelectorsTest : public QObject {
    Q_OBJECT
  private slots:
    void exactlyOneListOfEachStackIsShownAtStart() {
        WindowFixture f;
        QVERIFY(f.ready());
        QCOMPARE(shownOf(f, kNameSlot), QString("Combo6"));
        QCOMPARE(shownOf(f, kDetailSlot), QString("Combo13"));
        for (const char* own : {"Combo4", "Combo2", "Combo12", "Combo14"})
            QVERIFY2(f.control(own)->isVisible(), own);
        QCOMPARE(f.box("Combo4")->currentText(), QString("购货商:"));
        QCOMPARE(f.box("Combo2")->currentText(), QString("运输车号:"));
        QCOMPARE(f.box("Combo2")->count(), 4);
        QCOMPARE(f.box("Combo12")->currentText(), QString()); // no scaler picked yet
        QCOMPARE(f.control("Combo13")->geometry(), f.control("Combo1")->geometry());
    }

    void partyCaptionSwapsTheNameListAndDetailCaptionTheDetailList() {
        WindowFixture f;
        QVERIFY(f.ready());
        pick(f, "Combo4", 1);
        QCOMPARE(f.sheet.combo(Combo::Combo4).text, std::string("供货商:"));
        QCOMPARE(shownOf(f, kNameSlot), QString("Combo5"));
        QCOMPARE(shownOf(f, kDetailSlot), QString("Combo13"));

        pick(f, "Combo2", 1); // 联系人:
        QCOMPARE(shownOf(f, kDetailSlot), QString("Combo10"));
        pick(f, "Combo2", 2); // 联系电话:
        QCOMPARE(shownOf(f, kDetailSlot), QString("Combo8"));
        pick(f, "Combo4", 0);
        QCOMPARE(shownOf(f, kDetailSlot), QString("Combo7"));
        QCOMPARE(shownOf(f, kNameSlot), QString("Combo6"));
    }

    void typingIntoACaptionListRunsNoRule() {
        WindowFixture f;
        QVERIFY(f.ready());
        QComboBox* party = f.box("Combo4");
        party->setFocus(Qt::MouseFocusReason);
        party->lineEdit()->selectAll();
        f.type("供货商:");
        QCOMPARE(f.sheet.combo(Combo::Combo4).text, std::string("供货商:"));
        QCOMPARE(shownOf(f, kNameSlot), QString("Combo6"));
        QCOMPARE(party->count(), 2);
    }

    void pickingANameMovesEveryDetailListToItsRow() {
        WindowFixture f;
        QVERIFY(f.ready());
        fillPartyLists(f.sheet); // filled after the window is built
        QCOMPARE(f.box("Combo9")->count(), 6);
        QCOMPARE(f.box("Combo9")->itemText(4), QString("Combo9-4"));

        pick(f, "Combo6", 3);
        for (Combo c : lanqi::kPartyDetails) {
            QCOMPARE(f.sheet.combo(c).selected, 3);
            QCOMPARE(f.box(QString::fromUtf8(lanqi::nameOf(c).data()))->currentIndex(), 3);
        }
        pick(f, "Combo4", 1);
        pick(f, "Combo5", 5);
        for (Combo c : lanqi::kPartyDetails) {
            const QString name = QString::fromUtf8(lanqi::nameOf(c).data());
            QCOMPARE(f.box(name)->currentText(), name + "-5");
        }
        QCOMPARE(f.box("Combo6")->currentText(), QString("Combo6-3"));
        pick(f, "Combo2", 3); // 银行账号: changes no selection
        QCOMPARE(shownOf(f, kDetailSlot), QString("Combo11"));
        QCOMPARE(f.box("Combo11")->currentIndex(), 5);
    }

    void listsFilledBeforeTheWindowIsBuiltAreShown() {
        lanqi::testing::FakeSpreadsheet spreadsheet;
        lanqi::Program program(spreadsheet, "账单明细.xls", windowTestFolder() / "lanqi.lock");
        lanqi::TallySheet& sheet = program.sheet();
        fillPartyLists(sheet);
        sheet.selectComboEntry(Combo::Combo6, 2);
        sheet.setComboItem(Combo::Combo12, 0, "王检尺");
        sheet.setComboText(Combo::Combo12, "王检尺");
        sheet.setCaption(lanqi::Label::Label23, "检尺单位");
        sheet.setText(lanqi::Arr::Text26, 1, "14");
        lanqi::ui::MainWindow window(program);
        auto box = [&](const char* name) { return qobject_cast<QComboBox*>(window.control(name)); };
        QCOMPARE(box("Combo6")->currentText(), QString("Combo6-2"));
        QCOMPARE(box("Combo1")->count(), 6);
        QCOMPARE(box("Combo12")->currentText(), QString("王检尺"));
        QCOMPARE(window.control("Label23")->property("text").toString(), QString("检尺单位"));
        QCOMPARE(qobject_cast<QLineEdit*>(window.control("Text26(1)"))->text(), QString("14"));
    }
};

QTEST_MAIN(SelectorsTest)
#include "selectors_test.moc"
