#pragma once
// A scratch folder for a ledger, and bills to record in it.
#include "ledger/bill_record.h"
#include "platform/utf8_path.h"

#include <filesystem>
#include <random>
#include <string>

namespace lanqi::ledger::testing {

inline std::filesystem::path scratchFolder(const std::string& name) {
    const auto folder = std::filesystem::temp_directory_path() /
                        platform::pathFromUtf8("lanqi-ledger-" + name + "-" +
                                               std::to_string(std::random_device{}()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

// A bill as the window would give it; `n` varies its texts and sums.
inline BillRecord sampleBill(int n, std::string localTime = "2026-12-08 09:30:00") {
    BillRecord b;
    b.localTime = std::move(localTime);
    b.partyCaption = "购货商:";
    b.buyer = n % 2 == 0 ? "林海木业有限公司" : "长白山木材厂";
    b.detailCaption = "运输车号:";
    b.vehicle = "黑A·" + std::to_string(35800 + n);
    b.scaler = "王检尺";
    b.species = n % 3 == 0 ? "红松" : "落叶松";
    b.remarks = "第" + std::to_string(n) + "车\t含\\弯材\n两根";
    b.lengths = {"4", "6", "", "2.5"};
    b.rows = {{1, 1, "30", std::to_string(n + 1), "4.941"}, {1, 2, "32", "", ""},
              {4, 20, "44", "2", "3.420"}};
    for (int i = 0; i < 6; ++i) {
        GradingLine& g = b.grading[static_cast<size_t>(i)];
        g.lower = std::to_string(8 + 6 * i);
        g.upper = i >= 1 && i <= 4 ? std::to_string(12 + 6 * i) : "";
        g.price = std::to_string(800 + 100 * i);
        g.pieces = i == 2 ? std::to_string(n + 3) : "";
        g.volume = i == 2 ? "8.3610" : "";
        g.amount = i == 2 ? "8361.05" : "";
        g.volumeUnits = i == 2 ? 83610 : 0;
        g.amountFen = i == 2 ? 836105 : 0;
    }
    b.totalPieces = std::to_string(n + 3);
    b.totalVolume = "8.3610";
    b.totalAmount = "8361.05";
    b.pieces = n + 3;
    b.volumeUnits = 83610;
    b.amountFen = 836105;
    b.amountInWords = "大写：捌仟叁佰陆拾壹元零伍分";
    b.workbookPath = "/home/检尺/账单明细.xls";
    b.programVersion = "0.1";
    return b;
}

} // namespace lanqi::ledger::testing
