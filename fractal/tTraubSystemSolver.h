#ifndef ROOTWEAVER_FRACTAL_TTRAUBSYSTEMSOLVER_H
#define ROOTWEAVER_FRACTAL_TTRAUBSYSTEMSOLVER_H

#include "fractal/tSystemSolver.h"

// Traub's two-step method with the Jacobian frozen at the iterate:
// y = x - J(x)^-1 F(x), x' = y - J(x)^-1 F(y), cubic at a simple root.
// Rounded as c = s + J(x)^-1 F(y), s = J(x)^-1 F(x), y = x - s.
class tTraubSystemSolver : public tSystemSolver {
 public:
  tTraubSystemSolver(unsigned long maxIterations, double stepSize);

  bool correction(const tFunction& f, const tVector2& x, const tPoint& at,
                  tVector2& c) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
};

#endif
