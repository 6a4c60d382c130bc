#pragma once
// The spreadsheet operations the program relies on: open a workbook by path,
// take a worksheet by name, read and write cells by (row, column) counted
// from 1, save in place, close, and show the file to the user. Values cross
// this boundary as text in both directions.
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lanqi {

// A failure a user can act on; the message is in Chinese and names the file.
class WorkbookError : public std::runtime_error {
  public:
    enum class Kind {
        Missing,      // no such file, or not a file
        Unreadable,   // the system refused to read it
        Damaged,      // its structure contradicts itself
        NotWorkbook,  // not an Excel 97–2003 workbook, or one the engine cannot use
        Encrypted,    // locked with a password to open; the message says how to unlock it
        NoSheet,      // the named sheet is not there
        Busy,         // another program has it open
        WriteRefused, // the cell may not be written alone (part of an array formula)
        TextTooLong,  // the text is longer than one cell holds (kLongestCellText)
        SaveFailed,   // the new content could not replace the file
        ShowFailed,   // no program could be started to show it
    };
    WorkbookError(Kind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

  private:
    Kind kind_;
};

// Characters (UTF-16 units) one cell holds.
inline constexpr std::size_t kLongestCellText = 32767;

class Worksheet {
  public:
    virtual ~Worksheet() = default;
    // The cell's value as text: empty for an empty cell, a number in plain
    // number text, a formula as the text of its result.
    virtual std::string cell(int row, int column) const = 0;
    // Throws WorkbookError (WriteRefused, TextTooLong) and writes nothing when
    // the cell may not take the text.
    virtual void setCell(int row, int column, std::string_view text) = 0;
    // The cell of this sheet that a defined name of the workbook (Excel's
    // name manager) refers to, when it refers to one cell of this sheet.
    struct Place {
        int row, column;
    };
    virtual std::optional<Place> namedCell(std::string_view /*name*/) const { return std::nullopt; }
};

class Workbook {
  public:
    virtual ~Workbook() = default;
    // Throws WorkbookError when the workbook has no sheet of that name.
    virtual Worksheet& worksheet(std::string_view name) = 0;
    // Writes the workbook back in place; the old file stays whole on failure.
    virtual void save() = 0;
    // Lets go of the workbook; its worksheets may not be used afterwards.
    // Unsaved changes are dropped, as closing without saving does.
    virtual void close() {}
};

// A file handed to the desktop, watched for its first seconds.
class Showing {
  public:
    enum class State { Watching, Shown, Failed };
    virtual ~Showing() = default;
    // Looks without waiting; Watching only for a few seconds.
    virtual State state() = 0;
    // Once Failed: what failed, in Chinese.
    virtual std::string failure() const = 0;
};

class SpreadsheetApplication {
  public:
    virtual ~SpreadsheetApplication() = default;
    // Throws WorkbookError when the file is missing, unreadable or damaged.
    virtual std::unique_ptr<Workbook> open(const std::filesystem::path& path) = 0;
    // Hands the file to the desktop's spreadsheet program and returns at once
    // with the watch on its start; throws WorkbookError when there is none.
    virtual std::unique_ptr<Showing> show(const std::filesystem::path& path) = 0;
};

} // namespace lanqi
