// The mirror's rules, over controls that only record what is done to them.
#include "program/sheet_mirror.h"
#include "tests/workbook/fake_spreadsheet.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace lanqi::ui {
namespace {

struct Recorded {
    std::string text;
    TextSelection selection;
    std::vector<std::string> entries;
    int selected = -1;
    bool shown = true;
};

class RecordingControls : public MirrorControls {
  public:
    std::map<ControlId, Recorded> c;
    std::optional<ControlId> focused;
    std::vector<std::string> calls; // entry and selection writes, in turn
    std::function<void(ControlId)> echo; // the toolkit's notice of a written text

    std::string text(ControlId id) const override {
        const auto it = c.find(id);
        return it == c.end() ? std::string() : it->second.text;
    }
    void setText(ControlId id, std::string_view text) override {
        c[id].text = text;
        c[id].selection = {}; // the toolkit puts the caret anywhere
        if (echo) echo(id);
    }
    bool hasFocus(ControlId id) const override { return focused == id; }
    TextSelection selection(ControlId id) const override { return c.at(id).selection; }
    void select(ControlId id, TextSelection s) override { c[id].selection = s; }
    void setEntry(ControlId id, int k, std::string_view text) override {
        c[id].entries.at(static_cast<std::size_t>(k)) = text;
        calls.push_back("entry " + std::to_string(k));
    }
    void addEntries(ControlId id, const std::vector<std::string>& entries) override {
        c[id].entries.insert(c[id].entries.end(), entries.begin(), entries.end());
        calls.push_back("add " + std::to_string(entries.size()));
    }
    void removeEntries(ControlId id, int first) override {
        c[id].entries.resize(static_cast<std::size_t>(first));
        calls.push_back("remove from " + std::to_string(first));
    }
    void selectEntry(ControlId id, int k) override {
        c[id].selected = k;
        calls.push_back("select " + std::to_string(k));
    }
    void setShown(ControlId id, bool shown) override { c[id].shown = shown; }
    void setCaption(ControlId id, std::string_view caption) override { c[id].text = caption; }
};

class Mirror : public ::testing::Test {
  protected:
    Mirror() { mirror.showAll(); }
    testing::FakeSpreadsheet app;
    Program program{app, "账单明细.xls", "lanqi.lock"};
    TallySheet& sheet = program.sheet();
    RecordingControls controls;
    SheetMirror mirror{program, controls};
};

// Full-width digits typed in the focused field come back as ASCII, the caret
// where it was; a field without the focus is written as it stands.
TEST_F(Mirror, TheCaretStaysWhereTheProgramRewritesTheFocusedField) {
    const ControlId count = controlOf(FieldId{Arr::Text2, 3});
    controls.focused = count;
    controls.c[count].text = "１２";
    controls.c[count].selection = {1, 1};
    mirror.fieldEdited(count);
    EXPECT_EQ(sheet.text(Arr::Text2, 3), "12");
    EXPECT_EQ(controls.c[count].text, "12");
    EXPECT_EQ(controls.c[count].selection.end, 1u);

    controls.c[count].selection = {0, 2};
    sheet.setText(Arr::Text2, 3, "7"); // a shorter text: the selection is cut to it
    EXPECT_EQ(controls.c[count].selection.start, 0u);
    EXPECT_EQ(controls.c[count].selection.end, 1u);
}

// Only entries that differ are written; typing into a list picks nothing,
// while a pick shows as the selected entry; an unfocused list shows its start.
TEST_F(Mirror, ListsChangeWhereTheSheetChanged) {
    const ControlId list = controlOf(Combo::Combo6);
    controls.calls.clear();
    for (int k = 0; k < 3; ++k) sheet.setComboItem(Combo::Combo6, k, "买" + std::to_string(k));
    sheet.setComboItem(Combo::Combo6, 1, "卖");
    EXPECT_EQ(controls.c[list].entries, (std::vector<std::string>{"买0", "卖", "买2"}));
    EXPECT_EQ(controls.calls, (std::vector<std::string>{"add 1", "select -1", "add 1",
                                                         "select -1", "add 1", "select -1",
                                                         "entry 1", "select -1"}));
    controls.calls.clear();
    controls.focused = list;
    controls.c[list].text = "买";
    mirror.listTextEdited(list);
    EXPECT_EQ(sheet.combo(Combo::Combo6).text, "买");
    EXPECT_EQ(sheet.combo(Combo::Combo6).selected, -1);
    EXPECT_TRUE(controls.calls.empty());
    mirror.listPicked(list, 2);
    EXPECT_EQ(controls.calls, std::vector<std::string>{"select 2"});
    EXPECT_EQ(controls.c[list].text, "买2");

    controls.focused.reset();
    controls.c[list].selection = {3, 3};
    sheet.setComboText(Combo::Combo6, "林海木业有限公司");
    EXPECT_EQ(controls.c[list].selection.end, 0u);
    sheet.setComboVisible(Combo::Combo6, false);
    EXPECT_FALSE(controls.c[list].shown);
}

// The remarks' edits go in as edits; what the mirror writes itself is not
// taken for the user's edit.
TEST_F(Mirror, RemarksEditsAndTheMirrorsOwnWrites) {
    const ControlId remarks = controlOf(FieldId{Arr::Text13, 0});
    controls.c[remarks].text = "车号";
    mirror.remarksEdited(remarks, 0, 0, "车号");
    EXPECT_EQ(sheet.text(Arr::Text13, 0), "车号");
    controls.c[remarks].text = "车号\n二";
    mirror.remarksEdited(remarks, 2, 0, "\n二");
    EXPECT_EQ(sheet.text(Arr::Text13, 0), "车号\n二");
    controls.c[remarks].text = "整段";
    mirror.remarksEdited(remarks, 9, 1, ""); // beyond the text: the whole text goes
    EXPECT_EQ(sheet.text(Arr::Text13, 0), "整段");

    // The toolkit's notice of the mirror's own write is not the user's edit.
    controls.c[remarks].text = "旧";
    controls.echo = [this](ControlId id) {
        EXPECT_TRUE(mirror.writing());
        controls.c[id].text = "用户";
        mirror.fieldEdited(id);
    };
    sheet.setText(Arr::Text13, 0, "新");
    EXPECT_EQ(sheet.text(Arr::Text13, 0), "新");
    EXPECT_FALSE(mirror.writing());
}

// The Windows edit field keeps a line break as CR LF, two units; the sheet
// and the bill's cell count it as one.
TEST(LineBreaks, CountOnceWhateverTheControlKeeps) {
    EXPECT_EQ(withCrLf("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(withoutCrLf("a\r\nb\rc"), "a\nb\rc");
    const std::u16string shown = u"ab\r\ncd\r\n\r\ne";
    struct Case {
        std::size_t control, sheet;
    } cases[] = {{0, 0}, {2, 2}, {4, 3}, {5, 4}, {8, 6}, {10, 7}, {11, 8}, {99, 8}};
    for (const Case& c : cases) {
        EXPECT_EQ(sheetUnits(shown, c.control), c.sheet) << c.control;
        if (c.control <= shown.size()) {
            EXPECT_EQ(controlUnits(shown, c.sheet), c.control) << c.sheet;
        }
    }
    EXPECT_EQ(controlUnits(shown, 2), 2u); // before the CR, not between CR and LF
}

} // namespace
} // namespace lanqi::ui
