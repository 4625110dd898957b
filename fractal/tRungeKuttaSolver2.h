#ifndef ROOTWEAVER_FRACTAL_TRUNGEKUTTASOLVER2_H
#define ROOTWEAVER_FRACTAL_TRUNGEKUTTASOLVER2_H

#include "fractal/tIterativeSolver.h"

// Ralston's second-order Runge-Kutta scheme on the Newton flow: a second
// slope two thirds of the way, weighted 3/4 against 1/4 for the first.
class tRungeKuttaSolver2 : public tIterativeSolver {
 public:
  tRungeKuttaSolver2(unsigned long maxIterations, double stepSize);

  tSolution solve(tFunction* f, const tVector2& start, bool fullPath) const override;
  // Always false: this integrator does not walk towards the singular set.
  bool iterateInSingularSet(tFunction* f, tFractal* fractal, const tVector2& start) const override;

  // One step of size h from x, whose slope J(x)^-1 F(x) is k1.
  static tVector2 step(tFunction* f, const tVector2& x, const tVector2& k1, double h);
};

#endif
