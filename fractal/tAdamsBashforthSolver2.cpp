#include "fractal/tAdamsBashforthSolver2.h"

#include "expr/tFunction.h"
#include "fractal/tRungeKuttaSolver2.h"

tAdamsBashforthSolver2::tAdamsBashforthSolver2(unsigned long maxIterations, double stepSize)
    : tIterativeSolver(maxIterations, stepSize, "AdamsBashforthSolver2") {}

tSolution tAdamsBashforthSolver2::solve(tFunction* f, const tVector2& start, bool fullPath) const {
  tSolution solution(static_cast<unsigned long>(maxIterations_) + 1);

  // Start-up: one untested step of Ralston's scheme gives the second point.
  tVector2 fStart = f->value(start);
  tVector2 previousSlope = f->jacobianInverse(start) * fStart;
  solution.path_.push_back(start);
  tVector2 x = tRungeKuttaSolver2::step(f, start, previousSlope, stepSize_);

  for (uint32_t i = 0; i < maxIterations_; ++i) {
    solution.path_.push_back(x);
    tMatrix2 m = f->jacobianInverse(x);
    tVector2 fx = f->value(x);
    tVector2 slope = m * fx;
    if (stopsAt(i, m, fx, fullPath, solution)) return solution;
    x = x - stepSize_ * (0.75 * slope - 0.25 * previousSlope);
    previousSlope = slope;
  }
  giveUp(solution);
  return solution;
}

bool tAdamsBashforthSolver2::iterateInSingularSet(tFunction*, tFractal*, const tVector2&) const {
  return false;
}
