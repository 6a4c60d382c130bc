#include "program/remarks.h"

#include "platform/utf16_text.h"

#include <algorithm>

namespace lanqi {

RemarksMirror::RemarksMirror(TallySheet& sheet)
    : sheet_(sheet), units_(platform::utf16Length(text())),
      watch_(sheet.onChange(Arr::Text13, [this](int) {
          if (editing_) return;
          mark_ = {};
          units_ = platform::utf16Length(text());
      })) {}

RemarksMirror::Place RemarksMirror::moveTo(Place from, std::size_t target) const {
    const std::string& s = text();
    const auto unitsAt = [&s](std::size_t i) {
        return platform::utf16UnitsOfLead(static_cast<unsigned char>(s[i]));
    };
    if (from.bytes > s.size()) from = {};
    while (from.units < target && from.bytes < s.size()) {
        from.units += unitsAt(from.bytes);
        ++from.bytes;
        while (from.bytes < s.size() && unitsAt(from.bytes) == 0) ++from.bytes;
    }
    while (from.units > target && from.bytes > 0) {
        --from.bytes;
        while (from.bytes > 0 && unitsAt(from.bytes) == 0) --from.bytes;
        from.units -= unitsAt(from.bytes);
    }
    return from;
}

bool RemarksMirror::edit(std::size_t position, std::size_t removed, std::string_view inserted) {
    const Place from = moveTo(mark_, position);
    const Place to = moveTo(from, position + removed);
    if (from.units != position || to.units != position + removed) return false;
    const std::size_t added = platform::utf16Length(inserted);
    editing_ = true;
    sheet_.replaceText(kRemarks, from.bytes, to.bytes - from.bytes, inserted);
    editing_ = false;
    mark_ = {position + added, from.bytes + inserted.size()};
    units_ = units_ - removed + added;
    return true;
}

std::size_t RemarksMirror::room(std::size_t selectedUnits) const {
    const std::size_t kept = units_ - std::min(selectedUnits, units_);
    return kept >= kLongestRemarks ? 0 : kLongestRemarks - kept;
}

} // namespace lanqi
