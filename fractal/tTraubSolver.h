#ifndef ROOTWEAVER_FRACTAL_TTRAUBSOLVER_H
#define ROOTWEAVER_FRACTAL_TTRAUBSOLVER_H

#include "fractal/tComplexMapSolver.h"

// Traub's method on f(z): a Newton step y = z - f / f', then
// z' = y - f(y) / f'(z), cubic at a simple root from f at two points and f'
// at one, without f''. Rounded in this order: n = f / f', y = z - n,
// m = f(y) / f', c = n + m.
class tTraubSolver : public tComplexMapSolver {
 public:
  tTraubSolver(unsigned long maxIterations, double stepSize);

  bool correction(const tIterate& at, tComplex& c) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
};

#endif
