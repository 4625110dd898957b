#ifndef ROOTWEAVER_FRACTAL_TRUNGEKUTTASOLVER4_H
#define ROOTWEAVER_FRACTAL_TRUNGEKUTTASOLVER4_H

#include "fractal/tIterativeSolver.h"

// The classical fourth-order Runge-Kutta scheme on the Newton flow.
class tRungeKuttaSolver4 : public tIterativeSolver {
 public:
  tRungeKuttaSolver4(unsigned long maxIterations, double stepSize);

  tSolution solve(tFunction* f, const tVector2& start, bool fullPath) const override;
  LANE_EVENT advanceLane(tLane& lane, const tVector2& fx, const tMatrix2& m,
                         bool fullPath) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
  // Always false: this integrator does not walk towards the singular set.
  bool iterateInSingularSet(tFunction* f, tFractal* fractal, const tVector2& start) const override;
};

#endif
