#include "fractal/tRungeKuttaSolver4.h"

#include "expr/tFunction.h"

namespace {

// The Newton flow's direction -J(p)^-1 F(p), with F evaluated first.
tVector2 flow(tFunction* f, const tVector2& p) {
  tVector2 fp = f->value(p);
  return (-f->jacobianInverse(p)) * fp;
}

}  // namespace

tRungeKuttaSolver4::tRungeKuttaSolver4(unsigned long maxIterations, double stepSize)
    : tIterativeSolver(maxIterations, stepSize, "RungeKuttaSolver4") {}

tSolution tRungeKuttaSolver4::solve(tFunction* f, const tVector2& start, bool fullPath) const {
  tSolution solution(maxIterations_);
  tVector2 x = start;
  const double h = stepSize_;
  for (uint32_t i = 0; i < maxIterations_; ++i) {
    solution.path_.push_back(x);
    tMatrix2 m = f->jacobianInverse(x);
    tVector2 fx = f->value(x);
    if (stopsAt(i, m, fx, fullPath, solution)) return solution;
    tVector2 k1 = (-m) * fx;
    tVector2 k2 = flow(f, (0.5 * h) * k1 + x);
    tVector2 k3 = flow(f, (0.5 * h) * k2 + x);
    tVector2 k4 = flow(f, h * k3 + x);
    x = x + (h * (k4 + (2.0 * k3 + (2.0 * k2 + k1)))) / 6.0;
  }
  giveUp(solution);
  return solution;
}

tIterativeSolver::LANE_EVENT tRungeKuttaSolver4::advanceLane(tLane& lane, const tVector2& fx,
                                                            const tMatrix2& m,
                                                            bool fullPath) const {
  const double h = stepSize_;
  tVector2* k = lane.slopes;
  switch (lane.stage) {
    case 0: {
      LANE_EVENT event = testIterate(m, fx, fullPath);
      if (event != LANE_ITERATE) return event;
      k[0] = (-m) * fx;
      lane.point = (0.5 * h) * k[0] + lane.x;
      lane.stage = 1;
      return LANE_ITERATE;
    }
    case 1:
      k[1] = (-m) * fx;
      lane.point = (0.5 * h) * k[1] + lane.x;
      lane.stage = 2;
      return LANE_STAGE;
    case 2:
      k[2] = (-m) * fx;
      lane.point = h * k[2] + lane.x;
      lane.stage = 3;
      return LANE_STAGE;
    default: {
      tVector2 k4 = (-m) * fx;
      return endStep(lane, lane.x + (h * (k4 + (2.0 * k[2] + (2.0 * k[1] + k[0])))) / 6.0);
    }
  }
}

bool tRungeKuttaSolver4::iterateInSingularSet(tFunction*, tFractal*, const tVector2&) const {
  return false;
}

bool tRungeKuttaSolver4::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_RUNGE_KUTTA4;
  return true;
}
