#pragma once
// The records window as data: the bills of the ledger that the filter text
// and the period let through, newest first, one line a bill, fetched from the
// ledger a page at a time as the window draws them; the selected line, the
// totals of what is shown and the keys. A window shows this list and hands it
// what the user types; it decides nothing itself.
#include "editing/navigation.h"
#include "ledger/ledger.h"
#include "tally/subscription.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanqi {

enum class RecordColumn { Serial, Time, Buyer, Vehicle, Species, Pieces, Volume, Amount };

// The columns of a line: heading, width in twips, figures to the right.
struct RecordColumnLayout {
    RecordColumn column;
    std::string_view heading;
    int width;
    bool figure;
};
inline constexpr RecordColumnLayout kRecordColumns[] = {
    {RecordColumn::Serial, "单号", 3000, false}, {RecordColumn::Time, "日期时间", 2100, false},
    {RecordColumn::Buyer, "购货商", 2100, false}, {RecordColumn::Vehicle, "运输车号", 1500, false},
    {RecordColumn::Species, "树种", 1000, false}, {RecordColumn::Pieces, "件数", 900, true},
    {RecordColumn::Volume, "材积(m³)", 1300, true}, {RecordColumn::Amount, "金额", 1500, true},
};

// Behind the serial of a bill that a later bill replaces.
inline constexpr std::string_view kReplacedMark = "（已被替代）";

inline constexpr std::string_view kRecordsTitle = "账单记录";
inline constexpr std::string_view kFilterCaption = "查找：";
inline constexpr std::string_view kFromCaption = "从";
inline constexpr std::string_view kToCaption = "到";
inline constexpr std::string_view kExportCaption = "导出";
inline constexpr std::string_view kDateHint = "yyyy-mm-dd";
inline constexpr std::string_view kKeysHint = "输入即查找　↑↓ 选择　回车 重开　Esc 关闭";

// A date as typed ("2026-12-8", "2026/12/08", "20261208") as yyyy-MM-dd;
// empty for an empty text, nothing for a text that is no date.
std::optional<std::string> normalDate(std::string_view typed);

class RecordsList {
  public:
    // What the list asks of the window that shows it.
    class View {
      public:
        virtual ~View() = default;
        // The selection moved; with `lines`, the lines and totals changed too.
        virtual void refresh(bool lines) = 0;
        virtual void dismiss() = 0;
    };
    // Reopens the bill of `serial` in the main window; false when it did not
    // (the user kept the tally on the window, or the bill could not be read).
    using Reopen = std::function<bool(const std::string& serial)>;
    // Writes the bills the filter lets through as a statement.
    using ExportShown = std::function<void(const ledger::Filter& filter)>;

    static constexpr std::int64_t kPageLines = 50;

    RecordsList(ledger::Ledger& ledger, Reopen reopen, ExportShown exportShown);

    // The window that shows the list, until the handle ends.
    [[nodiscard]] Subscription attach(View& view);

    // The ledger read anew (bills recorded since), the newest line selected.
    void reload();

    // What the user typed into the filter and the date fields.
    void filterTyped(std::string_view text);
    void periodTyped(std::string_view from, std::string_view to);
    const ledger::Filter& filter() const { return filter_; }

    // A key in the records window; true when the list took it. Up and Down
    // move the selection, Page Up and Page Down by `pageLines`, Enter
    // reopens the selected bill, Escape closes the window.
    bool keyPressed(Key key, int pageLines = 20);
    void lineClicked(std::int64_t row);
    // A line opened with the pointer (double click): reopened.
    void lineOpened(std::int64_t row);
    void exportClicked();
    void closeClicked();

    // What the window draws.
    std::int64_t lineCount() const { return totals_.lines; }
    std::int64_t selected() const { return selected_; }
    std::string cell(std::int64_t row, RecordColumn column);
    bool replaced(std::int64_t row);
    // "3 张账单　件数 42　材积 11.1000 m³　金额 12585.60 元", or what went wrong.
    std::string totalsText() const;

  private:
    const ledger::BillLine* line(std::int64_t row);
    void requery();
    void select(std::int64_t row);
    void reopenSelected();
    void changed(bool lines);

    ledger::Ledger& ledger_;
    Reopen reopen_;
    ExportShown exportShown_;
    View* view_ = nullptr;
    ledger::Filter filter_;
    std::string problem_; // a date that is no date, a ledger that failed
    ledger::Totals totals_;
    std::int64_t selected_ = -1;
    std::map<std::int64_t, std::vector<ledger::BillLine>> pages_;
};

} // namespace lanqi
