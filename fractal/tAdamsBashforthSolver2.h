#ifndef ROOTWEAVER_FRACTAL_TADAMSBASHFORTHSOLVER2_H
#define ROOTWEAVER_FRACTAL_TADAMSBASHFORTHSOLVER2_H

#include "fractal/tIterativeSolver.h"

// A two-step Adams-Bashforth scheme on the Newton flow, started with one
// step of Ralston's scheme. Its coefficients are 0.75 and 0.25, so each
// multistep advances the flow by half the step size while the start-up step
// advances it by the whole; pictures made with it depend on exactly that.
// The path holds the start point plus one point per iteration.
class tAdamsBashforthSolver2 : public tIterativeSolver {
 public:
  tAdamsBashforthSolver2(unsigned long maxIterations, double stepSize);

  tSolution solve(tFunction* f, const tVector2& start, bool fullPath) const override;
  // Lanes begin with the start-up step.
  void startLane(tLane& lane, const tVector2& start) const override;
  LANE_EVENT advanceLane(tLane& lane, const tVector2& fx, const tMatrix2& m,
                         bool fullPath) const override;
  // Always false: this integrator does not walk towards the singular set.
  bool iterateInSingularSet(tFunction* f, tFractal* fractal, const tVector2& start) const override;

 private:
  // Stages of a lane's start-up step; 0 is the multistep at the iterate.
  enum { START_UP = 1, START_UP_SECOND = 2 };
};

#endif
