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

void tAdamsBashforthSolver2::startLane(tLane& lane, const tVector2& start) const {
  tIterativeSolver::startLane(lane, start);
  lane.stage = START_UP;
}

tIterativeSolver::LANE_EVENT tAdamsBashforthSolver2::advanceLane(tLane& lane, const tVector2& fx,
                                                                const tMatrix2& m,
                                                                bool fullPath) const {
  tVector2& previousSlope = lane.slopes[0];
  switch (lane.stage) {
    case START_UP:
      // The start point is the path's first point; it is not tested.
      previousSlope = m * fx;
      lane.point = tRungeKuttaSolver2::secondPoint(lane.x, previousSlope, stepSize_);
      lane.stage = START_UP_SECOND;
      return LANE_ITERATE;
    case START_UP_SECOND:
      lane.x = tRungeKuttaSolver2::finishStep(lane.x, previousSlope, fx, m, stepSize_);
      lane.point = lane.x;
      lane.stage = 0;
      return LANE_STAGE;
    default: {
      tVector2 slope = m * fx;
      LANE_EVENT event = testIterate(m, fx, fullPath);
      if (event != LANE_ITERATE) return event;
      lane.x = lane.x - stepSize_ * (0.75 * slope - 0.25 * previousSlope);
      previousSlope = slope;
      lane.point = lane.x;
      ++lane.iteration;
      return LANE_ITERATE;
    }
  }
}

bool tAdamsBashforthSolver2::iterateInSingularSet(tFunction*, tFractal*, const tVector2&) const {
  return false;
}
