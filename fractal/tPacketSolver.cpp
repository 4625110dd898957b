#include "fractal/tPacketSolver.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "expr/tFunction.h"
#include "fractal/tFractal.h"

namespace {

// Vectors of lanes are loaded from the scratch without crossing cache lines.
const std::size_t kCacheLine = 64;

// Room for a program's registers in storage, on a cache line boundary, with
// the program's constants written in.
double* scratchFor(const tFormulaProgram& program, std::vector<double>& storage) {
  storage.assign(static_cast<std::size_t>(program.getRegisterCount()) * tPacketSolver::LANES +
                     kCacheLine / sizeof(double),
                 0.0);
  void* aligned = storage.data();
  std::size_t room = storage.size() * sizeof(double);
  double* scratch = static_cast<double*>(std::align(kCacheLine, sizeof(double), aligned, room));
  program.prepareScratch(scratch);
  return scratch;
}

// Lanes not in `active` are evaluated at the origin, which keeps their
// arithmetic away from slow subnormal numbers.
void zeroIdle(const tPacketStep::tPoints& points, unsigned active) {
  for (unsigned idle = ~active & (~0u >> (32 - tPacketSolver::LANES)); idle != 0;
       idle &= idle - 1) {
    const unsigned l = static_cast<unsigned>(__builtin_ctz(idle));
    points.x[l] = points.y[l] = 0.0;
  }
}

bool cancelled(const std::atomic<bool>* cancel) {
  return cancel && cancel->load(std::memory_order_relaxed);
}

// Hands items out, in order, to slots of WIDTH lanes as the slots come free:
// start(slot, i) puts item i on a slot. Without iterations no item is worked
// on: skip(i) finishes each at once.
template <unsigned WIDTH, typename tStart, typename tSkip>
class tLaneFeeder {
 public:
  static constexpr unsigned SLOTS = tPacketSolver::LANES / WIDTH;

  tLaneFeeder(std::size_t count, bool noIterations, tStart start, tSkip skip)
      : count_(count), noIterations_(noIterations), start_(start), skip_(skip) {
    for (unsigned slot = 0; slot < SLOTS; ++slot) refill(slot);
  }

  // One bit per working lane.
  unsigned active() const { return active_; }
  std::size_t itemOf(unsigned slot) const { return item_[slot]; }

  void refill(unsigned slot) {
    const unsigned lanes = ((1u << WIDTH) - 1) << (WIDTH * slot);
    active_ &= ~lanes;
    while (next_ < count_) {
      const std::size_t i = next_++;
      if (noIterations_) {
        skip_(i);
        continue;
      }
      start_(slot, i);
      item_[slot] = i;
      active_ |= lanes;
      return;
    }
  }

 private:
  std::size_t count_;
  bool noIterations_;
  tStart start_;
  tSkip skip_;
  std::size_t next_ = 0;
  unsigned active_ = 0;
  std::size_t item_[SLOTS] = {};
};

template <unsigned WIDTH, typename tStart, typename tSkip>
tLaneFeeder<WIDTH, tStart, tSkip> feedLanes(std::size_t count, bool noIterations, tStart start,
                                           tSkip skip) {
  return tLaneFeeder<WIDTH, tStart, tSkip>(count, noIterations, start, skip);
}

}  // namespace

tPacketSolver::tPacketSolver(const tIterativeSolver& solver, const tFunction& f)
    : solver_(solver),
      function_(const_cast<tFunction*>(&f)),
      program_(f.getProgram()),
      storage_(),
      scratch_(scratchFor(program_, storage_)),
      second_(),
      secondStorage_(),
      secondScratch_(nullptr),
      secondPoint_(),
      secondPointStorage_(),
      secondPointScratch_(nullptr),
      secondPoints_(),
      secondPointOutputs_(),
      atSecondPoint_(false),
      out_(),
      inverse_(),
      packet_(),
      parameters_(tPacketStep::parametersFor(solver.getStepSize(), solver.getMaxIterations(),
                                             solver.getPacketParameter(f))),
      points_(),
      outputs_() {
  // The points and the six formulas stay in the program's registers.
  points_ = {program_.xLanes(scratch_), program_.yLanes(scratch_)};
  for (unsigned k = 0; k < 6; ++k) outputs_[k] = program_.outputLanes(scratch_, k);
  tPacketStep::SCHEME scheme;
  if (solver.getPacketScheme(scheme) && tPacketStep::takesSecondDerivatives(scheme)) {
    prepareSecond(f, tPacketStep::takesSecondPartials(scheme));
  }
  if (solver.getPacketScheme(scheme) && tPacketStep::evaluatesSecondPoint(scheme)) {
    prepareSecondPoint(f, scheme);
  }
}

// The function's own program of second derivatives has all six; f1xx and
// f2xx compiled alone have its values bit for bit, and this one is the
// packet's own, so its parameters may be set apart from the function's.
void tPacketSolver::prepareSecond(const tFunction& f, bool allSix) {
  std::vector<unsigned> slots = {0, 3};
  if (allSix) slots = {0, 1, 2, 3, 4, 5};
  f.compileSecond(slots, second_);
  secondScratch_ = scratchFor(second_, secondStorage_);
  for (unsigned k = 0; k < slots.size(); ++k) {
    outputs_[6 + k] = second_.outputLanes(secondScratch_, k);
  }
}

// Formulas compiled alone have the same values bit for bit as among all six.
// The steps on f(z) read them first among the outputs, those for any map
// where the six formulas stand; the outputs no step reads there point at a
// register that is evaluated too, so that loading them stays harmless.
void tPacketSolver::prepareSecondPoint(const tFunction& f, tPacketStep::SCHEME scheme) {
  const std::vector<unsigned> slots = tPacketStep::secondPointSlots(scheme);
  f.compileFirst(slots, secondPoint_);
  secondPointScratch_ = scratchFor(secondPoint_, secondPointStorage_);
  secondPoints_ = {secondPoint_.xLanes(secondPointScratch_),
                   secondPoint_.yLanes(secondPointScratch_)};
  for (unsigned k = 0; k < std::size(secondPointOutputs_); ++k) {
    secondPointOutputs_[k] = secondPoint_.outputLanes(secondPointScratch_, 0);
  }
  for (unsigned k = 0; k < slots.size(); ++k) {
    const unsigned at = tPacketStep::isSystemScheme(scheme) ? slots[k] : k;
    secondPointOutputs_[at] = secondPoint_.outputLanes(secondPointScratch_, k);
  }
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
  if (!solver_.runsInLanes()) return solveWhole(starts, count, outcomes, cancel);
  return solveByLane(starts, count, outcomes, cancel);
}

bool tPacketSolver::solveWhole(const tVector2* starts, std::size_t count, tOutcome* outcomes,
                               const std::atomic<bool>* cancel) {
  for (std::size_t i = 0; i < count; ++i) {
    if (cancelled(cancel)) return false;
    outcomes[i] = outcomeOf(solver_.solveToOutcome(function_, starts[i]));
  }
  return true;
}

void tPacketSolver::startPacketLane(unsigned l, const tVector2& start) {
  packet_.x[l] = points_.x[l] = start.x_;
  packet_.y[l] = points_.y[l] = start.y_;
  packet_.stage[l] = 0.0;
  packet_.iteration[l] = 0.0;
  // A lane started before a second round waits through it at the origin.
  if (secondPointScratch_ != nullptr) secondPoints_.x[l] = secondPoints_.y[l] = 0.0;
}

tPacketStep::tFound tPacketSolver::advancePacket(tPacketStep::SCHEME scheme, bool fullPath,
                                                 unsigned active) {
  if (atSecondPoint_) {
    atSecondPoint_ = false;
    zeroIdle(secondPoints_, active);
    secondPoint_.evaluatePacketInPlace(active, secondPointScratch_);
    return tPacketStep::advanceSecondPoint(scheme, fullPath, parameters_, secondPointOutputs_,
                                           packet_, points_);
  }
  atSecondPoint_ = secondPointScratch_ != nullptr;
  zeroIdle(points_, active);
  // The second program reads the same points from registers of its own.
  if (secondScratch_ != nullptr) {
    std::copy(points_.x, points_.x + LANES, second_.xLanes(secondScratch_));
    std::copy(points_.y, points_.y + LANES, second_.yLanes(secondScratch_));
    second_.evaluatePacketInPlace(active, secondScratch_);
  }
  program_.evaluatePacketInPlace(active, scratch_);
  return tPacketStep::advance(scheme, fullPath, parameters_, outputs_, packet_,
                              secondPointScratch_ != nullptr ? secondPoints_ : points_);
}

bool tPacketSolver::solveInPackets(tPacketStep::SCHEME scheme, const tVector2* starts,
                                   std::size_t count, tOutcome* outcomes,
                                   const std::atomic<bool>* cancel) {
  // Without iterations a solve gives up before it looks at anything.
  if (solver_.getMaxIterations() == 0) {
    for (std::size_t i = 0; i < count; ++i) outcomes[i] = {starts[i], OUTCOME_GAVE_UP, 0};
    return true;
  }
  // Fed here rather than by tLaneFeeder: this loop is a picture's hot path,
  // and through the feeder a Newton picture took about 8% longer.
  std::size_t items[LANES];
  unsigned active = 0;
  std::size_t next = 0;
  for (unsigned l = 0; l < LANES && next < count; ++l, ++next) {
    startPacketLane(l, starts[next]);
    items[l] = next;
    active |= 1u << l;
  }
  atSecondPoint_ = false;
  while (active != 0) {
    if (cancelled(cancel)) return false;
    const tPacketStep::tFound found = advancePacket(scheme, false, active);
    for (unsigned done = (found.converged | found.singular | found.gaveUp) & active; done != 0;
         done &= done - 1) {
      const unsigned l = static_cast<unsigned>(__builtin_ctz(done));
      const unsigned bit = 1u << l;
      tOutcome& outcome = outcomes[items[l]];
      outcome.root.x_ = packet_.x[l];
      outcome.root.y_ = packet_.y[l];
      outcome.kind = (found.singular & bit)    ? OUTCOME_SINGULAR
                     : (found.converged & bit) ? OUTCOME_CONVERGED
                                               : OUTCOME_GAVE_UP;
      outcome.iterations = static_cast<uint32_t>(packet_.iteration[l]);
      if (next < count) {
        startPacketLane(l, starts[next]);
        items[l] = next++;
      } else {
        active &= ~bit;
      }
    }
  }
  return true;
}

bool tPacketSolver::solveByLane(const tVector2* starts, std::size_t count, tOutcome* outcomes,
                                const std::atomic<bool>* cancel) {
  tIterativeSolver::tLane lanes[LANES];
  // Without iterations a solve gives up before it looks at anything.
  auto feeder = feedLanes<1>(
      count, solver_.getMaxIterations() == 0,
      [&](unsigned l, std::size_t i) { solver_.startLane(lanes[l], starts[i]); },
      [&](std::size_t i) { outcomes[i] = {starts[i], OUTCOME_GAVE_UP, 0}; });
  while (feeder.active() != 0) {
    if (cancelled(cancel)) return false;
    evaluate(lanes, feeder.active());
    for (unsigned l = 0; l < LANES; ++l) {
      if (((feeder.active() >> l) & 1u) == 0) continue;
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
      outcomes[feeder.itemOf(l)] = {lane.x, kind, lane.iteration};
      feeder.refill(l);
    }
  }
  return true;
}

bool tPacketSolver::straddle(const tVector2* corners, std::size_t groups, bool* straddles,
                             const std::atomic<bool>* cancel) {
  tPacketStep::SCHEME scheme;
  // The trials of a backtracking step take as many rounds as they take, so
  // four corners would not reach their iterates together.
  if (solver_.getPacketScheme(scheme) && scheme != tPacketStep::SCHEME_BACKTRACKING_NEWTON) {
    return straddleInPackets(scheme, corners, groups, straddles, cancel);
  }
  if (!solver_.runsInLanes()) return straddleWhole(corners, groups, straddles, cancel);
  return straddleByLane(corners, groups, straddles, cancel);
}

bool tPacketSolver::straddleWhole(const tVector2* corners, std::size_t groups, bool* straddles,
                                  const std::atomic<bool>* cancel) {
  for (std::size_t g = 0; g < groups; ++g) {
    if (cancelled(cancel)) return false;
    straddles[g] = tFractal::pathsStraddle(solver_, function_, corners + 4 * g);
  }
  return true;
}

bool tPacketSolver::straddleInPackets(tPacketStep::SCHEME scheme, const tVector2* corners,
                                      std::size_t groups, bool* straddles,
                                      const std::atomic<bool>* cancel) {
  const uint32_t limit = solver_.getMaxIterations();
  uint32_t compared[LANES / 4] = {};  // iteration indices compared so far, per group of lanes
  // Without iterations there is nothing to compare.
  auto feeder = feedLanes<4>(
      groups, limit == 0,
      [&](unsigned g, std::size_t i) {
        for (unsigned c = 0; c < 4; ++c) startPacketLane(4 * g + c, corners[4 * i + c]);
        compared[g] = 0;
      },
      [&](std::size_t i) { straddles[i] = false; });
  atSecondPoint_ = false;
  while (feeder.active() != 0) {
    if (cancelled(cancel)) return false;
    const tPacketStep::tFound found = advancePacket(scheme, true, feeder.active());
    for (unsigned g = 0; g < feeder.SLOTS; ++g) {
      if (((feeder.active() >> (4 * g)) & 1u) == 0) continue;
      // The four lanes run the same stages (a failed two-point step too),
      // so they reach their iterates in the same round; then they are
      // compared as tFractal::straddles does:
      // one on the singular set, or two whose determinants differ in sign.
      if (((found.iterate >> (4 * g)) & 0xFu) != 0xFu) continue;
      const unsigned positive = (found.positive >> (4 * g)) & 0xFu;
      const bool across =
          ((found.singular >> (4 * g)) & 0xFu) != 0 || (positive != 0 && positive != 0xFu);
      if (across || ++compared[g] == limit) {
        straddles[feeder.itemOf(g)] = across;
        feeder.refill(g);
      }
    }
  }
  return true;
}

bool tPacketSolver::straddleByLane(const tVector2* corners, std::size_t groups, bool* straddles,
                                   const std::atomic<bool>* cancel) {
  const uint32_t limit = solver_.getMaxIterations();
  tIterativeSolver::tLane lanes[LANES];
  uint32_t compared[LANES / 4] = {};  // iteration indices compared so far, per group of lanes
  // Without iterations there is nothing to compare.
  auto feeder = feedLanes<4>(
      groups, limit == 0,
      [&](unsigned g, std::size_t i) {
        for (unsigned c = 0; c < 4; ++c) solver_.startLane(lanes[4 * g + c], corners[4 * i + c]);
        compared[g] = 0;
      },
      [&](std::size_t i) { straddles[i] = false; });
  while (feeder.active() != 0) {
    if (cancelled(cancel)) return false;
    evaluate(lanes, feeder.active());
    for (unsigned g = 0; g < feeder.SLOTS; ++g) {
      if (((feeder.active() >> (4 * g)) & 1u) == 0) continue;
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
        straddles[feeder.itemOf(g)] = across;
        feeder.refill(g);
      }
    }
  }
  return true;
}
