#ifndef ROOTWEAVER_FRACTAL_TSTEFFENSENSOLVER_H
#define ROOTWEAVER_FRACTAL_TSTEFFENSENSOLVER_H

#include "fractal/tComplexMapSolver.h"

// Steffensen's method on f(z): c = f^2 / (f(z + f) - f), Newton's step with
// f' replaced by the difference quotient over the step f, so quadratic at a
// simple root without any derivative (the iterate is still tested on the
// Jacobian, as every method's is). Rounded in this order: w = z + f,
// d = f(w) - f, c = (f f) / d.
class tSteffensenSolver : public tComplexMapSolver {
 public:
  tSteffensenSolver(unsigned long maxIterations, double stepSize);

  bool correction(const tIterate& at, tComplex& c) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
};

#endif
