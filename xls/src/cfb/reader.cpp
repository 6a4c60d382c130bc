#include "cfb/reader.h"

#include "bytes/utf16.h"

#include <algorithm>
#include <cstring>

namespace lanqi::xls {
namespace {

std::string sectorText(std::uint32_t s) {
    return std::to_string(s);
}

struct Reader {
    explicit Reader(ByteView file) : file_(file) {}

    ByteView file_;
    CompoundFile cf_;
    std::size_t sectorSize_ = 0;    // from the header
    std::uint32_t sectorCount_ = 0; // sectors present in the file after the header
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    Bytes miniStream_;

    std::uint32_t h32(std::size_t at) const { return getU32(file_, at); }

    void readHeader() {
        if (file_.size() < kHeaderSize)
            throw damaged("文件头不完整（文件只有 " + std::to_string(file_.size()) + " 字节）");
        std::memcpy(cf_.header.data(), file_.data(), kHeaderSize);
        cf_.majorVersion = getU16(file_, kHeaderMajorVersion);
        if (cf_.majorVersion != 3 && cf_.majorVersion != 4)
            throw damaged("复合文件版本 " + std::to_string(cf_.majorVersion) + " 无法识别");
        if (getU16(file_, kHeaderByteOrder) != kByteOrderMark)
            throw damaged("复合文件字节序标记无效");
        std::uint16_t shift = getU16(file_, kHeaderSectorShift);
        if (shift != (cf_.majorVersion == 4 ? kSectorShiftV4 : kSectorShiftV3))
            throw damaged("扇区大小（2^" + std::to_string(shift) + "）与版本不符");
        if (getU16(file_, kHeaderMiniSectorShift) != kMiniSectorShift)
            throw damaged("迷你扇区大小无效");
        if (h32(kHeaderMiniCutoff) != kMiniCutoff) throw damaged("迷你流界限不是 4096");
        sectorSize_ = cf_.sectorSize();
        if (file_.size() < sectorSize_) throw damaged("文件头扇区不完整");
        sectorCount_ = static_cast<std::uint32_t>(std::min<std::size_t>(
            (file_.size() - sectorSize_ + sectorSize_ - 1) / sectorSize_, kMaxRegularSector));
    }

    // The bytes of sector `s`, checked against the file's end.
    ByteView sector(std::uint32_t s, const char* what) const {
        if (s >= sectorCount_)
            throw damaged(std::string(what) + "指向文件之外的扇区 " + sectorText(s));
        std::size_t at = sectorOffset(s, sectorSize_);
        std::size_t n = std::min(sectorSize_, file_.size() - at);
        return file_.subspan(at, n);
    }

    void readFat() {
        std::uint32_t fatSectors = h32(kHeaderFatSectors);
        std::uint32_t difatFirst = h32(kHeaderFirstDifatSector);
        std::uint32_t difatSectors = h32(kHeaderDifatSectors);
        if (fatSectors > sectorCount_)
            throw damaged("FAT 扇区数 " + std::to_string(fatSectors) + " 超过文件大小");
        std::vector<std::uint32_t> fatIds;
        for (std::size_t i = 0; i < std::min<std::size_t>(fatSectors, kHeaderDifatEntries); ++i)
            fatIds.push_back(h32(kHeaderDifat + kSectorLink * i));
        std::vector<bool> seen(sectorCount_, false);
        std::uint32_t s = difatFirst;
        const std::size_t perSector = sectorSize_ / kSectorLink - 1; // then the next link
        for (std::uint32_t n = 0; fatIds.size() < fatSectors; ++n) {
            if (n >= difatSectors || s == kEndOfChain || s == kFreeSector)
                throw damaged("DIFAT 链在列出全部 FAT 扇区前结束");
            ByteView d = sector(s, "DIFAT 链");
            if (d.size() < sectorSize_) throw damaged("DIFAT 扇区超出文件末尾");
            if (seen[s]) throw damaged("DIFAT 链成环（扇区 " + sectorText(s) + "）");
            seen[s] = true;
            for (std::size_t i = 0; i < perSector && fatIds.size() < fatSectors; ++i)
                fatIds.push_back(getU32(d, kSectorLink * i));
            s = getU32(d, kSectorLink * perSector);
        }
        const std::size_t links = sectorSize_ / kSectorLink;
        fat_.reserve(fatIds.size() * links);
        for (std::uint32_t id : fatIds) {
            ByteView d = sector(id, "FAT 扇区表");
            for (std::size_t i = 0; i < links; ++i)
                fat_.push_back(kSectorLink * (i + 1) <= d.size() ? getU32(d, kSectorLink * i)
                                                                 : kFreeSector);
        }
    }

    // The sectors of a chain in the FAT (or the mini FAT), checked for loops
    // and for links that leave the table.
    std::vector<std::uint32_t> chain(std::uint32_t start, const std::vector<std::uint32_t>& table,
                                     std::uint32_t limit, const std::string& what,
                                     const char* kind = "扇区链") const {
        std::vector<std::uint32_t> out;
        std::vector<bool> seen(limit, false);
        for (std::uint32_t s = start; s != kEndOfChain;) {
            if (s >= limit || s >= table.size())
                throw damaged(what + "的" + kind + "指向无效扇区 " + sectorText(s));
            if (seen[s]) throw damaged(what + "的" + kind + "成环（扇区 " + sectorText(s) + "）");
            seen[s] = true;
            out.push_back(s);
            s = table[s];
        }
        return out;
    }

    Bytes regularData(std::uint32_t start, std::uint64_t size, const std::string& what) const {
        auto sectors = chain(start, fat_, sectorCount_, what);
        if (size > static_cast<std::uint64_t>(sectors.size()) * sectorSize_)
            throw damaged(what + "的长度 " + std::to_string(size) + " 字节超出其扇区链");
        Bytes out;
        out.reserve(size);
        for (std::uint32_t s : sectors) {
            if (out.size() >= size) break;
            ByteView d = sector(s, what.c_str());
            std::size_t n = std::min<std::size_t>(d.size(), size - out.size());
            if (n < std::min<std::size_t>(sectorSize_, size - out.size()))
                throw damaged(what + "的数据超出文件末尾");
            ByteView piece = d.first(n);
            out.insert(out.end(), piece.begin(), piece.end());
        }
        return out;
    }

    // Bytes of a whole chain, used for the directory and the mini FAT.
    Bytes wholeChain(std::uint32_t start, const std::string& what) const {
        auto sectors = chain(start, fat_, sectorCount_, what);
        Bytes out;
        out.reserve(sectors.size() * sectorSize_);
        for (std::uint32_t s : sectors) {
            ByteView d = sector(s, what.c_str());
            if (d.size() < sectorSize_) throw damaged(what + "超出文件末尾");
            out.insert(out.end(), d.begin(), d.end());
        }
        return out;
    }

    void parseDirectory(const Bytes& dir) {
        std::size_t count = dir.size() / kEntrySize;
        if (count == 0) throw damaged("目录为空");
        cf_.entries.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            DirectoryEntry& e = cf_.entries[i];
            std::memcpy(e.raw.data(), dir.data() + kEntrySize * i, kEntrySize);
            ByteView r(e.raw);
            std::uint16_t nameBytes = getU16(r, kEntryNameBytes);
            std::uint8_t type = r[kEntryType];
            if (type != 0 && type != 1 && type != 2 && type != 5)
                throw damaged("目录项 " + std::to_string(i) + " 的类型无效");
            e.type = static_cast<EntryType>(type);
            if (e.type == EntryType::Unused) continue;
            if (nameBytes > kEntryNameMaxBytes || nameBytes % 2 != 0)
                throw damaged("目录项 " + std::to_string(i) + " 的名称长度无效");
            for (std::size_t k = 0; 2 * k < nameBytes; ++k) {
                char16_t c = static_cast<char16_t>(getU16(r, kEntryName + 2 * k));
                if (c == 0) break;
                e.name.push_back(c);
            }
            e.left = getU32(r, kEntryLeft);
            e.right = getU32(r, kEntryRight);
            e.child = getU32(r, kEntryChild);
        }
        if (cf_.entries[0].type != EntryType::Root) throw damaged("目录的第一项不是根存储");
    }

    // Walks the tree from the root; every entry is met at most once.
    void linkTree() {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> todo; // entry, parent
        cf_.entries[0].reachable = true;
        auto push = [&](std::uint32_t id, std::uint32_t parent) {
            if (id == kNoStream) return;
            if (id >= cf_.entries.size() || id == 0)
                throw damaged("目录树指向无效的目录项 " + std::to_string(id));
            DirectoryEntry& e = cf_.entries[id];
            if (e.reachable) throw damaged("目录树成环（目录项 " + std::to_string(id) + "）");
            if (e.type == EntryType::Unused || e.type == EntryType::Root)
                throw damaged("目录树指向无效的目录项 " + std::to_string(id));
            e.reachable = true;
            e.parent = parent;
            todo.emplace_back(id, parent);
        };
        push(cf_.entries[0].child, 0);
        while (!todo.empty()) {
            auto [id, parent] = todo.back();
            todo.pop_back();
            const DirectoryEntry& e = cf_.entries[id];
            push(e.left, parent);
            push(e.right, parent);
            if (e.type == EntryType::Storage) push(e.child, id);
        }
    }

    std::uint64_t entrySize(const DirectoryEntry& e) const {
        std::uint64_t size = getU64(ByteView(e.raw), kEntryStreamSize);
        return cf_.majorVersion == 3 ? (size & 0xFFFFFFFFu) : size; // v3 sizes are 4 bytes
    }

    void readMiniStream() {
        const DirectoryEntry& root = cf_.entries[0];
        std::uint64_t size = entrySize(root);
        if (size > 0)
            miniStream_ = regularData(getU32(ByteView(root.raw), kEntryStart), size, "迷你流");
        std::uint32_t miniFatSectors = h32(kHeaderMiniFatSectors);
        if (miniFatSectors > 0) {
            Bytes m = wholeChain(h32(kHeaderFirstMiniFatSector), "迷你 FAT");
            for (std::size_t i = 0; i + kSectorLink <= m.size(); i += kSectorLink)
                miniFat_.push_back(getU32(m, i));
        }
    }

    Bytes miniData(std::uint32_t start, std::uint64_t size, const std::string& what) const {
        std::uint32_t limit = static_cast<std::uint32_t>(miniStream_.size() / kMiniSector +
                                                         (miniStream_.size() % kMiniSector != 0));
        auto sectors = chain(start, miniFat_, limit, what, "迷你扇区链");
        if (size > static_cast<std::uint64_t>(sectors.size()) * kMiniSector)
            throw damaged(what + "的长度 " + std::to_string(size) + " 字节超出其迷你扇区链");
        Bytes out;
        out.reserve(size);
        for (std::uint32_t s : sectors) {
            if (out.size() >= size) break;
            std::size_t at = static_cast<std::size_t>(s) * kMiniSector;
            std::size_t n = std::min<std::size_t>(kMiniSector, size - out.size());
            if (at + n > miniStream_.size()) throw damaged(what + "的数据超出迷你流末尾");
            ByteView piece = ByteView(miniStream_).subspan(at, n);
            out.insert(out.end(), piece.begin(), piece.end());
        }
        return out;
    }

    void readStreams() {
        for (std::size_t i = 1; i < cf_.entries.size(); ++i) {
            DirectoryEntry& e = cf_.entries[i];
            if (!e.reachable || e.type != EntryType::Stream) continue;
            std::uint64_t size = entrySize(e);
            std::uint32_t start = getU32(ByteView(e.raw), kEntryStart);
            std::string what = "流“" + utf8Name(e.name) + "”";
            if (size == 0) continue;
            if (size > file_.size()) throw damaged(what + "的长度超过文件大小");
            e.content =
                size < kMiniCutoff ? miniData(start, size, what) : regularData(start, size, what);
        }
    }

    void readDirectoryEntries() {
        parseDirectory(wholeChain(h32(kHeaderFirstDirectorySector), "目录"));
    }
};

} // namespace

bool hasCompoundSignature(ByteView file) {
    return file.size() >= sizeof kCompoundSignature &&
           std::memcmp(file.data(), kCompoundSignature, sizeof kCompoundSignature) == 0;
}

CompoundFile readCompoundFile(ByteView file) {
    if (!hasCompoundSignature(file)) throw Error(ErrorKind::NotWorkbook, "文件不是复合文档");
    Reader r(file);
    r.readHeader();
    r.readFat();
    r.readDirectoryEntries();
    r.linkTree();
    r.readMiniStream();
    r.readStreams();
    return std::move(r.cf_);
}

std::optional<std::uint32_t> CompoundFile::findInRoot(std::u16string_view name) const {
    auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    for (std::uint32_t i = 1; i < entries.size(); ++i) {
        const DirectoryEntry& e = entries[i];
        if (!e.reachable || e.parent != 0 || e.name.size() != name.size()) continue;
        if (std::equal(e.name.begin(), e.name.end(), name.begin(),
                       [&](char16_t a, char16_t b) { return upper(a) == upper(b); }))
            return i;
    }
    return std::nullopt;
}

std::string utf8Name(const std::u16string& name) {
    std::u16string shown = name;
    for (char16_t& c : shown)
        if (c < 0x20) c = u'?';
    return utf16ToUtf8(shown);
}

std::string entryPath(const CompoundFile& file, std::uint32_t entry) {
    std::vector<std::string> names;
    for (std::uint32_t e = entry; e != 0 && e < file.entries.size(); e = file.entries[e].parent)
        names.push_back(utf8Name(file.entries[e].name));
    std::string path;
    for (auto name = names.rbegin(); name != names.rend(); ++name) path.append("/").append(*name);
    return path.empty() ? "/" : path;
}

} // namespace lanqi::xls
