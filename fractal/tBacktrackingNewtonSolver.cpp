#include "fractal/tBacktrackingNewtonSolver.h"

#include "expr/tFunction.h"

tBacktrackingNewtonSolver::tBacktrackingNewtonSolver(unsigned long maxIterations, double stepSize)
    : tSystemSolver(maxIterations, stepSize, "BacktrackingNewtonSolver") {}

bool tBacktrackingNewtonSolver::next(const tFunction& f, const tVector2& x, const tPoint& at,
                                     tVector2& after) const {
  tVector2 d;
  correction(f, x, at, d);
  const double residual = at.value.length();
  double t = stepSize_;
  after = x - t * d;
  // A trial where |F| is not a number is no decrease either.
  for (int halvings = 0; halvings < HALVINGS && !(f.value(after).length() < residual); ++halvings) {
    t *= 0.5;
    after = x - t * d;
  }
  return true;
}

bool tBacktrackingNewtonSolver::correction(const tFunction&, const tVector2&, const tPoint& at,
                                           tVector2& c) const {
  c = at.inverse * at.value;
  return true;
}
