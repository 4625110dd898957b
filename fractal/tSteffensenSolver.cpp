#include "fractal/tSteffensenSolver.h"

tSteffensenSolver::tSteffensenSolver(unsigned long maxIterations, double stepSize)
    : tComplexMapSolver(maxIterations, stepSize, "SteffensenSolver", "") {}

bool tSteffensenSolver::correction(const tIterate& at, tComplex& c) const {
  const tComplex denominator = at.valueAt(at.z + at.f) - at.f;
  if (denominator.isZero()) return false;
  c = (at.f * at.f) / denominator;
  return true;
}

bool tSteffensenSolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_STEFFENSEN;
  return true;
}
