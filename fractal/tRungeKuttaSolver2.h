#ifndef ROOTWEAVER_FRACTAL_TRUNGEKUTTASOLVER2_H
#define ROOTWEAVER_FRACTAL_TRUNGEKUTTASOLVER2_H

#include "fractal/tIterativeSolver.h"

// Ralston's second-order Runge-Kutta scheme on the Newton flow: a second
// slope two thirds of the way, weighted 3/4 against 1/4 for the first.
class tRungeKuttaSolver2 : public tIterativeSolver {
 public:
  tRungeKuttaSolver2(unsigned long maxIterations, double stepSize);

  tSolution solve(tFunction* f, const tVector2& start, bool fullPath) const override;
  LANE_EVENT advanceLane(tLane& lane, const tVector2& fx, const tMatrix2& m,
                         bool fullPath) const override;
  // Always false: this integrator does not walk towards the singular set.
  bool iterateInSingularSet(tFunction* f, tFractal* fractal, const tVector2& start) const override;

  // One step of size h from x, whose slope J(x)^-1 F(x) is k1.
  static tVector2 step(tFunction* f, const tVector2& x, const tVector2& k1, double h);
  // The step's two halves: the point two thirds of the way, where the second
  // slope is taken, and the step's end from the value and inverse Jacobian
  // there.
  static tVector2 secondPoint(const tVector2& x, const tVector2& k1, double h);
  static tVector2 finishStep(const tVector2& x, const tVector2& k1, const tVector2& fSecond,
                             const tMatrix2& mSecond, double h);
};

#endif
