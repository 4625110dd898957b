#ifndef ROOTWEAVER_FRACTAL_TJARRATTSOLVER_H
#define ROOTWEAVER_FRACTAL_TJARRATTSOLVER_H

#include "fractal/tComplexMapSolver.h"

// Jarratt's method on f(z): y = z - (2/3) f / f', then
// z' = z - (1/2) (3 f'(y) + f'(z)) / (3 f'(y) - f'(z)) f / f', of fourth
// order at a simple root from f at one point and f' at two. Rounded in this
// order: n = f / f', y = z - (2/3) n with 2/3 rounded, p = 3 f'(y),
// r = (p + f') / (p - f'), c = (0.5 r) n.
class tJarrattSolver : public tComplexMapSolver {
 public:
  tJarrattSolver(unsigned long maxIterations, double stepSize);

  bool correction(const tIterate& at, tComplex& c) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
};

#endif
