#include "book/defined_names.h"

#include "biff/record_layout.h"
#include "biff/records.h"
#include "bytes/utf16.h"
#include "formula/ptg.h"

#include <algorithm>

namespace lanqi::xls {
namespace {

// NAME: options u16 (bit 5: a built-in name) | key u8 | name length u8 |
// expression size u16 | u16 | sheet u16 (1-based, 0 for the workbook) | u32 |
// name: option byte (bit 0: UTF-16) and characters | expression.
constexpr std::uint16_t kNameBuiltIn = 0x0020;
constexpr std::size_t kNameOptions = 0;
// ptgRef3d: id u8 | EXTERNSHEET index u16 | row u16 | column u16;
// ptgArea3d: id u8 | EXTERNSHEET index u16 | rows u16 u16 | columns u16 u16.
constexpr std::size_t kRef3dSize = 7, kArea3dSize = 11;
constexpr std::size_t kRef3dSheet = 1, kRef3dRow = 3, kRef3dCol = 5;
constexpr std::size_t kArea3dRowLast = 5, kArea3dCol = 7, kArea3dColLast = 9;

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return asciiUpper(x) == asciiUpper(y); });
}

// The name a user's NAME record gives, or nothing for a built-in name.
std::optional<std::string> nameText(const RawRecord& r) {
    if (r.data.size() <= kNameText || (getU16(r.data, kNameOptions) & kNameBuiltIn)) return {};
    const std::size_t chars = r.data[kNameLength];
    const bool wide = r.data[kNameText] & 0x01;
    const std::size_t at = kNameText + 1;
    if (at + chars * (wide ? 2 : 1) > r.data.size()) return {};
    std::u16string text;
    for (std::size_t k = 0; k < chars; ++k)
        text += static_cast<char16_t>(wide ? getU16(r.data, at + 2 * k) : r.data[at + k]);
    return utf16ToUtf8(text);
}

// The cell of a whole expression that is one 3-D reference to a single cell.
std::optional<NamedPlace> singleCell(const Bytes& e,
                                     const std::vector<std::optional<std::size_t>>& sheets) {
    if (e.empty()) return {};
    const std::uint8_t id = formula::ptg::base(e[0]);
    std::uint16_t row = 0, col = 0;
    if (id == formula::ptg::kRef3d && e.size() == kRef3dSize) {
        row = getU16(e, kRef3dRow);
        col = getU16(e, kRef3dCol) & formula::ptg::kColumnMask;
    } else if (id == formula::ptg::kArea3d && e.size() == kArea3dSize) {
        row = getU16(e, kRef3dRow);
        col = getU16(e, kArea3dCol) & formula::ptg::kColumnMask;
        if (getU16(e, kArea3dRowLast) != row ||
            (getU16(e, kArea3dColLast) & formula::ptg::kColumnMask) != col)
            return {};
    } else {
        return {};
    }
    const std::uint16_t entry = getU16(e, kRef3dSheet);
    if (entry >= sheets.size() || !sheets[entry]) return {};
    return NamedPlace{*sheets[entry], row, col};
}

} // namespace

std::vector<std::optional<std::size_t>> externSheets(const WorkbookStream& wb,
                                                     const std::vector<std::size_t>& worksheets) {
    const auto& globals = wb.globals();
    std::vector<std::optional<std::size_t>> boundToWorksheet; // BOUNDSHEET order -> worksheet
    std::vector<bool> selfBook;                               // SUPBOOK order -> this workbook
    Bytes externSheet;
    for (std::size_t i = 0; i < globals.size(); ++i) {
        const RawRecord& r = globals[i];
        if (r.id == rec::kBoundSheet) {
            std::optional<std::size_t> w;
            for (std::size_t k = 0; k < worksheets.size(); ++k)
                if (wb.sheets()[worksheets[k]].boundSheet == i) w = k;
            boundToWorksheet.push_back(w);
        } else if (r.id == rec::kSupBook) {
            selfBook.push_back(r.data.size() == kSupBookSelfSize &&
                               getU16(r.data, kSupBookKind) == kSupBookSelf);
        } else if (r.id == rec::kExternSheet) {
            externSheet = r.data;
            for (std::size_t j = i + 1; j < globals.size() && globals[j].id == rec::kContinue; ++j)
                putBytes(externSheet, globals[j].data);
        }
    }
    std::vector<std::optional<std::size_t>> out;
    if (externSheet.size() < kExternSheetEntries) return out;
    const std::size_t count =
        std::min<std::size_t>(getU16(externSheet, kExternSheetCount),
                              (externSheet.size() - kExternSheetEntries) / kXtiSize);
    for (std::size_t e = 0; e < count; ++e) {
        const std::size_t at = kExternSheetEntries + e * kXtiSize;
        const std::uint16_t book = getU16(externSheet, at + kXtiSupBook);
        const std::uint16_t first = getU16(externSheet, at + kXtiFirst);
        const std::uint16_t last = getU16(externSheet, at + kXtiLast);
        std::optional<std::size_t> sheet;
        if (book < selfBook.size() && selfBook[book] && first == last &&
            first < boundToWorksheet.size())
            sheet = boundToWorksheet[first];
        out.push_back(sheet);
    }
    return out;
}

std::vector<std::optional<Bytes>> nameExpressions(const WorkbookStream& wb) {
    std::vector<std::optional<Bytes>> names;
    const auto& globals = wb.globals();
    for (std::size_t i = 0; i < globals.size(); ++i) {
        const RawRecord& r = globals[i];
        if (r.id != rec::kName) continue;
        std::optional<Bytes> expression;
        const bool continued = i + 1 < globals.size() && globals[i + 1].id == rec::kContinue;
        if (!continued && r.data.size() > kNameText) {
            const std::size_t chars = r.data[kNameLength] * ((r.data[kNameText] & 0x01) ? 2u : 1u);
            const std::size_t at = kNameText + 1 + chars;
            const std::size_t size = getU16(r.data, kNameExpressionSize);
            if (at + size <= r.data.size())
                expression = Bytes(r.data.begin() + static_cast<std::ptrdiff_t>(at),
                                   r.data.begin() + static_cast<std::ptrdiff_t>(at + size));
        }
        names.push_back(std::move(expression));
    }
    return names;
}

std::optional<NamedPlace> namedCell(const WorkbookStream& wb,
                                    const std::vector<std::size_t>& worksheets,
                                    std::string_view name) {
    const auto sheets = externSheets(wb, worksheets);
    const auto expressions = nameExpressions(wb);
    std::size_t k = 0;
    for (const RawRecord& r : wb.globals()) {
        if (r.id != rec::kName) continue;
        const std::optional<Bytes>& expression = expressions[k++];
        const auto text = nameText(r);
        if (!text || !expression || !sameName(*text, name)) continue;
        if (auto place = singleCell(*expression, sheets)) return place;
    }
    return {};
}

} // namespace lanqi::xls
