// The ledger kept in one SQLite file. Bills go in one table with their sums
// as exact integers and a search text; the tally rows of a bill are packed in
// one text beside it (they are read only with the whole bill) and the six
// grading rows have a table of their own (they are added up by range).
#include "calc/numeric_text.h"
#include "ledger/damaged_file.h"
#include "ledger/ledger.h"
#include "ledger/record_fields.h"
#include "ledger/record_text.h"
#include "ledger/sqlite_db.h"
#include "platform/utf8_path.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <utility>
#include <optional>

namespace lanqi::ledger {

namespace {

// Busy waits this long for another connection before it says the ledger is
// locked, so the window never hangs on it.
constexpr int kBusyMilliseconds = 300;

// "name,name,…" or, with a type, "name TYPE,name TYPE,…".
std::string columnList(std::string_view textType = "", std::string_view numberType = "") {
    std::string columns;
    const auto add = [&columns](std::string_view name, std::string_view type) {
        if (!columns.empty()) columns += ',';
        columns += name;
        if (!type.empty()) {
            columns += ' ';
            columns += type;
        }
    };
    for (const TextField& f : kTextFields) add(f.name, textType);
    for (std::string_view f : kLengthFields) add(f, textType);
    for (const NumberField& f : kNumberFields) add(f.name, numberType);
    return columns;
}

std::string schema() {
    std::string bills = "CREATE TABLE IF NOT EXISTS bills(id INTEGER PRIMARY KEY,";
    bills += columnList("TEXT NOT NULL", "INTEGER NOT NULL");
    bills += ",search TEXT NOT NULL, UNIQUE(serial), UNIQUE(key));\n";
    return bills + R"(
-- Newest first, and the sums of a period or a search, from the index alone.
CREATE INDEX IF NOT EXISTS bills_by_time ON bills(local_time, id, pieces, volume, amount, search);
CREATE INDEX IF NOT EXISTS bills_replacing ON bills(replaces) WHERE replaces <> '';
CREATE TABLE IF NOT EXISTS tallies(bill INTEGER PRIMARY KEY REFERENCES bills(id),
                                   rows TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS grading(bill INTEGER NOT NULL REFERENCES bills(id),
    line INTEGER NOT NULL, lower TEXT NOT NULL, upper TEXT NOT NULL, price TEXT NOT NULL,
    pieces TEXT NOT NULL, volume TEXT NOT NULL, amount TEXT NOT NULL,
    volume_units INTEGER NOT NULL, amount_fen INTEGER NOT NULL,
    PRIMARY KEY(bill, line)) WITHOUT ROWID;
-- Records are kept as they were written.
CREATE TRIGGER IF NOT EXISTS bills_kept BEFORE UPDATE ON bills
    BEGIN SELECT RAISE(ABORT, 'bills are never changed'); END;
CREATE TRIGGER IF NOT EXISTS bills_not_deleted BEFORE DELETE ON bills
    BEGIN SELECT RAISE(ABORT, 'bills are never deleted'); END;
)";
}

// A bill that no later bill names as the one it replaces.
#define LANQI_IN_FORCE                                                                    \
    "(id NOT IN (SELECT o.id FROM bills r JOIN bills o ON o.serial = r.replaces"          \
    " WHERE r.replaces <> ''))"
constexpr std::string_view kInForce = LANQI_IN_FORCE;

// The filter's terms, bound as ?1 from, ?2 to, ?3 text, ?4 in force only.
constexpr std::string_view kWhere = " WHERE local_time >= ?1 AND local_time < ?2"
                                    " AND (?3 = '' OR contains(search, ?3))"
                                    " AND (?4 = 0 OR " LANQI_IN_FORCE ")";
// The sums count the bills in force only.
constexpr std::string_view kWhereInForce = " WHERE local_time >= ?1 AND local_time < ?2"
                                           " AND (?3 = '' OR contains(search, ?3))"
                                           " AND " LANQI_IN_FORCE;
#undef LANQI_IN_FORCE

std::string toBound(const std::string& to) {
    // Every time of the last day sorts before its date followed by "~".
    return to.empty() ? "~" : to + "~";
}

std::string searchText(const BillRecord& bill) {
    std::string text;
    for (auto member : kSearchedFields) text += bill.*member + "\n";
    return text;
}

// "2026-12-08 20:15:00" → "20261208"
std::string dayOf(std::string_view localTime) {
    std::string day;
    for (char c : localTime.substr(0, 10))
        if (c != '-') day += c;
    return day;
}

std::string serialText(const std::string& day, std::int64_t n) {
    char number[24];
    std::snprintf(number, sizeof number, "%03lld", static_cast<long long>(n));
    return day + "-" + number;
}

// A day or a month is the start of the local time; bills are read in time
// order and added up as they come, which spares SQLite a sort.
std::size_t periodLength(GroupBy by) {
    return by == GroupBy::Day ? 10 : by == GroupBy::Month ? 7 : 0;
}

std::string groupColumn(GroupBy by) {
    return by == GroupBy::Buyer ? "buyer" : "species";
}

class SqliteLedger final : public Ledger {
  public:
    SqliteLedger(const std::filesystem::path& file, bool create,
                 std::optional<std::filesystem::path> aside)
        : db_(file, create, kBusyMilliseconds), aside_(std::move(aside)) {
        db_.addContains();
        if (create) {
            db_.exec("PRAGMA journal_mode=WAL");
            db_.exec("PRAGMA synchronous=FULL");
            db_.exec(schema());
        } else {
            // Reading only: the tables are looked at now, so a file that is
            // no ledger is found at once.
            Statement(db_.handle(), "SELECT count(*) FROM sqlite_schema").run();
        }
        Statement(db_.handle(), "SELECT id FROM bills LIMIT 1").run();
    }

    std::optional<std::filesystem::path> movedAside() const override { return aside_; }

    std::string nextSerial(std::string_view localTime) override {
        return serialText(dayOf(localTime), lastOfDay(dayOf(localTime)) + 1);
    }

    std::string record(BillRecord bill) override {
        known_.reset();
        Transaction t(db_);
        if (bill.key.empty()) bill.key = newKey();
        auto& same = statement("SELECT serial FROM bills WHERE key = ?1");
        if (same.bind(bill.key).step()) return same.text(0); // recorded before
        auto& taken = statement("SELECT 1 FROM bills WHERE serial = ?1");
        if (bill.serial.empty() || taken.bind(bill.serial).step())
            bill.serial = nextSerial(bill.localTime);
        insertBill(bill);
        const std::int64_t id = db_.lastId();
        statement("INSERT INTO tallies(bill, rows) VALUES(?1, ?2)")
            .bind(id, tallyText(bill.rows))
            .run();
        auto& grading = statement("INSERT INTO grading VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10)");
        for (int line = 0; line < 6; ++line) {
            const GradingLine& g = bill.grading[static_cast<size_t>(line)];
            grading.bind(id, line, g.lower, g.upper, g.price, g.pieces, g.volume, g.amount,
                         g.volumeUnits, g.amountFen)
                .run();
        }
        t.commit();
        return bill.serial;
    }

    std::vector<BillLine> lines(const Filter& filter, std::int64_t first,
                                std::int64_t count) override {
        auto& s = statement(
            "SELECT id, serial, local_time, buyer, vehicle, species, pieces, volume, amount,"
            " replaces, EXISTS(SELECT 1 FROM bills r WHERE r.replaces = b.serial"
            " AND r.replaces <> '') FROM bills b" +
            std::string(kWhere) + " ORDER BY local_time DESC, id DESC LIMIT ?5 OFFSET ?6");
        s.bind(filter.from, toBound(filter.to), filter.text, filter.inForce ? 1 : 0, count, first);
        std::vector<BillLine> out;
        while (s.step()) {
            BillLine l;
            l.id = s.integer(0);
            l.serial = s.text(1);
            l.localTime = s.text(2);
            l.buyer = s.text(3);
            l.vehicle = s.text(4);
            l.species = s.text(5);
            l.pieces = s.integer(6);
            l.volume = s.integer(7);
            l.amount = s.integer(8);
            l.replaces = s.text(9);
            l.replaced = s.integer(10) != 0;
            out.push_back(std::move(l));
        }
        // All the bills the filter lets through are here: their totals, asked
        // for next as a window does, need no second pass.
        known_.reset();
        if (first == 0 && static_cast<std::int64_t>(out.size()) < count) {
            Totals t;
            t.lines = static_cast<std::int64_t>(out.size());
            for (const BillLine& l : out) {
                if (l.replaced) continue;
                ++t.bills;
                t.pieces += l.pieces;
                t.volume += l.volume;
                t.amount += l.amount;
            }
            known_ = Known{filter, t};
        }
        return out;
    }

    Totals totals(const Filter& filter) override {
        if (known_ && known_->filter.from == filter.from && known_->filter.to == filter.to &&
            known_->filter.text == filter.text && known_->filter.inForce == filter.inForce)
            return std::exchange(known_, std::nullopt)->totals;
        auto& s = statement("SELECT coalesce(sum(f), 0), coalesce(sum(pieces * f), 0),"
                            " coalesce(sum(volume * f), 0), coalesce(sum(amount * f), 0), count(*)"
                            " FROM (SELECT pieces, volume, amount, " +
                            std::string(kInForce) + " AS f FROM bills" + std::string(kWhere) +
                            ")");
        s.bind(filter.from, toBound(filter.to), filter.text, filter.inForce ? 1 : 0);
        s.step();
        const Totals totals{s.integer(0), s.integer(1), s.integer(2), s.integer(3), s.integer(4)};
        // A statement left on its row keeps its read open: later reads of
        // this connection would not see the bills recorded since.
        s.reset();
        return totals;
    }

    std::vector<SummaryLine> summary(GroupBy by, const Filter& filter) override {
        if (periodLength(by) > 0) return periodSummary(periodLength(by), filter);
        if (by == GroupBy::Range) return rangeSummary(filter);
        const std::string sql = "SELECT " + groupColumn(by) +
                                " AS k, count(*), coalesce(sum(pieces), 0), coalesce(sum(volume), 0),"
                                " coalesce(sum(amount), 0) FROM bills" +
                                std::string(kWhereInForce) + " GROUP BY k ORDER BY k";
        auto& s = statement(sql);
        s.bind(filter.from, toBound(filter.to), filter.text);
        std::vector<SummaryLine> out;
        while (s.step())
            out.push_back({s.text(0),
                           {s.integer(1), s.integer(2), s.integer(3), s.integer(4), s.integer(1)}});
        return out;
    }

    BillRecord bill(std::string_view serial) override {
        auto& s = statement("SELECT " + columnList() +
                            ", id, (SELECT rows FROM tallies WHERE bill = bills.id)"
                            " FROM bills WHERE serial = ?1");
        if (!s.bind(serial).step())
            throw LedgerError(LedgerError::Kind::UnknownSerial,
                              "账单记录里没有单号 " + std::string(serial));
        BillRecord bill;
        int at = 0;
        for (const TextField& f : kTextFields) bill.*f.member = s.text(at++);
        for (std::string& length : bill.lengths) length = s.text(at++);
        for (const NumberField& f : kNumberFields) bill.*f.member = s.integer(at++);
        const std::int64_t id = s.integer(at++);
        bill.rows = tallyLines(s.text(at));
        s.reset();
        auto& g = statement("SELECT line, lower, upper, price, pieces, volume, amount,"
                            " volume_units, amount_fen FROM grading WHERE bill = ?1");
        g.bind(id);
        while (g.step()) {
            const auto line = g.integer(0);
            if (line < 0 || line >= 6) continue;
            GradingLine& l = bill.grading[static_cast<size_t>(line)];
            for (int c = 1; std::string * t : {&l.lower, &l.upper, &l.price, &l.pieces,
                                                &l.volume, &l.amount})
                *t = g.text(c++);
            l.volumeUnits = g.integer(7);
            l.amountFen = g.integer(8);
        }
        return bill;
    }

  private:
    // One write: rolled back unless committed.
    class Transaction {
      public:
        explicit Transaction(Database& db) : db_(db) { db_.exec("BEGIN IMMEDIATE"); }
        void commit() {
            db_.exec("COMMIT");
            done_ = true;
        }
        ~Transaction() {
            if (!done_) db_.rollback();
        }

      private:
        Database& db_;
        bool done_ = false;
    };

    Statement& statement(const std::string& sql) {
        auto& s = statements_[sql];
        if (!s) s = std::make_unique<Statement>(db_.handle(), sql);
        return *s;
    }

    std::vector<SummaryLine> periodSummary(std::size_t length, const Filter& filter) {
        auto& s = statement("SELECT local_time, pieces, volume, amount FROM bills" +
                            std::string(kWhereInForce) + " ORDER BY local_time");
        s.bind(filter.from, toBound(filter.to), filter.text);
        std::vector<SummaryLine> out;
        while (s.step()) {
            std::string key = s.text(0).substr(0, length);
            if (out.empty() || out.back().key != key) out.push_back({std::move(key), {}});
            Totals& t = out.back().totals;
            ++t.bills;
            ++t.lines;
            t.pieces += s.integer(1);
            t.volume += s.integer(2);
            t.amount += s.integer(3);
        }
        return out;
    }

    // A range is a grading row's bounds ("14-18", or the one bound of the
    // first and last row); a bill counts in a range where it has pieces or
    // volume. Ranges come in the order of their grading rows; the few there
    // are are added up here.
    std::vector<SummaryLine> rangeSummary(const Filter& filter) {
        auto& s = statement("SELECT g.line, g.lower, g.upper, g.pieces, g.volume_units,"
                            " g.amount_fen FROM bills JOIN grading g ON g.bill = bills.id" +
                            std::string(kWhereInForce) +
                            " AND (g.volume_units <> 0 OR g.pieces NOT IN ('', '0'))");
        s.bind(filter.from, toBound(filter.to), filter.text);
        std::vector<std::pair<std::int64_t, SummaryLine>> ranges; // first line, range
        while (s.step()) {
            std::string key = s.text(1);
            if (const std::string upper = s.text(2); !upper.empty()) key += "-" + upper;
            auto at = std::find_if(ranges.begin(), ranges.end(),
                                   [&key](const auto& r) { return r.second.key == key; });
            if (at == ranges.end()) at = ranges.insert(ranges.end(), {s.integer(0), {key, {}}});
            at->first = std::min(at->first, s.integer(0));
            Totals& t = at->second.totals;
            ++t.bills;
            ++t.lines;
            t.pieces += decimalUnits(s.text(3), 0).value_or(0);
            t.volume += s.integer(4);
            t.amount += s.integer(5);
        }
        std::stable_sort(ranges.begin(), ranges.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first < b.first : a.second.key < b.second.key;
        });
        std::vector<SummaryLine> out;
        for (auto& r : ranges) out.push_back(std::move(r.second));
        return out;
    }

    std::int64_t lastOfDay(const std::string& day) {
        auto& s = statement("SELECT coalesce(max(CAST(substr(serial, 10) AS INTEGER)), 0)"
                            " FROM bills WHERE serial > ?1 AND serial < ?2");
        s.bind(day + "-", day + ".");
        s.step();
        const std::int64_t last = s.integer(0);
        s.reset();
        return last;
    }

    void insertBill(const BillRecord& bill) {
        std::string places;
        const size_t columns = std::size(kTextFields) + std::size(kLengthFields) +
                               std::size(kNumberFields) + 1;
        for (size_t i = 1; i <= columns; ++i) places += (i > 1 ? ",?" : "?") + std::to_string(i);
        auto& s =
            statement("INSERT INTO bills(" + columnList() + ",search) VALUES(" + places + ")");
        s.reset();
        int at = 1;
        for (const TextField& f : kTextFields) s.bindOne(at++, bill.*f.member);
        for (const std::string& length : bill.lengths) s.bindOne(at++, length);
        for (const NumberField& f : kNumberFields) s.bindOne(at++, bill.*f.member);
        s.bindOne(at, searchText(bill));
        s.run();
    }

    Database db_;
    std::optional<std::filesystem::path> aside_;
    // The totals of the filter of the last lines(), when they held every bill.
    struct Known {
        Filter filter;
        Totals totals;
    };
    std::optional<Known> known_;
    std::map<std::string, std::unique_ptr<Statement>> statements_;
};

std::filesystem::path ledgerFile(const std::filesystem::path& folder) {
    return folder / platform::pathFromUtf8(kLedgerFile);
}

} // namespace

// A file that is no ledger, or one cut short, is moved aside and a new one
// begun; the move is told through movedAside().
std::unique_ptr<Ledger> Ledger::open(const std::filesystem::path& folder) {
    const std::filesystem::path file = ledgerFile(folder);
    std::optional<std::filesystem::path> aside;
    if (cutShort(file)) aside = moveAside(file);
    try {
        return std::make_unique<SqliteLedger>(file, true, aside);
    } catch (const LedgerError& e) {
        if (e.kind() != LedgerError::Kind::Damaged || aside) throw;
    }
    aside = moveAside(file);
    return std::make_unique<SqliteLedger>(file, true, aside);
}

std::unique_ptr<Ledger> Ledger::openExisting(const std::filesystem::path& folder) {
    const std::filesystem::path file = ledgerFile(folder);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw LedgerError(LedgerError::Kind::Missing,
                          "没有账单记录：" + platform::utf8Text(file) + " 不存在");
    if (cutShort(file))
        throw LedgerError(LedgerError::Kind::Damaged,
                          "账单记录 " + platform::utf8Text(file) + " 已损坏");
    return std::make_unique<SqliteLedger>(file, false, std::nullopt);
}

} // namespace lanqi::ledger
