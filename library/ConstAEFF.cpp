#include "library/ConstAEFF.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace zol {

uint32_t RandSeed = 0;

uint32_t Random(uint32_t n) {
    RandSeed = RandSeed * 134775813u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(RandSeed) * n) >> 32);
}

int32_t RoundEven(double v) {
    if (std::isnan(v)) return 0;
    // Symmetric, so the negated result is always a number too.
    constexpr int32_t limit = std::numeric_limits<int32_t>::max();
    if (v <= -static_cast<double>(limit)) return -limit;
    if (v >= static_cast<double>(limit)) return limit;
    // Not std::nearbyint: the rounding mode in force belongs to the host.
    double f = std::floor(v);
    double d = v - f;
    if (d > 0.5 || (d == 0.5 && std::fmod(f, 2.0) != 0.0)) f += 1.0;
    return static_cast<int32_t>(f);
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t n = static_cast<int64_t>(a) * b;
    int64_t q = (std::llabs(n) + std::llabs(static_cast<int64_t>(c)) / 2) / std::llabs(static_cast<int64_t>(c));
    if ((n < 0) != (c < 0)) q = -q;
    if (q > std::numeric_limits<int32_t>::max() || q < std::numeric_limits<int32_t>::min()) return -1;
    return static_cast<int32_t>(q);
}

}  // namespace zol
