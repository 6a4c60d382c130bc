#pragma once
// The remarks field's text in the sheet, edited the way a window reports it:
// in UTF-16 units. One keystroke in a long remark costs what it changes, not
// a count of the text from its start.
#include "tally/sheet.h"
#include "tally/subscription.h"
#include "workbook/spreadsheet.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace lanqi {

// The remarks hold at most what one workbook cell takes, in UTF-16 units.
inline constexpr std::size_t kLongestRemarks = kLongestCellText;

class RemarksMirror {
  public:
    explicit RemarksMirror(TallySheet& sheet);

    // `removed` units at `position` replaced by `inserted`; false, with the
    // sheet unchanged, when the edit lies beyond the text.
    bool edit(std::size_t position, std::size_t removed, std::string_view inserted);
    // UTF-16 units that can still go in place of `selectedUnits`.
    std::size_t room(std::size_t selectedUnits) const;

  private:
    // Moves from a place known in units and bytes to the place at `target`
    // units, forwards or backwards; `target` beyond the text gives its end.
    struct Place {
        std::size_t units = 0, bytes = 0;
    };
    Place moveTo(Place from, std::size_t target) const;
    const std::string& text() const { return sheet_.text(kRemarks); }

    static constexpr FieldId kRemarks{Arr::Text13, 0};
    TallySheet& sheet_;
    Place mark_;            // where the last edit ended
    std::size_t units_ = 0; // the text's length
    bool editing_ = false;
    Subscription watch_; // any other change of the text
};

} // namespace lanqi
