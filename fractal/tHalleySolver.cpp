#include "fractal/tHalleySolver.h"

tHalleySolver::tHalleySolver(unsigned long maxIterations, double stepSize)
    : tComplexMapSolver(maxIterations, stepSize, "HalleySolver", "f'' of ") {}

bool tHalleySolver::correction(const tIterate& at, tComplex& c) const {
  const tComplex& f = at.f;
  const tComplex& d1 = at.d1;
  const tComplex d2 = at.secondDerivative();
  const tComplex p = f * d1;
  const tComplex q = d1 * d1;
  const tComplex r = f * d2;
  const tComplex denominator = 2.0 * q - r;
  if (denominator.isZero()) return false;
  c = (2.0 * p) / denominator;
  return true;
}

bool tHalleySolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_HALLEY;
  return true;
}
