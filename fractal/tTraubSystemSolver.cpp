#include "fractal/tTraubSystemSolver.h"

#include "expr/tFunction.h"

tTraubSystemSolver::tTraubSystemSolver(unsigned long maxIterations, double stepSize)
    : tSystemSolver(maxIterations, stepSize, "TraubSystemSolver") {}

bool tTraubSystemSolver::correction(const tFunction& f, const tVector2& x, const tPoint& at,
                                    tVector2& c) const {
  const tVector2 s = at.inverse * at.value;
  c = s + at.inverse * f.value(x - s);
  return true;
}

bool tTraubSystemSolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_TRAUB_SYSTEM;
  return true;
}
