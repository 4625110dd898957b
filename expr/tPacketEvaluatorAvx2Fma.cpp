// tPacketEvaluator for AVX2 with FMA; built with -mavx2 -mfma. The project
// builds with -ffp-contract=off, so the compiler never fuses a multiply with
// an add by itself: the one fused operation is the exact error of a product
// in the powers (tExactPower.h), the same bits as Dekker's product.
#include "expr/tAvx2Lanes.h"
#include "expr/tPacketEvaluatorBody.h"

namespace {

struct tAvx2FmaLanes : tAvx2Lanes {
  static tValues productError(tValues a, tValues b, tValues p) {
    return (tValues)_mm256_fmsub_pd((__m256d)a, (__m256d)b, (__m256d)p);
  }
};

}  // namespace

void tPacketEvaluator::evaluateAvx2Fma(const tFormulaProgram& program, unsigned mask,
                                       double* scratch, std::size_t begin, std::size_t end) {
  evaluateWith<tAvx2FmaLanes>(program, mask, scratch, begin, end);
}
