#ifndef ROOTWEAVER_FRACTAL_TCHEBYSHEVHALLEYSOLVER_H
#define ROOTWEAVER_FRACTAL_TCHEBYSHEVHALLEYSOLVER_H

#include "fractal/tComplexMapSolver.h"

// The Chebyshev-Halley family on f(z) with parameter a:
// c = (1 + L / (2 (1 - a L))) f / f', L = f f'' / f'^2, cubic at a simple
// root. a = 0 is Chebyshev's method, a = 1 Super-Halley's; both are made
// here, so that the family at those parameters gives their pictures bit for
// bit. Rounded in this order: q = f' f', n = f / f', L = (f f'') / q,
// d = 2 (1 - a L), c = (1 + L / d) n.
class tChebyshevHalleySolver : public tComplexMapSolver {
 public:
  // The family at a parameter chosen by the caller.
  tChebyshevHalleySolver(unsigned long maxIterations, double stepSize, double parameter);
  static tChebyshevHalleySolver* makeChebyshev(unsigned long maxIterations, double stepSize);
  static tChebyshevHalleySolver* makeSuperHalley(unsigned long maxIterations, double stepSize);

  bool correction(const tIterate& at, tComplex& c) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
  double getPacketParameter(const tFunction&) const override { return parameter_; }
  // Only the family's parameter was chosen; Chebyshev's and Super-Halley's are fixed.
  bool getMethodParameter(double& parameter) const override;

 private:
  tChebyshevHalleySolver(unsigned long maxIterations, double stepSize, double parameter,
                         const std::string& name, bool chosen);

  double parameter_;  // a
  bool chosen_;       // whether a is the caller's
};

#endif
