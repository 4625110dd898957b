#include "fractal/tTraubSolver.h"

tTraubSolver::tTraubSolver(unsigned long maxIterations, double stepSize)
    : tComplexMapSolver(maxIterations, stepSize, "TraubSolver", "f' of ") {}

bool tTraubSolver::correction(const tIterate& at, tComplex& c) const {
  if (at.d1.isZero()) return false;
  const tComplex n = at.f / at.d1;
  c = n + at.valueAt(at.z - n) / at.d1;
  return true;
}

bool tTraubSolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_TRAUB;
  return true;
}
