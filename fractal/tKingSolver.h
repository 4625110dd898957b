#ifndef ROOTWEAVER_FRACTAL_TKINGSOLVER_H
#define ROOTWEAVER_FRACTAL_TKINGSOLVER_H

#include "fractal/tComplexMapSolver.h"

// King's family on f(z) with parameter b: a Newton step y = z - f / f', then
// z' = y - f(y) / f'(z) (f + b f(y)) / (f + (b - 2) f(y)), of fourth order at
// a simple root for every b. b = 0 is Ostrowski's method, made here so that
// the family at b = 0 gives its pictures bit for bit. Rounded in this order:
// n = f / f', y = z - n, m = f(y) / f', w = (f + b f(y)) / (f + (b - 2) f(y)),
// c = n + m w.
class tKingSolver : public tComplexMapSolver {
 public:
  // The family at a parameter chosen by the caller.
  tKingSolver(unsigned long maxIterations, double stepSize, double parameter);
  static tKingSolver* makeOstrowski(unsigned long maxIterations, double stepSize);

  bool correction(const tIterate& at, tComplex& c) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
  double getPacketParameter(const tFunction&) const override { return parameter_; }
  // Only the family's parameter was chosen; Ostrowski's is fixed.
  bool getMethodParameter(double& parameter) const override;

 private:
  tKingSolver(unsigned long maxIterations, double stepSize, double parameter,
              const std::string& name, bool chosen);

  double parameter_;  // b
  bool chosen_;       // whether b is the caller's
};

#endif
