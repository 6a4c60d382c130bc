// What cannot be recorded is told, kept beside the ledger and recorded with
// the next bill once the fault is gone; a damaged ledger is moved aside and
// a new one begun. Each fault is made for real: a read-only ledger (written
// by an unprivileged user where the test runs as root, which no file mode
// stops), a full disk (a small tmpfs), a lock held by another connection, a
// file cut short and a file that is no database.
#include "ledger/bill_keeper.h"
#include "ledger/ledger.h"
#include "ledger_fixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <functional>

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace lanqi::ledger {
namespace {

namespace fs = std::filesystem;
using testing::sampleBill;

struct Scene {
    fs::path folder;
    fs::path ledger() const { return folder / platform::pathFromUtf8(kLedgerFile); }
    sqlite3* other = nullptr; // a second connection holding the ledger
    bool mounted = false;
};

// The user the keeper runs as: an unprivileged one where the test runs as
// root, so that file modes count.
#ifndef _WIN32
constexpr uid_t kNobody = 65534;
bool asRoot() {
    return ::geteuid() == 0;
}
#endif

// What became of a bill, and the serial the bill showed.
struct Outcome {
    Kept kept;
    std::string shown;
};

// Keeps the bill as the bill command does, as that user would: the serial
// is sought before the bill is written, then the bill is kept.
Outcome keepAsUser(const fs::path& folder, BillRecord bill) {
    const auto keep = [&folder, &bill] {
        BillKeeper keeper(folder);
        bill.serial = keeper.nextSerial(bill.localTime);
        return Outcome{keeper.keep(bill), bill.serial};
    };
#ifndef _WIN32
    if (asRoot()) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) throw std::runtime_error("pipe");
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipeEnds[0]);
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(2);
            const Outcome o = keep();
            const std::string out = (o.kept.recorded ? "1" : "0") + o.kept.serial + "\t" +
                                    o.shown + "\n" + o.kept.message;
            const bool written =
                ::write(pipeEnds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
            ::_exit(written ? 0 : 3);
        }
        ::close(pipeEnds[1]);
        std::string out;
        char buffer[4096];
        for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
            out.append(buffer, static_cast<size_t>(n));
        ::close(pipeEnds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || out.empty())
            throw std::runtime_error("the keeper's process failed: " + std::to_string(status));
        const size_t tab = out.find('\t'), line = out.find('\n');
        return {{out[0] == '1', out.substr(1, tab - 1), out.substr(line + 1)},
                out.substr(tab + 1, line - tab - 1)};
    }
#endif
    return keep();
}

// Files the keeper makes may be written by that user.
void handOver(const fs::path& folder) {
#ifndef _WIN32
    if (!asRoot()) return;
    if (::chown(folder.c_str(), kNobody, kNobody) != 0) throw std::runtime_error("chown");
    for (const auto& entry : fs::directory_iterator(folder))
        if (::chown(entry.path().c_str(), kNobody, kNobody) != 0)
            throw std::runtime_error("chown");
#else
    (void)folder;
#endif
}

void writeFile(const fs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
}

#ifndef _WIN32
// The tmpfs left full but for ten pages: room for SQLite's shared memory and
// the pending file, none for a transaction. (A disk with no room at all
// keeps the bill in the program and says so: see BillKeeper.)
void fillDisk(const fs::path& folder) {
    const fs::path filler = folder / "filler";
    {
        std::ofstream out(filler, std::ios::binary);
        const std::string block(4096, 'x');
        while (out.write(block.data(), block.size()) && out.flush()) {
        }
    }
    fs::resize_file(filler, fs::file_size(filler) - 10 * 4096);
}
#endif

struct Fault;
void PrintTo(const Fault& fault, std::ostream* out);

struct Fault {
    const char* name;
    // False when this machine cannot make the fault (no tmpfs without root).
    std::function<bool(Scene&)> prepare; // before the ledger is begun
    std::function<void(Scene&)> make;
    std::function<void(Scene&)> mend;
    std::vector<std::string> told;
    bool damaged; // the ledger is moved aside and the bill recorded in a new one
};

void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.name;
}

const auto nothing = [](Scene&) { return true; };
const auto noMend = [](Scene&) {};

const Fault kFaults[] = {
    {"NotWritable", nothing,
     [](Scene& s) {
         fs::permissions(s.ledger(), fs::perms::owner_read | fs::perms::group_read |
                                         fs::perms::others_read);
     },
     [](Scene& s) { fs::permissions(s.ledger(), fs::perms::owner_write, fs::perm_options::add); },
     {"不允许写入", "暂存"}, false},
#ifndef _WIN32
    {"DiskFull",
     [](Scene& s) {
         if (!asRoot() || ::mount("lanqi-ledger-test", s.folder.c_str(), "tmpfs", 0,
                                  "size=1m,mode=0777") != 0)
             return false;
         s.mounted = true;
         return true;
     },
     [](Scene& s) { fillDisk(s.folder); }, [](Scene& s) { fs::remove(s.folder / "filler"); },
     {"磁盘已满", "暂存"}, false},
#endif
    {"Locked", nothing,
     [](Scene& s) {
         ASSERT_EQ(sqlite3_open(platform::utf8Text(s.ledger()).c_str(), &s.other), SQLITE_OK);
         ASSERT_EQ(sqlite3_exec(s.other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
     },
     [](Scene& s) {
         sqlite3_exec(s.other, "COMMIT", nullptr, nullptr, nullptr);
         sqlite3_close(s.other);
         s.other = nullptr;
     },
     {"占用", "暂存"}, false},
    {"CutShort", nothing, [](Scene& s) { fs::resize_file(s.ledger(), 8192); }, noMend,
     {"已损坏", "账单记录.损坏-"}, true},
    {"NotADatabase", nothing,
     [](Scene& s) { writeFile(s.ledger(), std::string(20000, 'x') + "这不是账单记录"); }, noMend,
     {"已损坏", "账单记录.损坏-"}, true},
};

class FaultTest : public ::testing::TestWithParam<Fault> {
  protected:
    void TearDown() override {
        if (scene_.other) sqlite3_close(scene_.other);
#ifndef _WIN32
        if (scene_.mounted) ::umount(scene_.folder.c_str());
#endif
        std::error_code ec; // Windows removes no read-only file
        fs::permissions(scene_.ledger(), fs::perms::owner_write, fs::perm_options::add, ec);
        fs::remove_all(scene_.folder);
    }
    Scene scene_{testing::scratchFolder("fault")};
};

int billsIn(const fs::path& folder, const std::string& text) {
    return static_cast<int>(Ledger::openExisting(folder)->totals({"", "", text}).bills);
}

TEST_P(FaultTest, IsToldAndNoBillIsLost) {
    const Fault& fault = GetParam();
    if (!fault.prepare(scene_)) GTEST_SKIP() << "needs root to mount a small tmpfs";
    ASSERT_TRUE(BillKeeper(scene_.folder).keep(sampleBill(1)).recorded);
    handOver(scene_.folder);
    fault.make(scene_);
#ifdef _WIN32
    // Wine run by root writes a read-only file all the same.
    if (std::string(fault.name) == "NotWritable" &&
        std::ofstream(scene_.ledger(), std::ios::binary | std::ios::app))
        GTEST_SKIP() << "this system lets a read-only file be written";
#endif

    const Kept kept = keepAsUser(scene_.folder, sampleBill(2)).kept;
    EXPECT_EQ(kept.recorded, fault.damaged);
    for (const std::string& words : fault.told)
        EXPECT_NE(kept.message.find(words), std::string::npos) << kept.message;
    const fs::path pending = scene_.folder / platform::pathFromUtf8(kPendingFile);
    EXPECT_EQ(fs::exists(pending), !fault.damaged);
    if (fault.damaged) {
        int aside = 0;
        for (const auto& entry : fs::directory_iterator(scene_.folder))
            aside += platform::utf8Text(entry.path().filename()).starts_with("账单记录.损坏-");
        EXPECT_EQ(aside, 1);
    }

    fault.mend(scene_);
    // The next bill, in the same second: the waiting bill goes in first, and
    // the new one under the serial it showed.
    const Outcome next = keepAsUser(scene_.folder, sampleBill(3));
    EXPECT_TRUE(next.kept.recorded) << next.kept.message;
    EXPECT_EQ(next.kept.serial, next.shown);
    EXPECT_FALSE(fs::exists(pending));
    EXPECT_EQ(billsIn(scene_.folder, "35802"), 1); // the bill that waited
    EXPECT_EQ(billsIn(scene_.folder, "35803"), 1);
    EXPECT_EQ(billsIn(scene_.folder, "35801"), fault.damaged ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTest, ::testing::ValuesIn(kFaults),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace lanqi::ledger
