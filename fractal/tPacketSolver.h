#ifndef ROOTWEAVER_FRACTAL_TPACKETSOLVER_H
#define ROOTWEAVER_FRACTAL_TPACKETSOLVER_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "expr/tFormulaProgram.h"
#include "fractal/tIterativeSolver.h"
#include "fractal/tPacketStep.h"
#include "graphics/tVector2.h"

class tFunction;

// Runs many solves at once: a packet of lanes, one start point per lane,
// stepped together through a solver's iteration.
//
// Each round evaluates the function's compiled formulas at every lane's next
// point in one packet, then moves every lane on: for the Newton and the
// fourth-order Runge-Kutta iterations, for the methods on f(z) and for
// those for any map (with f1xx and f2xx, or all six second partials,
// compiled here from the function's second derivatives, in a packet of
// their own for those that take them; the two-point ones on f(z), and
// Traub's and Jarratt's for any map, take two rounds a step, all lanes in
// step, and at their second point evaluate only what they take there,
// compiled here too) all lanes at once in vectors
// (tPacketStep), with only the lanes whose solve ended handled one by one;
// for the other solvers each lane is handed its value and inverse Jacobian
// (advanceLane); a solver that needs more than a lane is handed solves its
// starts one after the other. A lane whose solve ends is retired and
// refilled with the next start at once, so the lanes stay busy however
// differently long the solves are. Every lane does exactly what solve()
// does from its start, so the outcome is solve()'s bit for bit; no path is
// recorded and nothing is allocated per solve.
//
// The singular-set test runs the four corner starts of a pixel in four lanes
// that keep in step, and compares the sign of their inverse Jacobians at every
// iteration as the picture's reference does with recorded paths; a pixel is
// settled as soon as one iteration decides it. Newton's method with
// backtracking, whose steps take as many rounds as their trials, records
// the paths whole instead.
//
// One object per thread: it owns the packet's scratch registers.
class tPacketSolver {
 public:
  static constexpr unsigned LANES = tFormulaProgram::LANES;

  // How a solve ended, as far as a basin picture cares.
  enum OUTCOME : uint8_t { OUTCOME_CONVERGED, OUTCOME_SINGULAR, OUTCOME_GAVE_UP };
  struct tOutcome {
    tVector2 root;        // the last point of the path when the solve converged
    uint8_t kind;         // an OUTCOME
    uint32_t iterations;  // tSolution::iterations_: where the solve stopped
  };

  tPacketSolver(const tIterativeSolver& solver, const tFunction& f);
  // A copy would point into the original's scratch; a move keeps its own.
  tPacketSolver(const tPacketSolver&) = delete;
  tPacketSolver(tPacketSolver&&) = default;
  tPacketSolver& operator=(const tPacketSolver&) = delete;

  // The outcome of a solve made by tIterativeSolver::solve.
  static tOutcome outcomeOf(const tSolution& solution);

  // The outcome of solve(f, starts[i], false) into outcomes[i]. False when
  // `cancel` was set before the end; the outcomes are then incomplete.
  bool solve(const tVector2* starts, std::size_t count, tOutcome* outcomes,
             const std::atomic<bool>* cancel = nullptr);
  // For each group of four corners (corners[4 g] ... corners[4 g + 3]):
  // whether the full paths from them, compared at every iteration index below
  // the limit, ever stand on the singular set or on both sides of it. False
  // when cancelled, as above.
  bool straddle(const tVector2* corners, std::size_t groups, bool* straddles,
                const std::atomic<bool>* cancel = nullptr);

 private:
  // solve with the solver's packet step, or one lane at a time.
  bool solveInPackets(tPacketStep::SCHEME scheme, const tVector2* starts, std::size_t count,
                      tOutcome* outcomes, const std::atomic<bool>* cancel);
  bool solveByLane(const tVector2* starts, std::size_t count, tOutcome* outcomes,
                   const std::atomic<bool>* cancel);
  // solve by the solver's own solveToOutcome(), one start after the other,
  // for a solver that does not run in lanes.
  bool solveWhole(const tVector2* starts, std::size_t count, tOutcome* outcomes,
                  const std::atomic<bool>* cancel);
  // straddle with the solver's packet step, or one lane at a time.
  bool straddleInPackets(tPacketStep::SCHEME scheme, const tVector2* corners, std::size_t groups,
                         bool* straddles, const std::atomic<bool>* cancel);
  bool straddleByLane(const tVector2* corners, std::size_t groups, bool* straddles,
                      const std::atomic<bool>* cancel);
  // straddle from full paths recorded by solve(), as tFractal compares them.
  bool straddleWhole(const tVector2* corners, std::size_t groups, bool* straddles,
                     const std::atomic<bool>* cancel);
  // Compiles f1xx and f2xx of f, or all six second partials, into second_
  // and prepares their scratch.
  void prepareSecond(const tFunction& f, bool allSix);
  // Compiles what the scheme takes at its second point into secondPoint_
  // and prepares its scratch.
  void prepareSecondPoint(const tFunction& f, tPacketStep::SCHEME scheme);
  // Puts packet lane l on a new start, at its first evaluation.
  void startPacketLane(unsigned l, const tVector2& start);
  // Evaluates the function at the points of the packet lanes in `active`
  // and moves them on; idle lanes are evaluated at the origin, which keeps
  // their arithmetic away from slow subnormal numbers.
  tPacketStep::tFound advancePacket(tPacketStep::SCHEME scheme, bool fullPath, unsigned active);
  // Evaluates the function and its inverse Jacobian at the points of the
  // lanes in `active`.
  void evaluate(const tIterativeSolver::tLane* lanes, unsigned active);
  // The value and inverse Jacobian of lane l after evaluate.
  tVector2 valueOf(unsigned l) const { return tVector2(out_[0][l], out_[1][l]); }
  tMatrix2 inverseOf(unsigned l) const;

  const tIterativeSolver& solver_;  // the iteration every lane runs
  // The function the whole solves are given; solve() takes it mutable, but
  // no solver changes it.
  tFunction* function_;
  const tFormulaProgram& program_;  // the function's six formulas
  std::vector<double> storage_;     // holds the scratch, with room to align it
  double* scratch_;                 // the packet's registers, on a cache line boundary
  tFormulaProgram second_;          // f1xx and f2xx, for the steps that take f''
  std::vector<double> secondStorage_;  // holds second_'s scratch, as storage_
  double* secondScratch_;              // its registers; null when no step takes f''
  // What a step takes at its second point, alone: evaluating the six
  // formulas there would cost it most of a round.
  tFormulaProgram secondPoint_;
  std::vector<double> secondPointStorage_;    // holds secondPoint_'s scratch, as storage_
  double* secondPointScratch_;                // its registers; null for other steps
  tPacketStep::tPoints secondPoints_;         // its x and y registers
  tPacketStep::tOutputs secondPointOutputs_;  // its outputs where the step reads them
  bool atSecondPoint_;                        // the next round is a two-point step's second
  double out_[6][LANES];            // the six formulas at the lanes' points
  double inverse_[4][LANES];        // the inverse Jacobians there, row by row
  tPacketStep::tLanes packet_;      // the lanes of solveInPackets and straddleInPackets
  tPacketStep::tParameters parameters_;  // the solver's constants for them
  tPacketStep::tPoints points_;     // their next points: the program's x and y registers
  tPacketStep::tOutputs outputs_;   // the programs' output registers
};

#endif
