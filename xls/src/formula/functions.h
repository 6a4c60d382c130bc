#pragma once
// The worksheet functions the engine evaluates, by their BIFF8 function
// number: name, argument counts and evaluator.
#include "formula/evaluate.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace lanqi::xls::formula {

using Evaluator = Value (*)(std::span<Value> args, Context& ctx);

struct FunctionInfo {
    std::uint16_t id;
    std::string_view name;
    std::uint8_t minArgs, maxArgs;
    Evaluator evaluate;
};

inline constexpr std::uint16_t kSumFunction = 4;

// The function's entry, or null when the engine does not evaluate it.
const FunctionInfo* findFunction(std::uint16_t id);

// NOW, TODAY, RAND, OFFSET and the others whose result changes on every
// calculation.
bool isVolatileFunction(std::uint16_t id);

// Calls the function; throws NotEvaluated for one not listed or called
// with a count of arguments it does not take.
Value callFunction(std::uint16_t id, std::span<Value> args, Context& ctx);

} // namespace lanqi::xls::formula
