// Bills recorded while the recorder is killed at random moments: the ledger
// stays whole, holds no half bill, and holds every bill whose recording had
// finished (the recorder prints a serial only after its commit).
#include "ledger/ledger.h"
#include "ledger_fixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>
#include <random>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lanqi::ledger {
namespace {

namespace fs = std::filesystem;
constexpr int kKills = 200;

// Runs the recorder for `wait` and kills it; the serials it printed.
std::vector<std::string> recordUntilKilled(const fs::path& folder, int first,
                                           std::chrono::microseconds wait) {
    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string folderText = platform::utf8Text(folder), firstText = std::to_string(first);
    char* argv[] = {const_cast<char*>(LANQI_RECORD_LOOP), const_cast<char*>(folderText.c_str()),
                    const_cast<char*>(firstText.c_str()), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, LANQI_RECORD_LOOP, &actions, nullptr, argv, environ) != 0)
        throw std::runtime_error("spawn");
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::this_thread::sleep_for(wait);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    std::string printed;
    char buffer[4096];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        printed.append(buffer, static_cast<size_t>(n));
    ::close(out[0]);
    std::vector<std::string> serials;
    for (size_t at = 0, end; (end = printed.find('\n', at)) != std::string::npos; at = end + 1)
        serials.push_back(printed.substr(at, end - at));
    return serials;
}

std::int64_t number(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &s, nullptr), SQLITE_OK) << sql;
    EXPECT_EQ(sqlite3_step(s), SQLITE_ROW) << sql;
    const std::int64_t value = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    return value;
}

TEST(KillTest, EveryFinishedBillSurvivesAndNoneIsHalf) {
    const fs::path folder = testing::scratchFolder("kill");
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> micros(0, 60000);
    std::set<std::string> finished;
    for (int k = 0; k < kKills; ++k)
        for (const std::string& serial : recordUntilKilled(
                 folder, k * 1000, std::chrono::microseconds(micros(random))))
            finished.insert(serial);
    ASSERT_FALSE(finished.empty());

    sqlite3* db = nullptr;
    const fs::path file = folder / platform::pathFromUtf8(kLedgerFile);
    ASSERT_EQ(sqlite3_open(platform::utf8Text(file).c_str(), &db), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    EXPECT_EQ(number(db, "SELECT count(*) FROM bills b WHERE"
                         " (SELECT count(*) FROM grading WHERE bill = b.id) <> 6"
                         " OR NOT EXISTS (SELECT 1 FROM tallies WHERE bill = b.id)"),
              0);
    EXPECT_EQ(number(db, "SELECT count(*) FROM grading WHERE bill NOT IN (SELECT id FROM bills)"),
              0);
    sqlite3_close(db);

    auto ledger = Ledger::openExisting(folder);
    EXPECT_GE(ledger->totals({}).bills, static_cast<std::int64_t>(finished.size()));
    for (const std::string& serial : finished) EXPECT_NO_THROW(ledger->bill(serial)) << serial;
    ledger.reset();
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_FALSE(platform::utf8Text(entry.path().filename()).starts_with("账单记录.损坏"))
            << "a killed recorder left the ledger looking damaged";
    fs::remove_all(folder);
}

} // namespace
} // namespace lanqi::ledger
