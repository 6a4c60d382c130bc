#pragma once
// The lock file that a spreadsheet program leaves beside a workbook it has
// open (LibreOffice and WPS: ".~lock.NAME#", Excel: "~$NAME"). Writing the
// workbook while it is open would lose one side's changes; a lock left behind
// by a program that crashed or was killed must not block the program for good.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lanqi {

struct WorkbookLock {
    std::filesystem::path file;
    std::string user;  // who holds it, as the lock says; empty when it does not
    std::string host;  // the machine it was taken on, likewise
    std::string since; // when it was taken, as the lock writes it
};

// The lock beside the workbook, if there is one.
std::optional<WorkbookLock> otherProgramLock(const std::filesystem::path& workbook);

// Reads what a lock file says: LibreOffice and WPS write
// "name,user,host,DD.MM.YYYY HH:MM,profile;" with "\" escaping; Excel writes
// the user's name, counted, at its start and again in UTF-16 at byte 54.
WorkbookLock readLock(const std::filesystem::path& file, std::string_view content);

// What is known of this machine for judging a lock.
struct LockJudge {
    std::string thisHost;
    std::function<bool()> spreadsheetRunning; // a spreadsheet program runs on this machine
};
LockJudge thisMachine();

// Whether a program named so (lower case, as the system lists it) is a
// spreadsheet program that could hold the workbook.
bool isSpreadsheetProgram(std::string_view program);

enum class OtherLock {
    Refuse,       // a lock that may be held refuses
    UserClosedIt, // the user says the workbook is closed: go on unless it is open here
};

// Returns when the workbook may be written. A lock taken on this machine by a
// spreadsheet program that no longer runs is stale and is removed without
// asking. Otherwise a lock refuses (WorkbookError, Kind::Busy, the message
// naming who holds it and since when), unless the user says the workbook is
// closed; even then a lock of this machine, or one that does not say its
// machine, refuses while a spreadsheet program runs here.
void requireNotOpenElsewhere(const std::filesystem::path& workbook,
                             OtherLock other = OtherLock::Refuse,
                             const LockJudge& judge = thisMachine());

} // namespace lanqi
