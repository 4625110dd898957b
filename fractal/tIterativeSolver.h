#ifndef ROOTWEAVER_FRACTAL_TITERATIVESOLVER_H
#define ROOTWEAVER_FRACTAL_TITERATIVESOLVER_H

#include <cstdint>
#include <string>

#include "fractal/tSolution.h"
#include "graphics/tMatrix2.h"
#include "graphics/tVector2.h"

class tFractal;
class tFunction;

// A method that follows the Newton flow dx/dt = -J(x)^-1 F(x) from a start
// point towards a root of F.
//
// Every solver runs the same loop: at each iterate it asks the function for
// the inverse Jacobian and the value, records the iterate, stops on a zero
// inverse Jacobian (singular) or on |F| below EQUALITY_EPSILON (converged),
// and otherwise takes its own step scaled by the step size. Only the current
// iterate is tested; the stage points inside a step never are. The order of
// the floating-point operations in each step is fixed, because pictures must
// come out bit for bit the same: a boundary pixel's root depends on it.
class tIterativeSolver {
 public:
  // A point is a root when |F| there is below this.
  static constexpr double EQUALITY_EPSILON = 1e-10;
  // Two roots closer than this are one root.
  static constexpr double ROOT_EQUALITY_EPSILON = 1e-4;

  // Limits above what 32 bits hold are taken as the largest that fits.
  tIterativeSolver(unsigned long maxIterations, double stepSize, const std::string& name);
  virtual ~tIterativeSolver();

  // With fullPath the stopping tests are skipped: every iteration runs, every
  // iterate is recorded, and the result reports no convergence.
  virtual tSolution solve(tFunction* f, const tVector2& start, bool fullPath) const = 0;
  // Whether a walk from start meets the fractal's singular set (see
  // tFractal::pointInSingularSet) before it reaches a root or its limit.
  virtual bool iterateInSingularSet(tFunction* f, tFractal* fractal,
                                    const tVector2& start) const = 0;

  std::string getName() const { return name_; }
  uint32_t getMaxIterations() const { return maxIterations_; }
  double getStepSize() const { return stepSize_; }

 protected:
  // The stopping tests of iteration i at an iterate with inverse Jacobian m
  // and value fx. True, with the outcome filled in, when the solve stops.
  bool stopsAt(uint32_t i, const tMatrix2& m, const tVector2& fx, bool fullPath,
               tSolution& solution) const;
  // The outcome of a solve that used up its iterations.
  void giveUp(tSolution& solution) const;
  // The walk of iterateInSingularSet for the Newton-type solvers: plain damped
  // Newton steps whatever the solver's own step, each iterate tested against
  // the singular set before the residual. Nothing is recorded.
  bool dampedNewtonMeetsSingularSet(tFunction* f, tFractal* fractal, const tVector2& start) const;

  uint32_t maxIterations_;  // iteration limit
  double stepSize_;         // h, the factor of every step; 1 gives the classical Newton step
  std::string name_;        // the solver's name as data files show it
};

#endif
