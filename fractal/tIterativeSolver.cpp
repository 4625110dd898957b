#include "fractal/tIterativeSolver.h"

#include <algorithm>
#include <limits>

tIterativeSolver::tIterativeSolver(unsigned long maxIterations, double stepSize,
                                   const std::string& name)
    : maxIterations_(static_cast<uint32_t>(
          std::min<unsigned long>(maxIterations, std::numeric_limits<uint32_t>::max()))),
      stepSize_(stepSize),
      name_(name) {}

tIterativeSolver::~tIterativeSolver() = default;

bool tIterativeSolver::stopsAt(uint32_t i, const tMatrix2& m, const tVector2& fx, bool fullPath,
                               tSolution& solution) const {
  if (fullPath) return false;
  // The singular test comes first: a root with a singular Jacobian is reported
  // as singular.
  if (m == tMatrix2()) {
    solution.iterations_ = i;
    solution.singularJacobian_ = true;
    solution.noConvergence_ = false;
    return true;
  }
  if (EQUALITY_EPSILON > fx.length()) {
    solution.iterations_ = i;
    solution.singularJacobian_ = false;
    solution.noConvergence_ = false;
    return true;
  }
  return false;
}

void tIterativeSolver::giveUp(tSolution& solution) const {
  solution.iterations_ = maxIterations_;
  solution.singularJacobian_ = false;
  solution.noConvergence_ = true;
}
