#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "expr/InstructionSets.h"
#include "expr/tFunction.h"
#include "fractal/tPacketStep.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tRungeKuttaSolver4.h"

namespace {

const unsigned kLanes = tPacketStep::LANES;
const unsigned long kLimit = 10;
const double kStep = 0.5;

// What a lane meets at the point it is evaluated at.
enum LANE_CASE {
  CASE_ROOT,
  CASE_SINGULAR,
  CASE_SINGULAR_ROOT,
  CASE_GOES_ON,
  CASE_LAST_ITERATION,
  CASE_COUNT
};

bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The inverse Jacobian as tFunction forms it.
tMatrix2 inverseOf(double f11, double f12, double f21, double f22) {
  const tMatrix2 jacobian(f11, f12, f21, f22);
  if (std::fabs(jacobian.determinant()) < tFunction::INVERTIBLE_CUTOFF) return tMatrix2();
  return jacobian.inverse();
}

// One round of a packet: the six formulas at its lanes' points, its lanes,
// and the same lanes as advanceLane takes them.
struct tRound {
  double out[6][kLanes];
  double nextX[kLanes];
  double nextY[kLanes];
  tPacketStep::tLanes lanes;
  tIterativeSolver::tLane scalar[kLanes];
};

// Random lanes, each case in each lane as `turn` goes from 0 to
// CASE_COUNT - 1; for Runge-Kutta the four-lane vectors stand at every stage.
void fill(tRound& round, bool rungeKutta, unsigned turn, std::mt19937& random) {
  std::uniform_real_distribution<double> plane(-3, 3);
  for (unsigned l = 0; l < kLanes; ++l) {
    const unsigned vector = l / 4;
    const unsigned laneCase = (l + turn) % CASE_COUNT;
    for (auto& formula : round.out) formula[l] = plane(random);
    if (laneCase == CASE_ROOT || laneCase == CASE_SINGULAR_ROOT) {
      round.out[0][l] = 1e-11;
      round.out[1][l] = -2e-11;
    }
    if (laneCase == CASE_SINGULAR || laneCase == CASE_SINGULAR_ROOT) {
      for (int k = 2; k < 6; ++k) round.out[k][l] = 0.0;
    }
    tIterativeSolver::tLane& s = round.scalar[l];
    s.x = tVector2(plane(random), plane(random));
    s.point = s.x;
    for (tVector2& slope : s.slopes) slope = tVector2(plane(random), plane(random));
    s.stage = rungeKutta ? vector % 4 : 0;
    s.iteration = laneCase == CASE_LAST_ITERATION ? kLimit - 1 : vector;
    round.lanes.x[l] = s.x.x_;
    round.lanes.y[l] = s.x.y_;
    for (int k = 0; k < 3; ++k) {
      round.lanes.slopes[k][0][l] = s.slopes[k].x_;
      round.lanes.slopes[k][1][l] = s.slopes[k].y_;
    }
    round.lanes.stage[l] = s.stage;
    round.lanes.iteration[l] = s.iteration;
  }
}

// What advanceLane finds on each lane, as bits of a packet.
tPacketStep::tFound advanceByLane(const tIterativeSolver& solver, bool fullPath, tRound& round) {
  tPacketStep::tFound found = {0, 0, 0, 0, 0};
  for (unsigned l = 0; l < kLanes; ++l) {
    const unsigned bit = 1u << l;
    const tMatrix2 m = inverseOf(round.out[2][l], round.out[3][l], round.out[4][l], round.out[5][l]);
    tIterativeSolver::tLane& lane = round.scalar[l];
    const auto event =
        solver.advanceLane(lane, tVector2(round.out[0][l], round.out[1][l]), m, fullPath);
    if (fullPath) {
      const bool iterate = event == tIterativeSolver::LANE_ITERATE;
      if (iterate) found.iterate |= bit;
      if (iterate && m == tMatrix2()) found.singular |= bit;
      if (m.determinant() > 0.0) found.positive |= bit;
    } else if (event == tIterativeSolver::LANE_SINGULAR) {
      found.singular |= bit;
    } else if (event == tIterativeSolver::LANE_CONVERGED) {
      found.converged |= bit;
    } else if (solver.laneGaveUp(lane)) {
      found.gaveUp |= bit;
    }
  }
  return found;
}

// Every lane where advanceLane left it: its iterate and iteration, and
// unless its solve ended, its stage, slopes and next point.
void expectSameLanes(const tRound& round, unsigned ended, const std::string& name) {
  const tPacketStep::tLanes& p = round.lanes;
  for (unsigned l = 0; l < kLanes; ++l) {
    const tIterativeSolver::tLane& s = round.scalar[l];
    bool sameLane = same(s.x.x_, p.x[l]) && same(s.x.y_, p.y[l]) && s.iteration == p.iteration[l];
    if (((ended >> l) & 1u) == 0) {
      sameLane = sameLane && s.stage == p.stage[l] && same(s.point.x_, round.nextX[l]) &&
                  same(s.point.y_, round.nextY[l]);
      for (int k = 0; k < 3; ++k) {
        sameLane = sameLane && same(s.slopes[k].x_, p.slopes[k][0][l]) &&
                    same(s.slopes[k].y_, p.slopes[k][1][l]);
      }
    }
    EXPECT_TRUE(sameLane) << name << ", lane " << l;
  }
}

}  // namespace

// Each test runs on SSE2 and on AVX2 packets.
class tPacketStepTest : public tOnEachInstructionSet {};
RUN_ON_EACH_INSTRUCTION_SET(tPacketStepTest);

// One round of a packet against advanceLane on each of its lanes, for the
// Newton and the Runge-Kutta schemes, with and without the full path: lanes
// that reach a root, meet a singular Jacobian (at a root too), go on or use
// up their iterations, in every place of a vector, so that a lane whose mask
// bit is lost shows as a wrong bit here rather than as a solve that never
// ends.
TEST_P(tPacketStepTest, EveryLaneAsAdvanceLane) {
  std::mt19937 random(7);
  const tNewtonSolver newton(kLimit, kStep);
  const tRungeKuttaSolver4 rungeKutta(kLimit, kStep);
  const tIterativeSolver* const solvers[] = {&newton, &rungeKutta};
  for (const tIterativeSolver* solver : solvers) {
    tPacketStep::SCHEME scheme;
    ASSERT_TRUE(solver->getPacketScheme(scheme));
    for (bool fullPath : {false, true}) {
      for (unsigned turn = 0; turn < CASE_COUNT; ++turn) {
        const std::string name = solver->getName() + (fullPath ? ", full path" : "") +
                                 ", turn " + std::to_string(turn);
        tRound round;
        fill(round, scheme == tPacketStep::SCHEME_RUNGE_KUTTA4, turn, random);
        const tPacketStep::tOutputs outputs = {round.out[0], round.out[1], round.out[2],
                                               round.out[3], round.out[4], round.out[5]};
        const tPacketStep::tFound found =
            tPacketStep::advance(scheme, fullPath, tPacketStep::parametersFor(kStep, kLimit),
                                 outputs, round.lanes, {round.nextX, round.nextY});
        const tPacketStep::tFound expected = advanceByLane(*solver, fullPath, round);
        EXPECT_EQ(expected.iterate, found.iterate) << name;
        EXPECT_EQ(expected.singular, found.singular) << name;
        EXPECT_EQ(expected.positive, found.positive) << name;
        EXPECT_EQ(expected.converged, found.converged) << name;
        EXPECT_EQ(expected.gaveUp, found.gaveUp) << name;
        expectSameLanes(round, expected.singular | expected.converged, name);
      }
    }
  }
}
