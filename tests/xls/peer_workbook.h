#pragma once
// A workbook with known content, written as a flat ODF spreadsheet for
// LibreOffice to save as .xls: hundreds of strings (the shared string table
// runs over several records, one string longer than a record), whole and
// decimal numbers, formulas with number, text, logical and error results,
// merged cells, rich text, a Text-formatted cell and formatted blanks.
#include <string>

namespace lanqi::test {

inline constexpr const char* kListSheet = "购销资料";
inline constexpr const char* kBillSheet = "原木一";
inline constexpr int kListRows = 600; // rows 2..601 of the list sheet

std::string listName(int i);                             // A(i + 1)
double listPieces(int i);                                // B: whole numbers
double listPrice(int i);                                 // C: quarters
double listVolume(int i);                                // D: decimals that need a full double
std::string longText();                                  // A603: longer than one record
inline constexpr const char* kRichText = "普通加粗斜体"; // A604, in three runs

std::string peerFods();

// A bill sheet whose formulas read the bill's cells the way users' own
// formulas do: per tally row (columns N-S, shared down the rows), totals
// and texts in column U, and the list sheet reading the bill.
std::string billFormulasFods();

} // namespace lanqi::test
