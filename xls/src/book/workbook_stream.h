#pragma once
// The BIFF8 workbook stream in memory: the globals (shared strings, cell
// formats, sheet list), and for each worksheet its records around the cell
// table and the cells by row. Records the engine does not change are kept as
// they were read and written back unchanged; the indexes that depend on
// positions (row blocks, DBCELL, INDEX, DIMENSIONS, sheet offsets, SST and
// EXTSST) are rebuilt on write.
#include "biff/string.h"
#include "book/sheet.h"

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lanqi::xls {

class WorkbookReader;

class WorkbookStream {
  public:
    // The globals as read, without SST, its CONTINUEs and EXTSST.
    const std::vector<RawRecord>& globals() const { return globals_; }
    std::size_t sstAt() const { return sstAt_; } // globals index the SST is written before
    std::uint16_t stringsPerBucket() const { return stringsPerBucket_; } // of the EXTSST read
    const Bytes& tail() const { return tail_; } // zero padding after the last record

    // The shared string table. Strings are only added, so an index once
    // given stays valid; the writer leaves out those no cell uses.
    const std::vector<SharedString>& strings() const { return strings_; }
    // The index of the string, added to the table when it is not there.
    std::uint32_t internString(std::string_view text);

    // Cell formats: how many there are, and whether one has the Text (@) format.
    std::size_t xfCount() const { return xfFormats_.size(); }
    bool isTextFormat(std::uint16_t xf) const;

    // The sheets in stream order. Their number and places are fixed when
    // the stream is read, so references to them stay valid.
    const std::vector<Sheet>& sheets() const { return sheets_; }
    Sheet& sheet(std::size_t i) { return sheets_.at(i); }
    // The worksheet of that name, or null.
    Sheet* sheet(std::string_view name);

    // Whether a cell was written since the stream was read or last saved.
    bool changed() const { return changed_; }
    void markChanged() { changed_ = true; }
    void markSaved() { changed_ = false; }

  private:
    friend class WorkbookReader;
    std::vector<RawRecord> globals_;
    std::size_t sstAt_ = SIZE_MAX;
    std::vector<SharedString> strings_;
    std::unordered_map<std::string, std::uint32_t> stringIndex_; // text -> first index
    std::uint16_t stringsPerBucket_ = 0;
    std::vector<std::uint16_t> xfFormats_; // number format index of each cell format
    std::map<std::uint16_t, std::string> formats_;
    std::vector<Sheet> sheets_;
    bool changed_ = false;
    Bytes tail_;
};

// Throws Error for a stream that is not BIFF8 (older versions, encrypted
// unless `decrypted`) or whose records contradict themselves.
WorkbookStream readWorkbookStream(ByteView stream, bool decrypted = false);
// The stream as it is now; an unchanged stream comes out as it was read.
Bytes writeWorkbookStream(const WorkbookStream& wb);

} // namespace lanqi::xls
