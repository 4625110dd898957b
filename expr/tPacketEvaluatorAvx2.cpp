// tPacketEvaluator for AVX2; this file alone of expr/ is built with -mavx2
// (never with -mfma: a fused multiply-add would change bits).
#include "expr/tAvx2Lanes.h"
#include "expr/tPacketEvaluatorBody.h"

void tPacketEvaluator::evaluateAvx2(const tFormulaProgram& program, unsigned mask, double* scratch,
                                    std::size_t begin, std::size_t end) {
  static const bool fused = __builtin_cpu_supports("fma");
  if (fused) {
    evaluateAvx2Fma(program, mask, scratch, begin, end);
  } else {
    evaluateWith<tAvx2Lanes>(program, mask, scratch, begin, end);
  }
}
