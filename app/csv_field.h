#pragma once
#include <string>

namespace lanqi {

// A CSV field, quoted when it holds a comma, a quote or a line break.
inline std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

} // namespace lanqi
