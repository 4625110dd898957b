#ifndef ROOTWEAVER_FRACTAL_TSYSTEMSOLVER_H
#define ROOTWEAVER_FRACTAL_TSYSTEMSOLVER_H

#include <string>

#include "fractal/tIterativeSolver.h"

class tFunction;

// A method for any map of the plane whose step evaluates the function at
// more than one point, or needs its second derivatives: x <- x - h c, where
// the method makes the correction c from the iterate x. At each iterate the
// function's compiled program gives F and the Jacobian J; the iterate is
// tested as Newton tests it, and a step that needs an inverse which does not
// exist (as tFunction::invertJacobian decides) ends the solve as singular.
//
// These solvers run no lanes: a lane is handed F and J^-1 at one point only.
// The engine steps each method's packet scheme (getPacketScheme) on whole
// packets instead, bit for bit as solve() and the method's next() make it,
// with a second point or trial point evaluated in a round of its own as a
// Runge-Kutta stage is, and the second partials from a second program.
class tSystemSolver : public tIterativeSolver {
 public:
  tSystemSolver(unsigned long maxIterations, double stepSize, const std::string& name);

  tSolution solve(tFunction* f, const tVector2& start, bool fullPath) const override;
  tSolution solveToOutcome(tFunction* f, const tVector2& start) const override;
  // tPacketSolver never calls it, as runsInLanes is false; it throws.
  LANE_EVENT advanceLane(tLane& lane, const tVector2& fx, const tMatrix2& m,
                         bool fullPath) const override;
  bool runsInLanes() const override { return false; }
  // The damped Newton walk shared by the Newton-type solvers.
  bool iterateInSingularSet(tFunction* f, tFractal* fractal, const tVector2& start) const override;

  // F, the Jacobian and its inverse (the zero matrix when there is none) at a point.
  struct tPoint {
    tVector2 value;
    tMatrix2 jacobian;
    tMatrix2 inverse;
  };
  static tPoint evaluate(const tFunction& f, const tVector2& x);
  // The Jacobian alone, for a method that needs no inverse of it.
  static tMatrix2 jacobianAt(const tFunction& f, const tVector2& x);

  // The iterate after x, where the function is `at`, whose inverse Jacobian
  // exists; false when another inverse the method needs does not. Unless a
  // method says otherwise, x - h c.
  virtual bool next(const tFunction& f, const tVector2& x, const tPoint& at, tVector2& after) const;
  // The method's correction c at x; false as for next.
  virtual bool correction(const tFunction& f, const tVector2& x, const tPoint& at,
                          tVector2& c) const = 0;

 protected:
  // L = J^-1 F''[s], where the rows of F''[s] are the Hessians of f1 and f2
  // applied to s, for the methods that use the second derivatives.
  static tMatrix2 curvature(const tFunction& f, const tVector2& x, const tPoint& at,
                            const tVector2& s);
  // Why such a method cannot solve f: a first derivative missing, or a
  // second one too large to derive; nothing when it can.
  std::string secondDerivativesRefusal(const tFunction& f) const;

 private:
  // solve, recording the path or (for solveToOutcome) only the root.
  template <bool PATH>
  tSolution walk(tFunction* f, const tVector2& start, bool fullPath) const;
};

#endif
