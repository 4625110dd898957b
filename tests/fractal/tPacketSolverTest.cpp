#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <vector>

#include "expr/FunctionText.h"
#include "expr/InstructionSets.h"
#include "fractal/tPacketSolver.h"
#include "fractal/tSolverKinds.h"

namespace {

bool sameBits(const tVector2& a, const tVector2& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

// Each test runs on SSE2 and on AVX2 packets.
class tPacketSolverTest : public tOnEachInstructionSet {};
RUN_ON_EACH_INSTRUCTION_SET(tPacketSolverTest);

// Every lane ends where solve() ends from the same start, bit for bit: the
// same flags and iteration, and the same root when it converges, for the
// solvers of the Newton flow, the methods on f(z) that run in packets (on
// real maps too, read as f = f1 + i f2) and the methods for any map. The starts are random,
// with some on the singular set, on a root, and off at infinity.
TEST_P(tPacketSolverTest, OutcomesMatchSolve) {
  const char* const functions[] = {
      "f1 = x ^ 3 - 3 * x * y ^ 2 - 1 f2 = 3 * x ^ 2 * y - y ^ 3 f11 = 3 * x ^ 2 - 3 * y ^ 2 "
      "f12 = - 6 * x * y f21 = 6 * x * y f22 = 3 * x ^ 2 - 3 * y ^ 2",
      "f1 = sin ( x ) * cosh ( y ) f2 = cos ( x ) * sinh ( y ) f11 = cos ( x ) * cosh ( y ) "
      "f12 = sin ( x ) * sinh ( y ) f21 = - sin ( x ) * sinh ( y ) f22 = cos ( x ) * cosh ( y )",
      "f1 = x ^ 2 - 1 f2 = y f11 = 2 * x f12 = 0 f21 = 0 f22 = 1",
      // exp(z) - 1, whose determinant overflows far to the right.
      "f ( z ) = exp z - 1",
      // Halley's denominator is zero at some starts.
      "f ( z ) = 1 / z",
      // A polynomial, so that Laguerre's method has its degree; a double root.
      "f ( z ) = ( z - 1 ) ^ 2 * ( z + 2 )"};
  std::mt19937 random(5);
  std::uniform_real_distribution<double> plane(-3, 3);
  std::vector<tVector2> starts = {{0, 0.5}, {1, 0}, {1e300, -1e300}, {0, 0}, {400, 0}, {710, 1}};
  while (starts.size() < 403) starts.emplace_back(plane(random), plane(random));

  std::vector<tPacketSolver::tOutcome> outcomes(starts.size());
  for (const char* text : functions) {
    auto f = functionFromText(text);
    for (unsigned long limit : {0ul, 1ul, 40ul}) {
      for (double h : {1.0, 0.4}) {
        for (int k = 0; k < kSolverKinds + kComplexKinds + kSystemKinds; ++k) {
          const int kind = k < kSolverKinds ? k : k - kSolverKinds + kFirstComplexKind;
          auto solver = makeSolver(kind, limit, h);
          tPacketSolver packet(*solver, *f);
          ASSERT_TRUE(packet.solve(starts.data(), starts.size(), outcomes.data()));
          for (std::size_t i = 0; i < starts.size(); ++i) {
            tSolution expected = solver->solve(f.get(), starts[i], false);
            uint8_t kind = expected.singularJacobian_ ? tPacketSolver::OUTCOME_SINGULAR
                           : expected.noConvergence_  ? tPacketSolver::OUTCOME_GAVE_UP
                                                      : tPacketSolver::OUTCOME_CONVERGED;
            ASSERT_EQ(kind, outcomes[i].kind) << solver->getName() << " from " << starts[i];
            ASSERT_EQ(expected.iterations_, outcomes[i].iterations)
                << solver->getName() << " from " << starts[i];
            if (kind == tPacketSolver::OUTCOME_CONVERGED) {
              ASSERT_TRUE(sameBits(expected.path_.back(), outcomes[i].root))
                  << solver->getName() << " from " << starts[i];
            }
          }
        }
      }
    }
  }
}

TEST_P(tPacketSolverTest, CancelledBeforeTheFirstRound) {
  auto f = functionFromText("f1 = x f2 = y f11 = 1 f12 = 0 f21 = 0 f22 = 1");
  tNewtonSolver solver(10, 1.0);
  tPacketSolver packet(solver, *f);
  std::atomic<bool> cancel(true);
  tVector2 start(1, 1);
  tPacketSolver::tOutcome outcome;
  bool straddles;
  EXPECT_FALSE(packet.solve(&start, 1, &outcome, &cancel));
  tVector2 corners[4];
  EXPECT_FALSE(packet.straddle(corners, 1, &straddles, &cancel));
}
