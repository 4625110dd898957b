#include "fractal/tRefinedNewtonSolver.h"

#include "expr/tFunction.h"

tRefinedNewtonSolver::tRefinedNewtonSolver(unsigned long maxIterations, double stepSize)
    : tIterativeSolver(maxIterations, stepSize, "RefinedNewtonSolver") {}

tSolution tRefinedNewtonSolver::solve(tFunction* f, const tVector2& start, bool fullPath) const {
  tSolution solution(maxIterations_);
  tVector2 x = start;
  for (uint32_t i = 0; i < maxIterations_; ++i) {
    tMatrix2 m = f->jacobianInverse(x);
    tVector2 fx = f->value(x);
    solution.path_.push_back(x);
    if (stopsAt(i, m, fx, fullPath, solution)) return solution;
    tVector2 mid = x - ((0.5 * stepSize_) * m) * fx;
    tVector2 fMid = f->value(mid);
    tMatrix2 mMid = f->jacobianInverse(mid);
    x -= stepSize_ * (mMid * fMid);
  }
  giveUp(solution);
  return solution;
}

tIterativeSolver::LANE_EVENT tRefinedNewtonSolver::advanceLane(tLane& lane, const tVector2& fx,
                                                              const tMatrix2& m,
                                                              bool fullPath) const {
  if (lane.stage == 0) {
    LANE_EVENT event = testIterate(m, fx, fullPath);
    if (event != LANE_ITERATE) return event;
    lane.point = lane.x - ((0.5 * stepSize_) * m) * fx;
    lane.stage = 1;
    return LANE_ITERATE;
  }
  // At the midpoint.
  return endStep(lane, lane.x - stepSize_ * (m * fx));
}

bool tRefinedNewtonSolver::iterateInSingularSet(tFunction* f, tFractal* fractal,
                                                const tVector2& start) const {
  return dampedNewtonMeetsSingularSet(f, fractal, start);
}
