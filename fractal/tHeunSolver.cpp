#include "fractal/tHeunSolver.h"

#include "expr/tFunction.h"

tHeunSolver::tHeunSolver(unsigned long maxIterations, double stepSize)
    : tIterativeSolver(maxIterations, stepSize, "HeunSolver") {}

tSolution tHeunSolver::solve(tFunction* f, const tVector2& start, bool fullPath) const {
  tSolution solution(maxIterations_);
  tVector2 x = start;
  for (uint32_t i = 0; i < maxIterations_; ++i) {
    tMatrix2 m = f->jacobianInverse(x);
    tVector2 fx = f->value(x);
    tVector2 k1 = m * fx;
    solution.path_.push_back(x);
    if (stopsAt(i, m, fx, fullPath, solution)) return solution;
    tVector2 predicted = x - stepSize_ * k1;
    tVector2 fPredicted = f->value(predicted);
    tVector2 k2 = f->jacobianInverse(predicted) * fPredicted;
    x -= (0.5 * stepSize_) * (k2 + k1);
  }
  giveUp(solution);
  return solution;
}

tIterativeSolver::LANE_EVENT tHeunSolver::advanceLane(tLane& lane, const tVector2& fx,
                                                     const tMatrix2& m, bool fullPath) const {
  if (lane.stage == 0) {
    tVector2 k1 = m * fx;
    LANE_EVENT event = testIterate(m, fx, fullPath);
    if (event != LANE_ITERATE) return event;
    lane.slopes[0] = k1;
    lane.point = lane.x - stepSize_ * k1;
    lane.stage = 1;
    return LANE_ITERATE;
  }
  // At the predicted point.
  tVector2 k2 = m * fx;
  return endStep(lane, lane.x - (0.5 * stepSize_) * (k2 + lane.slopes[0]));
}

bool tHeunSolver::iterateInSingularSet(tFunction* f, tFractal* fractal,
                                       const tVector2& start) const {
  return dampedNewtonMeetsSingularSet(f, fractal, start);
}
