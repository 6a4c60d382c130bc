#pragma once
// Running the peers the engine is checked against: LibreOffice (headless
// conversion) and python3-xlrd. Each run gets its own profile and home.
#include <filesystem>
#include <string>

namespace lanqi::test {

bool haveLibreOffice();
bool haveXlrd();

// A fresh directory under the system's temporary folder.
std::filesystem::path freshDirectory(const std::string& stem);

// soffice --headless --convert-to `filter` `input` --outdir `outDir`; throws
// with LibreOffice's output when it fails.
void convertWithLibreOffice(const std::filesystem::path& input, const std::string& filter,
                            const std::filesystem::path& outDir);

// Runs /usr/bin/python3 with the script on stdin and returns its stdout.
std::string runPython(const std::string& script);

void writeFile(const std::filesystem::path& path, const std::string& content);
std::string readFile(const std::filesystem::path& path);

} // namespace lanqi::test
