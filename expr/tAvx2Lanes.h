#ifndef ROOTWEAVER_EXPR_TAVX2LANES_H
#define ROOTWEAVER_EXPR_TAVX2LANES_H

#include <immintrin.h>

#include <cstdint>

// Lanes of a packet four at a time, as AVX2 holds them: the lane type of the
// packet code built with -mavx2 (see tInstructionSet), included only there.
// Internal linkage, like everything the packet code is built from.
namespace {

struct tAvx2Lanes {
  static constexpr unsigned WIDTH = 4;
  typedef double tValues __attribute__((vector_size(32)));
  typedef uint64_t tBits __attribute__((vector_size(32)));
  // The same four lanes wherever they lie among the doubles of a packet.
  typedef double tInMemory __attribute__((vector_size(32), may_alias, aligned(8)));

  static tBits bitsOf(tValues v) { return (tBits)v; }
  static tValues valuesOf(tBits bits) { return (tValues)bits; }
  static tValues load(const double* lanes) { return *reinterpret_cast<const tInMemory*>(lanes); }
  static void store(double* lanes, tValues v) { *reinterpret_cast<tInMemory*>(lanes) = v; }
  // Correctly rounded in every lane, as std::sqrt.
  static tValues squareRoot(tValues v) { return (tValues)_mm256_sqrt_pd((__m256d)v); }
  // A comparison's result as one bit per lane, lane 0 lowest.
  template <typename tMask>
  static unsigned maskBits(tMask mask) {
    return static_cast<unsigned>(_mm256_movemask_pd((__m256d)mask));
  }
};

}  // namespace

#endif
