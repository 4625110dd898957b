#include "fractal/tPacketSolver.h"

#include <memory>

#include "expr/tFunction.h"
#include "fractal/tFractal.h"

namespace {

// Vectors of lanes are loaded from the scratch without crossing cache lines.
const std::size_t kCacheLine = 64;

bool cancelled(const std::atomic<bool>* cancel) {
  return cancel && cancel->load(std::memory_order_relaxed);
}

}  // namespace

tPacketSolver::tPacketSolver(const tIterativeSolver& solver, const tFunction& f)
    : solver_(solver),
      program_(f.getProgram()),
      storage_(static_cast<std::size_t>(program_.getRegisterCount()) * LANES +
               kCacheLine / sizeof(double)),
      scratch_(storage_.data()),
      out_(),
      inverse_(),
      packet_(),
      parameters_(tPacketStep::parametersFor(solver.getStepSize(), solver.getMaxIterations())),
      points_(),
      outputs_() {
  void* aligned = scratch_;
  std::size_t room = storage_.size() * sizeof(double);
  scratch_ = static_cast<double*>(std::align(kCacheLine, sizeof(double), aligned, room));
  program_.prepareScratch(scratch_);
  // The points and the six formulas stay in the program's registers.
  points_ = {program_.xLanes(scratch_), program_.yLanes(scratch_)};
  for (unsigned k = 0; k < 6; ++k) outputs_[k] = program_.outputLanes(scratch_, k);
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
  program_.evaluatePacket(x, y, active, scratch_, out_);
  const tPacketStep::tOutputs out = {out_[0], out_[1], out_[2], out_[3], out_[4], out_[5]};
  tPacketStep::invert(out, inverse_);
}

tMatrix2 tPacketSolver::inverseOf(unsigned l) const {
  return tMatrix2(inverse_[0][l], inverse_[1][l], inverse_[2][l], inverse_[3][l]);
}

bool tPacketSolver::solve(const tVector2* starts, std::size_t count, tOutcome* outcomes,
                          const std::atomic<bool>* cancel) {
  tPacketStep::SCHEME scheme;
  if (solver_.getPacketScheme(scheme)) return solveInPackets(scheme, starts, count, outcomes, cancel);
  return solveByLane(starts, count, outcomes, cancel);
}

void tPacketSolver::startPacketLane(unsigned l, const tVector2& start) {
  packet_.x[l] = points_.x[l] = start.x_;
  packet_.y[l] = points_.y[l] = start.y_;
  packet_.stage[l] = 0.0;
  packet_.iteration[l] = 0.0;
}

tPacketStep::tFound tPacketSolver::advancePacket(tPacketStep::SCHEME scheme, bool fullPath,
                                                 unsigned active) {
  for (unsigned idle = ~active & (~0u >> (32 - LANES)); idle != 0; idle &= idle - 1) {
    const unsigned l = static_cast<unsigned>(__builtin_ctz(idle));
    points_.x[l] = points_.y[l] = 0.0;
  }
  program_.evaluatePacketInPlace(active, scratch_);
  return tPacketStep::advance(scheme, fullPath, parameters_, outputs_, packet_, points_);
}

bool tPacketSolver::solveInPackets(tPacketStep::SCHEME scheme, const tVector2* starts,
                                   std::size_t count, tOutcome* outcomes,
                                   const std::atomic<bool>* cancel) {
  const uint32_t limit = solver_.getMaxIterations();
  std::size_t item[LANES] = {};  // the start each lane works on
  unsigned active = 0;
  std::size_t next = 0;
  auto refill = [&](unsigned l) {
    active &= ~(1u << l);
    while (next < count) {
      std::size_t i = next++;
      // Without iterations a solve gives up before it looks at anything.
      if (limit == 0) {
        outcomes[i] = {starts[i], OUTCOME_GAVE_UP, 0};
        continue;
      }
      startPacketLane(l, starts[i]);
      item[l] = i;
      active |= 1u << l;
      return;
    }
  };
  for (unsigned l = 0; l < LANES; ++l) refill(l);

  while (active != 0) {
    if (cancelled(cancel)) return false;
    const tPacketStep::tFound found = advancePacket(scheme, false, active);
    for (unsigned done = (found.converged | found.singular | found.gaveUp) & active; done != 0;
         done &= done - 1) {
      const unsigned l = static_cast<unsigned>(__builtin_ctz(done));
      const unsigned bit = 1u << l;
      const uint8_t kind = (found.singular & bit)    ? OUTCOME_SINGULAR
                           : (found.converged & bit) ? OUTCOME_CONVERGED
                                                     : OUTCOME_GAVE_UP;
      outcomes[item[l]] = {tVector2(packet_.x[l], packet_.y[l]), kind,
                           static_cast<uint32_t>(packet_.iteration[l])};
      refill(l);
    }
  }
  return true;
}

bool tPacketSolver::solveByLane(const tVector2* starts, std::size_t count, tOutcome* outcomes,
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
  tPacketStep::SCHEME scheme;
  if (solver_.getPacketScheme(scheme)) {
    return straddleInPackets(scheme, corners, groups, straddles, cancel);
  }
  return straddleByLane(corners, groups, straddles, cancel);
}

bool tPacketSolver::straddleInPackets(tPacketStep::SCHEME scheme, const tVector2* corners,
                                      std::size_t groups, bool* straddles,
                                      const std::atomic<bool>* cancel) {
  constexpr unsigned kGroups = LANES / 4;
  const uint32_t limit = solver_.getMaxIterations();
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
      for (unsigned c = 0; c < 4; ++c) startPacketLane(4 * g + c, corners[4 * i + c]);
      item[g] = i;
      compared[g] = 0;
      active |= 0xFu << (4 * g);
      return;
    }
  };
  for (unsigned g = 0; g < kGroups; ++g) refill(g);

  while (active != 0) {
    if (cancelled(cancel)) return false;
    const tPacketStep::tFound found = advancePacket(scheme, true, active);
    for (unsigned g = 0; g < kGroups; ++g) {
      if (((active >> (4 * g)) & 1u) == 0) continue;
      // The four lanes run the same stages, so they reach their iterates in
      // the same round; then they are compared as tFractal::straddles does:
      // one on the singular set, or two whose determinants differ in sign.
      if (((found.iterate >> (4 * g)) & 0xFu) != 0xFu) continue;
      const unsigned positive = (found.positive >> (4 * g)) & 0xFu;
      const bool across =
          ((found.singular >> (4 * g)) & 0xFu) != 0 || (positive != 0 && positive != 0xFu);
      if (across || ++compared[g] == limit) {
        straddles[item[g]] = across;
        refill(g);
      }
    }
  }
  return true;
}

bool tPacketSolver::straddleByLane(const tVector2* corners, std::size_t groups, bool* straddles,
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
