#include "fractal/tSchroderSolver.h"

tSchroderSolver::tSchroderSolver(unsigned long maxIterations, double stepSize)
    : tComplexMapSolver(maxIterations, stepSize, "SchroderSolver") {}

bool tSchroderSolver::correction(const tComplex& f, const tComplex& d1, const tComplex& d2,
                                 tComplex& c) const {
  const tComplex p = f * d1;
  const tComplex q = d1 * d1;
  const tComplex r = f * d2;
  const tComplex denominator = q - r;
  if (denominator.isZero()) return false;
  c = p / denominator;
  return true;
}
