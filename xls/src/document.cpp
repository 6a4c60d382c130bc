#include <lanqi/xls/document.h>

#include "biff/encrypted_stream.h"
#include "biff/record_layout.h"
#include "biff/records.h"
#include "book/cell_format.h"
#include "book/cell_value.h"
#include "book/defined_names.h"
#include "book/edit.h"
#include "book/formula_results.h"
#include "book/workbook_stream.h"
#include "bytes/utf16.h"
#include "cfb/reader.h"
#include "cfb/writer.h"

#include <map>
#include <tuple>
#include <utility>

namespace lanqi::xls {
namespace {

// What a file that is not a compound file is, from its first bytes.
Error notCompound(ByteView bytes) {
    if (bytes.size() >= 4 && bytes[0] == 'P' && bytes[1] == 'K' && bytes[2] == 3 && bytes[3] == 4)
        return Error(ErrorKind::NotWorkbook,
                     "文件是 Excel 2007 及以后版本的工作簿（.xlsx）或其他压缩文件，不是 Excel "
                     "97–2003 工作簿（.xls）；请在电子表格程序中另存为 .xls");
    if (bytes.size() >= 2 && (bytes[0] == 0x09 || bytes[0] == 0x08) &&
        (bytes[1] == 0x00 || bytes[1] == 0x02 || bytes[1] == 0x04 || bytes[1] == 0x08))
        return Error(ErrorKind::OldVersion,
                     "文件是 Excel 4.0 或更早版本的工作簿，请在电子表格程序中"
                     "另存为 Excel 97–2003 工作簿（.xls）");
    if (bytes.empty())
        return Error(ErrorKind::NotWorkbook, "文件是空的，不是 Excel 97–2003 工作簿（.xls）");
    return Error(ErrorKind::NotWorkbook, "文件不是 Excel 97–2003 工作簿（.xls）");
}

// Whether a stream starts with the BOF record of a BIFF8 workbook.
bool startsBiff8(ByteView stream) {
    return stream.size() >= rec::kHeaderSize + kBofType && getU16(stream, 0) == rec::kBof &&
           getU16(stream, rec::kHeaderSize + kBofVersion) == kBiff8;
}

} // namespace

struct Document::Parts {
    Bytes original; // as parsed, or as the last serialize made it
    CompoundFile file;
    std::uint32_t streamEntry = 0;
    std::optional<WorkbookKey> key; // of a workbook encrypted with the built-in password
    bool freshSalt = true;          // false while other streams depend on the key
    WorkbookStream stream;
    std::vector<std::size_t> worksheets;    // indexes into stream.sheets
    std::map<CellPlace, CellValue> written; // since parse or the last markSaved
    bool serializedSinceWrite = false;
};

namespace {

// The bytes about to replace the file are read again: they must be a
// workbook the engine can use, with every cell written holding its value.
void checkReadsBack(const Bytes& bytes, const std::map<CellPlace, CellValue>& written,
                    const std::vector<std::string>& names) {
    std::optional<Document> again;
    try {
        again.emplace(Document::parse(bytes));
    } catch (const Error& e) {
        throw Error(ErrorKind::Damaged, std::string("保存的内容无法再次读取（") + e.what() + "）");
    }
    for (const auto& [place, value] : written) {
        auto [sheet, row, col] = place;
        if (again->cell(sheet, row, col) != value)
            throw Error(ErrorKind::Damaged, "保存的内容中，工作表“" + names.at(sheet) + "”第 " +
                                                std::to_string(row + 1) + " 行第 " +
                                                std::to_string(col + 1) +
                                                " 列读回的值与写入的不同");
    }
}

// With RC4 CryptoAPI, Excel keeps the document's properties in a stream of
// their own ("encryption"), encrypted with the workbook's key; while that
// stream is there, the key and its salt stay as they were.
bool propertiesNeedTheKey(const CompoundFile& file) {
    return file.findInRoot(u"encryption").has_value();
}

} // namespace

Document Document::parse(std::vector<std::uint8_t> bytes) {
    if (!hasCompoundSignature(bytes)) throw notCompound(bytes);
    auto parts = std::make_unique<Parts>();
    parts->file = readCompoundFile(bytes);
    auto entry = parts->file.findInRoot(u"Workbook");
    if (!entry) {
        // Excel 5.0/95 names its stream Book; some programs name a BIFF8
        // stream so too. Its first record tells them apart.
        entry = parts->file.findInRoot(u"Book");
        if (!entry)
            throw Error(ErrorKind::NotWorkbook,
                        "文件中没有工作簿数据，不是 Excel 97–2003 工作簿（.xls）");
        if (!startsBiff8(parts->file.entries[*entry].content))
            throw Error(ErrorKind::OldVersion,
                        "文件是 Excel 5.0/95 工作簿，请在电子表格程序中另存为 "
                        "Excel 97–2003 工作簿（.xls）");
    }
    parts->streamEntry = *entry;
    Bytes& content = parts->file.entries[*entry].content;
    parts->key = decryptWorkbookStream(content);
    parts->freshSalt = !propertiesNeedTheKey(parts->file);
    parts->stream = readWorkbookStream(content, parts->key.has_value());
    for (std::size_t i = 0; i < parts->stream.sheets().size(); ++i)
        if (parts->stream.sheets()[i].worksheet) parts->worksheets.push_back(i);
    parts->original = std::move(bytes);
    return Document(std::move(parts));
}

Document::Document(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;
Document::~Document() = default;

std::vector<std::string> Document::worksheetNames() const {
    std::vector<std::string> names;
    for (std::size_t i : parts_->worksheets) names.push_back(parts_->stream.sheets()[i].name);
    return names;
}

void Document::forEachCell(std::size_t sheet, const CellVisitor& visit) const {
    const Sheet& s = parts_->stream.sheets().at(parts_->worksheets.at(sheet));
    for (const auto& [r, row] : s.rows)
        for (const Cell& c : row.cells) visit(r, c.col, cellValue(parts_->stream, c));
}

std::optional<std::size_t> Document::findWorksheet(std::string_view name) const {
    for (std::size_t k = 0; k < parts_->worksheets.size(); ++k)
        if (parts_->stream.sheets()[parts_->worksheets[k]].name == name) return k;
    return std::nullopt;
}

CellValue Document::cell(std::size_t sheet, std::uint32_t row, std::uint16_t col) const {
    return cellValue(parts_->stream, parts_->stream.sheets().at(parts_->worksheets.at(sheet)), row,
                     col);
}

std::optional<Document::NamedCell> Document::namedCell(std::string_view name) const {
    auto place = xls::namedCell(parts_->stream, parts_->worksheets, name);
    if (!place) return std::nullopt;
    return NamedCell{place->sheet, place->row, place->col};
}

bool Document::isTextFormatted(std::size_t sheet, std::uint32_t row, std::uint16_t col) const {
    return xls::isTextFormatted(parts_->stream,
                                parts_->stream.sheets().at(parts_->worksheets.at(sheet)), row, col);
}

void Document::setCell(std::size_t sheet, std::uint32_t row, std::uint16_t col,
                       const CellValue& value) {
    if (row >= kMaxRows || col >= kMaxColumns)
        throw std::out_of_range("cell outside the worksheet");
    if (value.kind == CellValue::Kind::Text) {
        const std::size_t length = utf8ToUtf16(value.text).size();
        if (length > kMaxTextLength)
            throw Error(ErrorKind::TextTooLong,
                        "工作表“" + worksheetNames().at(sheet) + "”的单元格 " + cellName(row, col) +
                            " 要写入的文本有 " + std::to_string(length) +
                            " 个字符，一个单元格最多只能容纳 " + std::to_string(kMaxTextLength) +
                            " 个字符");
    }
    setCellValue(parts_->stream, parts_->stream.sheet(parts_->worksheets.at(sheet)), row, col,
                 value);
    parts_->written[{sheet, row, col}] = value;
    parts_->serializedSinceWrite = false;
}

bool Document::changed() const {
    return parts_->stream.changed();
}

std::vector<std::uint8_t> Document::serialize() {
    if (!parts_->stream.changed()) return parts_->original;
    std::vector<CellPlace> written;
    for (const auto& [place, value] : parts_->written) written.push_back(place);
    computeFormulaResults(parts_->stream, parts_->worksheets, written);
    Bytes& content = parts_->file.entries[parts_->streamEntry].content;
    Bytes before = std::exchange(content, writeWorkbookStream(parts_->stream));
    Bytes bytes;
    try {
        if (parts_->key)
            encryptWorkbookStream(content,
                                  parts_->freshSalt ? parts_->key->renewed() : *parts_->key);
        bytes = writeCompoundFile(parts_->file);
        checkReadsBack(bytes, parts_->written, worksheetNames());
    } catch (...) {
        content = std::move(before); // still the file as it was
        throw;
    }
    parts_->original = std::move(bytes);
    parts_->serializedSinceWrite = true;
    return parts_->original;
}

void Document::markSaved() {
    if (!parts_->serializedSinceWrite) return;
    parts_->written.clear();
    parts_->stream.markSaved();
}

} // namespace lanqi::xls
