#include "fractal/tComplexMapSolver.h"

#include <stdexcept>

#include "expr/tFunction.h"

tComplexMapSolver::tComplexMapSolver(unsigned long maxIterations, double stepSize,
                                     const std::string& name, const char* needs)
    : tIterativeSolver(maxIterations, stepSize, name), needs_(needs) {}

tComplex tComplexMapSolver::tIterate::secondDerivative() const {
  double second[6];
  function.secondDerivatives(z.re, z.im, second);
  return {second[0], second[3]};
}

tComplex tComplexMapSolver::tIterate::valueAt(const tComplex& w) const {
  const tVector2 value = function.value(tVector2(w.re, w.im));
  return {value.x_, value.y_};
}

tComplex tComplexMapSolver::tIterate::derivativeAt(const tComplex& w) const {
  double out[6];
  function.getProgram().evaluate(w.re, w.im, out);
  return {out[2], out[4]};
}

tSolution tComplexMapSolver::solve(tFunction* f, const tVector2& start, bool fullPath) const {
  return walk<true>(f, start, fullPath);
}

tSolution tComplexMapSolver::solveToOutcome(tFunction* f, const tVector2& start) const {
  return walk<false>(f, start, false);
}

template <bool PATH>
tSolution tComplexMapSolver::walk(tFunction* f, const tVector2& start, bool fullPath) const {
  tSolution solution = PATH ? tSolution(maxIterations_) : tSolution();
  tVector2 x = start;
  for (uint32_t i = 0; i < maxIterations_; ++i) {
    double out[6];
    f->getProgram().evaluate(x.x_, x.y_, out);
    const tVector2 fx(out[0], out[1]);
    if (PATH) solution.path_.push_back(x);
    if (stopsAt(i, singularJacobian(out[2], out[3], out[4], out[5]), fx, fullPath, solution)) {
      if (!PATH && !solution.singularJacobian_) solution.path_.push_back(x);
      return solution;
    }
    tComplex c;
    if (!correction({*f, {x.x_, x.y_}, {out[0], out[1]}, {out[2], out[4]}}, c)) {
      // A full path goes on where it stands, as Newton's does on a singular Jacobian.
      if (fullPath) continue;
      stopSingular(i, solution);
      return solution;
    }
    x -= stepSize_ * tVector2(c.re, c.im);
  }
  giveUp(solution);
  return solution;
}

tIterativeSolver::LANE_EVENT tComplexMapSolver::advanceLane(tLane&, const tVector2&,
                                                            const tMatrix2&, bool) const {
  throw std::logic_error(name_ + " needs more of f at every iterate than a lane is given");
}

std::string tComplexMapSolver::refusalFor(const tFunction& f) const {
  if (f.getComplexFormula()) return "";
  return name_ + " needs " + needs_ + "a map given as f(z), not a map given by real formulas";
}

bool tComplexMapSolver::iterateInSingularSet(tFunction* f, tFractal* fractal,
                                             const tVector2& start) const {
  return dampedNewtonMeetsSingularSet(f, fractal, start);
}
