#include "fractal/tChebyshevHalleySolver.h"

tChebyshevHalleySolver::tChebyshevHalleySolver(unsigned long maxIterations, double stepSize,
                                               double parameter, const std::string& name)
    : tComplexMapSolver(maxIterations, stepSize, name), parameter_(parameter) {}

tChebyshevHalleySolver* tChebyshevHalleySolver::makeChebyshev(unsigned long maxIterations,
                                                              double stepSize) {
  return new tChebyshevHalleySolver(maxIterations, stepSize, 0.0, "ChebyshevSolver");
}

tChebyshevHalleySolver* tChebyshevHalleySolver::makeSuperHalley(unsigned long maxIterations,
                                                                double stepSize) {
  return new tChebyshevHalleySolver(maxIterations, stepSize, 1.0, "SuperHalleySolver");
}

bool tChebyshevHalleySolver::correction(const tComplex& f, const tComplex& d1, const tComplex& d2,
                                        tComplex& c) const {
  const tComplex q = d1 * d1;
  if (q.isZero()) return false;
  const tComplex newton = f / d1;
  const tComplex l = (f * d2) / q;
  const tComplex d = 2.0 * (tComplex{1.0, 0.0} - parameter_ * l);
  if (d.isZero()) return false;
  c = (tComplex{1.0, 0.0} + l / d) * newton;
  return true;
}
