#include "workbook/xls_spreadsheet.h"

#include "calc/numeric_text.h"
#include "platform/atomic_replace.h"
#include "platform/desktop_show.h"
#include "platform/system_error_text.h"
#include "platform/utf8_path.h"
#include "workbook/typed_entry.h"

#include <lanqi/xls/document.h>

#include <cerrno>
#include <fstream>
#include <string>

namespace lanqi {
namespace {

using Kind = WorkbookError::Kind;

constexpr std::uintmax_t kLargestWorkbook = 512u << 20;
static_assert(kLongestCellText == xls::kMaxTextLength);

std::string fileName(const std::filesystem::path& path) {
    return platform::utf8Text(path.filename());
}

Kind kindOf(xls::ErrorKind kind) {
    switch (kind) {
    case xls::ErrorKind::Damaged:
        return Kind::Damaged;
    case xls::ErrorKind::Encrypted:
        return Kind::Encrypted;
    default:
        return Kind::NotWorkbook;
    }
}

// A cell's value as the spreadsheet shows it, unformatted: numbers in plain
// number text, TRUE/FALSE, #DIV/0!...
std::string shownText(const xls::CellValue& v) {
    switch (v.kind) {
    case xls::CellValue::Kind::Number:
        return plainNumber(v.number);
    case xls::CellValue::Kind::Boolean:
        return v.number != 0 ? "TRUE" : "FALSE";
    case xls::CellValue::Kind::Empty:
        return {};
    default:
        return v.text;
    }
}

class XlsWorkbook;

class XlsWorksheet : public Worksheet {
  public:
    XlsWorksheet(XlsWorkbook& book, std::size_t sheet, std::string name)
        : book_(book), sheet_(sheet), name_(std::move(name)) {}
    std::string cell(int row, int column) const override;
    void setCell(int row, int column, std::string_view text) override;
    std::optional<Place> namedCell(std::string_view name) const override;

  private:
    void check(int row, int column) const;
    XlsWorkbook& book_;
    std::size_t sheet_;
    std::string name_;
};

class XlsWorkbook : public Workbook {
  public:
    XlsWorkbook(std::filesystem::path path, xls::Document document)
        : path_(std::move(path)), document_(std::move(document)) {}

    Worksheet& worksheet(std::string_view name) override {
        checkOpen();
        for (auto& sheet : sheets_)
            if (sheet.first == name) return *sheet.second;
        auto index = document_.findWorksheet(name);
        if (!index)
            throw WorkbookError(Kind::NoSheet,
                                fileName(path_) + "中没有名为“" + std::string(name) + "”的工作表");
        sheets_.emplace_back(std::string(name),
                             std::make_unique<XlsWorksheet>(*this, *index, std::string(name)));
        return *sheets_.back().second;
    }

    void save() override {
        checkOpen();
        if (!document_.changed()) return; // the file already holds exactly this
        try {
            platform::replaceFileAtomically(path_, document_.serialize());
            document_.markSaved();
        } catch (const platform::FileWriteError& e) {
            throw saveFailed(e);
        } catch (const xls::Error& e) {
            throw saveFailed(e);
        }
    }

    void close() override { closed_ = true; }

    WorkbookError saveFailed(const std::exception& e) const {
        return WorkbookError(Kind::SaveFailed,
                             "无法保存" + fileName(path_) + "：" + e.what() + "；原文件未改动");
    }

    xls::Document& document() { return document_; }
    const std::filesystem::path& path() const { return path_; }
    void checkOpen() const {
        if (closed_) throw std::logic_error("workbook used after close");
    }

  private:
    std::filesystem::path path_;
    xls::Document document_;
    std::vector<std::pair<std::string, std::unique_ptr<XlsWorksheet>>> sheets_;
    bool closed_ = false;
};

void XlsWorksheet::check(int row, int column) const {
    book_.checkOpen();
    if (row < 1 || row > static_cast<int>(xls::kMaxRows) || column < 1 || column > xls::kMaxColumns)
        throw std::out_of_range("cell (" + std::to_string(row) + ", " + std::to_string(column) +
                                ") outside worksheet " + name_);
}

std::string XlsWorksheet::cell(int row, int column) const {
    check(row, column);
    return shownText(book_.document().cell(sheet_, static_cast<std::uint32_t>(row - 1),
                                           static_cast<std::uint16_t>(column - 1)));
}

void XlsWorksheet::setCell(int row, int column, std::string_view text) {
    check(row, column);
    auto r = static_cast<std::uint32_t>(row - 1);
    auto c = static_cast<std::uint16_t>(column - 1);
    xls::Document& doc = book_.document();
    try {
        doc.setCell(sheet_, r, c, typedValue(text, doc.isTextFormatted(sheet_, r, c)));
    } catch (const xls::Error& e) {
        throw WorkbookError(e.kind() == xls::ErrorKind::TextTooLong ? Kind::TextTooLong
                                                                     : Kind::WriteRefused,
                            "无法写入" + fileName(book_.path()) + "：" + e.what());
    }
}

std::optional<Worksheet::Place> XlsWorksheet::namedCell(std::string_view name) const {
    book_.checkOpen();
    auto named = book_.document().namedCell(name);
    if (!named || named->sheet != sheet_) return std::nullopt;
    return Place{static_cast<int>(named->row) + 1, named->col + 1};
}

std::vector<std::uint8_t> readWholeFile(const std::filesystem::path& path) {
    const std::string name = fileName(path);
    std::error_code ec;
    auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        throw WorkbookError(Kind::Missing,
                            "无法打开" + name + "：找不到文件（" + platform::utf8Text(path) + "）");
    if (!std::filesystem::is_regular_file(status))
        throw WorkbookError(Kind::Missing, "无法打开" + name + "：这不是一个文件（" +
                                               platform::utf8Text(path) + "）");
    auto size = std::filesystem::file_size(path, ec);
    if (ec)
        throw WorkbookError(Kind::Unreadable,
                            "无法打开" + name + "：" + platform::systemErrorText(ec.value()));
    if (size > kLargestWorkbook)
        throw WorkbookError(Kind::NotWorkbook, "无法打开" + name + "：文件太大，不像是工作簿");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw WorkbookError(Kind::Unreadable,
                            "无法打开" + name + "：" + platform::systemErrorText(errno));
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(bytes.size()))
        throw WorkbookError(Kind::Unreadable, "无法打开" + name + "：读取文件时出错");
    return bytes;
}

class DesktopShowing : public Showing {
  public:
    explicit DesktopShowing(platform::DesktopShow show) : show_(std::move(show)) {}
    State state() override {
        switch (show_.state()) {
        case platform::DesktopShow::State::Watching:
            return State::Watching;
        case platform::DesktopShow::State::Shown:
            return State::Shown;
        case platform::DesktopShow::State::Failed:
            break;
        }
        return State::Failed;
    }
    std::string failure() const override { return show_.failure(); }

  private:
    platform::DesktopShow show_;
};

class ShownAtOnce : public Showing {
  public:
    State state() override { return State::Shown; }
    std::string failure() const override { return {}; }
};

} // namespace

std::unique_ptr<Workbook> openXlsWorkbook(const std::filesystem::path& path,
                                          std::vector<std::uint8_t> bytes) {
    try {
        return std::make_unique<XlsWorkbook>(path, xls::Document::parse(std::move(bytes)));
    } catch (const xls::Error& e) {
        throw WorkbookError(kindOf(e.kind()), "无法打开" + fileName(path) + "：" + e.what());
    }
}

std::unique_ptr<Workbook> openXlsCopy(const std::filesystem::path& source,
                                      const std::filesystem::path& saveAs) {
    return openXlsWorkbook(saveAs, readWholeFile(source));
}

XlsApplication::XlsApplication(ShowFile show) : show_(std::move(show)) {}

std::unique_ptr<Workbook> XlsApplication::open(const std::filesystem::path& path) {
    return openXlsWorkbook(path, readWholeFile(path));
}

std::unique_ptr<Showing> XlsApplication::show(const std::filesystem::path& path) {
    if (show_) {
        show_(path);
        return std::make_unique<ShownAtOnce>();
    }
    try {
        return std::make_unique<DesktopShowing>(platform::showOnDesktop(path));
    } catch (const platform::OpenError& e) {
        throw WorkbookError(Kind::ShowFailed, e.what());
    }
}

} // namespace lanqi
