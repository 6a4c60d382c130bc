#include "formula/coerce.h"

#include "bytes/utf16.h"
#include "formula/decimal.h"

#include <cstdlib>

namespace lanqi::xls::formula {

std::optional<double> parseNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    if (digits > 0 && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        std::size_t expDigits = 0;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j, ++expDigits;
        if (expDigits > 0) i = j;
    }
    if (digits > 0 && i == text.size())
        return std::strtod(std::string(text).c_str(), nullptr);
    for (char c : text)
        if (c >= '0' && c <= '9') throw NotEvaluated{"a text that may read as a number"};
    return std::nullopt;
}

double toNumber(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Number:
    case Value::Kind::Boolean:
        return v.number;
    case Value::Kind::Empty:
    case Value::Kind::Missing:
        return 0;
    case Value::Kind::Text:
        if (auto n = parseNumber(v.text)) return *n;
        throw ErrorResult{ErrorCode::Value};
    case Value::Kind::Error:
        throw ErrorResult{v.error};
    case Value::Kind::Reference:
        break;
    }
    throw ErrorResult{ErrorCode::Value};
}

std::string toText(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Number:
        return generalText(v.number);
    case Value::Kind::Boolean:
        return v.number != 0 ? "TRUE" : "FALSE";
    case Value::Kind::Empty:
    case Value::Kind::Missing:
        return "";
    case Value::Kind::Text:
        return v.text;
    case Value::Kind::Error:
        throw ErrorResult{v.error};
    case Value::Kind::Reference:
        break;
    }
    throw ErrorResult{ErrorCode::Value};
}

bool toBoolean(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Number:
    case Value::Kind::Boolean:
        return v.number != 0;
    case Value::Kind::Empty:
    case Value::Kind::Missing:
        return false;
    case Value::Kind::Text: {
        std::string t = foldCase(v.text);
        if (t == "TRUE") return true;
        if (t == "FALSE") return false;
        throw ErrorResult{ErrorCode::Value};
    }
    case Value::Kind::Error:
        throw ErrorResult{v.error};
    case Value::Kind::Reference:
        break;
    }
    throw ErrorResult{ErrorCode::Value};
}

std::string foldCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

namespace {

// Whether the text has a letter with upper and lower case beyond ASCII.
bool hasWideCase(std::string_view s) {
    for (char16_t c : utf8ToUtf16(s))
        if ((c >= 0x00C0 && c <= 0x024F) || (c >= 0x0370 && c <= 0x052F) ||
            (c >= 0x1E00 && c <= 0x1FFF) || (c >= 0xFF21 && c <= 0xFF5A))
            return true;
    return false;
}

} // namespace

bool textEqual(std::string_view a, std::string_view b) {
    if (foldCase(a) == foldCase(b)) return true;
    if (hasWideCase(a) || hasWideCase(b)) throw NotEvaluated{"case of letters beyond ASCII"};
    return false;
}

namespace {

// 0 numbers, 1 texts, 2 booleans.
int rank(Value::Kind k) {
    return k == Value::Kind::Text ? 1 : k == Value::Kind::Boolean ? 2 : 0;
}

bool isBlank(const Value& v) {
    return v.kind == Value::Kind::Empty || v.kind == Value::Kind::Missing;
}

// An empty value takes the other side's kind.
Value blankAs(const Value& other) {
    if (other.kind == Value::Kind::Text) return Value::ofText("");
    if (other.kind == Value::Kind::Boolean) return Value::ofBoolean(false);
    return Value::ofNumber(0);
}

} // namespace

int compare(const Value& a0, const Value& b0) {
    if (a0.isError()) throw ErrorResult{a0.error};
    if (b0.isError()) throw ErrorResult{b0.error};
    const Value a = isBlank(a0) ? blankAs(b0) : a0;
    const Value b = isBlank(b0) ? blankAs(a0) : b0;
    if (rank(a.kind) != rank(b.kind)) return rank(a.kind) < rank(b.kind) ? -1 : 1;
    if (a.kind == Value::Kind::Text) {
        if (textEqual(a.text, b.text)) return 0;
        const std::string x = foldCase(a.text), y = foldCase(b.text);
        // Which comes first beyond letters and digits is the locale's collation.
        for (char c : x + y)
            if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == ' '))
                throw NotEvaluated{"ordering texts by the locale"};
        return x < y ? -1 : 1;
    }
    if (approxEqual(a.number, b.number)) return 0;
    return a.number < b.number ? -1 : 1;
}

} // namespace lanqi::xls::formula
