#ifndef ROOTWEAVER_EXPR_TEXACTPOWER_H
#define ROOTWEAVER_EXPR_TEXACTPOWER_H

#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

// The powers with the exponents 2, 3 and 4 formed without pow where that is
// certainly pow's result (see the essay atop tFormulaProgram.h), for one
// double or for a vector of lanes alike.
//
// A lane type L gives the values (L::tValues, a double or a vector of them),
// their bits (L::tBits, of the same width) and the casts between the two.
// Everything here has internal linkage: this header is compiled into
// translation units built for different instruction sets, whose copies must
// never be merged at link time.
namespace {

// One double as a lane type of width one.
struct tScalarLane {
  typedef double tValues;
  typedef uint64_t tBits;
  static tBits bitsOf(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
  }
  static double valuesOf(uint64_t bits) {
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
};

const uint64_t kAbsMask = 0x7FFFFFFFFFFFFFFFu;
const uint64_t kExponentMask = 0x7FF0000000000000u;
const uint64_t kFractionMask = 0x000FFFFFFFFFFFFFu;

// Veltkamp's split: hi + lo == a, each half with at most 26 significant bits,
// so that products of halves are exact.
template <typename T>
inline void split(T a, T& hi, T& lo) {
  T c = 134217729.0 * a;
  hi = c - (c - a);
  lo = a - hi;
}

// Whether a lane type gives a product's error with a fused multiply-add
// (L::productError).
template <typename L, typename = void>
struct tFusesProducts : std::false_type {};
template <typename L>
struct tFusesProducts<L, std::void_t<decltype(&L::productError)>> : std::true_type {};

// a * b - p exactly, p being a * b rounded, as long as nothing overflows or
// underflows on the way: one fused multiply-add where the lane type has it,
// else Dekker's product. Both are exact, so both give the same bits.
template <typename L, typename T>
inline T productError(T a, T b, T p) {
  if constexpr (tFusesProducts<L>::value) {
    return L::productError(a, b, p);
  } else {
    T aHi;
    T aLo;
    T bHi;
    T bLo;
    split(a, aHi, aLo);
    split(b, bHi, bLo);
    return ((aHi * bHi - p) + aHi * bLo + aLo * bHi) + aLo * bLo;
  }
}

// Bases whose n-th power is formed exactly: between 2^-300 and 2^300 for
// every n, so the error terms stay normal numbers and pow's own error stays
// at its bound for moderate results.
const double kPowerLow[5] = {0, 0, 0x1p-150, 0x1p-100, 0x1p-75};
const double kPowerHigh[5] = {0, 0, 0x1p150, 0x1p100, 0x1p75};
// Largest distance, in units in the last place, between the exact power and
// the double taken for pow's result.
const double kPowerMargin = 0.46875;

// The double nearest to v^n (n = 2, 3 or 4) in `result`, and whether it is
// certainly what pow gives; where it is not, pow must be called. For a vector
// the answer is a mask per lane. No branches, so one double and a vector of
// them run the same operations.
template <int N, typename L>
inline auto exactPower(typename L::tValues v, typename L::tValues& result) {
  typedef typename L::tValues T;
  T av = L::valuesOf(L::bitsOf(v) & kAbsMask);
  auto inRange = (av > kPowerLow[N]) & (av < kPowerHigh[N]);
  const T p = v * v;
  const T e = productError<L>(v, v, p);
  T hi = p;
  T rest = e;
  if (N == 3) {
    // v^3 = v p + v e; the rounding of v e is far below the margin.
    const T p3 = v * p;
    T r = productError<L>(v, p, p3) + v * e;
    hi = p3 + r;
    rest = (p3 - hi) + r;
  } else if (N == 4) {
    // v^4 = p^2 + 2 p e + e^2; e^2 is far below the margin.
    const T p4 = p * p;
    T r = productError<L>(p, p, p4) + (2.0 * p) * e;
    hi = p4 + r;
    rest = (p4 - hi) + r;
  }
  // Zero to a positive integer power is zero, with the base's sign for odd
  // powers, an infinity is the infinity of that sign, and not-a-number stays
  // so (as IEC 60559 has pow do): diverging solves meet these at every step.
  const T zero = {};
  auto isZero = v == zero;
  auto notFinite = (av > std::numeric_limits<double>::max()) | (v != v);
  const T power = N == 2 ? v * v : N == 3 ? (v * v) * v : (v * v) * (v * v);
  result = notFinite ? power : N == 3 ? (isZero ? v : hi) : hi;
  auto bits = L::bitsOf(hi);
  T ulp = L::valuesOf((bits & kExponentMask) - (uint64_t{52} << 52));
  T absRest = L::valuesOf(L::bitsOf(rest) & kAbsMask);
  // A power of two has a nearer neighbour below it, so it counts only when
  // it is the power itself (the base is a power of two too).
  auto nearest = (absRest <= kPowerMargin * ulp) & (((bits & kFractionMask) != 0) | (rest == zero));
  return (inRange & nearest) | isZero | notFinite;
}

}  // namespace

#endif
