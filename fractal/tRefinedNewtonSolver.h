#ifndef ROOTWEAVER_FRACTAL_TREFINEDNEWTONSOLVER_H
#define ROOTWEAVER_FRACTAL_TREFINEDNEWTONSOLVER_H

#include "fractal/tIterativeSolver.h"

// Newton's method refined by the midpoint rule on the Newton flow: half a
// damped Newton step finds the midpoint, whose Newton direction makes the step.
// A midpoint with a singular Jacobian gives a zero step; it is not tested.
class tRefinedNewtonSolver : public tIterativeSolver {
 public:
  tRefinedNewtonSolver(unsigned long maxIterations, double stepSize);

  tSolution solve(tFunction* f, const tVector2& start, bool fullPath) const override;
  LANE_EVENT advanceLane(tLane& lane, const tVector2& fx, const tMatrix2& m,
                         bool fullPath) const override;
  // The damped Newton walk shared by the Newton-type solvers.
  bool iterateInSingularSet(tFunction* f, tFractal* fractal, const tVector2& start) const override;
};

#endif
