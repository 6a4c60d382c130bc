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
        std::vector<std::string> f = split(line, '\t');
        if (f.size() == 7) cells[f[1] + "|" + f[2] + "|" + f[3]] = f[4] + "|" + f[5] + "|" + f[6];
    }
    return cells;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    for (std::size_t from = 0;;) {
        std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at - from));
        if (at == std::string::npos) return parts;
        from = at + 1;
    }
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
    convertWithLibreOffice(std::vector<std::filesystem::path>{input}, filter, outDir);
}

void convertWithLibreOffice(const std::vector<std::filesystem::path>& inputs,
                            const std::string& filter, const std::filesystem::path& outDir) {
    auto profile = freshDirectory("lanqi-lo-profile");
    std::string command = "HOME=";
    command.append(shellQuote(profile.string()))
        .append(" soffice -env:UserInstallation=file://")
        .append(profile.string())
        .append(" --headless --norestore --nolockcheck --convert-to ")
        .append(shellQuote(filter))
        .append(" --outdir ")
        .append(shellQuote(outDir.string()));
    for (const auto& input : inputs) command.append(" ").append(shellQuote(input.string()));
    auto [status, output] = run(command);
    std::filesystem::remove_all(profile);
    if (status != 0) throw std::runtime_error("LibreOffice failed: " + output);
}

std::vector<std::map<std::string, std::string>> shownValues(
    const std::vector<std::filesystem::path>& files) {
    std::string script = R"PY(
import sys, zipfile, re, xlrd
import xml.etree.ElementTree as ET
M = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
R = '{http://schemas.openxmlformats.org/officeDocument/2006/relationships}'
def num(v): return 'n|%.15g' % float(v)
def from_xls(f):
    b = xlrd.open_workbook(f)
    for s in b.sheets():
        for r in range(s.nrows):
            for c in range(s.ncols):
                x = s.cell(r, c)
                if x.ctype in (0, 6): continue
                if x.ctype == 1: v = 's|' + x.value
                elif x.ctype in (2, 3): v = num(x.value)
                elif x.ctype == 4: v = 'b|%d' % x.value
                else: v = 'e|' + xlrd.error_text_from_code.get(x.value, '?')
                yield s.name, r + 1, c + 1, v
def col_row(ref):
    m = re.match(r'([A-Z]+)(\d+)$', ref)
    c = 0
    for ch in m.group(1): c = c * 26 + ord(ch) - 64
    return int(m.group(2)), c
def text_of(e): return ''.join(t.text or '' for t in e.iter(M + 't'))
def from_xlsx(f):
    z = zipfile.ZipFile(f)
    shared = []
    if 'xl/sharedStrings.xml' in z.namelist():
        shared = [text_of(si) for si in ET.fromstring(z.read('xl/sharedStrings.xml')).iter(M + 'si')]
    rels = {r.get('Id'): r.get('Target') for r in ET.fromstring(z.read('xl/_rels/workbook.xml.rels'))}
    for sh in ET.fromstring(z.read('xl/workbook.xml')).iter(M + 'sheet'):
        target = rels[sh.get(R + 'id')]
        root = ET.fromstring(z.read('xl/' + target.lstrip('/').replace('xl/', '', 1)))
        for c in root.iter(M + 'c'):
            t = c.get('t', 'n'); v = c.find(M + 'v')
            if t == 'inlineStr': val = 's|' + text_of(c.find(M + 'is'))
            elif v is None: continue
            elif t == 's': val = 's|' + shared[int(v.text)]
            elif t == 'str': val = 's|' + (v.text or '')
            elif t == 'b': val = 'b|' + v.text
            elif t == 'e': val = 'e|' + v.text
            else: val = num(v.text)
            row, col = col_row(c.get('r'))
            yield sh.get('name'), row, col, val
for i, f in enumerate(FILES):
    for sheet, row, col, v in (from_xlsx(f) if f.endswith('.xlsx') else from_xls(f)):
        if v == 's|': continue
        print('%d\t%s|%d|%d\t%s' % (i, sheet, row, col, v.replace('\n', '\\n')))
)PY";
    std::string list = "FILES = [";
    for (const auto& f : files) list += "r\"\"\"" + f.string() + "\"\"\",";
    script = list + "]\n" + script;
    std::string output = runPython(script);
    std::vector<std::map<std::string, std::string>> values(files.size());
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        auto a = line.find('\t'), b = line.find('\t', a + 1);
        if (a == std::string::npos || b == std::string::npos) continue;
        values.at(std::stoul(line.substr(0, a)))[line.substr(a + 1, b - a - 1)] = line.substr(b + 1);
    }
    return values;
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

std::string poiShown(const std::string& line) {
    const std::string type = line.substr(0, line.find('|'));
    std::string value = line.substr(type.size() + 1);
    value = value.substr(0, value.rfind('|'));
    if (type.ends_with("numeric")) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "n|%.15g", std::stod(value));
        return buf;
    }
    if (type.ends_with("boolean")) return value == "TRUE" ? "b|1" : "b|0";
    if (type.ends_with("error")) return "e|" + value;
    return "s|" + value;
}

} // namespace lanqi::test
