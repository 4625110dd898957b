#ifndef ROOTWEAVER_FRACTAL_TCOMPLEXMAPSOLVER_H
#define ROOTWEAVER_FRACTAL_TCOMPLEXMAPSOLVER_H

#include "fractal/tComplex.h"
#include "fractal/tIterativeSolver.h"

// A method for a map given as f(z): z <- z - h c, where the method makes the
// correction c. At each iterate the function's compiled program gives
// f = f1 + i f2 and f' = f11 + i f21; the iterate is tested as Newton tests
// it, and a correction whose denominator is zero ends the solve as singular.
// A method takes f'' (f1xx + i f2xx, by Cauchy-Riemann) or f and f' at other
// points only when it asks, so that one that needs neither pays for neither.
// A real map is no complex f, so it is refused.
//
// These solvers run no lanes: a lane is handed neither f'' nor values
// elsewhere. The engine calls solve() for each start, unless the method's
// step is one that tPacketStep makes on whole packets (getPacketScheme),
// bit for bit as solve() and correction() make it: with f'' from a second
// program for the one-point methods, and for the two-point ones with the
// second point evaluated in a round of its own, by a program of only what
// the method takes there.
class tComplexMapSolver : public tIterativeSolver {
 public:
  // What a correction is given at the iterate z, and how it learns more of f.
  struct tIterate {
    const tFunction& function;
    tComplex z;
    tComplex f;   // f(z)
    tComplex d1;  // f'(z)

    // f''(z), from the second partial derivatives.
    tComplex secondDerivative() const;
    // f at w, and f' at w, from the compiled programs; each evaluates no
    // more formulas than it needs.
    tComplex valueAt(const tComplex& w) const;
    tComplex derivativeAt(const tComplex& w) const;
  };

  // needs names what the method takes of f(z) in its refusal of a real map:
  // "f'' of ", "f' of " or "".
  tComplexMapSolver(unsigned long maxIterations, double stepSize, const std::string& name,
                    const char* needs);

  tSolution solve(tFunction* f, const tVector2& start, bool fullPath) const override;
  tSolution solveToOutcome(tFunction* f, const tVector2& start) const override;
  // tPacketSolver never calls it, as runsInLanes is false; it throws.
  LANE_EVENT advanceLane(tLane& lane, const tVector2& fx, const tMatrix2& m,
                         bool fullPath) const override;
  bool runsInLanes() const override { return false; }
  std::string refusalFor(const tFunction& f) const override;
  // The damped Newton walk shared by the Newton-type solvers.
  bool iterateInSingularSet(tFunction* f, tFractal* fractal, const tVector2& start) const override;

  // The method's correction c at an iterate; false when a denominator of it
  // is zero.
  virtual bool correction(const tIterate& at, tComplex& c) const = 0;

 private:
  // solve, recording the path or (for solveToOutcome) only the root.
  template <bool PATH>
  tSolution walk(tFunction* f, const tVector2& start, bool fullPath) const;

  const char* needs_;  // what the method takes of f(z), as its refusal says
};

#endif
