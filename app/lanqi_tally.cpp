// lanqi-tally: the tally core without the window. Reads a tally file, runs the
// recalculation until the sheet is stable, prints every field that is not
// empty and, with --bill, writes the bill into a workbook as the window does.
#include "editing/blanking.h"
#include "editing/date_caption.h"
#include "platform/system_error_text.h"
#include "tally/tally_file.h"
#include "workbook/bill_export.h"
#include "workbook/startup_load.h"
#include "workbook/xls_spreadsheet.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

constexpr const char* kUsage = "用法：lanqi-tally [--csv] [--bill 工作簿.xls] 码单文件\n"
                               "       码单文件为 - 时从标准输入读取\n";

struct Options {
    bool csv = false;
    std::string bill;
    std::string tally;
};

bool parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--csv") == 0)
            o.csv = true;
        else if (std::strcmp(argv[i], "--bill") == 0 && i + 1 < argc)
            o.bill = argv[++i];
        else if (o.tally.empty() && (argv[i][0] != '-' || std::strcmp(argv[i], "-") == 0))
            o.tally = argv[i];
        else
            return false;
    }
    return !o.tally.empty();
}

// A CSV field, quoted when it holds a comma, a quote or a line break.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

void printSheet(const lanqi::TallySheet& sheet, bool csv) {
    if (csv) std::cout << "field,text\n";
    for (lanqi::FieldId f : lanqi::allFields()) {
        const std::string& text = sheet.text(f);
        if (text.empty()) continue;
        std::string name = lanqi::fieldName(f);
        if (csv)
            std::cout << csvField(name) << "," << csvField(text) << "\n";
        else
            std::cout << name << "\t" << text << "\n";
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::cerr << kUsage;
        return 2;
    }
    lanqi::TallySheet sheet;
    lanqi::attachBlankingRules(sheet);
    try {
        if (options.tally == "-") {
            lanqi::readTallyFile(std::cin, sheet);
        } else {
            std::error_code ec;
            if (std::filesystem::is_directory(options.tally, ec)) {
                std::cerr << "无法读取码单文件 " << options.tally << "：这是一个文件夹\n";
                return 1;
            }
            std::ifstream in(options.tally);
            if (!in) {
                std::cerr << "无法读取码单文件 " << options.tally << "："
                          << lanqi::platform::systemErrorText(errno) << "\n";
                return 1;
            }
            lanqi::readTallyFile(in, sheet);
        }
    } catch (const lanqi::TallyFileError& e) {
        std::cerr << options.tally << "：" << e.what() << "\n";
        return 1;
    }
    sheet.setCaption(lanqi::Label::Label22, lanqi::todayCaption());
    lanqi::recalculateUntilStable(sheet);
    printSheet(sheet, options.csv);
    if (options.bill.empty()) return 0;
    try {
        lanqi::XlsApplication app;
        lanqi::loadFootCaption(sheet, app, options.bill);
        lanqi::writeBill(sheet, app, options.bill);
    } catch (const std::exception& e) {
        std::cerr << "写入账单失败：" << e.what() << "\n";
        return 1;
    }
    return 0;
}
