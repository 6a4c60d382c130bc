#include "app/ledger_commands.h"

#include "app/csv_field.h"
#include "app/record_tally_file.h"
#include "editing/date_caption.h"
#include "ledger/ledger.h"
#include "ledger/shown_text.h"
#include "platform/utf8_path.h"
#include "workbook/spreadsheet.h"
#include "workbook/statement.h"

#include <charconv>
#include <chrono>
#include <optional>
#include <ostream>
#include <span>
#include <stdexcept>

namespace lanqi {

namespace {

using ledger::GroupBy;

// Wrong arguments: the message, then the usage.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum Option : unsigned { kFrom = 1, kTo = 2, kFind = 4, kCsv = 8, kBy = 16 };
constexpr unsigned kDates = kFrom | kTo;

struct OptionName {
    std::string_view name;
    Option option;
};
constexpr OptionName kOptions[] = {
    {"--from", kFrom}, {"--to", kTo}, {"--find", kFind}, {"--csv", kCsv}, {"--by", kBy},
};

struct Group {
    std::string_view name, head;
    GroupBy by;
};
constexpr Group kGroups[] = {
    {"day", "日期", GroupBy::Day},         {"month", "月份", GroupBy::Month},
    {"buyer", "购货商", GroupBy::Buyer},   {"species", "树种", GroupBy::Species},
    {"range", "径级范围", GroupBy::Range},
};

struct Request {
    ledger::Filter filter;
    bool csv = false;
    const Group* group = nullptr;
    std::vector<std::string> operands;
};

struct Context {
    ledger::Ledger& ledger;
    const LedgerPlaces& places;
    std::ostream& out;
};

struct Command {
    std::string_view name;
    unsigned options;
    std::string_view operand; // what the one operand is, or empty for none
    void (*run)(const Request&, Context&);
};

// A local date yyyy-MM-dd that the calendar has.
bool isDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    int parts[3] = {};
    const std::string_view pieces[] = {text.substr(0, 4), text.substr(5, 2), text.substr(8, 2)};
    for (int k = 0; k < 3; ++k) {
        const std::string_view p = pieces[k];
        auto [end, ec] = std::from_chars(p.data(), p.data() + p.size(), parts[k]);
        if (ec != std::errc() || end != p.data() + p.size() || p.front() == '+' || p.front() == '-')
            return false;
    }
    using namespace std::chrono;
    return year_month_day{year{parts[0]}, month{static_cast<unsigned>(parts[1])},
                          day{static_cast<unsigned>(parts[2])}}
        .ok();
}

std::string inQuotes(std::string_view text) {
    return "“" + std::string(text) + "”";
}

Request parse(const Command& command, std::span<const std::string> args) {
    Request r;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.starts_with("--")) {
            r.operands.push_back(arg);
            continue;
        }
        const OptionName* option = nullptr;
        for (const OptionName& o : kOptions)
            if (o.name == arg) option = &o;
        if (!option || !(command.options & option->option))
            throw UsageError(std::string(command.name) + " 没有选项 " + arg);
        if (option->option == kCsv) {
            r.csv = true;
            continue;
        }
        if (i + 1 == args.size()) throw UsageError(arg + " 后缺少内容");
        const std::string& value = args[++i];
        switch (option->option) {
        case kFrom:
        case kTo:
            if (!isDate(value))
                throw UsageError(arg + " 的日期应写成 年-月-日，如 2026-12-01，而不是 " +
                                 inQuotes(value));
            (option->option == kFrom ? r.filter.from : r.filter.to) = value;
            break;
        case kFind:
            r.filter.text = value;
            break;
        default:
            for (const Group& g : kGroups)
                if (g.name == value) r.group = &g;
            if (!r.group)
                throw UsageError("--by 应为 day、month、buyer、species 或 range，而不是 " +
                                 inQuotes(value));
        }
    }
    const std::size_t operands = command.operand.empty() ? 0 : 1;
    if (r.operands.size() > operands)
        throw UsageError(std::string(command.name) + " 多了参数 " + inQuotes(r.operands[operands]));
    if (r.operands.size() < operands)
        throw UsageError(std::string(command.name) + " 缺少" + std::string(command.operand));
    if ((command.options & kBy) && !r.group)
        throw UsageError(std::string(command.name) + " 需要 --by day|month|buyer|species|range");
    if (!r.filter.from.empty() && !r.filter.to.empty() && r.filter.from > r.filter.to)
        throw UsageError("起始日期 " + r.filter.from + " 晚于截止日期 " + r.filter.to);
    return r;
}

// One line of fields, tab-separated or as CSV.
void putLine(std::ostream& out, bool csv, std::span<const std::string> fields) {
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (k) out << (csv ? "," : "\t");
        out << (csv ? csvField(fields[k]) : fields[k]);
    }
    out << "\n";
}

// The pieces, volume and amount of a sum, as shown.
std::vector<std::string> sumTexts(const ledger::Totals& t) {
    return {std::to_string(t.pieces), ledger::volumeText(t.volume), ledger::amountText(t.amount)};
}

// The columns of a list; then the replacement as one note, or (CSV) as the
// serial replaced and whether a later bill replaced this one.
constexpr const char* kListHeads[] = {"单号", "时间", "购货商", "车号",
                                      "树种", "件数", "材积",   "金额"};

void list(const Request& r, Context& c) {
    const ledger::Totals totals = c.ledger.totals(r.filter);
    std::vector<std::string> heads(std::begin(kListHeads), std::end(kListHeads));
    if (r.csv) {
        heads.push_back("替代单号");
        heads.push_back("已被替代");
    } else {
        heads.push_back("说明");
    }
    putLine(c.out, r.csv, heads);
    for (const ledger::BillLine& b : c.ledger.lines(r.filter, 0, totals.lines)) {
        std::vector<std::string> fields = {b.serial, b.localTime, b.buyer, b.vehicle, b.species};
        for (std::string& s : sumTexts({1, b.pieces, b.volume, b.amount, 1})) fields.push_back(s);
        if (r.csv) {
            fields.push_back(b.replaces);
            fields.push_back(b.replaced ? "是" : "");
        } else {
            fields.push_back(ledger::replacementNote(b));
        }
        putLine(c.out, r.csv, fields);
    }
    if (r.csv) return;
    std::vector<std::string> sum = {"合计", std::to_string(totals.bills) + " 单", "", "", ""};
    for (std::string& s : sumTexts(totals)) sum.push_back(s);
    putLine(c.out, false, sum);
}

void summary(const Request& r, Context& c) {
    putLine(c.out, r.csv,
            std::vector<std::string>{std::string(r.group->head), "单数", "件数", "材积", "金额"});
    for (const ledger::SummaryLine& line : c.ledger.summary(r.group->by, r.filter)) {
        std::vector<std::string> fields = {line.key, std::to_string(line.totals.bills)};
        for (std::string& s : sumTexts(line.totals)) fields.push_back(s);
        putLine(c.out, r.csv, fields);
    }
}

void show(const Request& r, Context& c) {
    c.out << tallyFileOf(c.ledger.bill(r.operands[0]));
}

// A statement written over the workbook or the template would lose them.
void refuseOverwriting(const std::filesystem::path& out, const LedgerPlaces& places) {
    for (const std::filesystem::path& kept : {places.workbook, places.statementTemplate}) {
        std::error_code ec;
        if (std::filesystem::equivalent(out, kept, ec))
            throw UsageError("对账单不能写到 " + platform::utf8Text(kept) + " 上");
    }
}

void statement(const Request& r, Context& c) {
    const Statement s = statementOf(c.ledger, r.filter, todayDate());
    const std::filesystem::path out = platform::pathFromUtf8(r.operands[0]);
    writeStatement(s, c.places.statementTemplate, out);
    c.out << "对账单已写入 " << r.operands[0] << "（" << s.totals.bills << " 单）\n";
}

constexpr Command kCommands[] = {
    {"list", kDates | kFind | kCsv, "", list},
    {"show", 0, "单号", show},
    {"summary", kDates | kBy | kCsv, "", summary},
    {"statement", kDates | kFind, "对账单文件名", statement},
};

} // namespace

int runLedgerCommand(const LedgerPlaces& places, const std::vector<std::string>& args,
                     std::ostream& out, std::ostream& err) {
    const Command* command = nullptr;
    Request request;
    try {
        if (args.empty()) throw UsageError("--ledger 工作簿后缺少命令");
        for (const Command& c : kCommands)
            if (c.name == args[0]) command = &c;
        if (!command)
            throw UsageError("不认识的命令 " + inQuotes(args[0]) +
                             "（应为 list、show、summary 或 statement）");
        request = parse(*command, std::span(args).subspan(1));
        if (command->run == statement)
            refuseOverwriting(platform::pathFromUtf8(request.operands[0]), places);
    } catch (const UsageError& e) {
        err << e.what() << "\n用法：\n" << kLedgerUsage;
        return 2;
    }
    std::filesystem::path folder = places.workbook.parent_path();
    if (folder.empty()) folder = ".";
    try {
        std::unique_ptr<ledger::Ledger> l = ledger::Ledger::openExisting(folder);
        Context context{*l, places, out};
        command->run(request, context);
        return 0;
    } catch (const ledger::LedgerError& e) {
        if (e.kind() == ledger::LedgerError::Kind::UnknownSerial)
            err << "账单记录中没有单号为 " << request.operands.at(0) << " 的账单\n";
        else
            err << "无法读取账单记录：" << e.what() << "\n";
    } catch (const WorkbookError& e) {
        err << "写入对账单失败：" << e.what() << "\n";
    } catch (const std::exception& e) {
        err << "读取账单记录时出错：" << e.what() << "\n";
    }
    return 1;
}

} // namespace lanqi
