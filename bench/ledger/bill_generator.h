#pragma once
// Bills as a busy station makes them over the years: 80 tally rows with the
// usual diameters (about half of them counted), ten buyers, six species, a
// remark now and then, about 27 bills a day.
#include "ledger/bill_record.h"
#include "ledger/ledger.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace lanqi::ledger::bench {

inline const char* const kBuyers[] = {"林海木业有限公司", "长白山木材厂", "兴安岭林场",
                                      "松江木材加工厂", "东方建材", "伊春木业",
                                      "牡丹江家具厂", "黑河木材站", "佳木斯板材",
                                      "大庆建筑公司"};
inline const char* const kSpecies[] = {"落叶松", "红松", "樟子松", "白桦", "水曲柳", "柞木"};

// Bill n of the station's life, the days counted from 2017-01-01.
inline BillRecord generatedBill(int n, std::mt19937& random) {
    BillRecord b;
    const int day = n / 27, second = 7 * 3600 + (n % 27) * 1200;
    const int year = 2017 + day / 365, dayOfYear = day % 365;
    char time[32];
    std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d", year, 1 + dayOfYear / 31 % 12,
                  1 + dayOfYear % 28, second / 3600, second / 60 % 60, second % 60);
    b.localTime = time;
    b.partyCaption = "购货商:";
    b.buyer = kBuyers[random() % 10];
    b.detailCaption = "运输车号:";
    b.vehicle = "黑A·" + std::to_string(10000 + random() % 90000);
    b.scaler = random() % 2 ? "王检尺" : "李检尺";
    b.species = kSpecies[random() % 6];
    if (random() % 5 == 0) b.remarks = "含弯材" + std::to_string(random() % 9) + "根";
    b.lengths = {"6", "4", "", ""};
    std::int64_t pieces = 0;
    for (int block = 1; block <= 4; ++block)
        for (int row = 1; row <= 20; ++row) {
            const bool counted = random() % 2 == 0;
            const int count = counted ? static_cast<int>(1 + random() % 20) : 0;
            pieces += count;
            b.rows.push_back({block, row, std::to_string(6 + 2 * row),
                              counted ? std::to_string(count) : "",
                              counted ? "1.2340" : ""});
        }
    std::int64_t volume = 0, amount = 0;
    for (int i = 0; i < 6; ++i) {
        GradingLine& g = b.grading[static_cast<size_t>(i)];
        g.lower = std::to_string(8 + 6 * i);
        g.upper = i >= 1 && i <= 4 ? std::to_string(12 + 6 * i) : "";
        g.price = std::to_string(800 + 100 * i);
        g.volumeUnits = static_cast<std::int64_t>(random() % 100000);
        g.amountFen = g.volumeUnits * (800 + 100 * i) / 100;
        g.pieces = std::to_string(pieces / 6);
        g.volume = std::to_string(g.volumeUnits / 10000) + "." + std::to_string(g.volumeUnits % 10000);
        g.amount = std::to_string(g.amountFen / 100) + "." + std::to_string(g.amountFen % 100);
        volume += g.volumeUnits;
        amount += g.amountFen;
    }
    b.pieces = pieces;
    b.volumeUnits = volume;
    b.amountFen = amount;
    b.totalPieces = std::to_string(pieces);
    b.totalVolume = std::to_string(volume / 10000) + "." + std::to_string(volume % 10000);
    b.totalAmount = std::to_string(amount / 100) + "." + std::to_string(amount % 100);
    b.amountInWords = "大写：贰万壹仟玖佰柒拾玖元叁角整";
    b.workbookPath = "/home/scaler/.local/share/lanqi/账单明细.xls";
    b.programVersion = "0.1";
    return b;
}

inline constexpr int kBills = 100000;

inline std::filesystem::path freshFolder(const std::filesystem::path& parent,
                                         const std::string& name) {
    const std::filesystem::path folder = parent / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

// The ledger of 100,000 bills, made once and kept for later runs.
inline const std::filesystem::path& bigLedger() {
    namespace fs = std::filesystem;
    static const fs::path folder = [] {
        const fs::path f = fs::temp_directory_path() / "lanqi-bench-ledger-100k";
        try {
            if (Ledger::openExisting(f)->totals({}).bills == kBills) return f;
        } catch (const LedgerError&) {
        }
        // Made on a memory file system, where each bill's flush costs nothing.
        const fs::path making = freshFolder("/dev/shm", "lanqi-bench-ledger-making");
        {
            auto ledger = Ledger::open(making);
            std::mt19937 random(42);
            for (int n = 0; n < kBills; ++n) ledger->record(generatedBill(n, random));
        }
        fs::remove_all(f);
        fs::create_directories(f);
        for (const auto& entry : fs::directory_iterator(making))
            fs::copy_file(entry.path(), f / entry.path().filename());
        fs::remove_all(making);
        return f;
    }();
    return folder;
}

} // namespace lanqi::ledger::bench
