#pragma once
// The worksheet functions the engine evaluates, by their BIFF8 function
// number: name, argument counts and evaluator.
#include "formula/evaluate.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace lanqi::xls::formula {

using Evaluator = Value (*)(std::span<Value> args, Context& ctx);

// What an empty argument (nothing between two commas, as in LEFT(A2,)) is
// to a function, unlike one left out: the number 0, or an empty value read
// as 0, "" or FALSE as the function reads it (the text functions); where the
// spreadsheet programs read it differently, the function is not evaluated.
enum class EmptyArgument { Zero, Blank, NotEvaluated };

struct FunctionInfo {
    std::uint16_t id;
    std::string_view name;
    std::uint8_t minArgs, maxArgs;
    EmptyArgument empty;
    Evaluator evaluate;
};

inline constexpr std::uint16_t kSumFunction = 4;

// The function's entry, or null when the engine does not evaluate it.
const FunctionInfo* findFunction(std::uint16_t id);

// NOW, TODAY, RAND, OFFSET and the others whose result changes on every
// calculation.
bool isVolatileFunction(std::uint16_t id);

// Calls the function with its empty arguments read by its own rule;
// throws NotEvaluated for one not listed or called with a count of
// arguments it does not take.
Value callFunction(std::uint16_t id, std::span<Value> args, Context& ctx);

} // namespace lanqi::xls::formula
