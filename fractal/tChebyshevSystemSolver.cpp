#include "fractal/tChebyshevSystemSolver.h"

tChebyshevSystemSolver::tChebyshevSystemSolver(unsigned long maxIterations, double stepSize)
    : tSystemSolver(maxIterations, stepSize, "ChebyshevSystemSolver") {}

bool tChebyshevSystemSolver::correction(const tFunction& f, const tVector2& x, const tPoint& at,
                                        tVector2& c) const {
  const tVector2 s = at.inverse * at.value;
  c = s + 0.5 * (curvature(f, x, at, s) * s);
  return true;
}

std::string tChebyshevSystemSolver::refusalFor(const tFunction& f) const {
  return secondDerivativesRefusal(f);
}

bool tChebyshevSystemSolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_CHEBYSHEV_SYSTEM;
  return true;
}
