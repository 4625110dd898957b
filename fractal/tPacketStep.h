#ifndef ROOTWEAVER_FRACTAL_TPACKETSTEP_H
#define ROOTWEAVER_FRACTAL_TPACKETSTEP_H

#include <vector>

#include "expr/tFormulaProgram.h"

// What a solver does with the six formulas at the points of a packet, done
// on all its lanes at once in vectors: the inverse Jacobians, and for the
// Newton and the fourth-order Runge-Kutta iterations and for the methods on
// f(z) (the one-point ones that take f'': Halley's, Schroder's, the
// Chebyshev-Halley family's and Laguerre's; the two-point ones: Traub's,
// King's family with Ostrowski's, Jarratt's and Steffensen's) and for the
// methods for any map the stopping tests and the steps themselves.
//
// Each lane makes, in its vector slot, exactly the IEEE operations that
// tIterativeSolver::advanceLane makes for it (for the methods on f(z), which
// run no lanes, those of tComplexMapSolver::solve and the method's
// correction, in tComplex's arithmetic; for the methods for any map those of
// tSystemSolver::solve and the method's next, in tVector2's and tMatrix2's),
// in the same order, so it ends
// where solve() ends bit for bit, and its full path (for the singular-set
// test) is solve()'s too. What differs between lanes (a Runge-Kutta or
// two-point lane's stage, whether a lane stops) is chosen per lane by masks, never by
// branches; the lanes that stop are reported as bits, and only they are
// handled one at a time by the caller. Two shortcuts keep the bits: the test
// EQUALITY_EPSILON > sqrt(s) is s < S, where S is the least double whose
// correctly rounded square root is not below the epsilon (the square root
// is monotonic), and iteration counts are held in doubles, exact far beyond
// any limit of 32 bits.
//
// The code is built for each instruction set (tPacketStepSse2.cpp and
// tPacketStepAvx2.cpp instantiate the templates of tPacketStepBody.h); the
// functions here choose the set in use (tInstructionSet).
class tPacketStep {
 public:
  static constexpr unsigned LANES = tFormulaProgram::LANES;
  // The steps made on whole packets; other solvers step one lane at a time,
  // or solve whole.
  enum SCHEME {
    SCHEME_NEWTON,
    SCHEME_RUNGE_KUTTA4,
    // z <- z - h c with the method's correction c (tComplexMapSolver), which
    // takes f'' too: these steps read f1xx and f2xx among the outputs.
    SCHEME_HALLEY,
    SCHEME_CHEBYSHEV_HALLEY,
    SCHEME_SCHRODER,
    SCHEME_LAGUERRE,
    // z <- z - h c with a correction from f and f' at z and what the
    // method takes at a second point w (secondPointSlots): each step takes
    // two rounds, advance at z, then advanceSecondPoint at w, all lanes in
    // step; a lane's stage is 0 at z and 1 at w.
    SCHEME_TRAUB,
    SCHEME_KING,
    SCHEME_JARRATT,
    SCHEME_STEFFENSEN,
    // The methods for any map (tSystemSolver), bit for bit as their
    // corrections make them: Traub's and Jarratt's evaluate a second point
    // at stage 1, in rounds of their own as the two-point steps on f(z) do,
    // Chebyshev's and Halley's read the six second partials
    // among the outputs, and Newton's with backtracking evaluates its trial
    // points at stages 1 to tBacktrackingNewtonSolver::HALVINGS.
    SCHEME_TRAUB_SYSTEM,
    SCHEME_JARRATT_SYSTEM,
    SCHEME_CHEBYSHEV_SYSTEM,
    SCHEME_HALLEY_SYSTEM,
    SCHEME_BACKTRACKING_NEWTON
  };
  static bool takesSecondDerivatives(SCHEME scheme) {
    return (scheme >= SCHEME_HALLEY && scheme <= SCHEME_LAGUERRE) || takesSecondPartials(scheme);
  }
  // Whether a step that takes second derivatives reads all six second
  // partials (f1xx, f1xy, f1yy, f2xx, f2xy, f2yy), not only f1xx and f2xx.
  static bool takesSecondPartials(SCHEME scheme) {
    return scheme == SCHEME_CHEBYSHEV_SYSTEM || scheme == SCHEME_HALLEY_SYSTEM;
  }
  static bool takesTwoPoints(SCHEME scheme) {
    return scheme >= SCHEME_TRAUB && scheme <= SCHEME_STEFFENSEN;
  }
  static bool isSystemScheme(SCHEME scheme) { return scheme >= SCHEME_TRAUB_SYSTEM; }
  // The steps whose rounds alternate between the iterates and second points
  // where they take fewer formulas: the two-point ones on f(z), and Traub's
  // and Jarratt's for any map.
  static bool evaluatesSecondPoint(SCHEME scheme) {
    return takesTwoPoints(scheme) || scheme == SCHEME_TRAUB_SYSTEM ||
           scheme == SCHEME_JARRATT_SYSTEM;
  }
  // What a step that evaluatesSecondPoint takes there, as slots of the
  // function's program: f1 and f2, Jarratt's f11 and f21 (f') on f(z), or
  // the Jacobian for Jarratt's method for any map.
  static std::vector<unsigned> secondPointSlots(SCHEME scheme);

  // The lanes of a packet in columns.
  struct tLanes {
    double x[LANES];             // the current iterate
    double y[LANES];
    // The slopes a Runge-Kutta step keeps, x then y; a two-point step keeps
    // f / f', f and f' at the iterate there, real then imaginary part; a
    // step for any map what its scheme says (tSystemStepBody.h).
    double slopes[3][2][LANES];
    double stage[LANES];         // the evaluation of the step that comes next; 0 at the iterate
    double iteration[LANES];     // the i of solve()'s loop
  };
  // The solver's constants.
  struct tParameters {
    double h;              // the step size
    double maxIterations;  // the iteration limit
    double residualLimit;  // S above
    double a;              // the Chebyshev-Halley family's a, King's b or Laguerre's n
  };
  // The six formulas (f1, f2, f11, f12, f21, f22) at the points of a
  // packet, LANES values each, and for the schemes that take f'' the second
  // derivatives f1xx and f2xx, or all six second partials for those that
  // take them.
  typedef const double* tOutputs[12];
  // Where the function is evaluated next: LANES values of x and of y.
  struct tPoints {
    double* x;
    double* y;
  };
  // What one evaluation found, a bit per lane.
  struct tFound {
    unsigned iterate;    // full path only: the point was an iterate (stage 0)
    unsigned singular;   // an iterate whose inverse Jacobian is zero; not on a full path,
                         // also one whose correction's denominator is (the solve ends)
    unsigned positive;   // full path only: the inverse Jacobian's determinant is above zero
    unsigned converged;  // not on a full path: an iterate that is a root, where the solve
                         // ends with x and y on it
    unsigned gaveUp;     // not on a full path: the iterations are used up, the solve ends
  };

  // The solver's constants for a step size, limit and the method's a.
  static tParameters parametersFor(double h, unsigned long maxIterations, double a = 0.0);
  // The inverse Jacobians, row by row, from the outputs f11, f12, f21 and f22
  // (out[2] ... out[5]), by the operations of tFunction::jacobianInverse.
  static void invert(const tOutputs& out, double (*inverse)[LANES]);
  // Takes the value and derivatives at every lane's point and moves each
  // lane on to the next point it is evaluated at, as advanceLane does; lanes
  // whose solve ends are left at their last iterate. With fullPath nothing
  // ends and every step is taken; a two-point step that fails at z is then
  // evaluated at z once more and stays there, so that every step takes two
  // rounds and lanes that start together reach their iterates together. The points may share memory
  // with the outputs. For a step that evaluatesSecondPoint this is its
  // first round, at the iterates: every lane is at stage 0, and next are the
  // points of the second round.
  static tFound advance(SCHEME scheme, bool fullPath, const tParameters& parameters,
                        const tOutputs& out, tLanes& lanes, const tPoints& next);
  // The second round of a step that evaluatesSecondPoint, with the formulas
  // of secondPointSlots at every lane's second point: on f(z) in out[0] and
  // out[1], for any map each in its own slot (the others may hold anything);
  // next are the iterates. A lane started since the first round stays at
  // stage 0 for the next.
  static tFound advanceSecondPoint(SCHEME scheme, bool fullPath, const tParameters& parameters,
                                   const tOutputs& out, tLanes& lanes, const tPoints& next);

 private:
  static void invertSse2(const tOutputs& out, double (*inverse)[LANES]);
  static void invertAvx2(const tOutputs& out, double (*inverse)[LANES]);
  static tFound advanceSse2(SCHEME scheme, bool fullPath, const tParameters& parameters,
                            const tOutputs& out, tLanes& lanes, const tPoints& next);
  static tFound advanceAvx2(SCHEME scheme, bool fullPath, const tParameters& parameters,
                            const tOutputs& out, tLanes& lanes, const tPoints& next);
  static tFound advanceSecondPointSse2(SCHEME scheme, bool fullPath, const tParameters& parameters,
                                       const tOutputs& out, tLanes& lanes, const tPoints& next);
  static tFound advanceSecondPointAvx2(SCHEME scheme, bool fullPath, const tParameters& parameters,
                                       const tOutputs& out, tLanes& lanes, const tPoints& next);
  template <typename tVectorLanes>
  static void invertWith(const tOutputs& out, double (*inverse)[LANES]);
  template <typename tVectorLanes>
  static tFound advanceWith(SCHEME scheme, bool fullPath, const tParameters& parameters,
                            const tOutputs& out, tLanes& lanes, const tPoints& next);
  // advanceWith for the methods for any map (tSystemStepBody.h).
  template <typename tVectorLanes>
  static tFound advanceSystemWith(SCHEME scheme, bool atSecondPoint, bool fullPath,
                                  const tParameters& parameters, const tOutputs& out, tLanes& lanes,
                                  const tPoints& next);
  template <typename tVectorLanes>
  static tFound advanceSecondPointWith(SCHEME scheme, bool fullPath, const tParameters& parameters,
                                       const tOutputs& out, tLanes& lanes, const tPoints& next);
};

#endif
