#include "workbook/bill_book.h"

#include "platform/utf8_path.h"
#include "workbook/bill_record_of.h"

#include <array>
#include <ctime>

namespace lanqi {

namespace {

// "yyyy-MM-dd HH:mm:ss" by the machine's clock.
std::string localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    return text.data();
}

} // namespace

BillBook::BillBook(const std::filesystem::path& workbook)
    : workbook_(workbook), keeper_(workbook.parent_path()) {}

std::string BillBook::begin() {
    localTime_ = localTimeNow();
    serial_ = keeper_.nextSerial(localTime_);
    return serial_;
}

ledger::Kept BillBook::record(const TallySheet& sheet, std::string amountInWords) {
    if (localTime_.empty()) begin();
    ledger::BillRecord bill = billRecordOf(sheet, std::move(amountInWords));
    bill.serial = serial_;
    bill.localTime = localTime_;
    bill.workbookPath = platform::utf8Text(std::filesystem::absolute(workbook_));
    bill.programVersion = LANQI_PROGRAM_VERSION;
    bill.replaces = replaces_;
    replaces_.clear();
    localTime_.clear();
    serial_.clear();
    return keeper_.keep(std::move(bill));
}

} // namespace lanqi
