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
  // Under the name the data files show for this parameter.
  tChebyshevHalleySolver(unsigned long maxIterations, double stepSize, double parameter,
                         const std::string& name);
  static tChebyshevHalleySolver* makeChebyshev(unsigned long maxIterations, double stepSize);
  static tChebyshevHalleySolver* makeSuperHalley(unsigned long maxIterations, double stepSize);

  bool correction(const tComplex& f, const tComplex& d1, const tComplex& d2,
                  tComplex& c) const override;
  double getParameter() const { return parameter_; }

 private:
  double parameter_;  // a
};

#endif
