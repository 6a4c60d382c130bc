// The ledger keeps a bill as it was given, counts serials per day, finds and
// adds up bills, and never records one bill twice.
#include "ledger/ledger.h"
#include "ledger/record_text.h"
#include "ledger_fixture.h"

#include <gtest/gtest.h>

namespace lanqi::ledger {
namespace {

using testing::sampleBill;
using testing::scratchFolder;

class LedgerTest : public ::testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::filesystem::path folder_ = scratchFolder("roundtrip");
};

TEST_F(LedgerTest, KeepsEveryBillAsGivenAndFindsAndSumsThem) {
    auto ledger = Ledger::open(folder_);
    EXPECT_EQ(ledger->nextSerial("2026-12-08 08:00:00"), "20261208-001");
    const std::string first = ledger->record(sampleBill(1, "2026-12-08 08:00:00"));
    const std::string second = ledger->record(sampleBill(2, "2026-12-08 09:00:00"));
    const std::string otherDay = ledger->record(sampleBill(3, "2026-12-09 07:00:00"));
    EXPECT_EQ(first, "20261208-001");
    EXPECT_EQ(second, "20261208-002");
    EXPECT_EQ(otherDay, "20261209-001");

    // Reopened and exported again: a new record naming the one it replaces.
    BillRecord again = sampleBill(1, "2026-12-09 10:00:00");
    again.replaces = first;
    const std::string replacing = ledger->record(again);
    EXPECT_EQ(replacing, "20261209-002");

    // The same bill handed over twice (a pending record already written) is kept once.
    BillRecord twice = sampleBill(4, "2026-12-09 11:00:00");
    twice.serial = ledger->nextSerial(twice.localTime);
    twice.key = "b1e55ed";
    EXPECT_EQ(ledger->record(twice), twice.serial);
    EXPECT_EQ(ledger->record(twice), twice.serial);
    // A serial taken by another bill gives way to the next of the day.
    BillRecord clash = sampleBill(5, "2026-12-09 12:00:00");
    clash.serial = first;
    EXPECT_EQ(ledger->record(clash), "20261209-004");

    ledger.reset();
    ledger = Ledger::open(folder_);
    BillRecord expected = sampleBill(2, "2026-12-08 09:00:00");
    expected.serial = second;
    BillRecord kept = ledger->bill(second);
    EXPECT_EQ(kept.key.size(), 16u);
    expected.key = kept.key;
    EXPECT_EQ(recordLine(kept), recordLine(expected));
    EXPECT_EQ(recordLine(ledger->bill(replacing)).find(first) != std::string::npos, true);
    EXPECT_THROW(ledger->bill("20991231-001"), LedgerError);

    const auto all = ledger->lines({}, 0, 100);
    ASSERT_EQ(all.size(), 6u);
    EXPECT_EQ(all[0].serial, "20261209-004"); // newest first
    EXPECT_EQ(all[2].serial, replacing);
    EXPECT_EQ(all[2].replaces, first);
    EXPECT_TRUE(all.back().replaced);
    EXPECT_EQ(all.back().serial, first);
    EXPECT_EQ(ledger->lines({}, 1, 2).front().serial, all[1].serial);

    // The sums count the bills in force: the first bill, replaced, is listed
    // but not added up again.
    const Filter day{"2026-12-08", "2026-12-08", ""};
    EXPECT_EQ(ledger->lines(day, 0, 100).size(), 2u);
    const Totals dayTotals = ledger->totals(day); // from the lines just read
    EXPECT_EQ(dayTotals.lines, 2);
    EXPECT_EQ(dayTotals.bills, 1);
    EXPECT_EQ(dayTotals.pieces, 5);
    EXPECT_EQ(dayTotals.amount, 836105);
    EXPECT_EQ(ledger->totals(day).volume, 83610); // counted again
    Filter dayInForce = day;
    dayInForce.inForce = true;
    EXPECT_EQ(ledger->lines(dayInForce, 0, 100).size(), 1u);
    const Totals sums = ledger->totals({});
    EXPECT_EQ(sums.lines, 6);
    EXPECT_EQ(sums.bills, 5);
    EXPECT_EQ(sums.pieces, 5 + 6 + 4 + 7 + 8);
    EXPECT_EQ(sums.amount, 5 * 836105);
    // Any text of the bill: buyer, vehicle, remarks, serial.
    EXPECT_EQ(ledger->totals({"", "", "长白山"}).lines, 4);
    EXPECT_EQ(ledger->totals({"", "", "长白山"}).bills, 3);
    EXPECT_EQ(ledger->totals({"", "", "35803"}).lines, 1);
    EXPECT_EQ(ledger->totals({"", "", "弯材"}).lines, 6);
    EXPECT_EQ(ledger->totals({"", "", "20261208-00"}).lines, 2);
    EXPECT_EQ(ledger->totals({"2026-12-09", "", "长白山"}).bills, 3);

    const auto months = ledger->summary(GroupBy::Month, {});
    ASSERT_EQ(months.size(), 1u);
    EXPECT_EQ(months[0].key, "2026-12");
    EXPECT_EQ(months[0].totals.volume, 5 * 83610);
    const auto ranges = ledger->summary(GroupBy::Range, {});
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_EQ(ranges[0].key, "20-24");
    EXPECT_EQ(ranges[0].totals.bills, 5);
    EXPECT_EQ(ranges[0].totals.amount, 5 * 836105);
    EXPECT_EQ(ledger->summary(GroupBy::Day, {}).size(), 2u);
}

TEST_F(LedgerTest, ReadingNeedsALedgerThere) {
    try {
        Ledger::openExisting(folder_);
        FAIL() << "a missing ledger was opened";
    } catch (const LedgerError& e) {
        EXPECT_EQ(e.kind(), LedgerError::Kind::Missing);
    }
}

} // namespace
} // namespace lanqi::ledger
