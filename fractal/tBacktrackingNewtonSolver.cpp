#include "fractal/tBacktrackingNewtonSolver.h"

#include <cmath>

#include "expr/tFunction.h"

namespace {

// |v| as tVector2::length forms it, inlined in the trial loop.
double length(const tVector2& v) { return std::sqrt(v.x_ * v.x_ + v.y_ * v.y_); }

}  // namespace

tBacktrackingNewtonSolver::tBacktrackingNewtonSolver(unsigned long maxIterations, double stepSize)
    : tSystemSolver(maxIterations, stepSize, "BacktrackingNewtonSolver") {}

bool tBacktrackingNewtonSolver::next(const tFunction& f, const tVector2& x, const tPoint& at,
                                     tVector2& after) const {
  tVector2 d;
  correction(f, x, at, d);
  const double residual = length(at.value);
  double t = stepSize_;
  after = x - t * d;
  // A trial where |F| is not a number is no decrease either.
  for (int halvings = 0; halvings < HALVINGS && !(length(f.value(after)) < residual); ++halvings) {
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

bool tBacktrackingNewtonSolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_BACKTRACKING_NEWTON;
  return true;
}
