#ifndef ROOTWEAVER_FRACTAL_TCHEBYSHEVSYSTEMSOLVER_H
#define ROOTWEAVER_FRACTAL_TCHEBYSHEVSYSTEMSOLVER_H

#include <string>

#include "fractal/tSystemSolver.h"

// Chebyshev's method for systems: s = J^-1 F, L = J^-1 F''[s],
// x' = x - (I + L/2) s, cubic at a simple root. Rounded as c = s + (1/2) (L s).
class tChebyshevSystemSolver : public tSystemSolver {
 public:
  tChebyshevSystemSolver(unsigned long maxIterations, double stepSize);

  bool correction(const tFunction& f, const tVector2& x, const tPoint& at,
                  tVector2& c) const override;
  std::string refusalFor(const tFunction& f) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
};

#endif
