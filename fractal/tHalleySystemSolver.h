#ifndef ROOTWEAVER_FRACTAL_THALLEYSYSTEMSOLVER_H
#define ROOTWEAVER_FRACTAL_THALLEYSYSTEMSOLVER_H

#include <string>

#include "fractal/tSystemSolver.h"

// Halley's method for systems: s = J^-1 F, L = J^-1 F''[s],
// x' = x - (I - L/2)^-1 s, cubic at a simple root. Rounded as
// c = (I - (1/2) L)^-1 s.
class tHalleySystemSolver : public tSystemSolver {
 public:
  tHalleySystemSolver(unsigned long maxIterations, double stepSize);

  // False where I - L/2 has no inverse.
  bool correction(const tFunction& f, const tVector2& x, const tPoint& at,
                  tVector2& c) const override;
  std::string refusalFor(const tFunction& f) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
};

#endif
