#pragma once
// Running the peers the engine is checked against: LibreOffice (headless
// conversion), python3-xlrd and Apache POI (the strictest reader). Each run
// gets its own profile and home.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// A peer that is not installed skips the test on a developer's machine; in
// continuous integration (CI set) every peer must be there, so a missing
// install step fails instead of passing green.
#define LANQI_PEER_MISSING(what)                                                                   \
    do {                                                                                           \
        const char* ci = std::getenv("CI");                                                        \
        if (ci && *ci) FAIL() << what << " is not installed, and CI is set";                       \
        GTEST_SKIP() << what << " is not installed";                                               \
    } while (false)

namespace lanqi::test {

bool haveLibreOffice();
bool haveXlrd();
// A Java runtime that runs single-file sources, and the Debian POI jars.
bool havePoi();

// A fresh directory under the system's temporary folder.
std::filesystem::path freshDirectory(const std::string& stem);

// soffice --headless --convert-to `filter` `input` --outdir `outDir`; throws
// with LibreOffice's output when it fails.
void convertWithLibreOffice(const std::filesystem::path& input, const std::string& filter,
                            const std::filesystem::path& outDir);

// The same for several inputs in one start of LibreOffice.
void convertWithLibreOffice(const std::vector<std::filesystem::path>& inputs,
                            const std::string& filter, const std::filesystem::path& outDir);

// The value of every cell of each file that shows one, keyed
// "sheet|row|column" (from 1), valued "kind|value": kind n (number, as %.15g),
// s (text), b (1 or 0), e (error text). An .xls as xlrd reads its stored
// results; an .xlsx as LibreOffice wrote it after computing.
std::vector<std::map<std::string, std::string>> shownValues(
    const std::vector<std::filesystem::path>& files);

// Runs /usr/bin/python3 with the script on stdin and returns its stdout.
std::string runPython(const std::string& script);

// Every cell of every sheet as POI reads the file, keyed "sheet|row|column"
// (from 1), valued "type|value|formula"; throws with POI's message when POI
// refuses the file.
std::map<std::string, std::string> poiCells(const std::filesystem::path& file);
// POI's value of a poiCells() line, in the form shownValues gives ("n|16.814").
std::string poiShown(const std::string& line);

// The parts of a text between the separators.
std::vector<std::string> split(const std::string& text, char separator);

void writeFile(const std::filesystem::path& path, const std::string& content);
std::string readFile(const std::filesystem::path& path);

} // namespace lanqi::test
