#include "tests/xls/peer_tools.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace lanqi::test {
namespace {

std::string shellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs a shell command, returning its exit status and combined output.
std::pair<int, std::string> run(const std::string& command) {
    std::string output;
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p) throw std::runtime_error("cannot run " + command);
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) output.append(buf.data(), n);
    int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

} // namespace

bool haveLibreOffice() {
    return run("command -v soffice").first == 0;
}

bool haveXlrd() {
    return run("/usr/bin/python3 -c 'import xlrd'").first == 0;
}

constexpr const char* kPoiJar = "/usr/share/java/poi.jar";

bool havePoi() {
    return std::filesystem::exists(kPoiJar) &&
           run("java --list-modules | grep -q '^jdk.compiler@'").first == 0;
}

std::map<std::string, std::string> poiCells(const std::filesystem::path& file) {
    auto [status, output] = run(std::string("java -cp ") + kPoiJar + " " +
                                shellQuote(LANQI_POI_DUMP) + " " + shellQuote(file.string()));
    if (status != 0) throw std::runtime_error("POI refused " + file.string() + ": " + output);
    std::map<std::string, std::string> cells;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with("cell\t")) continue;
        std::vector<std::string> f;
        for (std::size_t from = 0;;) {
            std::size_t tab = line.find('\t', from);
            f.push_back(line.substr(from, tab - from));
            if (tab == std::string::npos) break;
            from = tab + 1;
        }
        if (f.size() == 7) cells[f[1] + "|" + f[2] + "|" + f[3]] = f[4] + "|" + f[5] + "|" + f[6];
    }
    return cells;
}

std::filesystem::path freshDirectory(const std::string& stem) {
    static std::atomic<int> counter{0};
    auto dir = std::filesystem::temp_directory_path() /
               (stem + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

void convertWithLibreOffice(const std::filesystem::path& input, const std::string& filter,
                            const std::filesystem::path& outDir) {
    auto profile = freshDirectory("lanqi-lo-profile");
    std::string command = "HOME=" + shellQuote(profile.string()) +
                          " soffice -env:UserInstallation=file://" + profile.string() +
                          " --headless --norestore --nolockcheck --convert-to " +
                          shellQuote(filter) + " --outdir " + shellQuote(outDir.string()) + " " +
                          shellQuote(input.string());
    auto [status, output] = run(command);
    std::filesystem::remove_all(profile);
    if (status != 0) throw std::runtime_error("LibreOffice failed: " + output);
}

std::string runPython(const std::string& script) {
    auto dir = freshDirectory("lanqi-py");
    writeFile(dir / "script.py", script);
    auto [status, output] = run("/usr/bin/python3 " + shellQuote((dir / "script.py").string()));
    std::filesystem::remove_all(dir);
    if (status != 0) throw std::runtime_error("python3 failed: " + output);
    return output;
}

void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace lanqi::test
