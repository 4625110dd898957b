#include "fractal/tIterativeSolver.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "expr/tFunction.h"
#include "fractal/tFractal.h"

tIterativeSolver::tIterativeSolver(unsigned long maxIterations, double stepSize,
                                   const std::string& name)
    : maxIterations_(static_cast<uint32_t>(
          std::min<unsigned long>(maxIterations, std::numeric_limits<uint32_t>::max()))),
      residualLimit_(squaredLimit(EQUALITY_EPSILON)),
      stepSize_(stepSize),
      name_(name) {}

static_assert(tIterativeSolver::INVERTIBLE_CUTOFF == tFunction::INVERTIBLE_CUTOFF,
              "the singular test of the solvers is invertJacobian's");

tIterativeSolver::~tIterativeSolver() = default;

tSolution tIterativeSolver::solveToOutcome(tFunction* f, const tVector2& start) const {
  return solve(f, start, false);
}

void tIterativeSolver::stopSingular(uint32_t i, tSolution& solution) {
  solution.iterations_ = i;
  solution.singularJacobian_ = true;
  solution.noConvergence_ = false;
}

void tIterativeSolver::startLane(tLane& lane, const tVector2& start) const {
  lane.x = start;
  lane.point = start;
  lane.stage = 0;
  lane.iteration = 0;
}

bool tIterativeSolver::getPacketScheme(tPacketStep::SCHEME&) const { return false; }

bool tIterativeSolver::getMethodParameter(double&) const { return false; }

std::string tIterativeSolver::refusalFor(const tFunction&) const { return ""; }

void tIterativeSolver::giveUp(tSolution& solution) const {
  solution.iterations_ = maxIterations_;
  solution.singularJacobian_ = false;
  solution.noConvergence_ = true;
}

bool tIterativeSolver::dampedNewtonMeetsSingularSet(tFunction* f, tFractal* fractal,
                                                    const tVector2& start) const {
  tVector2 x = start;
  for (uint32_t i = 0; i < maxIterations_; ++i) {
    tMatrix2 m = f->jacobianInverse(x);
    tVector2 fx = f->value(x);
    if (fractal->pointInSingularSet(x.x_, x.y_, f)) return true;
    if (fx.length() < EQUALITY_EPSILON) return false;
    x -= (stepSize_ * m) * fx;
  }
  return false;
}

double tIterativeSolver::squaredLimit(double distance) {
  double s = distance * distance;
  while (distance > std::sqrt(s)) s = std::nextafter(s, INFINITY);
  while (!(distance > std::sqrt(std::nextafter(s, 0.0)))) s = std::nextafter(s, 0.0);
  return s;
}
