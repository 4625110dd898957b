#ifndef ROOTWEAVER_FRACTAL_THEUNSOLVER_H
#define ROOTWEAVER_FRACTAL_THEUNSOLVER_H

#include "fractal/tIterativeSolver.h"

// Heun's predictor-corrector on the Newton flow: a full Euler step predicts,
// and the mean of the slopes at both ends makes the step.
class tHeunSolver : public tIterativeSolver {
 public:
  tHeunSolver(unsigned long maxIterations, double stepSize);

  tSolution solve(tFunction* f, const tVector2& start, bool fullPath) const override;
  LANE_EVENT advanceLane(tLane& lane, const tVector2& fx, const tMatrix2& m,
                         bool fullPath) const override;
  // The damped Newton walk shared by the Newton-type solvers.
  bool iterateInSingularSet(tFunction* f, tFractal* fractal, const tVector2& start) const override;
};

#endif
