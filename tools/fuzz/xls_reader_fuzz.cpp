// libFuzzer target for the workbook reader: any input either opens or is
// refused with a WorkbookError; an opened workbook reads every cell, takes
// writes, and what it saves opens again with the written values.
#include "xls_workbook.h"

#include "cfb_reader.h"
#include "cfb_writer.h"
#include "workbook_stream.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void exercise(const std::uint8_t* data, std::size_t size) {
    using namespace lanqi::xls;
    CompoundFile file;
    WorkbookStream stream;
    std::uint32_t entry;
    try {
        lanqi::openXlsWorkbook("fuzz.xls", std::vector<std::uint8_t>(data, data + size));
        file = readCompoundFile(ByteView(data, size));
        auto found = file.findInRoot(u"Workbook");
        if (!found) return;
        entry = *found;
        stream = readWorkbookStream(file.entries[entry].content);
    } catch (const lanqi::WorkbookError&) {
        return;
    } catch (const FormatError&) {
        return;
    }
    std::size_t cells = 0;
    for (Sheet& sheet : stream.sheets)
        for (const auto& [r, row] : sheet.rows)
            for (const Cell& c : row.cells) cells += cellText(stream, sheet, r, c.col).size() > 0;
    for (Sheet& sheet : stream.sheets) {
        if (!sheet.worksheet) continue;
        setCellText(stream, sheet, 0, 0, "12.5");
        setCellText(stream, sheet, 1, 1, "木材");
        setCellText(stream, sheet, 2, 2, "");
    }
    file.entries[entry].content = writeWorkbookStream(stream);
    Bytes saved = writeCompoundFile(file);
    // What was saved must open again and hold the writes.
    CompoundFile again = readCompoundFile(saved);
    WorkbookStream reread =
        readWorkbookStream(again.entries[*again.findInRoot(u"Workbook")].content);
    for (Sheet& sheet : reread.sheets)
        if (sheet.worksheet &&
            (cellText(reread, sheet, 0, 0) != "12.5" || cellText(reread, sheet, 1, 1) != "木材"))
            std::abort();
    (void)cells;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    exercise(data, size);
    return 0;
}
