// lanqi-tally: the tally core without the window. Reads a tally file, runs the
// recalculation until the sheet is stable, prints every field that is not
// empty and, with --bill, writes the bill into a workbook as the window does.
// With --ledger it reads the bills kept beside a workbook instead.
#include "app/csv_field.h"
#include "app/ledger_commands.h"
#include "app/program_paths.h"
#include "editing/blanking.h"
#include "editing/date_caption.h"
#include "editing/selectors.h"
#include "platform/command_line.h"
#include "platform/system_error_text.h"
#include "platform/utf16_text.h"
#include "platform/utf8_path.h"
#include "tally/tally_file.h"
#include "tally/tick.h"
#include "workbook/bill_book.h"
#include "workbook/bill_export.h"
#include "workbook/startup_load.h"
#include "workbook/xls_spreadsheet.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = "用法：lanqi-tally [--csv] [--bill 工作簿.xls] 码单文件\n"
                               "       码单文件为 - 时从标准输入读取\n";

struct Options {
    bool csv = false;
    std::string bill;
    std::string tally;
};

bool parseOptions(const std::vector<std::string>& args, Options& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--csv")
            o.csv = true;
        else if (args[i] == "--bill" && i + 1 < args.size())
            o.bill = args[++i];
        else if (o.tally.empty() && (!args[i].starts_with("-") || args[i] == "-"))
            o.tally = args[i];
        else
            return false;
    }
    return !o.tally.empty();
}

void printSheet(const lanqi::TallySheet& sheet, bool csv) {
    if (csv) std::cout << "field,text\n";
    for (lanqi::FieldId f : lanqi::allFields()) {
        const std::string& text = sheet.text(f);
        if (text.empty()) continue;
        std::string name = lanqi::fieldName(f);
        if (csv)
            std::cout << lanqi::csvField(name) << "," << lanqi::csvField(text) << "\n";
        else
            std::cout << name << "\t" << text << "\n";
    }
}

// A file that names the party or detail caption: the lists those captions
// show take the name and detail the file gave.
void showFiledParties(const std::vector<lanqi::TextLine>& texts, lanqi::TallySheet& sheet) {
    using lanqi::Combo;
    if (std::none_of(texts.begin(), texts.end(), [](const lanqi::TextLine& t) {
            return t.combo == Combo::Combo4 || t.combo == Combo::Combo2;
        }))
        return;
    const std::string name = sheet.combo(Combo::Combo6).text;
    const std::string detail = sheet.combo(Combo::Combo13).text;
    lanqi::Combo4_Click(sheet);
    for (Combo c : lanqi::kNameSlot)
        if (sheet.combo(c).visible) sheet.setComboText(c, name);
    for (Combo c : lanqi::kDetailSlot)
        if (sheet.combo(c).visible) sheet.setComboText(c, detail);
}

// The line of the first text of the file that is longer than a cell holds.
std::optional<int> lineOfLongText(const std::vector<lanqi::TextLine>& texts,
                                  const lanqi::TallySheet& sheet) {
    for (const lanqi::TextLine& t : texts) {
        const std::string& text = t.combo ? sheet.combo(*t.combo).text : sheet.text(t.field);
        if (lanqi::platform::utf16Length(text) > lanqi::kLongestCellText) return t.line;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    lanqi::platform::useUtf8Console();
    const std::vector<std::string> args = lanqi::platform::utf8Arguments(argc, argv);
    if (!args.empty() && args[0] == "--ledger") {
        if (args.size() < 2) {
            std::cerr << "--ledger 后缺少工作簿\n用法：\n" << lanqi::kLedgerUsage;
            return 2;
        }
        return lanqi::runLedgerCommand(
            {lanqi::platform::pathFromUtf8(args[1]), lanqi::statementTemplatePath()},
            {args.begin() + 2, args.end()}, std::cout, std::cerr);
    }
    Options options;
    if (!parseOptions(args, options)) {
        std::cerr << kUsage << lanqi::kLedgerUsage;
        return 2;
    }
    lanqi::TallySheet sheet;
    lanqi::attachBlankingRules(sheet);
    lanqi::TallyFile filed;
    try {
        if (options.tally == "-") {
            filed = lanqi::readTallyFile(std::cin, sheet);
        } else {
            std::error_code ec;
            if (std::filesystem::is_directory(lanqi::platform::pathFromUtf8(options.tally), ec)) {
                std::cerr << "无法读取码单文件 " << options.tally << "：这是一个文件夹\n";
                return 1;
            }
            std::ifstream in(lanqi::platform::pathFromUtf8(options.tally));
            if (!in) {
                std::cerr << "无法读取码单文件 " << options.tally << "："
                          << lanqi::platform::systemErrorText(errno) << "\n";
                return 1;
            }
            filed = lanqi::readTallyFile(in, sheet);
        }
    } catch (const lanqi::TallyFileError& e) {
        std::cerr << options.tally << "：" << e.what() << "\n";
        return 1;
    }
    showFiledParties(filed.texts, sheet);
    sheet.setCaption(lanqi::Label::Label22,
                     filed.date
                         ? lanqi::dateCaption(filed.date->year, filed.date->month, filed.date->day)
                         : lanqi::todayCaption());
    lanqi::recalculateUntilStable(sheet);
    printSheet(sheet, options.csv);
    if (options.bill.empty()) return 0;
    try {
        lanqi::XlsApplication app;
        const auto workbook = lanqi::platform::pathFromUtf8(options.bill);
        lanqi::loadFootCaption(sheet, app, workbook);
        lanqi::BillBook book(workbook);
        // The serial is fixed first, so that the bill shows it.
        const std::string serial = book.begin();
        const lanqi::ledger::Kept kept = book.record(
            sheet, lanqi::writeBill(sheet, app, workbook, lanqi::OtherLock::Refuse, serial));
        if (!kept.message.empty()) std::cerr << kept.message << "\n";
        if (!kept.recorded) return 1;
    } catch (const lanqi::WorkbookError& e) {
        // A text too long for its cell is the tally file's fault: its line is named.
        auto line = e.kind() == lanqi::WorkbookError::Kind::TextTooLong
                        ? lineOfLongText(filed.texts, sheet)
                        : std::nullopt;
        if (line)
            std::cerr << options.tally << "：第 " << *line << " 行：文字太长，账单没有写入："
                      << e.what() << "\n";
        else
            std::cerr << "写入账单失败：" << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "写入账单失败：" << e.what() << "\n";
        return 1;
    }
    return 0;
}
