// What the library's units share: the interchange file names, its random
// generator and its rounding rules.
#pragma once

#include <cstdint>

namespace zol {

inline constexpr char kStreamFileName[] = "Stream.tmp";
inline constexpr char kStream2FileName[] = "Stream2.tmp";

// The library's own linear congruential generator, one state for the whole
// process: seed <- seed * 134775813 + 1 (32-bit), Random(n) = the upper 32
// bits of the unsigned product seed * n, so Random(0) is 0.
extern uint32_t RandSeed;
uint32_t Random(uint32_t n);

// Round to nearest, ties to even, saturated to +-(2^31 - 1).
int32_t RoundEven(double v);

// a * b / c in 64 bits, halves rounded away from zero; -1 when c is 0.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

}  // namespace zol
