#pragma once
// Why bytes cannot be used as a workbook. The message is in Chinese and says
// what was found; the caller adds the file name. Code tells the cases apart
// by kind, never by the text.
#include <stdexcept>
#include <string>

namespace lanqi::xls {

enum class ErrorKind {
    Damaged,      // the structure contradicts itself
    NotWorkbook,  // not an Excel 97–2003 workbook at all (.xlsx, text, empty)
    OldVersion,   // Excel 5.0/95 or older
    Encrypted,    // encrypted: by an open password, or by Excel's built-in one
    WriteRefused, // a write the workbook does not allow: into part of an array
                  // formula or a data table
    TextTooLong,  // a text longer than one cell holds
};

class Error : public std::runtime_error {
  public:
    Error(ErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    ErrorKind kind() const { return kind_; }

  private:
    ErrorKind kind_;
};

// The one error for a file whose structure contradicts itself; `where` says
// which part and what was found there.
inline Error damaged(const std::string& where) {
    return Error(ErrorKind::Damaged, "文件已损坏：" + where);
}

} // namespace lanqi::xls
