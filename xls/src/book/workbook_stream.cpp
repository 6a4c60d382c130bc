#include "book/workbook_stream.h"

#include <algorithm>

namespace lanqi::xls {
namespace {

constexpr std::uint16_t kTextFormat = 49; // the built-in "@"

} // namespace

std::uint32_t WorkbookStream::internString(std::string_view text) {
    std::string key(text);
    auto found = stringIndex_.find(key);
    if (found != stringIndex_.end()) return found->second;
    auto index = static_cast<std::uint32_t>(strings_.size());
    strings_.push_back(makeSharedString(text));
    stringIndex_.emplace(std::move(key), index);
    return index;
}

bool WorkbookStream::isTextFormat(std::uint16_t xf) const {
    if (xf >= xfFormats_.size()) return false;
    std::uint16_t ifmt = xfFormats_[xf];
    if (ifmt == kTextFormat) return true;
    auto it = formats_.find(ifmt);
    return it != formats_.end() && it->second == "@";
}

Sheet* WorkbookStream::sheet(std::string_view name) {
    for (Sheet& s : sheets_)
        if (s.worksheet && s.name == name) return &s;
    return nullptr;
}

} // namespace lanqi::xls
