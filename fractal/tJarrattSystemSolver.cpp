#include "fractal/tJarrattSystemSolver.h"

#include "expr/tFunction.h"

tJarrattSystemSolver::tJarrattSystemSolver(unsigned long maxIterations, double stepSize)
    : tSystemSolver(maxIterations, stepSize, "JarrattSystemSolver") {}

bool tJarrattSystemSolver::correction(const tFunction& f, const tVector2& x, const tPoint& at,
                                      tVector2& c) const {
  const tVector2 s = at.inverse * at.value;
  const tMatrix2 thrice = 3.0 * jacobianAt(f, x - (2.0 / 3.0) * s);
  const tMatrix2 difference = thrice - at.jacobian;
  const tMatrix2 inverse = tFunction::invertJacobian(difference(0, 0), difference(0, 1),
                                                     difference(1, 0), difference(1, 1));
  if (inverse == tMatrix2()) return false;
  c = 0.5 * (inverse * ((thrice + at.jacobian) * s));
  return true;
}

bool tJarrattSystemSolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_JARRATT_SYSTEM;
  return true;
}
