#include "fractal/tJarrattSolver.h"

tJarrattSolver::tJarrattSolver(unsigned long maxIterations, double stepSize)
    : tComplexMapSolver(maxIterations, stepSize, "JarrattSolver", "f' of ") {}

bool tJarrattSolver::correction(const tIterate& at, tComplex& c) const {
  if (at.d1.isZero()) return false;
  const tComplex n = at.f / at.d1;
  const tComplex p = 3.0 * at.derivativeAt(at.z - (2.0 / 3.0) * n);
  const tComplex denominator = p - at.d1;
  if (denominator.isZero()) return false;
  c = (0.5 * ((p + at.d1) / denominator)) * n;
  return true;
}

bool tJarrattSolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_JARRATT;
  return true;
}
