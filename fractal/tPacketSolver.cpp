#include "fractal/tPacketSolver.h"

#include "expr/tFunction.h"
#include "fractal/tFractal.h"

namespace {

// Two lanes as SSE2 holds them, and the same in memory wherever they lie.
typedef double tPair __attribute__((vector_size(16)));
typedef double tPairInMemory __attribute__((vector_size(16), may_alias, aligned(8)));
typedef uint64_t tPairBits __attribute__((vector_size(16)));

tPair pairAt(const double* lanes) { return *reinterpret_cast<const tPairInMemory*>(lanes); }
void setPairAt(double* lanes, tPair value) { *reinterpret_cast<tPairInMemory*>(lanes) = value; }

bool cancelled(const std::atomic<bool>* cancel) {
  return cancel && cancel->load(std::memory_order_relaxed);
}

}  // namespace

tPacketSolver::tPacketSolver(const tIterativeSolver& solver, const tFunction& f)
    : solver_(solver),
      program_(f.getProgram()),
      scratch_(static_cast<std::size_t>(program_.getRegisterCount()) * LANES),
      out_(),
      inverse_() {
  program_.prepareScratch(scratch_.data());
}

tPacketSolver::tOutcome tPacketSolver::outcomeOf(const tSolution& solution) {
  if (solution.singularJacobian_) return {tVector2(), OUTCOME_SINGULAR, solution.iterations_};
  if (solution.noConvergence_) return {tVector2(), OUTCOME_GAVE_UP, solution.iterations_};
  return {solution.path_.back(), OUTCOME_CONVERGED, solution.iterations_};
}

void tPacketSolver::evaluate(const tIterativeSolver::tLane* lanes, unsigned active) {
  double x[LANES];
  double y[LANES];
  for (unsigned l = 0; l < LANES; ++l) {
    // Idle lanes are evaluated at the origin, which keeps their arithmetic
    // away from slow subnormal numbers.
    bool on = (active >> l) & 1u;
    x[l] = on ? lanes[l].point.x_ : 0.0;
    y[l] = on ? lanes[l].point.y_ : 0.0;
  }
  program_.evaluatePacket(x, y, active, scratch_.data(), out_);
  // The inverse Jacobians, two lanes at a time, by the operations of
  // tFunction::jacobianInverse (tMatrix2's determinant and invert).
  for (unsigned l = 0; l < LANES; l += 2) {
    tPair f11 = pairAt(&out_[2][l]);
    tPair f12 = pairAt(&out_[3][l]);
    tPair f21 = pairAt(&out_[4][l]);
    tPair f22 = pairAt(&out_[5][l]);
    tPair d = f11 * f22 - f21 * f12;
    tPair size = (tPair)((tPairBits)d & 0x7FFFFFFFFFFFFFFFu);
    auto singular = size < tFunction::INVERTIBLE_CUTOFF;
    const tPair zero = {0.0, 0.0};
    setPairAt(&inverse_[0][l], singular ? zero : f22 / d);
    setPairAt(&inverse_[1][l], singular ? zero : -f12 / d);
    setPairAt(&inverse_[2][l], singular ? zero : -f21 / d);
    setPairAt(&inverse_[3][l], singular ? zero : f11 / d);
  }
}

tMatrix2 tPacketSolver::inverseOf(unsigned l) const {
  return tMatrix2(inverse_[0][l], inverse_[1][l], inverse_[2][l], inverse_[3][l]);
}

bool tPacketSolver::solve(const tVector2* starts, std::size_t count, tOutcome* outcomes,
                          const std::atomic<bool>* cancel) {
  const bool noIterations = solver_.getMaxIterations() == 0;
  tIterativeSolver::tLane lanes[LANES];
  std::size_t item[LANES] = {};  // the start each lane works on
  unsigned active = 0;
  std::size_t next = 0;
  auto refill = [&](unsigned l) {
    active &= ~(1u << l);
    while (next < count) {
      std::size_t i = next++;
      // Without iterations a solve gives up before it looks at anything.
      if (noIterations) {
        outcomes[i] = {starts[i], OUTCOME_GAVE_UP, 0};
        continue;
      }
      solver_.startLane(lanes[l], starts[i]);
      item[l] = i;
      active |= 1u << l;
      return;
    }
  };
  for (unsigned l = 0; l < LANES; ++l) refill(l);

  while (active != 0) {
    if (cancelled(cancel)) return false;
    evaluate(lanes, active);
    for (unsigned l = 0; l < LANES; ++l) {
      if (((active >> l) & 1u) == 0) continue;
      tIterativeSolver::tLane& lane = lanes[l];
      auto event = solver_.advanceLane(lane, valueOf(l), inverseOf(l), false);
      uint8_t kind;
      if (event == tIterativeSolver::LANE_CONVERGED) {
        kind = OUTCOME_CONVERGED;
      } else if (event == tIterativeSolver::LANE_SINGULAR) {
        kind = OUTCOME_SINGULAR;
      } else if (solver_.laneGaveUp(lane)) {
        kind = OUTCOME_GAVE_UP;
      } else {
        continue;
      }
      outcomes[item[l]] = {lane.x, kind, lane.iteration};
      refill(l);
    }
  }
  return true;
}

bool tPacketSolver::straddle(const tVector2* corners, std::size_t groups, bool* straddles,
                             const std::atomic<bool>* cancel) {
  constexpr unsigned kGroups = LANES / 4;
  const uint32_t limit = solver_.getMaxIterations();
  tIterativeSolver::tLane lanes[LANES];
  std::size_t item[kGroups] = {};   // the group of corners each group of lanes works on
  uint32_t compared[kGroups] = {};  // iteration indices compared so far
  unsigned active = 0;
  std::size_t next = 0;
  auto refill = [&](unsigned g) {
    active &= ~(0xFu << (4 * g));
    while (next < groups) {
      std::size_t i = next++;
      // Without iterations there is nothing to compare.
      if (limit == 0) {
        straddles[i] = false;
        continue;
      }
      for (unsigned c = 0; c < 4; ++c) solver_.startLane(lanes[4 * g + c], corners[4 * i + c]);
      item[g] = i;
      compared[g] = 0;
      active |= 0xFu << (4 * g);
      return;
    }
  };
  for (unsigned g = 0; g < kGroups; ++g) refill(g);

  while (active != 0) {
    if (cancelled(cancel)) return false;
    evaluate(lanes, active);
    for (unsigned g = 0; g < kGroups; ++g) {
      if (((active >> (4 * g)) & 1u) == 0) continue;
      // The four lanes run the same stages, so they reach their iterates in
      // the same round.
      tMatrix2 inverses[4];
      bool iterated = true;
      for (unsigned c = 0; c < 4; ++c) {
        unsigned l = 4 * g + c;
        inverses[c] = inverseOf(l);
        iterated &= solver_.advanceLane(lanes[l], valueOf(l), inverses[c], true) ==
                    tIterativeSolver::LANE_ITERATE;
      }
      if (!iterated) continue;
      const bool across = tFractal::straddles(inverses);
      if (across || ++compared[g] == limit) {
        straddles[item[g]] = across;
        refill(g);
      }
    }
  }
  return true;
}
