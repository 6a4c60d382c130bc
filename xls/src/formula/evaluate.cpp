#include "formula/evaluate.h"

#include "biff/string.h"
#include "formula/coerce.h"
#include "formula/decimal.h"
#include "formula/functions.h"
#include "formula/ptg.h"

#include <cmath>

namespace lanqi::xls::formula {
namespace {

// One token as read: its id, the fixed operands after it, and the text of a ptgStr.
struct Token {
    std::uint8_t id = 0;
    std::uint8_t base = 0;
    ByteView operands;
    std::string text;
};

// Reads the expression token by token. A token the table does not list, or
// one that runs past the end, ends the evaluation.
class TokenReader {
  public:
    explicit TokenReader(ByteView tokens) : data_(tokens) {}
    bool atEnd() const { return pos_ >= data_.size(); }
    Token next() {
        Token t;
        t.id = data_[pos_];
        t.base = ptg::base(t.id);
        const ptg::Info* info = ptg::find(t.id);
        if (!info) throw NotEvaluated{"formula token"};
        t.operands = take(1 + info->operands).subspan(1);
        if (t.base == ptg::kStr) {
            const std::size_t cch = t.operands[0];
            const bool high = (t.operands[1] & 0x01) != 0;
            ByteView chars = take(high ? 2 * cch : cch);
            std::u16string s;
            for (std::size_t i = 0; i < cch; ++i)
                s.push_back(high ? static_cast<char16_t>(getU16(chars, 2 * i)) : chars[i]);
            t.text = utf16ToUtf8(s);
        } else if (t.base == ptg::kAttr && t.operands[0] == ptg::kAttrChoose) {
            take(2 * (static_cast<std::size_t>(getU16(t.operands, 1)) + 1));
        }
        return t;
    }

  private:
    ByteView take(std::size_t n) {
        if (n > data_.size() - pos_) throw NotEvaluated{"formula cut short"};
        pos_ += n;
        return data_.subspan(pos_ - n, n);
    }
    ByteView data_;
    std::size_t pos_ = 0;
};

// A row or column field: absolute, or in a shared formula relative to the
// formula's cell (rows as signed 16-bit, columns as signed 8-bit offsets).
std::uint32_t rowOf(std::uint16_t row, std::uint16_t colField, bool relative, const Position& at) {
    if (relative && (colField & ptg::kRowRelative))
        return static_cast<std::uint16_t>(at.row + static_cast<std::uint16_t>(row));
    return row;
}
std::uint16_t colOf(std::uint16_t colField, bool relative, const Position& at) {
    if (relative && (colField & ptg::kColumnRelative))
        return static_cast<std::uint8_t>(at.col + (colField & 0xFF));
    return static_cast<std::uint16_t>(colField & ptg::kColumnMask);
}

// Where tokens come from: a cell's own formula, a shared formula (relative
// references count from the cell), or a defined name (references on named
// sheets, absolute).
enum class Source { Cell, Shared, Name };

// Names that name names are followed this deep.
constexpr int kMaxNameDepth = 8;

// The area a reference token names, or nothing for one that names an error.
std::optional<Area> areaOf(const Token& t, const Position& at, const Cells& cells, Source source) {
    const bool shared = source == Source::Shared;
    ByteView o = t.operands;
    std::size_t sheet = at.sheet;
    std::size_t p = 0;
    bool relative = false;
    switch (t.base) {
    case ptg::kRefErr:
    case ptg::kAreaErr:
    case ptg::kRefErr3d:
    case ptg::kAreaErr3d:
        return std::nullopt;
    case ptg::kRefN:
    case ptg::kAreaN:
        relative = true;
        break;
    case ptg::kRef3d:
    case ptg::kArea3d: {
        auto s = cells.sheetOf(getU16(o, 0));
        if (!s) throw NotEvaluated{"reference to another workbook or to several sheets"};
        sheet = *s;
        p = 2;
        if (source != Source::Cell && ((getU16(o, t.base == ptg::kRef3d ? p + 2 : p + 4) &
                                        (ptg::kRowRelative | ptg::kColumnRelative)) != 0))
            throw NotEvaluated{"relative reference in a shared formula or a name"};
        break;
    }
    default:
        break;
    }
    if (relative && !shared) throw NotEvaluated{"relative reference outside a shared formula"};
    if (source == Source::Name && t.base != ptg::kRef3d && t.base != ptg::kArea3d)
        throw NotEvaluated{"reference without a sheet in a name"};
    Area a;
    a.sheet = sheet;
    if (t.base == ptg::kRef || t.base == ptg::kRefN || t.base == ptg::kRef3d) {
        const std::uint16_t row = getU16(o, p), col = getU16(o, p + 2);
        a.rowFirst = a.rowLast = rowOf(row, col, relative, at);
        a.colFirst = a.colLast = colOf(col, relative, at);
    } else {
        const std::uint16_t r1 = getU16(o, p), r2 = getU16(o, p + 2);
        const std::uint16_t c1 = getU16(o, p + 4), c2 = getU16(o, p + 6);
        a.rowFirst = rowOf(r1, c1, relative, at);
        a.rowLast = rowOf(r2, c2, relative, at);
        a.colFirst = colOf(c1, relative, at);
        a.colLast = colOf(c2, relative, at);
        if (a.rowFirst > a.rowLast || a.colFirst > a.colLast)
            throw NotEvaluated{"area that wraps around the sheet"};
    }
    if (a.colLast > 0xFF) throw NotEvaluated{"column beyond IV"};
    return a;
}

// The tokens of the defined name a ptgName token names (index from 1).
ByteView nameTokens(const Cells& cells, const Token& t) {
    auto tokens = cells.nameTokens(getU16(t.operands, 0));
    if (!tokens) throw NotEvaluated{"defined name the engine does not read"};
    return *tokens;
}

bool isReferenceToken(std::uint8_t base) {
    switch (base) {
    case ptg::kRef:
    case ptg::kArea:
    case ptg::kRefN:
    case ptg::kAreaN:
    case ptg::kRef3d:
    case ptg::kArea3d:
    case ptg::kRefErr:
    case ptg::kAreaErr:
    case ptg::kRefErr3d:
    case ptg::kAreaErr3d:
        return true;
    default:
        return false;
    }
}

Value arithmetic(std::uint8_t op, double a, double b) {
    double r = 0;
    switch (op) {
    case ptg::kAdd:
        r = approxAdd(a, b);
        break;
    case ptg::kSub:
        r = approxAdd(a, -b);
        break;
    case ptg::kMul:
        r = a * b;
        break;
    case ptg::kDiv:
        if (b == 0) return Value::ofError(ErrorCode::Div0);
        r = a / b;
        break;
    case ptg::kPower:
        if (a == 0 && b == 0) throw NotEvaluated{"0^0"};
        if (a == 0 && b < 0) return Value::ofError(ErrorCode::Div0);
        r = std::pow(a, b);
        break;
    default:
        throw NotEvaluated{"operator"};
    }
    if (!std::isfinite(r)) return Value::ofError(ErrorCode::Num);
    return Value::ofNumber(r);
}

bool comparison(std::uint8_t op, int c) {
    switch (op) {
    case ptg::kLt:
        return c < 0;
    case ptg::kLe:
        return c <= 0;
    case ptg::kEq:
        return c == 0;
    case ptg::kGe:
        return c >= 0;
    case ptg::kGt:
        return c > 0;
    default:
        return c != 0;
    }
}

Value binary(std::uint8_t op, const Value& a, const Value& b) {
    try {
        if (op == ptg::kConcat) return Value::ofText(toText(a) + toText(b));
        if (op >= ptg::kLt && op <= ptg::kNe) return Value::ofBoolean(comparison(op, compare(a, b)));
        const double x = toNumber(a);
        return arithmetic(op, x, toNumber(b));
    } catch (const ErrorResult& e) {
        return Value::ofError(e.code);
    }
}

class Machine {
  public:
    Machine(const Position& at, Cells& cells, Source source, int depth = 0)
        : ctx_{cells, at}, source_(source), depth_(depth) {}

    // The value the tokens leave, a reference as it is.
    Value reference(ByteView tokens) {
        TokenReader reader(tokens);
        while (!reader.atEnd()) step(reader.next());
        if (stack_.size() != 1) throw NotEvaluated{"unbalanced formula"};
        return stack_.back();
    }

    // The cell's result; an empty one, and -0 (-A1 over an empty A1), is 0.
    Value run(ByteView tokens) {
        Value result = ctx_.scalar(reference(tokens));
        if (result.kind == Value::Kind::Empty || result.kind == Value::Kind::Missing ||
            (result.kind == Value::Kind::Number && result.number == 0))
            return Value::ofNumber(0);
        return result;
    }

  private:
    Value pop() {
        if (stack_.empty()) throw NotEvaluated{"unbalanced formula"};
        Value v = std::move(stack_.back());
        stack_.pop_back();
        return v;
    }

    void step(const Token& t) {
        const std::uint8_t b = t.base;
        if (b >= ptg::kAdd && b <= ptg::kNe) {
            Value rhs = ctx_.scalar(pop());
            Value lhs = ctx_.scalar(pop());
            stack_.push_back(binary(b, lhs, rhs));
            return;
        }
        if (isReferenceToken(b)) {
            auto area = areaOf(t, ctx_.at, ctx_.cells, source_);
            stack_.push_back(area ? Value::ofArea(*area) : Value::ofError(ErrorCode::Ref));
            return;
        }
        switch (b) {
        case ptg::kUplus:
        case ptg::kParen:
            return;
        case ptg::kUminus:
        case ptg::kPercent: {
            Value v = ctx_.scalar(pop());
            try {
                double x = toNumber(v);
                stack_.push_back(Value::ofNumber(b == ptg::kUminus ? -x : x / 100));
            } catch (const ErrorResult& e) {
                stack_.push_back(Value::ofError(e.code));
            }
            return;
        }
        case ptg::kMissArg:
            stack_.push_back(Value::missing());
            return;
        case ptg::kStr:
            stack_.push_back(Value::ofText(t.text));
            return;
        case ptg::kErr:
            stack_.push_back(errorValue(t.operands[0]));
            return;
        case ptg::kBool:
            stack_.push_back(Value::ofBoolean(t.operands[0] != 0));
            return;
        case ptg::kInt:
            stack_.push_back(Value::ofNumber(getU16(t.operands, 0)));
            return;
        case ptg::kNum:
            stack_.push_back(Value::ofNumber(getF64(t.operands, 0)));
            return;
        case ptg::kAttr:
            attribute(t);
            return;
        case ptg::kFunc:
        case ptg::kFuncVar:
            call(t);
            return;
        case ptg::kName: {
            if (depth_ >= kMaxNameDepth) throw NotEvaluated{"names that name each other"};
            Machine name(ctx_.at, ctx_.cells, Source::Name, depth_ + 1);
            stack_.push_back(name.reference(nameTokens(ctx_.cells, t)));
            return;
        }
        case ptg::kMemArea:
        case ptg::kMemErr:
        case ptg::kMemNoMem:
        case ptg::kMemFunc:
            return; // the tokens that follow compute the reference
        default:
            throw NotEvaluated{ptg::find(t.id)->name.data()};
        }
    }

    static Value errorValue(std::uint8_t code) {
        switch (code) {
        case 0x00:
        case 0x07:
        case 0x0F:
        case 0x17:
        case 0x1D:
        case 0x24:
        case 0x2A:
            return Value::ofError(static_cast<ErrorCode>(code));
        default:
            throw NotEvaluated{"error code"};
        }
    }

    void attribute(const Token& t) {
        switch (t.operands[0]) {
        case ptg::kAttrSum: {
            Value args[] = {pop()};
            stack_.push_back(callFunction(kSumFunction, args, ctx_));
            return;
        }
        case ptg::kAttrVolatile:
        case ptg::kAttrIf:
        case ptg::kAttrChoose:
        case ptg::kAttrGoto:
        case ptg::kAttrSpace:
        case ptg::kAttrSpaceSemi:
            return; // every argument is evaluated; the jumps only save work
        default:
            throw NotEvaluated{"ptgAttr"};
        }
    }

    void call(const Token& t) {
        std::uint16_t id;
        std::size_t count;
        if (t.base == ptg::kFunc) {
            id = getU16(t.operands, 0);
            const FunctionInfo* f = findFunction(id);
            if (!f || f->minArgs != f->maxArgs) throw NotEvaluated{"function"};
            count = f->minArgs;
        } else {
            count = t.operands[0] & 0x7F;
            id = getU16(t.operands, 1);
            if (id & 0x8000) throw NotEvaluated{"macro command"};
        }
        if (count > stack_.size()) throw NotEvaluated{"unbalanced formula"};
        std::vector<Value> args(std::make_move_iterator(stack_.end() - static_cast<std::ptrdiff_t>(count)),
                                std::make_move_iterator(stack_.end()));
        stack_.resize(stack_.size() - count);
        stack_.push_back(callFunction(id, args, ctx_));
    }

    Context ctx_;
    Source source_;
    int depth_;
    std::vector<Value> stack_;
};

} // namespace

Value Context::scalar(const Value& v) {
    if (!v.isReference()) return v;
    const Area& a = v.area;
    if (a.single()) return cells.value(a.sheet, a.rowFirst, a.colFirst);
    if (a.colFirst == a.colLast && at.row >= a.rowFirst && at.row <= a.rowLast)
        return cells.value(a.sheet, at.row, a.colFirst);
    if (a.rowFirst == a.rowLast && at.col >= a.colFirst && at.col <= a.colLast)
        return cells.value(a.sheet, a.rowFirst, at.col);
    return Value::ofError(ErrorCode::Value);
}

void Context::forEach(const Value& v, const Cells::Visitor& visit) {
    if (v.isReference())
        cells.forEach(v.area, visit);
    else
        visit(at.row, at.col, v);
}

Value evaluate(ByteView tokens, const Position& at, Cells& cells, bool shared) {
    try {
        return Machine(at, cells, shared ? Source::Shared : Source::Cell).run(tokens);
    } catch (const Error&) {
        throw NotEvaluated{"damaged formula"};
    }
}

namespace {

void collect(ByteView tokens, const Position& at, const Cells& cells, Source source, int depth,
             Precedents& p) {
    TokenReader reader(tokens);
    while (!reader.atEnd()) {
        Token t = reader.next();
        if (t.base == ptg::kNameX) throw NotEvaluated{"name of another workbook or an add-in"};
        if (t.base == ptg::kName) {
            if (depth >= kMaxNameDepth) throw NotEvaluated{"names that name each other"};
            collect(nameTokens(cells, t), at, cells, Source::Name, depth + 1, p);
        }
        if (isReferenceToken(t.base))
            if (auto a = areaOf(t, at, cells, source)) p.areas.push_back(*a);
        if (t.base == ptg::kAttr && t.operands[0] == ptg::kAttrVolatile) p.isVolatile = true;
        if (t.base == ptg::kFunc && isVolatileFunction(getU16(t.operands, 0))) p.isVolatile = true;
        if (t.base == ptg::kFuncVar && isVolatileFunction(getU16(t.operands, 1))) p.isVolatile = true;
    }
}

} // namespace

Precedents precedents(ByteView tokens, const Position& at, const Cells& cells, bool shared) {
    Precedents p;
    try {
        collect(tokens, at, cells, shared ? Source::Shared : Source::Cell, 0, p);
    } catch (const Error&) {
        throw NotEvaluated{"damaged formula"};
    }
    return p;
}

} // namespace lanqi::xls::formula
