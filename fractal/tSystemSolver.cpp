#include "fractal/tSystemSolver.h"

#include <stdexcept>

#include "expr/tFunction.h"

tSystemSolver::tSystemSolver(unsigned long maxIterations, double stepSize, const std::string& name)
    : tIterativeSolver(maxIterations, stepSize, name) {}

tSolution tSystemSolver::solve(tFunction* f, const tVector2& start, bool fullPath) const {
  return walk<true>(f, start, fullPath);
}

tSolution tSystemSolver::solveToOutcome(tFunction* f, const tVector2& start) const {
  return walk<false>(f, start, false);
}

template <bool PATH>
tSolution tSystemSolver::walk(tFunction* f, const tVector2& start, bool fullPath) const {
  tSolution solution = PATH ? tSolution(maxIterations_) : tSolution();
  tVector2 x = start;
  for (uint32_t i = 0; i < maxIterations_; ++i) {
    const tPoint at = evaluate(*f, x);
    if (PATH) solution.path_.push_back(x);
    if (stopsAt(i, at.inverse, at.value, fullPath, solution)) {
      if (!PATH && !solution.singularJacobian_) solution.path_.push_back(x);
      return solution;
    }
    tVector2 after;
    if (at.inverse == tMatrix2() || !next(*f, x, at, after)) {
      // A full path goes on where it stands, as Newton's does on a singular Jacobian.
      if (fullPath) continue;
      stopSingular(i, solution);
      return solution;
    }
    x = after;
  }
  giveUp(solution);
  return solution;
}

tSystemSolver::tPoint tSystemSolver::evaluate(const tFunction& f, const tVector2& x) {
  double out[6];
  f.getProgram().evaluate(x.x_, x.y_, out);
  return {tVector2(out[0], out[1]), tMatrix2(out[2], out[3], out[4], out[5]),
          tFunction::invertJacobian(out[2], out[3], out[4], out[5])};
}

tMatrix2 tSystemSolver::jacobianAt(const tFunction& f, const tVector2& x) {
  double out[6];
  f.getProgram().evaluate(x.x_, x.y_, out);
  return tMatrix2(out[2], out[3], out[4], out[5]);
}

bool tSystemSolver::next(const tFunction& f, const tVector2& x, const tPoint& at,
                         tVector2& after) const {
  tVector2 c;
  if (!correction(f, x, at, c)) return false;
  after = x - stepSize_ * c;
  return true;
}

tIterativeSolver::LANE_EVENT tSystemSolver::advanceLane(tLane&, const tVector2&, const tMatrix2&,
                                                        bool) const {
  throw std::logic_error(name_ +
                         " evaluates more than an iterate's F and J^-1 at each step, "
                         "which a lane is not given");
}

bool tSystemSolver::iterateInSingularSet(tFunction* f, tFractal* fractal,
                                         const tVector2& start) const {
  return dampedNewtonMeetsSingularSet(f, fractal, start);
}

tMatrix2 tSystemSolver::curvature(const tFunction& f, const tVector2& x, const tPoint& at,
                                  const tVector2& s) {
  double d[6];  // f1xx, f1xy, f1yy, f2xx, f2xy, f2yy
  f.secondDerivatives(x.x_, x.y_, d);
  const tMatrix2 applied(d[0] * s.x_ + d[1] * s.y_, d[1] * s.x_ + d[2] * s.y_,
                         d[3] * s.x_ + d[4] * s.y_, d[4] * s.x_ + d[5] * s.y_);
  return at.inverse * applied;
}

std::string tSystemSolver::secondDerivativesRefusal(const tFunction& f) const {
  for (unsigned slot = 2; slot < tFunction::FORMULAS; ++slot) {
    if (!f.getFormula(slot)) {
      return name_ + " needs the second derivatives of the map, which has no " +
             tFunction::getLabel(slot);
    }
  }
  for (unsigned k = 0; k < tFunction::SECOND_FORMULAS; ++k) {
    if (!f.getSecondFormula(k))
      return name_ + " needs " + tFunction::getSecondLabel(k) + ", which is too large to derive";
  }
  return "";
}
