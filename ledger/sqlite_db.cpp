#include "ledger/sqlite_db.h"

#include "platform/system_error_text.h"
#include "platform/utf8_path.h"

#include <cerrno>
#include <sqlite3.h>

namespace lanqi::ledger {

namespace {

using Kind = LedgerError::Kind;

// SQLite's result codes (primary, or the system's error number behind an
// I/O failure) by what the user can do about them.
Kind kindOf(int code, int systemError) {
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Kind::Locked;
    case SQLITE_FULL:
        return Kind::DiskFull;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return Kind::NotWritable;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return Kind::Damaged;
    case SQLITE_IOERR:
        if (systemError == ENOSPC) return Kind::DiskFull;
        if (systemError == EACCES || systemError == EPERM || systemError == EROFS)
            return Kind::NotWritable;
        return Kind::Other;
    default:
        return Kind::Other;
    }
}

std::string messageOf(Kind kind, const std::string& file, int code, int systemError) {
    const std::string where = "账单记录 " + file;
    switch (kind) {
    case Kind::Locked:
        return where + " 正被另一个程序占用";
    case Kind::DiskFull:
        return "磁盘已满，" + where + " 写不下";
    case Kind::NotWritable:
        return where + " 不允许写入" +
               (systemError != 0 ? "（" + platform::systemErrorText(systemError) + "）" : "");
    case Kind::Damaged:
        return where + " 已损坏";
    default:
        return where + " 出错：" + sqlite3_errstr(code) +
               (systemError != 0 ? "（" + platform::systemErrorText(systemError) + "）" : "");
    }
}

// The system's error number behind a failure, where it is the C runtime's
// (on Windows SQLite gives the system's own codes, which its result codes
// already tell apart).
int systemErrorOf(sqlite3* db) {
#ifdef _WIN32
    (void)db;
    return 0;
#else
    return db != nullptr ? sqlite3_system_errno(db) : 0;
#endif
}

} // namespace

[[noreturn]] void fail(sqlite3* db, int code) {
    const char* name = db != nullptr ? sqlite3_db_filename(db, "main") : nullptr;
    const int systemError = systemErrorOf(db);
    const Kind kind = kindOf(code, systemError);
    throw LedgerError(kind, messageOf(kind, name != nullptr ? name : "", code, systemError));
}

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    const int rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK) fail(db, rc);
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

void Statement::bindOne(int at, std::string_view value) {
    const int rc = sqlite3_bind_text64(stmt_, at, value.data(), value.size(), SQLITE_TRANSIENT,
                                       SQLITE_UTF8);
    if (rc != SQLITE_OK) fail(db_, rc);
}

void Statement::bindOne(int at, std::int64_t value) {
    const int rc = sqlite3_bind_int64(stmt_, at, value);
    if (rc != SQLITE_OK) fail(db_, rc);
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(stmt_);
    fail(db_, rc);
}

void Statement::run() {
    while (step()) {
    }
}

std::string Statement::text(int column) const {
    const auto* p = sqlite3_column_text(stmt_, column);
    const int n = sqlite3_column_bytes(stmt_, column);
    return p != nullptr ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(n))
                        : std::string();
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

Database::Database(const std::filesystem::path& file, bool create, int busyMilliseconds)
    : file_(file) {
    const int flags = create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    const int rc = sqlite3_open_v2(platform::utf8Text(file).c_str(), &db_,
                                   flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE, nullptr);
    if (rc != SQLITE_OK) {
        const int systemError = systemErrorOf(db_);
        sqlite3_close(db_);
        db_ = nullptr;
        const Kind kind = kindOf(rc, systemError);
        throw LedgerError(kind, messageOf(kind, platform::utf8Text(file), rc, systemError));
    }
    // A file that may not be written is opened for reading instead: said at
    // once, before SQLite makes its log files beside it.
    if (create && sqlite3_db_readonly(db_, "main") == 1) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw LedgerError(Kind::NotWritable, messageOf(Kind::NotWritable, platform::utf8Text(file),
                                                       SQLITE_READONLY, 0));
    }
    sqlite3_busy_timeout(db_, busyMilliseconds);
}

Database::~Database() {
    sqlite3_close_v2(db_);
}

void Database::exec(std::string_view sql) {
    const std::string text(sql);
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) fail(db_, rc);
}

namespace {

std::string_view textOf(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text != nullptr ? std::string_view(text, static_cast<size_t>(sqlite3_value_bytes(value)))
                           : std::string_view();
}

void contains(sqlite3_context* context, int, sqlite3_value** args) {
    sqlite3_result_int(context, textOf(args[0]).find(textOf(args[1])) != std::string_view::npos);
}

} // namespace

void Database::addContains() {
    const int rc = sqlite3_create_function_v2(db_, "contains", 2,
                                              SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                              contains, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) fail(db_, rc);
}

std::int64_t Database::lastId() const {
    return sqlite3_last_insert_rowid(db_);
}

void Database::rollback() noexcept {
    if (sqlite3_get_autocommit(db_) == 0) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

} // namespace lanqi::ledger
