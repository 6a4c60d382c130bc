#include "formula/functions.h"

#include "bytes/utf16.h"
#include "formula/coerce.h"
#include "formula/decimal.h"
#include "formula/number_format.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace lanqi::xls::formula {
namespace {

using Kind = Value::Kind;

// ---- reading arguments ----------------------------------------------------

double number(Value& arg, Context& ctx) {
    return toNumber(ctx.scalar(arg));
}

std::string text(Value& arg, Context& ctx) {
    return toText(ctx.scalar(arg));
}

// A count or position argument: its whole part.
double whole(Value& arg, Context& ctx) {
    return std::trunc(number(arg, ctx));
}

// The numbers of the arguments as SUM takes them: numbers of the cells of
// a reference (texts, logicals and empty cells left out), and direct
// arguments converted, a text that is no number being #VALUE!. An error
// anywhere is the result.
template <class F>
void eachNumber(std::span<Value> args, Context& ctx, F&& take) {
    for (Value& a : args) {
        if (a.isReference()) {
            ctx.forEach(a, [&](std::uint32_t, std::uint16_t, const Value& v) {
                if (v.kind == Kind::Number) take(v.number);
                else if (v.isError()) throw ErrorResult{v.error};
            });
        } else {
            take(toNumber(a));
        }
    }
}

// ---- the functions ----------------------------------------------------------

Value fnSum(std::span<Value> args, Context& ctx) {
    double sum = 0;
    eachNumber(args, ctx, [&](double x) { sum = approxAdd(sum, x); });
    return Value::ofNumber(sum);
}

Value fnProduct(std::span<Value> args, Context& ctx) {
    double product = 1;
    bool any = false;
    eachNumber(args, ctx, [&](double x) {
        product *= x;
        any = true;
    });
    return Value::ofNumber(any ? product : 0);
}

Value fnAverage(std::span<Value> args, Context& ctx) {
    double sum = 0;
    std::size_t n = 0;
    eachNumber(args, ctx, [&](double x) {
        sum = approxAdd(sum, x);
        ++n;
    });
    if (n == 0) return Value::ofError(ErrorCode::Div0);
    return Value::ofNumber(sum / static_cast<double>(n));
}

Value extreme(std::span<Value> args, Context& ctx, bool max) {
    double best = max ? -std::numeric_limits<double>::infinity()
                      : std::numeric_limits<double>::infinity();
    bool any = false;
    eachNumber(args, ctx, [&](double x) {
        best = max ? std::max(best, x) : std::min(best, x);
        any = true;
    });
    return Value::ofNumber(any ? best : 0);
}
Value fnMin(std::span<Value> args, Context& ctx) {
    return extreme(args, ctx, false);
}
Value fnMax(std::span<Value> args, Context& ctx) {
    return extreme(args, ctx, true);
}

// COUNT: numbers in references; direct numbers, logicals and number texts.
Value fnCount(std::span<Value> args, Context& ctx) {
    double n = 0;
    for (Value& a : args) {
        if (a.isReference()) {
            ctx.forEach(a, [&](std::uint32_t, std::uint16_t, const Value& v) {
                if (v.kind == Kind::Number) ++n;
            });
        } else if (a.kind == Kind::Number || a.kind == Kind::Boolean ||
                   (a.kind == Kind::Text && parseNumber(a.text))) {
            ++n;
        }
    }
    return Value::ofNumber(n);
}

// COUNTA: cells that hold anything, a formula's "" included; every direct argument.
Value fnCountA(std::span<Value> args, Context& ctx) {
    double n = 0;
    for (Value& a : args) {
        if (a.isReference()) {
            ctx.forEach(a, [&](std::uint32_t, std::uint16_t, const Value& v) {
                if (v.kind != Kind::Empty) ++n;
            });
        } else {
            ++n;
        }
    }
    return Value::ofNumber(n);
}

Value fnIf(std::span<Value> args, Context& ctx) {
    const bool condition = toBoolean(ctx.scalar(args[0]));
    if (!condition && args.size() < 3) return Value::ofBoolean(false);
    return condition ? args[1] : args[2];
}

// AND, OR: logicals and numbers; texts and empty cells in references left out.
Value logical(std::span<Value> args, Context& ctx, bool isAnd) {
    bool any = false, result = isAnd;
    auto take = [&](bool b) {
        any = true;
        result = isAnd ? (result && b) : (result || b);
    };
    for (Value& a : args) {
        if (a.isReference()) {
            ctx.forEach(a, [&](std::uint32_t, std::uint16_t, const Value& v) {
                if (v.isError()) throw ErrorResult{v.error};
                if (v.kind == Kind::Number || v.kind == Kind::Boolean) take(v.number != 0);
            });
        } else {
            take(toBoolean(a));
        }
    }
    if (!any) return Value::ofError(ErrorCode::Value);
    return Value::ofBoolean(result);
}
Value fnAnd(std::span<Value> args, Context& ctx) {
    return logical(args, ctx, true);
}
Value fnOr(std::span<Value> args, Context& ctx) {
    return logical(args, ctx, false);
}
Value fnNot(std::span<Value> args, Context& ctx) {
    return Value::ofBoolean(!toBoolean(ctx.scalar(args[0])));
}
Value fnTrue(std::span<Value>, Context&) {
    return Value::ofBoolean(true);
}
Value fnFalse(std::span<Value>, Context&) {
    return Value::ofBoolean(false);
}

// The IS functions look at a value without converting it; errors included.
template <bool (*Test)(const Value&)>
Value isFunction(std::span<Value> args, Context& ctx) {
    return Value::ofBoolean(Test(ctx.scalar(args[0])));
}
bool isNumber(const Value& v) {
    return v.kind == Kind::Number;
}
bool isText(const Value& v) {
    return v.kind == Kind::Text;
}
bool isNonText(const Value& v) {
    return v.kind != Kind::Text;
}
bool isBlank(const Value& v) {
    return v.kind == Kind::Empty;
}
bool isLogical(const Value& v) {
    return v.kind == Kind::Boolean;
}
bool isError(const Value& v) {
    return v.isError();
}
bool isErr(const Value& v) {
    return v.isError() && v.error != ErrorCode::NA;
}
bool isNa(const Value& v) {
    return v.isError() && v.error == ErrorCode::NA;
}

Value finite(double x) {
    return std::isfinite(x) ? Value::ofNumber(x) : Value::ofError(ErrorCode::Num);
}

Value rounding(std::span<Value> args, Context& ctx, Rounding how) {
    const double x = number(args[0], ctx);
    const double digits = args.size() > 1 ? whole(args[1], ctx) : 0;
    if (std::fabs(digits) > 300) throw NotEvaluated{"rounding to more than 300 places"};
    return finite(roundTo(x, static_cast<int>(digits), how));
}
Value fnRound(std::span<Value> args, Context& ctx) {
    return rounding(args, ctx, Rounding::HalfAway);
}
Value fnRoundUp(std::span<Value> args, Context& ctx) {
    return rounding(args, ctx, Rounding::Up);
}
Value fnRoundDown(std::span<Value> args, Context& ctx) {
    return rounding(args, ctx, Rounding::Down);
}
Value fnInt(std::span<Value> args, Context& ctx) {
    return finite(approxFloor(number(args[0], ctx)));
}
Value fnAbs(std::span<Value> args, Context& ctx) {
    return Value::ofNumber(std::fabs(number(args[0], ctx)));
}
Value fnSign(std::span<Value> args, Context& ctx) {
    const double x = number(args[0], ctx);
    return Value::ofNumber(x > 0 ? 1 : x < 0 ? -1 : 0);
}
// From 10^13 on a dividend has fewer than two decimals within 15 significant
// digits: what the double holds past them (the error of an amount times 100)
// decides the remainder, and the spreadsheet programs take it from
// different digits. A whole dividend of at most 15 digits over a whole
// divisor (a rounded amount in fen) has no such digits: its remainder is exact.
constexpr double kModExactDividend = 1e13, kModWholeDividend = 1e15;

bool modIsExact(double a, double b) {
    if (std::fabs(a) < kModExactDividend) return true;
    return std::fabs(a) < kModWholeDividend && a == std::floor(a) && b == std::floor(b);
}

Value fnMod(std::span<Value> args, Context& ctx) {
    const double a = number(args[0], ctx), b = number(args[1], ctx);
    if (b == 0) return Value::ofError(ErrorCode::Div0);
    if (!modIsExact(a, b)) throw NotEvaluated{"MOD beyond 15 significant digits"};
    const double r = approxAdd(a, -approxFloor(a / b) * b);
    if (!((b > 0 && r >= 0 && r < b) || (b < 0 && r <= 0 && r > b)))
        throw NotEvaluated{"MOD beyond the precision of its arguments"};
    return Value::ofNumber(r);
}

// Texts are counted in UTF-16 units, as the spreadsheet counts characters.
Value fnLen(std::span<Value> args, Context& ctx) {
    return Value::ofNumber(static_cast<double>(utf8ToUtf16(text(args[0], ctx)).size()));
}

Value part(const std::string& s, double start, double count) {
    const std::u16string u = utf8ToUtf16(s);
    if (start >= static_cast<double>(u.size()) || count <= 0) return Value::ofText("");
    const auto from = static_cast<std::size_t>(start);
    const std::size_t n = std::min(u.size() - from, static_cast<std::size_t>(std::min(count, 1e9)));
    return Value::ofText(utf16ToUtf8(std::u16string_view(u).substr(from, n)));
}
Value fnLeft(std::span<Value> args, Context& ctx) {
    const std::string s = text(args[0], ctx);
    const double n = args.size() > 1 ? whole(args[1], ctx) : 1;
    if (n < 0) return Value::ofError(ErrorCode::Value);
    return part(s, 0, n);
}
Value fnRight(std::span<Value> args, Context& ctx) {
    const std::string s = text(args[0], ctx);
    const double n = args.size() > 1 ? whole(args[1], ctx) : 1;
    if (n < 0) return Value::ofError(ErrorCode::Value);
    const double size = static_cast<double>(utf8ToUtf16(s).size());
    return part(s, std::max(0.0, size - n), n);
}
Value fnMid(std::span<Value> args, Context& ctx) {
    const std::string s = text(args[0], ctx);
    const double start = whole(args[1], ctx), n = whole(args[2], ctx);
    if (start < 1 || n < 0) return Value::ofError(ErrorCode::Value);
    return part(s, start - 1, n);
}
Value fnConcatenate(std::span<Value> args, Context& ctx) {
    std::string out;
    for (Value& a : args) out += text(a, ctx);
    return Value::ofText(std::move(out));
}
Value fnValue(std::span<Value> args, Context& ctx) {
    const Value v = ctx.scalar(args[0]);
    if (v.kind == Kind::Text) {
        if (auto n = parseNumber(v.text)) return Value::ofNumber(*n);
        return Value::ofError(ErrorCode::Value);
    }
    if (v.kind == Kind::Boolean) return Value::ofError(ErrorCode::Value);
    return Value::ofNumber(toNumber(v));
}
Value fnText(std::span<Value> args, Context& ctx) {
    const Value v = ctx.scalar(args[0]);
    const std::string format = text(args[1], ctx);
    if (v.isError()) return v;
    if (v.kind == Kind::Boolean) throw NotEvaluated{"TEXT of a logical value"};
    if (v.kind == Kind::Text) {
        if (auto n = parseNumber(v.text)) return Value::ofText(formatNumber(*n, format));
        return Value::ofText(formatText(v.text, format));
    }
    return Value::ofText(formatNumber(toNumber(v), format));
}

// ---- SUMIF and COUNTIF ------------------------------------------------------

// A criterion as SUMIF and COUNTIF take it: a value, or a text with a
// comparison in front ("<>0", ">=100", "=木*", "<TRUE"). "=" alone matches
// the empty cells, "" those and empty texts, "<>" every cell but the empty.
// A logical compares with logicals only (FALSE before TRUE), a number with
// numbers; LibreOffice takes logicals for numbers, so where one meets the
// other the criterion is not evaluated.
class Criterion {
  public:
    explicit Criterion(const Value& c) {
        if (c.isError()) throw ErrorResult{c.error};
        if (c.kind == Kind::Number || c.kind == Kind::Boolean) {
            operand_ = c;
            return;
        }
        if (c.kind != Kind::Text) throw NotEvaluated{"empty criterion"};
        std::string_view t = c.text;
        static constexpr std::pair<std::string_view, Op> kOps[] = {
            {"<>", Op::Ne}, {"<=", Op::Le}, {">=", Op::Ge}, {"<", Op::Lt}, {">", Op::Gt}, {"=", Op::Eq}};
        for (auto [prefix, op] : kOps)
            if (t.starts_with(prefix)) {
                op_ = op;
                t.remove_prefix(prefix.size());
                explicitOp_ = true;
                break;
            }
        if (auto n = parseNumber(t)) operand_ = Value::ofNumber(*n);
        else if (isLogicalText(t)) operand_ = Value::ofBoolean(foldCase(t) == "TRUE");
        else operand_ = Value::ofText(std::string(t));
        if (operand_.kind == Kind::Text && op_ != Op::Eq && op_ != Op::Ne)
            throw NotEvaluated{"ordering texts by the locale"};
    }

    bool matches(const Value& v) const {
        if (operand_.kind == Kind::Text || v.kind == Kind::Empty || v.kind == Kind::Text ||
            v.isError()) {
            const bool eq = equal(v);
            return op_ == Op::Eq ? eq : op_ == Op::Ne ? !eq : false;
        }
        if (v.kind != operand_.kind) throw NotEvaluated{"a logical criterion over numbers or the reverse"};
        const int c = approxEqual(v.number, operand_.number) ? 0 : v.number < operand_.number ? -1 : 1;
        switch (op_) {
        case Op::Eq:
            return c == 0;
        case Op::Ne:
            return c != 0;
        case Op::Lt:
            return c < 0;
        case Op::Le:
            return c <= 0;
        case Op::Gt:
            return c > 0;
        case Op::Ge:
            return c >= 0;
        }
        return false;
    }

    bool matchesEmpty() const { return matches(Value::empty()); }

  private:
    enum class Op { Eq, Ne, Lt, Le, Gt, Ge };

    static bool isLogicalText(std::string_view t) {
        return foldCase(t) == "TRUE" || foldCase(t) == "FALSE";
    }

    // An empty cell, a text or an error against the operand.
    bool equal(const Value& v) const {
        if (operand_.kind == Kind::Text && operand_.text.empty())
            return v.kind == Kind::Empty || (!explicitOp_ && v.kind == Kind::Text && v.text.empty());
        if (v.kind != Kind::Text) return false;
        if (operand_.kind == Kind::Number && parseNumber(v.text))
            throw NotEvaluated{"criterion against a text that reads as a number"};
        if (operand_.kind == Kind::Boolean && isLogicalText(v.text))
            throw NotEvaluated{"logical criterion against the text TRUE or FALSE"};
        if (operand_.kind != Kind::Text) return false;
        const bool wild = operand_.text.find_first_of("*?~") != std::string::npos;
        return wild ? wildcardMatch(foldCase(operand_.text), foldCase(v.text))
                    : textEqual(operand_.text, v.text);
    }

    // * any run, ? one character, ~ takes the next literally.
    static bool wildcardMatch(std::string_view p, std::string_view s) {
        if (p.empty()) return s.empty();
        if (p[0] == '*') {
            for (std::size_t i = 0; i <= s.size(); ++i)
                if (wildcardMatch(p.substr(1), s.substr(i))) return true;
            return false;
        }
        if (s.empty()) return false;
        if (p[0] == '?') {
            std::size_t n = 1;
            while (n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) ++n;
            return wildcardMatch(p.substr(1), s.substr(n));
        }
        if (p[0] == '~' && p.size() > 1) p.remove_prefix(1);
        return p[0] == s[0] && wildcardMatch(p.substr(1), s.substr(1));
    }

    Op op_ = Op::Eq;
    bool explicitOp_ = false;
    Value operand_;
};

double cellCount(const Area& a) {
    return static_cast<double>(a.rowLast - a.rowFirst + 1) * (a.colLast - a.colFirst + 1);
}

Value fnCountIf(std::span<Value> args, Context& ctx) {
    if (!args[0].isReference()) return Value::ofError(ErrorCode::Value);
    const Criterion criterion(ctx.scalar(args[1]));
    double n = 0, seen = 0;
    ctx.forEach(args[0], [&](std::uint32_t, std::uint16_t, const Value& v) {
        ++seen;
        if (criterion.matches(v)) ++n;
    });
    // Cells that do not exist are empty.
    if (criterion.matchesEmpty()) n += cellCount(args[0].area) - seen;
    return Value::ofNumber(n);
}

Value fnSumIf(std::span<Value> args, Context& ctx) {
    if (!args[0].isReference()) return Value::ofError(ErrorCode::Value);
    const Criterion criterion(ctx.scalar(args[1]));
    if (criterion.matchesEmpty()) throw NotEvaluated{"SUMIF over empty cells"};
    const Area range = args[0].area;
    Area sum = range;
    if (args.size() > 2) {
        if (!args[2].isReference()) return Value::ofError(ErrorCode::Value);
        sum.sheet = args[2].area.sheet;
        sum.rowFirst = args[2].area.rowFirst;
        sum.colFirst = args[2].area.colFirst;
    }
    double total = 0;
    ctx.forEach(args[0], [&](std::uint32_t r, std::uint16_t c, const Value& v) {
        if (!criterion.matches(v)) return;
        const std::uint32_t row = sum.rowFirst + (r - range.rowFirst);
        const std::uint32_t col = sum.colFirst + (c - range.colFirst);
        if (row > 0xFFFF || col > 0xFF) return;
        const Value s = ctx.cells.value(sum.sheet, row, static_cast<std::uint16_t>(col));
        if (s.isError()) throw ErrorResult{s.error};
        if (s.kind == Kind::Number) total = approxAdd(total, s.number);
    });
    return Value::ofNumber(total);
}

// ---- lookups ----------------------------------------------------------------

// Whether a cell holds the value looked up: numbers equal, texts equal
// without regard to case. Wildcards and empty keys are read differently by
// the spreadsheet programs.
bool lookupEqual(const Value& cell, const Value& key) {
    if (key.kind == Kind::Text) {
        if (key.text.empty() || key.text.find_first_of("*?~") != std::string::npos)
            throw NotEvaluated{"lookup of an empty text or with wildcards"};
        return cell.kind == Kind::Text && textEqual(cell.text, key.text);
    }
    if (cell.kind != key.kind) return false;
    return approxEqual(cell.number, key.number);
}

// The key, looked up among `count` cells (cellAt(i), i from 0): exactly,
// or the last of numbers sorted ascending that is not above it (-1 for
// descending: the last not below it). The position, or nothing.
template <class CellAt>
std::optional<std::size_t> lookUp(const Value& key, std::size_t count, int mode, CellAt cellAt) {
    if (key.isError()) throw ErrorResult{key.error};
    if (key.kind == Kind::Empty) throw NotEvaluated{"lookup of an empty value"};
    if (mode == 0) {
        for (std::size_t i = 0; i < count; ++i)
            if (lookupEqual(cellAt(i), key)) return i;
        return std::nullopt;
    }
    // Sorted lookups go by the order the data should have; data out of
    // order, or not all numbers, is searched differently by each program.
    if (key.kind != Kind::Number) throw NotEvaluated{"sorted lookup of a text"};
    // Empty cells may follow the numbers, as below a price table.
    std::optional<std::size_t> found;
    double previous = 0;
    bool ended = false;
    for (std::size_t i = 0; i < count; ++i) {
        const Value v = cellAt(i);
        if (v.kind == Kind::Empty) {
            ended = true;
            continue;
        }
        if (v.kind != Kind::Number || ended)
            throw NotEvaluated{"sorted lookup over cells that are not numbers"};
        if (i > 0 && (mode > 0 ? v.number < previous : v.number > previous))
            throw NotEvaluated{"sorted lookup over data out of order"};
        previous = v.number;
        if (mode > 0 ? v.number <= key.number || approxEqual(v.number, key.number)
                     : v.number >= key.number || approxEqual(v.number, key.number))
            found = i;
    }
    return found;
}

bool exactLookup(std::span<Value> args, std::size_t at, Context& ctx) {
    return args.size() > at && !toBoolean(ctx.scalar(args[at]));
}

std::size_t rows(const Area& a) {
    return a.rowLast - a.rowFirst + 1u;
}
std::size_t cols(const Area& a) {
    return a.colLast - a.colFirst + 1u;
}

// What a lookup returns: the cell's value; an empty cell is read as 0 by
// one program and as empty by the other.
Value found(Context& ctx, std::size_t sheet, std::size_t row, std::size_t col) {
    Value v = ctx.cells.value(sheet, static_cast<std::uint32_t>(row), static_cast<std::uint16_t>(col));
    if (v.kind == Kind::Empty) throw NotEvaluated{"lookup of an empty cell"};
    return v;
}

Value tableLookup(std::span<Value> args, Context& ctx, bool vertical) {
    const Value key = ctx.scalar(args[0]);
    if (!args[1].isReference()) throw NotEvaluated{"lookup in an array"};
    const Area t = args[1].area;
    const double index = whole(args[2], ctx);
    if (index < 1) return Value::ofError(ErrorCode::Value);
    if (index > static_cast<double>(vertical ? cols(t) : rows(t)))
        throw NotEvaluated{"lookup past the table"}; // Excel #REF!, LibreOffice #VALUE!
    const auto k = static_cast<std::size_t>(index) - 1;
    const int mode = exactLookup(args, 3, ctx) ? 0 : 1;
    auto hit = vertical ? lookUp(key, rows(t), mode, [&](std::size_t i) {
        return ctx.cells.value(t.sheet, static_cast<std::uint32_t>(t.rowFirst + i), t.colFirst);
    })
                        : lookUp(key, cols(t), mode, [&](std::size_t i) {
                              return ctx.cells.value(t.sheet, t.rowFirst,
                                                     static_cast<std::uint16_t>(t.colFirst + i));
                          });
    if (!hit) return Value::ofError(ErrorCode::NA);
    return vertical ? found(ctx, t.sheet, t.rowFirst + *hit, t.colFirst + k)
                    : found(ctx, t.sheet, t.rowFirst + k, t.colFirst + *hit);
}
Value fnVLookup(std::span<Value> args, Context& ctx) {
    return tableLookup(args, ctx, true);
}
Value fnHLookup(std::span<Value> args, Context& ctx) {
    return tableLookup(args, ctx, false);
}

Value fnMatch(std::span<Value> args, Context& ctx) {
    const Value key = ctx.scalar(args[0]);
    if (!args[1].isReference()) throw NotEvaluated{"lookup in an array"};
    const Area a = args[1].area;
    if (rows(a) > 1 && cols(a) > 1) return Value::ofError(ErrorCode::NA);
    const double type = args.size() > 2 ? whole(args[2], ctx) : 1;
    const int mode = type > 0 ? 1 : type < 0 ? -1 : 0;
    auto hit = lookUp(key, rows(a) * cols(a), mode, [&](std::size_t i) {
        return cols(a) == 1 ? ctx.cells.value(a.sheet, static_cast<std::uint32_t>(a.rowFirst + i), a.colFirst)
                            : ctx.cells.value(a.sheet, a.rowFirst, static_cast<std::uint16_t>(a.colFirst + i));
    });
    if (!hit) return Value::ofError(ErrorCode::NA);
    return Value::ofNumber(static_cast<double>(*hit + 1));
}

// INDEX(area; row; column): the cell, or with 0 a whole row or column, as a reference.
Value fnIndex(std::span<Value> args, Context& ctx) {
    if (!args[0].isReference()) throw NotEvaluated{"INDEX of an array"};
    if (args.size() > 3 && whole(args[3], ctx) != 1) throw NotEvaluated{"INDEX of several areas"};
    Area a = args[0].area;
    double row = whole(args[1], ctx);
    double col = args.size() > 2 ? whole(args[2], ctx) : 0;
    if (args.size() < 3 && rows(a) == 1 && cols(a) > 1) std::swap(row, col); // one row: the index is a column
    if (row < 0 || col < 0 || row > static_cast<double>(rows(a)) || col > static_cast<double>(cols(a)))
        return Value::ofError(ErrorCode::Ref);
    if (row > 0) a.rowFirst = a.rowLast = a.rowFirst + static_cast<std::uint32_t>(row) - 1;
    if (col > 0) a.colFirst = a.colLast = static_cast<std::uint16_t>(a.colFirst + static_cast<int>(col) - 1);
    return Value::ofArea(a);
}

Value fnRow(std::span<Value> args, Context& ctx) {
    if (args.empty()) return Value::ofNumber(ctx.at.row + 1.0);
    if (!args[0].isReference()) return Value::ofError(ErrorCode::Value);
    return Value::ofNumber(args[0].area.rowFirst + 1.0);
}
Value fnColumn(std::span<Value> args, Context& ctx) {
    if (args.empty()) return Value::ofNumber(ctx.at.col + 1.0);
    if (!args[0].isReference()) return Value::ofError(ErrorCode::Value);
    return Value::ofNumber(args[0].area.colFirst + 1.0);
}

// clang-format off
constexpr std::uint8_t kMany = 30; // BIFF8 passes at most 30 arguments
// An empty argument: Zero the number 0, Blank an empty value, Left not evaluated.
constexpr auto Zero = EmptyArgument::Zero, Blank = EmptyArgument::Blank,
               Left = EmptyArgument::NotEvaluated;
constexpr FunctionInfo kFunctions[] = {
    {0,   "COUNT",       0, kMany, Zero,  fnCount},
    {1,   "IF",          2, 3,     Zero,  fnIf},
    {2,   "ISNA",        1, 1,     Left,  isFunction<isNa>},
    {3,   "ISERROR",     1, 1,     Left,  isFunction<isError>},
    {4,   "SUM",         0, kMany, Zero,  fnSum},
    {5,   "AVERAGE",     1, kMany, Zero,  fnAverage},
    {6,   "MIN",         1, kMany, Zero,  fnMin},
    {7,   "MAX",         1, kMany, Zero,  fnMax},
    {8,   "ROW",         0, 1,     Left,  fnRow},
    {9,   "COLUMN",      0, 1,     Left,  fnColumn},
    {24,  "ABS",         1, 1,     Zero,  fnAbs},
    {25,  "INT",         1, 1,     Zero,  fnInt},
    {26,  "SIGN",        1, 1,     Zero,  fnSign},
    {27,  "ROUND",       2, 2,     Zero,  fnRound},
    {29,  "INDEX",       2, 4,     Zero,  fnIndex},
    {31,  "MID",         3, 3,     Blank, fnMid},
    {32,  "LEN",         1, 1,     Blank, fnLen},
    {33,  "VALUE",       1, 1,     Left,  fnValue},
    {34,  "TRUE",        0, 0,     Zero,  fnTrue},
    {35,  "FALSE",       0, 0,     Zero,  fnFalse},
    {36,  "AND",         1, kMany, Zero,  fnAnd},
    {37,  "OR",          1, kMany, Zero,  fnOr},
    {38,  "NOT",         1, 1,     Zero,  fnNot},
    {39,  "MOD",         2, 2,     Zero,  fnMod},
    {48,  "TEXT",        2, 2,     Blank, fnText},
    {64,  "MATCH",       2, 3,     Zero,  fnMatch},
    {101, "HLOOKUP",     3, 4,     Zero,  fnHLookup},
    {102, "VLOOKUP",     3, 4,     Zero,  fnVLookup},
    {115, "LEFT",        1, 2,     Blank, fnLeft},
    {116, "RIGHT",       1, 2,     Blank, fnRight},
    {126, "ISERR",       1, 1,     Left,  isFunction<isErr>},
    {127, "ISTEXT",      1, 1,     Left,  isFunction<isText>},
    {128, "ISNUMBER",    1, 1,     Left,  isFunction<isNumber>},
    {129, "ISBLANK",     1, 1,     Left,  isFunction<isBlank>},
    {169, "COUNTA",      1, kMany, Zero,  fnCountA},
    {183, "PRODUCT",     1, kMany, Zero,  fnProduct},
    {190, "ISNONTEXT",   1, 1,     Left,  isFunction<isNonText>},
    {197, "TRUNC",       1, 2,     Zero,  fnRoundDown},
    {198, "ISLOGICAL",   1, 1,     Left,  isFunction<isLogical>},
    {212, "ROUNDUP",     2, 2,     Zero,  fnRoundUp},
    {213, "ROUNDDOWN",   2, 2,     Zero,  fnRoundDown},
    {336, "CONCATENATE", 1, kMany, Blank, fnConcatenate},
    {345, "SUMIF",       2, 3,     Left,  fnSumIf},
    {346, "COUNTIF",     2, 2,     Left,  fnCountIf},
};
// clang-format on

} // namespace

bool isVolatileFunction(std::uint16_t id) {
    // RAND, NOW, OFFSET, CELL, INDIRECT, TODAY, INFO, RANDBETWEEN
    constexpr std::uint16_t kVolatile[] = {63, 74, 78, 125, 148, 221, 244, 464};
    return std::find(std::begin(kVolatile), std::end(kVolatile), id) != std::end(kVolatile);
}

const FunctionInfo* findFunction(std::uint16_t id) {
    for (const FunctionInfo& f : kFunctions)
        if (f.id == id) return &f;
    return nullptr;
}

Value callFunction(std::uint16_t id, std::span<Value> args, Context& ctx) {
    const FunctionInfo* f = findFunction(id);
    if (!f) throw NotEvaluated{"function"};
    if (args.size() < f->minArgs || args.size() > f->maxArgs) throw NotEvaluated{f->name.data()};
    for (Value& a : args) {
        if (a.kind != Kind::Missing) continue;
        if (f->empty == EmptyArgument::NotEvaluated) throw NotEvaluated{"empty argument"};
        a = f->empty == EmptyArgument::Zero ? Value::ofNumber(0) : Value::empty();
    }
    try {
        Value result = f->evaluate(args, ctx);
        if (result.kind == Kind::Number && !std::isfinite(result.number))
            return Value::ofError(ErrorCode::Num);
        return result;
    } catch (const ErrorResult& e) {
        return Value::ofError(e.code);
    }
}

} // namespace lanqi::xls::formula
