#ifndef ROOTWEAVER_FRACTAL_TNEWTONSOLVER_H
#define ROOTWEAVER_FRACTAL_TNEWTONSOLVER_H

#include "fractal/tIterativeSolver.h"

// Damped Newton's method: x <- x - (h M) F(x), which is also an explicit
// Euler step of the Newton flow.
class tNewtonSolver : public tIterativeSolver {
 public:
  tNewtonSolver(unsigned long maxIterations, double stepSize);

  tSolution solve(tFunction* f, const tVector2& start, bool fullPath) const override;
  LANE_EVENT advanceLane(tLane& lane, const tVector2& fx, const tMatrix2& m,
                         bool fullPath) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
  // The damped Newton walk shared by the Newton-type solvers.
  bool iterateInSingularSet(tFunction* f, tFractal* fractal, const tVector2& start) const override;
};

#endif
