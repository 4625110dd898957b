#include "fractal/tRungeKuttaSolver2.h"

#include "expr/tFunction.h"

// The stored name keeps the class prefix: data files have always shown it so.
tRungeKuttaSolver2::tRungeKuttaSolver2(unsigned long maxIterations, double stepSize)
    : tIterativeSolver(maxIterations, stepSize, "tRungeKuttaSolver2") {}

tVector2 tRungeKuttaSolver2::step(tFunction* f, const tVector2& x, const tVector2& k1, double h) {
  tVector2 second = secondPoint(x, k1, h);
  tVector2 fSecond = f->value(second);
  return finishStep(x, k1, fSecond, f->jacobianInverse(second), h);
}

tVector2 tRungeKuttaSolver2::secondPoint(const tVector2& x, const tVector2& k1, double h) {
  return x - (0.6666666666666666 * h) * k1;
}

tVector2 tRungeKuttaSolver2::finishStep(const tVector2& x, const tVector2& k1,
                                        const tVector2& fSecond, const tMatrix2& mSecond,
                                        double h) {
  tVector2 t = (0.75 * mSecond) * fSecond;
  return x - h * (0.25 * k1 + t);
}

tSolution tRungeKuttaSolver2::solve(tFunction* f, const tVector2& start, bool fullPath) const {
  tSolution solution(maxIterations_);
  tVector2 x = start;
  for (uint32_t i = 0; i < maxIterations_; ++i) {
    tMatrix2 m = f->jacobianInverse(x);
    tVector2 fx = f->value(x);
    tVector2 k1 = m * fx;
    solution.path_.push_back(x);
    if (stopsAt(i, m, fx, fullPath, solution)) return solution;
    x = step(f, x, k1, stepSize_);
  }
  giveUp(solution);
  return solution;
}

tIterativeSolver::LANE_EVENT tRungeKuttaSolver2::advanceLane(tLane& lane, const tVector2& fx,
                                                            const tMatrix2& m,
                                                            bool fullPath) const {
  if (lane.stage == 0) {
    tVector2 k1 = m * fx;
    LANE_EVENT event = testIterate(m, fx, fullPath);
    if (event != LANE_ITERATE) return event;
    lane.slopes[0] = k1;
    lane.point = secondPoint(lane.x, k1, stepSize_);
    lane.stage = 1;
    return LANE_ITERATE;
  }
  return endStep(lane, finishStep(lane.x, lane.slopes[0], fx, m, stepSize_));
}

bool tRungeKuttaSolver2::iterateInSingularSet(tFunction*, tFractal*, const tVector2&) const {
  return false;
}
