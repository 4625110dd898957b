#ifndef ROOTWEAVER_FRACTAL_TSCHRODERSOLVER_H
#define ROOTWEAVER_FRACTAL_TSCHRODERSOLVER_H

#include "fractal/tComplexMapSolver.h"

// Schroder's method on f(z): c = f f' / (f'^2 - f f''), Newton's method on
// f / f', so quadratic at a root of any multiplicity. Rounded in this order:
// p = f f', q = f' f', r = f f'', c = p / (q - r).
class tSchroderSolver : public tComplexMapSolver {
 public:
  tSchroderSolver(unsigned long maxIterations, double stepSize);

  bool correction(const tIterate& at, tComplex& c) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
};

#endif
