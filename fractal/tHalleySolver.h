#ifndef ROOTWEAVER_FRACTAL_THALLEYSOLVER_H
#define ROOTWEAVER_FRACTAL_THALLEYSOLVER_H

#include "fractal/tComplexMapSolver.h"

// Halley's method on f(z): c = 2 f f' / (2 f'^2 - f f''), cubic at a simple
// root. Rounded in this order: p = f f', q = f' f', r = f f'',
// c = (2 p) / ((2 q) - r).
class tHalleySolver : public tComplexMapSolver {
 public:
  tHalleySolver(unsigned long maxIterations, double stepSize);

  bool correction(const tIterate& at, tComplex& c) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
};

#endif
