#ifndef ROOTWEAVER_FRACTAL_TCOMPLEXMAPSOLVER_H
#define ROOTWEAVER_FRACTAL_TCOMPLEXMAPSOLVER_H

#include "fractal/tComplex.h"
#include "fractal/tIterativeSolver.h"

// A one-step method for a map given as f(z) that uses f, f' and f'':
// z <- z - h c, where the method makes the correction c. At each iterate
// the function's compiled program gives f = f1 + i f2 and f' = f11 + i f21,
// the second derivatives f'' = f1xx + i f2xx (Cauchy-Riemann); the iterate
// is tested as Newton tests it, and a correction whose denominator is zero
// ends the solve as singular. A real map has no f'', so it is refused.
//
// These solvers run whole solves only: a lane is handed no second
// derivatives, so the engine calls solve() for each start.
class tComplexMapSolver : public tIterativeSolver {
 public:
  tComplexMapSolver(unsigned long maxIterations, double stepSize, const std::string& name);

  tSolution solve(tFunction* f, const tVector2& start, bool fullPath) const override;
  // tPacketSolver never calls it, as runsInLanes is false; it throws.
  LANE_EVENT advanceLane(tLane& lane, const tVector2& fx, const tMatrix2& m,
                         bool fullPath) const override;
  bool runsInLanes() const override { return false; }
  std::string refusalFor(const tFunction& f) const override;
  // The damped Newton walk shared by the Newton-type solvers.
  bool iterateInSingularSet(tFunction* f, tFractal* fractal, const tVector2& start) const override;

  // The method's correction c for f, f' and f'' at an iterate; false when a
  // denominator of it is zero.
  virtual bool correction(const tComplex& f, const tComplex& d1, const tComplex& d2,
                          tComplex& c) const = 0;
};

#endif
