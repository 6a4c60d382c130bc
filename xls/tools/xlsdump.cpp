// xlsdump: lists an .xls file's streams and the BIFF records of its workbook
// stream with their offsets and sizes, for looking into workbooks.
#include "biff/record_stream.h"
#include "biff/records.h"
#include "cfb/reader.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The record's name, or "unknown 0x1234" for one not listed.
std::string recordName(std::uint16_t id) {
    std::string_view name = lanqi::xls::rec::name(id);
    if (!name.empty()) return std::string(name);
    char text[] = "unknown 0x0000";
    std::snprintf(text + 10, 5, "%04X", id);
    return text;
}

int usage() {
    std::fprintf(stderr, "usage: xlsdump [--streams] FILE.xls\n"
                         "  lists the compound file's streams, then the workbook's records\n"
                         "  (--streams: the streams only)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool streamsOnly = false;
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--streams")
            streamsOnly = true;
        else if (a.starts_with("-") || file)
            return usage();
        else
            file = argv[i];
    }
    if (!file) return usage();
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "xlsdump: cannot read %s\n", file);
        return 1;
    }
    lanqi::xls::Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        auto cf = lanqi::xls::readCompoundFile(bytes);
        std::printf("compound file version %u, %zu-byte sectors\n", cf.majorVersion,
                    cf.sectorSize());
        for (std::uint32_t i = 1; i < cf.entries.size(); ++i) {
            const auto& e = cf.entries[i];
            if (!e.reachable) continue;
            bool stream = e.type == lanqi::xls::EntryType::Stream;
            std::printf("%-8s %10zu  %s\n", stream ? "stream" : "storage", e.content.size(),
                        entryPath(cf, i).c_str());
        }
        if (streamsOnly) return 0;
        auto wb = cf.findInRoot(u"Workbook");
        if (!wb) wb = cf.findInRoot(u"Book");
        if (!wb) {
            std::printf("no workbook stream\n");
            return 1;
        }
        int depth = 0;
        std::printf("\n  offset    id  size  record\n");
        for (const auto& r : lanqi::xls::splitRecords(cf.entries[*wb].content)) {
            if (r.id == lanqi::xls::rec::kEof && depth > 0) --depth;
            std::printf("%8zu  %04X %5zu  %*s%s\n", r.offset, r.id, r.data.size(), 2 * depth, "",
                        recordName(r.id).c_str());
            if (r.id == lanqi::xls::rec::kBof) ++depth;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "xlsdump: %s: %s\n", file, e.what());
        return 1;
    }
    return 0;
}
