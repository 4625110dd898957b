#include "fractal/tHalleySystemSolver.h"

#include "expr/tFunction.h"

tHalleySystemSolver::tHalleySystemSolver(unsigned long maxIterations, double stepSize)
    : tSystemSolver(maxIterations, stepSize, "HalleySystemSolver") {}

bool tHalleySystemSolver::correction(const tFunction& f, const tVector2& x, const tPoint& at,
                                     tVector2& c) const {
  const tVector2 s = at.inverse * at.value;
  const tMatrix2 a = tMatrix2(1.0, 0.0, 0.0, 1.0) - 0.5 * curvature(f, x, at, s);
  const tMatrix2 inverse = tFunction::invertJacobian(a(0, 0), a(0, 1), a(1, 0), a(1, 1));
  if (inverse == tMatrix2()) return false;
  c = inverse * s;
  return true;
}

std::string tHalleySystemSolver::refusalFor(const tFunction& f) const {
  return secondDerivativesRefusal(f);
}

bool tHalleySystemSolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_HALLEY_SYSTEM;
  return true;
}
