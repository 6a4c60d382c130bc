#pragma once
// A thin hold on one SQLite connection: statements prepared once, values
// bound by position, and every failure turned into a LedgerError whose kind
// says what the user can do about it.
#include "ledger/ledger.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace lanqi::ledger {

class Statement {
  public:
    Statement(sqlite3* db, std::string_view sql);
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    // Binds from position 1 on; each call resets the statement first.
    template <typename... Values> Statement& bind(const Values&... values) {
        reset();
        int at = 1;
        (bindOne(at++, values), ...);
        return *this;
    }
    // Binds one value at a position, after a reset.
    void reset();
    void bindOne(int at, std::string_view value);
    void bindOne(int at, const std::string& value) { bindOne(at, std::string_view(value)); }
    void bindOne(int at, const char* value) { bindOne(at, std::string_view(value)); }
    void bindOne(int at, std::int64_t value);
    void bindOne(int at, int value) { bindOne(at, static_cast<std::int64_t>(value)); }

    // One step: true while a row is there.
    bool step();
    // Steps to the end.
    void run();
    std::string text(int column) const;
    std::int64_t integer(int column) const;

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

class Database {
  public:
    // Opens (or makes, when `create`) the file; nothing is read yet. Waits
    // `busyMilliseconds` for another connection's lock before it fails.
    Database(const std::filesystem::path& file, bool create, int busyMilliseconds);
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    sqlite3* handle() const { return db_; }
    // contains(text, part): whether the text holds the part, byte for byte;
    // quicker than SQLite's own instr() over many rows.
    void addContains();
    void exec(std::string_view sql);
    std::int64_t lastId() const;
    // Ends an open transaction without its changes; quiet when there is none.
    void rollback() noexcept;

    const std::filesystem::path& file() const { return file_; }

  private:
    std::filesystem::path file_;
    sqlite3* db_ = nullptr;
};

// A failed call on `db` (a null db: failed to open `file`).
[[noreturn]] void fail(sqlite3* db, int code);

} // namespace lanqi::ledger
