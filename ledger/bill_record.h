#pragma once
// Everything needed to print a bill again, as it was shown: texts exactly as
// on the window, with exact integer sums beside them (volumes in 0.0001 m³,
// amounts in fen) so that adding bills up never rounds.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lanqi::ledger {

struct TallyLine {
    int block = 0; // 1–4
    int row = 0;   // 1–20
    std::string diameter, count, volume;
};

struct GradingLine {
    std::string lower, upper, price, pieces, volume, amount;
    std::int64_t volumeUnits = 0, amountFen = 0;
};

struct BillRecord {
    std::string serial;    // yyyyMMdd-NNN, counted per day; given on record
    std::string localTime; // yyyy-MM-dd HH:mm:ss
    // The bill's heading as shown: the party caption ("购货商:"/"供货商:") with
    // the name beside it (`buyer`, whichever party it is), the detail caption
    // ("运输车号:", "联系人:" …) with the detail beside it (`vehicle`).
    std::string partyCaption, buyer, detailCaption, vehicle;
    std::string scaler, species, remarks;
    std::array<std::string, 4> lengths;
    std::vector<TallyLine> rows; // rows with a diameter or a count only
    std::array<GradingLine, 6> grading;
    std::string totalPieces, totalVolume, totalAmount, amountInWords;
    std::int64_t pieces = 0, volumeUnits = 0, amountFen = 0;
    std::string workbookPath, programVersion;
    std::string replaces; // serial of the bill this one replaces, or empty
    // Made once for each bill written (given on record when empty): a bill
    // handed to the ledger twice, as a waiting bill may be, is kept once.
    std::string key;
};

} // namespace lanqi::ledger
