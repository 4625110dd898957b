#ifndef ROOTWEAVER_EXPR_TSSE2LANES_H
#define ROOTWEAVER_EXPR_TSSE2LANES_H

#include <emmintrin.h>

#include <cstdint>

// Lanes of a packet two at a time, as SSE2 holds them: the lane type of the
// packet code built for every x86-64 processor (see tInstructionSet).
// Internal linkage, like everything the packet code is built from.
namespace {

struct tSse2Lanes {
  static constexpr unsigned WIDTH = 2;
  typedef double tValues __attribute__((vector_size(16)));
  typedef uint64_t tBits __attribute__((vector_size(16)));
  // The same two lanes wherever they lie among the doubles of a packet.
  typedef double tInMemory __attribute__((vector_size(16), may_alias, aligned(8)));

  static tBits bitsOf(tValues v) { return (tBits)v; }
  static tValues valuesOf(tBits bits) { return (tValues)bits; }
  static tValues load(const double* lanes) { return *reinterpret_cast<const tInMemory*>(lanes); }
  static void store(double* lanes, tValues v) { *reinterpret_cast<tInMemory*>(lanes) = v; }
  // Correctly rounded in every lane, as std::sqrt.
  static tValues squareRoot(tValues v) { return (tValues)_mm_sqrt_pd((__m128d)v); }
  // A comparison's result as one bit per lane, lane 0 lowest.
  template <typename tMask>
  static unsigned maskBits(tMask mask) {
    return static_cast<unsigned>(_mm_movemask_pd((__m128d)mask));
  }
};

}  // namespace

#endif
