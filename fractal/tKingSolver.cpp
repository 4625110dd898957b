#include "fractal/tKingSolver.h"

tKingSolver::tKingSolver(unsigned long maxIterations, double stepSize, double parameter)
    : tKingSolver(maxIterations, stepSize, parameter, "KingSolver", true) {}

tKingSolver::tKingSolver(unsigned long maxIterations, double stepSize, double parameter,
                         const std::string& name, bool chosen)
    : tComplexMapSolver(maxIterations, stepSize, name, "f' of "),
      parameter_(parameter),
      chosen_(chosen) {}

tKingSolver* tKingSolver::makeOstrowski(unsigned long maxIterations, double stepSize) {
  return new tKingSolver(maxIterations, stepSize, 0.0, "OstrowskiSolver", false);
}

bool tKingSolver::getMethodParameter(double& parameter) const {
  parameter = parameter_;
  return chosen_;
}

bool tKingSolver::correction(const tIterate& at, tComplex& c) const {
  if (at.d1.isZero()) return false;
  const tComplex n = at.f / at.d1;
  const tComplex fy = at.valueAt(at.z - n);
  const tComplex m = fy / at.d1;
  const tComplex denominator = at.f + (parameter_ - 2.0) * fy;
  if (denominator.isZero()) return false;
  c = n + m * ((at.f + parameter_ * fy) / denominator);
  return true;
}

bool tKingSolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_KING;
  return true;
}
