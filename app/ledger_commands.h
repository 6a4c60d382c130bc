#pragma once
// lanqi-tally --ledger WORKBOOK COMMAND…: the bills kept in the ledger beside
// a workbook, listed, shown as a tally file, summed, or written as a
// statement workbook.
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace lanqi {

inline constexpr const char* kLedgerUsage =
    "       lanqi-tally --ledger 工作簿.xls list [--from 年-月-日] [--to 年-月-日] [--find 文字] "
    "[--csv]\n"
    "       lanqi-tally --ledger 工作簿.xls show 单号\n"
    "       lanqi-tally --ledger 工作簿.xls summary --by day|month|buyer|species|range "
    "[--from 年-月-日] [--to 年-月-日] [--csv]\n"
    "       lanqi-tally --ledger 工作簿.xls statement [--from 年-月-日] [--to 年-月-日] "
    "[--find 文字] 对账单.xls\n";

struct LedgerPlaces {
    std::filesystem::path workbook;          // the ledger is the one beside it
    std::filesystem::path statementTemplate; // the shipped 对账单.xls
};

// Runs the command `args` (after --ledger WORKBOOK). Returns the exit code:
// 0 done, 1 the ledger or a file failed, 2 the arguments are wrong. Results
// go to `out`, messages in Chinese to `err`.
int runLedgerCommand(const LedgerPlaces& places, const std::vector<std::string>& args,
                     std::ostream& out, std::ostream& err);

} // namespace lanqi
