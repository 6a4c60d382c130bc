#include "program/records.h"

#include "ledger/shown_text.h"

#include <algorithm>
#include <cstdio>

namespace lanqi {

namespace {

// Pages kept at most; a long scroll lets the farthest go.
constexpr std::size_t kKeptPages = 16;

// "2026-12-08 20:15:03" shown as "2026-12-08 20:15".
std::string shownTime(const std::string& localTime) {
    return localTime.size() >= 16 ? localTime.substr(0, 16) : localTime;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr int daysIn(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace

std::optional<std::string> normalDate(std::string_view typed) {
    while (!typed.empty() && typed.front() == ' ') typed.remove_prefix(1);
    while (!typed.empty() && typed.back() == ' ') typed.remove_suffix(1);
    if (typed.empty()) return std::string();
    // Year, month, day: eight digits in a row, or three numbers apart.
    std::vector<int> parts;
    if (typed.size() == 8 && std::all_of(typed.begin(), typed.end(), isDigit)) {
        const std::string t(typed);
        parts = {std::stoi(t.substr(0, 4)), std::stoi(t.substr(4, 2)), std::stoi(t.substr(6, 2))};
    } else {
        std::string number;
        for (const char c : std::string(typed) + '-') {
            if (isDigit(c)) {
                if (number.size() == 4) return std::nullopt;
                number += c;
            } else if (c == '-' || c == '/' || c == '.') {
                if (number.empty()) return std::nullopt;
                parts.push_back(std::stoi(number));
                number.clear();
            } else {
                return std::nullopt;
            }
        }
    }
    if (parts.size() != 3) return std::nullopt;
    const int year = parts[0], month = parts[1], day = parts[2];
    if (year < 1000 || month < 1 || month > 12 || day < 1 || day > daysIn(year, month))
        return std::nullopt;
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return std::string(text);
}

RecordsList::RecordsList(ledger::Ledger& ledger, Reopen reopen, ExportShown exportShown)
    : ledger_(ledger), reopen_(std::move(reopen)), exportShown_(std::move(exportShown)) {
    requery();
}

Subscription RecordsList::attach(View& view) {
    view_ = &view;
    return Subscription([this, &view] {
        if (view_ == &view) view_ = nullptr;
    });
}

void RecordsList::reload() {
    requery();
    changed(true);
}

void RecordsList::filterTyped(std::string_view text) {
    if (text == filter_.text) return;
    filter_.text = text;
    requery();
    changed(true);
}

void RecordsList::periodTyped(std::string_view from, std::string_view to) {
    const std::optional<std::string> first = normalDate(from), last = normalDate(to);
    if (!first || !last) {
        problem_ = "日期请写作 2026-12-08 这样的年-月-日。";
        changed(true);
        return;
    }
    problem_.clear();
    filter_.from = *first;
    filter_.to = *last;
    requery();
    changed(true);
}

// The first page and the count with the sums: they say how many lines there
// are (a filter that finds few bills gives its sums with its lines); the
// further lines come when they are drawn.
void RecordsList::requery() {
    pages_.clear();
    try {
        pages_.emplace(0, ledger_.lines(filter_, 0, kPageLines));
        totals_ = ledger_.totals(filter_);
        problem_.clear();
    } catch (const ledger::LedgerError& e) {
        totals_ = {};
        problem_ = std::string("账单记录读不出来：") + e.what();
    }
    selected_ = totals_.lines > 0 ? 0 : -1;
}

const ledger::BillLine* RecordsList::line(std::int64_t row) {
    if (row < 0 || row >= totals_.lines) return nullptr;
    const std::int64_t page = row / kPageLines;
    auto found = pages_.find(page);
    if (found == pages_.end()) {
        std::vector<ledger::BillLine> lines;
        try {
            lines = ledger_.lines(filter_, page * kPageLines, kPageLines);
        } catch (const ledger::LedgerError& e) {
            problem_ = std::string("账单记录读不出来：") + e.what();
        }
        if (pages_.size() >= kKeptPages) {
            // The kept page farthest from this one goes.
            const auto first = pages_.begin();
            const auto last = std::prev(pages_.end());
            pages_.erase(page - first->first > last->first - page ? first : last);
        }
        found = pages_.emplace(page, std::move(lines)).first;
    }
    const std::size_t at = static_cast<std::size_t>(row % kPageLines);
    return at < found->second.size() ? &found->second[at] : nullptr;
}

std::string RecordsList::cell(std::int64_t row, RecordColumn column) {
    const ledger::BillLine* l = line(row);
    if (!l) return {};
    switch (column) {
    case RecordColumn::Serial:
        return l->replaced ? l->serial + std::string(kReplacedMark) : l->serial;
    case RecordColumn::Time:
        return shownTime(l->localTime);
    case RecordColumn::Buyer:
        return l->buyer;
    case RecordColumn::Vehicle:
        return l->vehicle;
    case RecordColumn::Species:
        return l->species;
    case RecordColumn::Pieces:
        return std::to_string(l->pieces);
    case RecordColumn::Volume:
        return ledger::volumeText(l->volume);
    case RecordColumn::Amount:
        return ledger::amountText(l->amount);
    }
    return {};
}

bool RecordsList::replaced(std::int64_t row) {
    const ledger::BillLine* l = line(row);
    return l && l->replaced;
}

std::string RecordsList::totalsText() const {
    if (!problem_.empty()) return problem_;
    std::string text = std::to_string(totals_.bills) + " 张账单　件数 " +
                       std::to_string(totals_.pieces) + "　材积 " +
                       ledger::volumeText(totals_.volume) + " m³　金额 " +
                       ledger::amountText(totals_.amount) + " 元";
    if (const std::int64_t replaced = totals_.lines - totals_.bills; replaced > 0)
        text += "（另有 " + std::to_string(replaced) + " 张已被替代，不计入）";
    return text;
}

bool RecordsList::keyPressed(Key key, int pageLines) {
    const std::int64_t page = std::max(1, pageLines);
    switch (key) {
    case Key::Up:
        select(selected_ - 1);
        return true;
    case Key::Down:
        select(selected_ + 1);
        return true;
    case Key::PageUp:
        select(selected_ - page);
        return true;
    case Key::PageDown:
        select(selected_ + page);
        return true;
    case Key::Enter:
        reopenSelected();
        return true;
    case Key::Escape:
        closeClicked();
        return true;
    default:
        return false;
    }
}

void RecordsList::lineClicked(std::int64_t row) {
    select(row);
}

void RecordsList::lineOpened(std::int64_t row) {
    select(row);
    reopenSelected();
}

void RecordsList::exportClicked() {
    if (exportShown_) exportShown_(filter_);
}

void RecordsList::closeClicked() {
    if (view_) view_->dismiss();
}

// The selection stays within the lines; with no lines there is none.
void RecordsList::select(std::int64_t row) {
    if (totals_.lines == 0) return;
    const std::int64_t kept = std::clamp<std::int64_t>(row, 0, totals_.lines - 1);
    if (kept == selected_) return;
    selected_ = kept;
    changed(false);
}

void RecordsList::reopenSelected() {
    const ledger::BillLine* l = line(selected_);
    if (!l || !reopen_) return;
    const std::string serial = l->serial;
    if (reopen_(serial)) closeClicked();
}

void RecordsList::changed(bool lines) {
    if (view_) view_->refresh(lines);
}

} // namespace lanqi
