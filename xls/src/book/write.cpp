#include "biff/record_stream.h"
#include "biff/records.h"
#include "book/sheet_writer.h"
#include "book/sst_writer.h"
#include "book/string_renumbering.h"
#include "book/workbook_stream.h"

namespace lanqi::xls {

// The globals with the SST where it was (or before their EOF when there was
// none), then the sheets, each BOUNDSHEET set to where its sheet now starts.
Bytes writeWorkbookStream(const WorkbookStream& wb) {
    const StringRenumbering strings = renumberStrings(wb);
    const std::vector<RawRecord>& globals = wb.globals();
    Bytes out;
    out.reserve(64 * 1024);
    std::vector<std::size_t> boundSheetPos(globals.size(), SIZE_MAX);
    const bool needSst = !strings.kept.empty() || wb.sstAt() != SIZE_MAX;
    bool sstWritten = false;
    for (std::size_t i = 0; i < globals.size(); ++i) {
        const RawRecord& r = globals[i];
        if (!sstWritten && needSst && (i == wb.sstAt() || r.id == rec::kEof)) {
            writeSst(out, wb, strings);
            sstWritten = true;
        }
        if (r.id == rec::kBoundSheet)
            boundSheetPos[i] = out.size() + rec::kHeaderSize + kBoundSheetPosition;
        putRecord(out, r.id, r.data);
    }
    for (const Sheet& sheet : wb.sheets()) {
        if (sheet.boundSheet != SIZE_MAX)
            setU32(out.data() + boundSheetPos[sheet.boundSheet],
                   static_cast<std::uint32_t>(out.size()));
        writeSheet(out, wb, sheet, strings);
    }
    putBytes(out, wb.tail());
    return out;
}

} // namespace lanqi::xls
