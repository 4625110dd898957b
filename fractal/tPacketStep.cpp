#include "fractal/tPacketStep.h"

#include "expr/tInstructionSet.h"
#include "fractal/tIterativeSolver.h"

tPacketStep::tParameters tPacketStep::parametersFor(double h, unsigned long maxIterations,
                                                    double a) {
  static const double residualLimit =
      tIterativeSolver::squaredLimit(tIterativeSolver::EQUALITY_EPSILON);
  return {h, static_cast<double>(maxIterations), residualLimit, a};
}

void tPacketStep::invert(const tOutputs& out, double (*inverse)[LANES]) {
  if (tInstructionSet::current() == tInstructionSet::AVX2) {
    invertAvx2(out, inverse);
  } else {
    invertSse2(out, inverse);
  }
}

tPacketStep::tFound tPacketStep::advance(SCHEME scheme, bool fullPath,
                                         const tParameters& parameters, const tOutputs& out,
                                         tLanes& lanes, const tPoints& next) {
  if (tInstructionSet::current() == tInstructionSet::AVX2) {
    return advanceAvx2(scheme, fullPath, parameters, out, lanes, next);
  }
  return advanceSse2(scheme, fullPath, parameters, out, lanes, next);
}

tPacketStep::tFound tPacketStep::advanceSecondPoint(SCHEME scheme, bool fullPath,
                                                    const tParameters& parameters,
                                                    const tOutputs& out, tLanes& lanes,
                                                    const tPoints& next) {
  if (tInstructionSet::current() == tInstructionSet::AVX2) {
    return advanceSecondPointAvx2(scheme, fullPath, parameters, out, lanes, next);
  }
  return advanceSecondPointSse2(scheme, fullPath, parameters, out, lanes, next);
}

std::vector<unsigned> tPacketStep::secondPointSlots(SCHEME scheme) {
  if (scheme == SCHEME_JARRATT) return {2, 4};
  if (scheme == SCHEME_JARRATT_SYSTEM) return {2, 3, 4, 5};
  return {0, 1};
}
