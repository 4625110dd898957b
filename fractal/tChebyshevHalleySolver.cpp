#include "fractal/tChebyshevHalleySolver.h"

tChebyshevHalleySolver::tChebyshevHalleySolver(unsigned long maxIterations, double stepSize,
                                               double parameter)
    : tChebyshevHalleySolver(maxIterations, stepSize, parameter, "ChebyshevHalleySolver", true) {}

tChebyshevHalleySolver::tChebyshevHalleySolver(unsigned long maxIterations, double stepSize,
                                               double parameter, const std::string& name,
                                               bool chosen)
    : tComplexMapSolver(maxIterations, stepSize, name, "f'' of "),
      parameter_(parameter),
      chosen_(chosen) {}

tChebyshevHalleySolver* tChebyshevHalleySolver::makeChebyshev(unsigned long maxIterations,
                                                              double stepSize) {
  return new tChebyshevHalleySolver(maxIterations, stepSize, 0.0, "ChebyshevSolver", false);
}

tChebyshevHalleySolver* tChebyshevHalleySolver::makeSuperHalley(unsigned long maxIterations,
                                                                double stepSize) {
  return new tChebyshevHalleySolver(maxIterations, stepSize, 1.0, "SuperHalleySolver", false);
}

bool tChebyshevHalleySolver::getMethodParameter(double& parameter) const {
  parameter = parameter_;
  return chosen_;
}

bool tChebyshevHalleySolver::correction(const tIterate& at, tComplex& c) const {
  const tComplex& f = at.f;
  const tComplex& d1 = at.d1;
  const tComplex d2 = at.secondDerivative();
  const tComplex q = d1 * d1;
  if (q.isZero()) return false;
  const tComplex newton = f / d1;
  const tComplex l = (f * d2) / q;
  const tComplex d = 2.0 * (tComplex{1.0, 0.0} - parameter_ * l);
  if (d.isZero()) return false;
  c = (tComplex{1.0, 0.0} + l / d) * newton;
  return true;
}

bool tChebyshevHalleySolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_CHEBYSHEV_HALLEY;
  return true;
}
