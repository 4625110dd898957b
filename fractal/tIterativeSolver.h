#ifndef ROOTWEAVER_FRACTAL_TITERATIVESOLVER_H
#define ROOTWEAVER_FRACTAL_TITERATIVESOLVER_H

#include <cmath>
#include <cstdint>
#include <string>

#include "fractal/tPacketStep.h"
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
//
// Besides solve(), every solver can run its iteration one evaluation at a
// time on a lane (advanceLane): the fractal engine keeps a packet of lanes,
// evaluates the function at all their points together, and hands each lane
// its value and inverse Jacobian. A lane does exactly the operations that
// solve() does from the same start, in the same order, so it reaches the same
// outcome bit for bit, but records nothing besides where it is.
class tIterativeSolver {
 public:
  // A point is a root when |F| there is below this.
  static constexpr double EQUALITY_EPSILON = 1e-10;
  // tFunction::INVERTIBLE_CUTOFF, for the inline singular test.
  static constexpr double INVERTIBLE_CUTOFF = 1e-10;
  // Two roots closer than this are one root.
  static constexpr double ROOT_EQUALITY_EPSILON = 1e-4;
  // The least double whose square root is not below `distance`: the square
  // root is correctly rounded, so monotonic, and a squared length s is below
  // it exactly where distance > sqrt(s), with no square root taken.
  static double squaredLimit(double distance);

  // One start point on its way through the iteration of solve().
  struct tLane {
    tVector2 x;          // the current iterate
    tVector2 point;      // where the function is evaluated next
    tVector2 slopes[3];  // slopes a step keeps between its evaluations
    uint32_t stage;      // the evaluation of the step that comes next; 0 is at the iterate
    uint32_t iteration;  // the i of solve()'s loop
  };
  // What a lane's evaluation was.
  enum LANE_EVENT {
    LANE_STAGE,      // a point inside a step
    LANE_ITERATE,    // a point of solve()'s path that passed the tests (or is not tested)
    LANE_SINGULAR,   // an iterate whose inverse Jacobian is zero: the solve stops
    LANE_CONVERGED   // an iterate that is a root: the solve stops with x on it
  };

  // Limits above what 32 bits hold are taken as the largest that fits.
  tIterativeSolver(unsigned long maxIterations, double stepSize, const std::string& name);
  virtual ~tIterativeSolver();

  // With fullPath the stopping tests are skipped: every iteration runs, every
  // iterate is recorded, and the result reports no convergence.
  virtual tSolution solve(tFunction* f, const tVector2& start, bool fullPath) const = 0;
  // solve(f, start, false) for a picture, which needs only the outcome: the
  // same flags and iteration, and a path that may hold no more than the root
  // when the solve converged. Solvers that solve each start whole record no
  // path here, and allocate only for the root.
  virtual tSolution solveToOutcome(tFunction* f, const tVector2& start) const;
  // Whether a walk from start meets the fractal's singular set (see
  // tFractal::pointInSingularSet) before it reaches a root or its limit.
  virtual bool iterateInSingularSet(tFunction* f, tFractal* fractal,
                                    const tVector2& start) const = 0;

  // Puts the lane on a new start. A limit of 0 iterations is the caller's to
  // handle: such a solve evaluates nothing that matters.
  virtual void startLane(tLane& lane, const tVector2& start) const;
  // Takes the value fx and inverse Jacobian m at lane.point and goes on to the
  // next point to evaluate. With fullPath the tests are skipped, as in solve().
  virtual LANE_EVENT advanceLane(tLane& lane, const tVector2& fx, const tMatrix2& m,
                                 bool fullPath) const = 0;
  // The step that tPacketStep makes on whole packets exactly as advanceLane
  // makes it on each lane (or, for a solver that runs no lanes, as solve()
  // makes it), if it has one for this solver; false when the lanes are to
  // be advanced one at a time, or the starts solved whole. A solver that
  // changes advanceLane or solve() gives false, or its own would not be
  // called.
  virtual bool getPacketScheme(tPacketStep::SCHEME& scheme) const;
  // The constant that step takes on f besides the step size and the limit
  // (the Chebyshev-Halley family's a, King's b, Laguerre's n); 0 for the others.
  virtual double getPacketParameter(const tFunction&) const { return 0.0; }
  // Whether advanceLane runs this solver's iteration; a solver that needs
  // more of the function at an iterate than a lane is handed gives false,
  // and the engine calls solve() for each start instead.
  virtual bool runsInLanes() const { return true; }
  // The method parameter `use` gave this solver (_methodParameter), if it
  // takes one.
  virtual bool getMethodParameter(double& parameter) const;
  // Why this solver cannot solve f, or nothing when it can.
  virtual std::string refusalFor(const tFunction& f) const;
  // Whether the lane's solve has used up its iterations (it would now leave
  // its loop with noConvergence_).
  bool laneGaveUp(const tLane& lane) const {
    return lane.stage == 0 && lane.iteration >= maxIterations_;
  }

  // Whether the Jacobian with rows (f11, f12) and (f21, f22) has no inverse:
  // exactly where tFunction::invertJacobian gives the zero matrix, for a
  // solver that needs no more of the inverse than that.
  static bool singularJacobian(double f11, double f12, double f21, double f22) {
    // invertJacobian gives the zero matrix below the cutoff, and a matrix of
    // NaN where the determinant is not finite (the test fails on both). Above
    // the cutoff the inverse is never zero: with m the largest entry of J,
    // m / |det| is above 0.4 when m < 1 (|det| <= 2 m^2 up to rounding) and
    // at least 1 / DBL_MAX otherwise, so that quotient never underflows to 0.
    return std::fabs(tMatrix2(f11, f12, f21, f22).determinant()) < INVERTIBLE_CUTOFF;
  }

  std::string getName() const { return name_; }
  uint32_t getMaxIterations() const { return maxIterations_; }
  double getStepSize() const { return stepSize_; }

 protected:
  // The stopping tests of iteration i at an iterate with inverse Jacobian m
  // and value fx. True, with the outcome filled in, when the solve stops.
  bool stopsAt(uint32_t i, const tMatrix2& m, const tVector2& fx, bool fullPath,
               tSolution& solution) const {
    return stopsAt(i, m == tMatrix2(), fx, fullPath, solution);
  }
  // The same where only whether m is zero (the Jacobian singular) is known.
  bool stopsAt(uint32_t i, bool singular, const tVector2& fx, bool fullPath,
               tSolution& solution) const {
    LANE_EVENT event = testIterate(singular, fx, fullPath);
    if (event == LANE_ITERATE) return false;
    solution.iterations_ = i;
    solution.singularJacobian_ = event == LANE_SINGULAR;
    solution.noConvergence_ = false;
    return true;
  }
  // The stopping tests alone: LANE_ITERATE when the solve goes on.
  LANE_EVENT testIterate(const tMatrix2& m, const tVector2& fx, bool fullPath) const {
    return testIterate(m == tMatrix2(), fx, fullPath);
  }
  LANE_EVENT testIterate(bool singular, const tVector2& fx, bool fullPath) const {
    if (fullPath) return LANE_ITERATE;
    // The singular test comes first: a root with a singular Jacobian is
    // reported as singular. The residual is |F| as tVector2::length forms it.
    if (singular) return LANE_SINGULAR;
    // EQUALITY_EPSILON > sqrt(s), with no square root taken (squaredLimit).
    if (fx.x_ * fx.x_ + fx.y_ * fx.y_ < residualLimit_) return LANE_CONVERGED;
    return LANE_ITERATE;
  }
  // The end of a solve stopped by the singular test at iteration i.
  static void stopSingular(uint32_t i, tSolution& solution);
  // Ends a lane's step on the new iterate x, the point evaluated next.
  static LANE_EVENT endStep(tLane& lane, const tVector2& x) {
    lane.x = x;
    lane.point = x;
    lane.stage = 0;
    ++lane.iteration;
    return LANE_STAGE;
  }
  // The outcome of a solve that used up its iterations.
  void giveUp(tSolution& solution) const;
  // The walk of iterateInSingularSet for the Newton-type solvers: plain damped
  // Newton steps whatever the solver's own step, each iterate tested against
  // the singular set before the residual. Nothing is recorded.
  bool dampedNewtonMeetsSingularSet(tFunction* f, tFractal* fractal, const tVector2& start) const;

  uint32_t maxIterations_;  // iteration limit
  double residualLimit_;    // squaredLimit(EQUALITY_EPSILON)
  double stepSize_;         // h, the factor of every step; 1 gives the classical Newton step
  std::string name_;        // the solver's name as data files show it
};

#endif
