#include "fractal/tNewtonSolver.h"

#include "expr/tFunction.h"

tNewtonSolver::tNewtonSolver(unsigned long maxIterations, double stepSize)
    : tIterativeSolver(maxIterations, stepSize, "NewtonSolver") {}

tSolution tNewtonSolver::solve(tFunction* f, const tVector2& start, bool fullPath) const {
  tSolution solution(maxIterations_);
  tVector2 x = start;
  for (uint32_t i = 0; i < maxIterations_; ++i) {
    tMatrix2 m = f->jacobianInverse(x);
    tVector2 fx = f->value(x);
    solution.path_.push_back(x);
    if (stopsAt(i, m, fx, fullPath, solution)) return solution;
    x -= (stepSize_ * m) * fx;
  }
  giveUp(solution);
  return solution;
}

tIterativeSolver::LANE_EVENT tNewtonSolver::advanceLane(tLane& lane, const tVector2& fx,
                                                       const tMatrix2& m, bool fullPath) const {
  LANE_EVENT event = testIterate(m, fx, fullPath);
  if (event != LANE_ITERATE) return event;
  lane.x -= (stepSize_ * m) * fx;
  lane.point = lane.x;
  ++lane.iteration;
  return LANE_ITERATE;
}

bool tNewtonSolver::iterateInSingularSet(tFunction* f, tFractal* fractal,
                                         const tVector2& start) const {
  return dampedNewtonMeetsSingularSet(f, fractal, start);
}

bool tNewtonSolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_NEWTON;
  return true;
}
