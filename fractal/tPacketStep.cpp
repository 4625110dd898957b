#include "fractal/tPacketStep.h"

#include <cmath>

#include "expr/tInstructionSet.h"
#include "fractal/tIterativeSolver.h"

namespace {

// The least double whose square root is not below the epsilon: the square
// root is correctly rounded, so monotonic, and s < S holds exactly where
// EQUALITY_EPSILON > sqrt(s) does.
double findResidualLimit() {
  const double epsilon = tIterativeSolver::EQUALITY_EPSILON;
  double s = epsilon * epsilon;
  while (epsilon > std::sqrt(s)) s = std::nextafter(s, INFINITY);
  while (!(epsilon > std::sqrt(std::nextafter(s, 0.0)))) s = std::nextafter(s, 0.0);
  return s;
}

}  // namespace

tPacketStep::tParameters tPacketStep::parametersFor(double h, unsigned long maxIterations) {
  static const double residualLimit = findResidualLimit();
  return {h, static_cast<double>(maxIterations), residualLimit};
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
