#include "ledger/bill_keeper.h"

#include "ledger/damaged_file.h"
#include "ledger/ledger.h"
#include "ledger/record_text.h"
#include "platform/atomic_replace.h"
#include "platform/utf8_path.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <utility>

namespace lanqi::ledger {

namespace {

// The pending file: one record a line. Lines that do not read as a record
// are kept as they are.
struct Pending {
    std::vector<BillRecord> bills;
    std::vector<std::string> unread;
};

Pending readPending(const std::filesystem::path& file) {
    Pending p;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        if (auto bill = recordOfLine(line))
            p.bills.push_back(std::move(*bill));
        else
            p.unread.push_back(line);
    }
    return p;
}

// Replaces the pending file by these lines, or removes it when there are none.
void writePending(const std::filesystem::path& file, const Pending& p) {
    if (p.bills.empty() && p.unread.empty()) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
        if (ec)
            throw platform::FileWriteError("无法删除 " + platform::utf8Text(file) + "（" +
                                           ec.message() + "）");
        return;
    }
    std::string text;
    for (const std::string& line : p.unread) text += line + "\n";
    for (const BillRecord& bill : p.bills) text += recordLine(bill) + "\n";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    platform::replaceFileAtomically(file, {bytes, text.size()});
}

// The number of a serial's day part; 0 for one that is no number.
std::int64_t numberOf(std::string_view digits) {
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    return ec == std::errc() && end == digits.data() + digits.size() ? n : 0;
}

std::string ledgerText(const std::filesystem::path& folder) {
    return platform::utf8Text(folder / platform::pathFromUtf8(kLedgerFile));
}

std::string movedText(const std::filesystem::path& folder, const std::filesystem::path& aside) {
    return "账单记录 " + ledgerText(folder) + " 已损坏，原文件已移到 " +
           platform::utf8Text(aside) + "，新的账单记录已开始。";
}

} // namespace

BillKeeper::BillKeeper(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path BillKeeper::pendingFile() const {
    return folder_ / platform::pathFromUtf8(kPendingFile);
}

std::string BillKeeper::nextSerial(std::string_view localTime) {
    std::string serial;
    try {
        std::unique_ptr<Ledger> ledger = Ledger::open(folder_);
        if (ledger->movedAside()) aside_ = ledger->movedAside();
        serial = ledger->nextSerial(localTime);
    } catch (const LedgerError&) {
        return ""; // told when the bill is kept
    }
    // Waiting bills go in first: those that show a serial keep theirs, the
    // others of the day take the next ones.
    std::vector<BillRecord> waiting = readPending(pendingFile()).bills;
    waiting.insert(waiting.end(), held_.begin(), held_.end());
    const size_t dash = serial.find('-');
    const std::string day = serial.substr(0, dash + 1);
    std::int64_t last = numberOf(serial.substr(dash + 1)) - 1;
    std::int64_t unnumbered = 0;
    for (const BillRecord& b : waiting) {
        if (b.serial.empty())
            unnumbered += b.localTime.substr(0, 10) == localTime.substr(0, 10);
        else if (b.serial.starts_with(day))
            last = std::max(last, numberOf(std::string_view(b.serial).substr(day.size())));
    }
    const std::string number = std::to_string(last + unnumbered + 1);
    return day + std::string(number.size() < 3 ? 3 - number.size() : 0, '0') + number;
}

Kept BillKeeper::keep(BillRecord bill) {
    Pending pending = readPending(pendingFile());
    const bool hadPending = !pending.bills.empty();
    pending.bills.insert(pending.bills.end(), std::make_move_iterator(held_.begin()),
                         std::make_move_iterator(held_.end()));
    held_.clear();
    if (bill.key.empty()) bill.key = newKey();
    pending.bills.push_back(std::move(bill));

    Kept kept;
    std::string failure;
    std::optional<std::filesystem::path> aside = std::exchange(aside_, std::nullopt);
    try {
        std::unique_ptr<Ledger> ledger = Ledger::open(folder_);
        if (ledger->movedAside()) aside = ledger->movedAside();
        while (!pending.bills.empty()) {
            std::string serial;
            try {
                serial = ledger->record(pending.bills.front());
            } catch (const LedgerError& e) {
                // Damaged under way: moved aside once, and the rest go into a new ledger.
                if (e.kind() != LedgerError::Kind::Damaged || aside) throw;
                ledger.reset();
                aside = moveAside(folder_ / platform::pathFromUtf8(kLedgerFile));
                ledger = Ledger::open(folder_);
                continue;
            }
            if (pending.bills.size() == 1) kept = {true, serial, ""};
            pending.bills.erase(pending.bills.begin());
        }
    } catch (const LedgerError& e) {
        failure = e.what();
    }
    if (aside) kept.message = movedText(folder_, *aside);
    const std::string notRecorded =
        (kept.message.empty() ? "" : "\n") +
        std::string("账单已写入账单明细，但没有记入账单记录：") + failure + "。\n";
    std::error_code ec;
    if (!hadPending && pending.bills.empty() && !std::filesystem::exists(pendingFile(), ec))
        return kept;
    try {
        writePending(pendingFile(), pending);
    } catch (const platform::FileWriteError& e) {
        held_ = std::move(pending.bills);
        if (!kept.recorded)
            kept.message += notRecorded + "也无法暂存到 " + platform::utf8Text(pendingFile()) +
                            "（" + e.what() + "），请另外记下这张账单；程序会在下次导出账单时再试。";
        return kept;
    }
    if (!kept.recorded)
        kept.message += notRecorded + "这张账单已暂存在 " + platform::utf8Text(pendingFile()) +
                        "，下次导出账单时会一并记入。";
    return kept;
}

} // namespace lanqi::ledger
