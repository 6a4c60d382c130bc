#pragma once
// What is wrong with a file that cannot be read as a workbook. The message is
// in Chinese and says what was found; the workbook layer adds the file name.
#include <stdexcept>
#include <string>

namespace lanqi::xls {

class FormatError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The one error for a file whose structure contradicts itself; `where` says
// which part and what was found there.
inline FormatError damaged(const std::string& where) {
    return FormatError("文件已损坏：" + where);
}

} // namespace lanqi::xls
