#include "ledger/damaged_file.h"

#include "ledger/ledger.h"
#include "platform/utf8_path.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <string>
#include <system_error>

namespace lanqi::ledger {

namespace {

// The SQLite file header, as far as it tells the file's length:
//   0  "SQLite format 3\0"
//   16 page size, 2 bytes big-endian (1 stands for 65536)
//   24 change counter, 4 bytes
//   28 pages in the file, 4 bytes; valid when the counter at 92 equals the one at 24
//   92 the change counter the page count belongs to
constexpr std::string_view kMagic{"SQLite format 3\0", 16};
constexpr size_t kHeaderSize = 100;
constexpr size_t kPageSizeAt = 16, kChangeAt = 24, kPagesAt = 28, kValidForAt = 92;

std::uint32_t bigEndian(const std::array<char, kHeaderSize>& h, size_t at, size_t bytes) {
    std::uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i)
        value = value << 8 | static_cast<unsigned char>(h[at + i]);
    return value;
}

std::filesystem::path withSuffix(const std::filesystem::path& file, std::string_view suffix) {
    return platform::pathFromUtf8(platform::utf8Text(file) + std::string(suffix));
}

constexpr std::string_view kLogSuffixes[] = {"-wal", "-shm"};

} // namespace

bool cutShort(const std::filesystem::path& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size < kHeaderSize) return false;
    const auto log = std::filesystem::file_size(withSuffix(file, "-wal"), ec);
    if (!ec && log > 0) return false;
    std::ifstream in(file, std::ios::binary);
    std::array<char, kHeaderSize> h{};
    if (!in.read(h.data(), h.size())) return false;
    if (std::string_view(h.data(), kMagic.size()) != kMagic) return false;
    if (bigEndian(h, kChangeAt, 4) != bigEndian(h, kValidForAt, 4)) return false;
    std::uint64_t pageSize = bigEndian(h, kPageSizeAt, 2);
    if (pageSize == 1) pageSize = 65536;
    return pageSize * bigEndian(h, kPagesAt, 4) > size;
}

std::filesystem::path moveAside(const std::filesystem::path& file) {
    const std::time_t now = std::time(nullptr);
    std::array<char, 32> stamp{};
    std::strftime(stamp.data(), stamp.size(), "%Y%m%d-%H%M%S", std::localtime(&now));
    const std::filesystem::path folder = file.parent_path();
    std::filesystem::path aside;
    for (int n = 1;; ++n) {
        std::string name("账单记录.损坏-");
        name += stamp.data();
        if (n > 1) {
            name += '-';
            name += std::to_string(n);
        }
        aside = folder / platform::pathFromUtf8(name + ".db");
        std::error_code ec;
        if (!std::filesystem::exists(aside, ec)) break;
    }
    std::error_code ec;
    std::filesystem::rename(file, aside, ec);
    if (ec)
        throw LedgerError(LedgerError::Kind::NotWritable,
                          "账单记录 " + platform::utf8Text(file) + " 已损坏，也无法移开");
    for (std::string_view suffix : kLogSuffixes) {
        std::error_code logEc;
        if (std::filesystem::exists(withSuffix(file, suffix), logEc))
            std::filesystem::rename(withSuffix(file, suffix), withSuffix(aside, suffix), logEc);
    }
    return aside;
}

} // namespace lanqi::ledger
