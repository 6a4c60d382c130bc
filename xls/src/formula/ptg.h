#pragma once
// The tokens of a BIFF8 formula (parsed expression, reverse Polish): each
// token is one byte of id and the operand bytes that follow it.
//
//   0x03..0x11  binary operators + - * / ^ & < <= = >= > <> (isect union range)
//   0x12..0x16  unary + and -, %, parentheses, a missing argument
//   ptgStr      length u8 | high-byte flag u8 | characters
//   ptgAttr     kind u8 | data u16; kind 0x04 (choose) is followed by data + 1 jumps u16
//   ptgErr, ptgBool u8 | ptgInt u16 | ptgNum f64
//   ptgFunc     function u16 | ptgFuncVar  argument count u8 | function u16 (bit 15: a command)
//   ptgRef      row u16 | column u16 (bits 0-13; bit 14 column relative, bit 15 row relative)
//   ptgArea     first row u16 | last row u16 | first column u16 | last column u16
//   ptgRefN, ptgAreaN: as ptgRef, ptgArea; relative rows are signed 16-bit and relative
//               columns signed 8-bit offsets from the formula's cell (shared formulas)
//   ptgRef3d, ptgArea3d: EXTERNSHEET index u16, then as ptgRef, ptgArea
//   ptgMem*     reserved u32 | size u16 of the tokens that follow and compute a reference
//
// Tokens 0x20-0x7F come in three classes (reference, value, array) in bits
// 5-6; their base id is the low five bits with 0x20.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lanqi::xls::formula::ptg {

inline constexpr std::uint8_t kExp = 0x01, kTbl = 0x02;
inline constexpr std::uint8_t kAdd = 0x03, kSub = 0x04, kMul = 0x05, kDiv = 0x06, kPower = 0x07,
                              kConcat = 0x08, kLt = 0x09, kLe = 0x0A, kEq = 0x0B, kGe = 0x0C,
                              kGt = 0x0D, kNe = 0x0E, kIsect = 0x0F, kUnion = 0x10, kRange = 0x11;
inline constexpr std::uint8_t kUplus = 0x12, kUminus = 0x13, kPercent = 0x14, kParen = 0x15,
                              kMissArg = 0x16, kStr = 0x17, kExtended = 0x18, kAttr = 0x19;
inline constexpr std::uint8_t kErr = 0x1C, kBool = 0x1D, kInt = 0x1E, kNum = 0x1F;
inline constexpr std::uint8_t kArray = 0x20, kFunc = 0x21, kFuncVar = 0x22, kName = 0x23,
                              kRef = 0x24, kArea = 0x25, kMemArea = 0x26, kMemErr = 0x27,
                              kMemNoMem = 0x28, kMemFunc = 0x29, kRefErr = 0x2A, kAreaErr = 0x2B,
                              kRefN = 0x2C, kAreaN = 0x2D, kNameX = 0x39, kRef3d = 0x3A,
                              kArea3d = 0x3B, kRefErr3d = 0x3C, kAreaErr3d = 0x3D;

// ptgAttr kinds.
inline constexpr std::uint8_t kAttrVolatile = 0x01, kAttrIf = 0x02, kAttrChoose = 0x04,
                              kAttrGoto = 0x08, kAttrSum = 0x10, kAttrBaxcel = 0x20,
                              kAttrSpace = 0x40, kAttrSpaceSemi = 0x41;

// Column field of a reference.
inline constexpr std::uint16_t kColumnMask = 0x3FFF, kColumnRelative = 0x4000,
                               kRowRelative = 0x8000;

// The id without its class.
constexpr std::uint8_t base(std::uint8_t id) {
    return id >= 0x20 ? static_cast<std::uint8_t>((id & 0x1F) | 0x20) : id;
}

struct Info {
    std::uint8_t id;
    std::string_view name;
    std::size_t operands; // bytes after the id; ptgStr and ptgAttr are read on
};

// clang-format off
inline constexpr Info kTokens[] = {
    {kExp, "ptgExp", 4},         {kTbl, "ptgTbl", 4},
    {kAdd, "ptgAdd", 0},         {kSub, "ptgSub", 0},         {kMul, "ptgMul", 0},
    {kDiv, "ptgDiv", 0},         {kPower, "ptgPower", 0},     {kConcat, "ptgConcat", 0},
    {kLt, "ptgLT", 0},           {kLe, "ptgLE", 0},           {kEq, "ptgEQ", 0},
    {kGe, "ptgGE", 0},           {kGt, "ptgGT", 0},           {kNe, "ptgNE", 0},
    {kIsect, "ptgIsect", 0},     {kUnion, "ptgUnion", 0},     {kRange, "ptgRange", 0},
    {kUplus, "ptgUplus", 0},     {kUminus, "ptgUminus", 0},   {kPercent, "ptgPercent", 0},
    {kParen, "ptgParen", 0},     {kMissArg, "ptgMissArg", 0}, {kStr, "ptgStr", 2},
    {kAttr, "ptgAttr", 3},       {kErr, "ptgErr", 1},         {kBool, "ptgBool", 1},
    {kInt, "ptgInt", 2},         {kNum, "ptgNum", 8},         {kArray, "ptgArray", 7},
    {kFunc, "ptgFunc", 2},       {kFuncVar, "ptgFuncVar", 3}, {kName, "ptgName", 4},
    {kRef, "ptgRef", 4},         {kArea, "ptgArea", 8},       {kMemArea, "ptgMemArea", 6},
    {kMemErr, "ptgMemErr", 6},   {kMemNoMem, "ptgMemNoMem", 6}, {kMemFunc, "ptgMemFunc", 2},
    {kRefErr, "ptgRefErr", 4},   {kAreaErr, "ptgAreaErr", 8}, {kRefN, "ptgRefN", 4},
    {kAreaN, "ptgAreaN", 8},     {kNameX, "ptgNameX", 6},     {kRef3d, "ptgRef3d", 6},
    {kArea3d, "ptgArea3d", 10},  {kRefErr3d, "ptgRefErr3d", 6}, {kAreaErr3d, "ptgAreaErr3d", 10},
};
// clang-format on

// The token's entry by its id (any class), or null for an id not listed.
constexpr const Info* find(std::uint8_t id) {
    const std::uint8_t b = base(id);
    for (const Info& t : kTokens)
        if (t.id == b) return &t;
    return nullptr;
}

} // namespace lanqi::xls::formula::ptg
