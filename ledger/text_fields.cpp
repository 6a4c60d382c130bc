#include "ledger/text_fields.h"

namespace lanqi::ledger {

namespace {

// A character as written inside a field, and as written out.
struct Escape {
    char plain, written;
};
constexpr Escape kEscapes[] = {{'\\', '\\'}, {'\t', 't'}, {'\n', 'n'}, {'\r', 'r'}};

} // namespace

std::string joinFields(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t f = 0; f < fields.size(); ++f) {
        if (f > 0) line += '\t';
        for (char c : fields[f]) {
            const Escape* e = nullptr;
            for (const Escape& candidate : kEscapes)
                if (candidate.plain == c) e = &candidate;
            if (e != nullptr) {
                line += '\\';
                line += e->written;
            } else {
                line += c;
            }
        }
    }
    return line;
}

std::vector<std::string> splitFields(std::string_view line) {
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < line.size() && line[i] != '\n'; ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char w = line[++i];
            char plain = w;
            for (const Escape& e : kEscapes)
                if (e.written == w) plain = e.plain;
            fields.back() += plain;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

} // namespace lanqi::ledger
