#ifndef ROOTWEAVER_FRACTAL_TJARRATTSYSTEMSOLVER_H
#define ROOTWEAVER_FRACTAL_TJARRATTSYSTEMSOLVER_H

#include "fractal/tSystemSolver.h"

// Jarratt's method for systems: y = x - (2/3) J(x)^-1 F(x),
// x' = x - (1/2) (3 J(y) - J(x))^-1 (3 J(y) + J(x)) J(x)^-1 F(x), of fourth
// order at a simple root. Rounded as s = J(x)^-1 F(x), y = x - (2/3) s,
// c = (1/2) ((3 J(y) - J(x))^-1 ((3 J(y) + J(x)) s)).
class tJarrattSystemSolver : public tSystemSolver {
 public:
  tJarrattSystemSolver(unsigned long maxIterations, double stepSize);

  // False where 3 J(y) - J(x) has no inverse.
  bool correction(const tFunction& f, const tVector2& x, const tPoint& at,
                  tVector2& c) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
};

#endif
