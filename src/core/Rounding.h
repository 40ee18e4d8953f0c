#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace core {

// Nearest whole number, halves to the even neighbour (the default rounding of the FPU).
inline int64_t RoundHalfEven(double v) {
    return static_cast<int64_t>(std::nearbyint(v));
}

// Whole-number halving truncates toward zero (-3 / 2 = -1).
constexpr int HalfTrunc(int v) {
    return v / 2;
}

// a * b / c with a 64-bit intermediate, halves rounded away from zero. Division by
// zero answers -1, as the platform call does.
constexpr int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t num = static_cast<int64_t>(a) * b;
    int64_t den = c;
    bool negative = (num < 0) != (den < 0);
    uint64_t n = num < 0 ? static_cast<uint64_t>(-num) : static_cast<uint64_t>(num);
    uint64_t d = den < 0 ? static_cast<uint64_t>(-den) : static_cast<uint64_t>(den);
    uint64_t q = (n + d / 2) / d;
    if (q > 0x7FFFFFFFull + (negative ? 1 : 0)) return -1;
    int64_t r = negative ? -static_cast<int64_t>(q) : static_cast<int64_t>(q);
    return static_cast<int32_t>(r);
}

}  // namespace core
