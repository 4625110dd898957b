#include "fractal/tSchroderSolver.h"

tSchroderSolver::tSchroderSolver(unsigned long maxIterations, double stepSize)
    : tComplexMapSolver(maxIterations, stepSize, "SchroderSolver", "f'' of ") {}

bool tSchroderSolver::correction(const tIterate& at, tComplex& c) const {
  const tComplex& f = at.f;
  const tComplex& d1 = at.d1;
  const tComplex d2 = at.secondDerivative();
  const tComplex p = f * d1;
  const tComplex q = d1 * d1;
  const tComplex r = f * d2;
  const tComplex denominator = q - r;
  if (denominator.isZero()) return false;
  c = p / denominator;
  return true;
}

bool tSchroderSolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_SCHRODER;
  return true;
}
