#ifndef ROOTWEAVER_EXPR_TPACKETEVALUATORBODY_H
#define ROOTWEAVER_EXPR_TPACKETEVALUATORBODY_H

// The body of tPacketEvaluator, included by the translation unit of each
// instruction set, which instantiates it with its lane type.

#include <cmath>

#include "expr/tExactPower.h"
#include "expr/tFormulaProgram.h"
#include "expr/tPacketEvaluator.h"

namespace {

constexpr unsigned kLanes = tFormulaProgram::LANES;

// One IEEE operation over all lanes, a vector at a time.
template <typename tLanes, typename tOperation>
inline void vectorLanes(const double* a, const double* b, double* target, tOperation operation) {
  for (unsigned l = 0; l < kLanes; l += tLanes::WIDTH) {
    tLanes::store(target + l, operation(tLanes::load(a + l), tLanes::load(b + l)));
  }
}

// The exact powers of all lanes first; the lanes left to pow are gathered as
// bits and called afterwards, so the common case runs without branches.
template <int N, typename tLanes>
inline void powerLanes(const double* base, const double* exponent, double* target,
                       unsigned mask) {
  unsigned inexact = 0;
  for (unsigned l = 0; l < kLanes; l += tLanes::WIDTH) {
    typename tLanes::tValues result;
    auto exact = exactPower<N, tLanes>(tLanes::load(base + l), result);
    tLanes::store(target + l, result);
    inexact |= (tLanes::maskBits(exact) ^ ((1u << tLanes::WIDTH) - 1)) << l;
  }
  inexact &= mask;
  while (inexact != 0) {
    unsigned l = static_cast<unsigned>(__builtin_ctz(inexact));
    target[l] = std::pow(base[l], exponent[l]);
    inexact &= inexact - 1;
  }
}

}  // namespace

template <typename tLanes>
void tPacketEvaluator::evaluateWith(const tFormulaProgram& program, unsigned mask, double* scratch,
                                    std::size_t begin, std::size_t end) {
  typedef typename tLanes::tValues V;
  for (std::size_t i = begin; i < end; ++i) {
    const tFormulaProgram::tInstruction& in = program.code_[i];
    const double* a = scratch + in.a * kLanes;
    const double* b = scratch + in.b * kLanes;
    double* target = scratch + in.target * kLanes;
    switch (in.op) {
      case tFormulaProgram::OP_ADD:
        vectorLanes<tLanes>(a, b, target, [](V x, V y) { return x + y; });
        break;
      case tFormulaProgram::OP_SUB:
        vectorLanes<tLanes>(a, b, target, [](V x, V y) { return x - y; });
        break;
      case tFormulaProgram::OP_MUL:
        vectorLanes<tLanes>(a, b, target, [](V x, V y) { return x * y; });
        break;
      case tFormulaProgram::OP_DIV:
        vectorLanes<tLanes>(a, b, target, [](V x, V y) { return x / y; });
        break;
      case tFormulaProgram::OP_NEG:
        vectorLanes<tLanes>(a, a, target, [](V x, V) { return -x; });
        break;
      case tFormulaProgram::OP_ABS:
        // fabs clears the sign bit and nothing else.
        vectorLanes<tLanes>(a, a, target,
                            [](V x, V) { return tLanes::valuesOf(tLanes::bitsOf(x) & kAbsMask); });
        break;
      case tFormulaProgram::OP_POW2: powerLanes<2, tLanes>(a, b, target, mask); break;
      case tFormulaProgram::OP_POW3: powerLanes<3, tLanes>(a, b, target, mask); break;
      case tFormulaProgram::OP_POW4: powerLanes<4, tLanes>(a, b, target, mask); break;
      default:
        // The libm calls, one active lane at a time; idle lanes get 0.
        for (unsigned l = 0; l < kLanes; ++l) {
          target[l] = ((mask >> l) & 1u) != 0 ? tFormulaProgram::apply(in.op, a[l], b[l]) : 0.0;
        }
        break;
    }
  }
}

#endif
