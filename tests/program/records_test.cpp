// The records list over a real ledger in a scratch folder, without a window:
// what the user types, what the list then shows.
#include "program/records.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace lanqi {
namespace {

struct Made {
    const char* time;
    const char* buyer;
    const char* vehicle;
    const char* species;
    std::int64_t pieces, volume, amount;
};
// Oldest first; the third replaces the first.
constexpr Made kBills[] = {
    {"2026-12-01 08:00:00", "林海木业", "黑A·35812", "落叶松", 72, 168140, 2197930},
    {"2026-12-05 09:30:00", "松江林场", "吉B·11111", "白桦", 10, 12340, 150000},
    {"2026-12-07 10:00:00", "林海木业", "黑A·99999", "樟子松", 5, 5000, 60000},
};

class ShownList : public RecordsList::View {
  public:
    int refreshes = 0, dismissed = 0;
    void refresh(bool) override { ++refreshes; }
    void dismiss() override { ++dismissed; }
};

struct Step {
    const char* what;
    std::function<void(RecordsList&)> act;
    std::int64_t lines, selected;
    std::string totals; // a part of the totals line
    std::string firstSerial;
};

TEST(RecordsList, FollowsTheFilterThePeriodAndTheKeys) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("lanqi-records-test-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    std::vector<std::string> serials;
    {
        const auto ledger = ledger::Ledger::open(folder);
        for (const Made& m : kBills) {
            ledger::BillRecord bill;
            bill.localTime = m.time;
            bill.partyCaption = "购货商:";
            bill.buyer = m.buyer;
            bill.detailCaption = "运输车号:";
            bill.vehicle = m.vehicle;
            bill.species = m.species;
            bill.scaler = "张建军";
            bill.pieces = m.pieces;
            bill.volumeUnits = m.volume;
            bill.amountFen = m.amount;
            bill.totalPieces = std::to_string(m.pieces);
            if (serials.size() == 2) bill.replaces = serials[0];
            serials.push_back(ledger->record(bill));
        }
    }
    const auto ledger = ledger::Ledger::open(folder);
    std::vector<std::string> reopened;
    int exported = 0;
    RecordsList list(
        *ledger,
        [&](const std::string& serial) {
            reopened.push_back(serial);
            return true;
        },
        [&](const ledger::Filter&) { ++exported; });
    ShownList view;
    const Subscription shown = list.attach(view);

    const auto key = [](Key k) { return [k](RecordsList& l) { l.keyPressed(k, 2); }; };
    const auto find = [](const char* t) { return [t](RecordsList& l) { l.filterTyped(t); }; };
    const auto period = [](const char* from, const char* to) {
        return [from, to](RecordsList& l) { l.periodTyped(from, to); };
    };
    // The replaced first bill is listed, not summed.
    const std::string all =
        "2 张账单　件数 15　材积 1.7340 m³　金额 2100.00 元（另有 1 张已被替代，不计入）";
    const Step steps[] = {
        {"opened: newest first", [](RecordsList&) {}, 3, 0, all, serials[2]},
        {"Down", key(Key::Down), 3, 1, all, serials[2]},
        {"Down to the last", key(Key::Down), 3, 2, all, serials[2]},
        {"Down stays on the last", key(Key::Down), 3, 2, all, serials[2]},
        {"Page Up by two", key(Key::PageUp), 3, 0, all, serials[2]},
        {"Page Down past the end", key(Key::PageDown), 3, 2, all, serials[2]},
        {"a buyer", find("林海"), 2, 0, "1 张账单　件数 5　材积 0.5000 m³　金额 600.00 元（另有 1 张",
         serials[2]},
        {"a vehicle", find("吉B"), 1, 0, "1 张账单　件数 10", serials[1]},
        {"a serial", find(serials[0].c_str()), 1, 0, "0 张账单　件数 0　材积 0.0000 m³　金额 0.00 元（另有 1 张",
         serials[0] + std::string(kReplacedMark)},
        {"a species", find("白桦"), 1, 0, "1 张账单", serials[1]},
        {"nothing found", find("没有"), 0, -1, "0 张账单　件数 0　材积 0.0000 m³　金额 0.00 元", ""},
        {"Down in nothing", key(Key::Down), 0, -1, "0 张账单", ""},
        {"the filter emptied", find(""), 3, 0, all, serials[2]},
        {"from a day on", period("2026-12-02", ""), 2, 0, "2 张账单", serials[2]},
        {"a period typed loosely", period("2026/12/1", "20261205"), 2, 0, "1 张账单　件数 10", serials[1]},
        {"one day", period("2026-12-5", "2026-12-05"), 1, 0, "1 张账单", serials[1]},
        {"a date that is no date", period("2026-02-30", ""), 1, 0, "日期请写作", serials[1]},
        {"the period emptied", period("", ""), 3, 0, all, serials[2]},
    };
    for (const Step& s : steps) {
        s.act(list);
        EXPECT_EQ(list.lineCount(), s.lines) << s.what;
        EXPECT_EQ(list.selected(), s.selected) << s.what;
        EXPECT_NE(list.totalsText().find(s.totals), std::string::npos)
            << s.what << ": " << list.totalsText();
        EXPECT_EQ(list.cell(0, RecordColumn::Serial), s.firstSerial) << s.what;
    }

    // The first bill, replaced by the third, is shown so; the line's figures.
    EXPECT_EQ(list.cell(2, RecordColumn::Serial), serials[0] + std::string(kReplacedMark));
    EXPECT_TRUE(list.replaced(2));
    EXPECT_FALSE(list.replaced(0));
    const std::vector<std::string> line{list.cell(2, RecordColumn::Time),
                                        list.cell(2, RecordColumn::Buyer),
                                        list.cell(2, RecordColumn::Vehicle),
                                        list.cell(2, RecordColumn::Species),
                                        list.cell(2, RecordColumn::Pieces),
                                        list.cell(2, RecordColumn::Volume),
                                        list.cell(2, RecordColumn::Amount)};
    EXPECT_EQ(line, (std::vector<std::string>{"2026-12-01 08:00", "林海木业", "黑A·35812", "落叶松",
                                              "72", "16.8140", "21979.30"}));

    // Enter reopens the selected bill and closes the window; Escape closes it.
    list.keyPressed(Key::Down);
    list.keyPressed(Key::Enter);
    EXPECT_EQ(reopened, std::vector<std::string>{serials[1]});
    EXPECT_EQ(view.dismissed, 1);
    list.keyPressed(Key::Escape);
    EXPECT_EQ(view.dismissed, 2);
    EXPECT_FALSE(list.keyPressed(Key::Other));
    list.exportClicked();
    EXPECT_EQ(exported, 1);
    EXPECT_GT(view.refreshes, 0);

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

} // namespace
} // namespace lanqi
