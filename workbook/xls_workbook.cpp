#include "xls_workbook.h"

#include "atomic_file.h"
#include "cfb_reader.h"
#include "cfb_writer.h"
#include "desktop_show.h"
#include "system_error_text.h"
#include "workbook_stream.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

namespace lanqi {
namespace {

constexpr std::uintmax_t kLargestWorkbook = 512u << 20;
constexpr int kRows = 65536, kColumns = 256;

std::string fileName(const std::filesystem::path& path) {
    return path.filename().string();
}

// What a file that is not a compound file is, from its first bytes.
std::string notCompoundReason(xls::ByteView bytes) {
    if (bytes.size() >= 4 && bytes[0] == 'P' && bytes[1] == 'K' && bytes[2] == 3 && bytes[3] == 4)
        return "文件是 Excel 2007 及以后版本的工作簿（.xlsx）或其他压缩文件，不是 Excel 97–2003 "
               "工作簿（.xls）；请在电子表格程序中另存为 .xls";
    if (bytes.size() >= 2 && (bytes[0] == 0x09 || bytes[0] == 0x08) &&
        (bytes[1] == 0x00 || bytes[1] == 0x02 || bytes[1] == 0x04 || bytes[1] == 0x08))
        return "文件是 Excel 4.0 或更早版本的工作簿，请在电子表格程序中另存为 Excel 97–2003 "
               "工作簿（.xls）";
    if (bytes.empty()) return "文件是空的，不是 Excel 97–2003 工作簿（.xls）";
    return "文件不是 Excel 97–2003 工作簿（.xls）";
}

class XlsWorkbook;

class XlsWorksheet : public Worksheet {
  public:
    XlsWorksheet(XlsWorkbook& book, xls::Sheet& sheet) : book_(book), sheet_(sheet) {}
    std::string cell(int row, int column) const override;
    void setCell(int row, int column, std::string_view text) override;

  private:
    void check(int row, int column) const;
    XlsWorkbook& book_;
    xls::Sheet& sheet_;
};

class XlsWorkbook : public Workbook {
  public:
    XlsWorkbook(std::filesystem::path path, xls::CompoundFile file, std::uint32_t streamEntry,
                xls::WorkbookStream stream)
        : path_(std::move(path)), file_(std::move(file)), streamEntry_(streamEntry),
          stream_(std::move(stream)) {
        for (xls::Sheet& s : stream_.sheets)
            if (s.worksheet) sheets_.push_back(std::make_unique<XlsWorksheet>(*this, s));
    }

    Worksheet& worksheet(std::string_view name) override {
        checkOpen();
        for (std::size_t i = 0, k = 0; i < stream_.sheets.size(); ++i) {
            if (!stream_.sheets[i].worksheet) continue;
            if (stream_.sheets[i].name == name) return *sheets_[k];
            ++k;
        }
        throw WorkbookError(fileName(path_) + "中没有名为“" + std::string(name) + "”的工作表");
    }

    void save() override {
        checkOpen();
        if (!stream_.changed) return; // the file already holds exactly this
        try {
            file_.entries[streamEntry_].content = xls::writeWorkbookStream(stream_);
            xls::Bytes bytes = xls::writeCompoundFile(file_);
            xls::replaceFileAtomically(path_, bytes);
        } catch (const std::exception& e) {
            throw WorkbookError("无法保存" + fileName(path_) + "：" + e.what() + "；原文件未改动");
        }
        stream_.changed = false;
    }

    void close() override { closed_ = true; }

    xls::WorkbookStream& stream() { return stream_; }
    const std::filesystem::path& path() const { return path_; }
    void checkOpen() const {
        if (closed_) throw WorkbookError(fileName(path_) + "已经关闭");
    }

  private:
    std::filesystem::path path_;
    xls::CompoundFile file_;
    std::uint32_t streamEntry_;
    xls::WorkbookStream stream_;
    std::vector<std::unique_ptr<XlsWorksheet>> sheets_;
    bool closed_ = false;
};

void XlsWorksheet::check(int row, int column) const {
    book_.checkOpen();
    if (row < 1 || row > kRows || column < 1 || column > kColumns)
        throw WorkbookError(fileName(book_.path()) + "：单元格（" + std::to_string(row) + "，" +
                            std::to_string(column) + "）超出工作表“" + sheet_.name + "”的范围");
}

std::string XlsWorksheet::cell(int row, int column) const {
    check(row, column);
    return xls::cellText(book_.stream(), sheet_, static_cast<std::uint32_t>(row - 1),
                         static_cast<std::uint16_t>(column - 1));
}

void XlsWorksheet::setCell(int row, int column, std::string_view text) {
    check(row, column);
    xls::setCellText(book_.stream(), sheet_, static_cast<std::uint32_t>(row - 1),
                     static_cast<std::uint16_t>(column - 1), text);
}

xls::Bytes readWholeFile(const std::filesystem::path& path) {
    const std::string name = fileName(path);
    std::error_code ec;
    auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        throw WorkbookError("无法打开" + name + "：找不到文件（" + path.string() + "）");
    if (!std::filesystem::is_regular_file(status))
        throw WorkbookError("无法打开" + name + "：这不是一个文件（" + path.string() + "）");
    auto size = std::filesystem::file_size(path, ec);
    if (ec) throw WorkbookError("无法打开" + name + "：" + xls::systemErrorText(ec.value()));
    if (size > kLargestWorkbook)
        throw WorkbookError("无法打开" + name + "：文件太大，不像是工作簿");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw WorkbookError("无法打开" + name + "：" + xls::systemErrorText(errno));
    xls::Bytes bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(bytes.size()))
        throw WorkbookError("无法打开" + name + "：读取文件时出错");
    return bytes;
}

} // namespace

std::unique_ptr<Workbook> openXlsWorkbook(const std::filesystem::path& path,
                                          std::vector<std::uint8_t> bytes) {
    const std::string prefix = "无法打开" + fileName(path) + "：";
    try {
        if (!xls::hasCompoundSignature(bytes)) throw xls::FormatError(notCompoundReason(bytes));
        xls::CompoundFile file = xls::readCompoundFile(bytes);
        auto entry = file.findInRoot(u"Workbook");
        if (!entry) {
            if (file.findInRoot(u"Book"))
                throw xls::FormatError("文件是 Excel 5.0/95 工作簿，请在电子表格程序中另存为 "
                                       "Excel 97–2003 工作簿（.xls）");
            throw xls::FormatError("文件中没有工作簿数据，不是 Excel 97–2003 工作簿（.xls）");
        }
        xls::WorkbookStream stream = xls::readWorkbookStream(file.entries[*entry].content);
        return std::make_unique<XlsWorkbook>(path, std::move(file), *entry, std::move(stream));
    } catch (const xls::FormatError& e) {
        throw WorkbookError(prefix + e.what());
    }
}

XlsApplication::XlsApplication(ShowFile show) : show_(std::move(show)) {
    if (!show_) show_ = showOnDesktop;
}

std::unique_ptr<Workbook> XlsApplication::open(const std::filesystem::path& path) {
    return openXlsWorkbook(path, readWholeFile(path));
}

void XlsApplication::show(const std::filesystem::path& path) {
    show_(path);
}

} // namespace lanqi
