// tPacketEvaluator for SSE2, the set every x86-64 processor has.
#include "expr/tSse2Lanes.h"
#include "expr/tPacketEvaluatorBody.h"

void tPacketEvaluator::evaluateSse2(const tFormulaProgram& program, unsigned mask, double* scratch,
                                    std::size_t begin, std::size_t end) {
  evaluateWith<tSse2Lanes>(program, mask, scratch, begin, end);
}
