#include "blam/tBLAMUseStatement.h"

#include <ostream>

#include "blam/tBLAMProgress.h"
#include "expr/tVariableEnv.h"
#include "fractal/tAdamsBashforthSolver2.h"
#include "fractal/tBacktrackingNewtonSolver.h"
#include "fractal/tChebyshevHalleySolver.h"
#include "fractal/tChebyshevSystemSolver.h"
#include "fractal/tHalleySolver.h"
#include "fractal/tHalleySystemSolver.h"
#include "fractal/tHeunSolver.h"
#include "fractal/tJarrattSolver.h"
#include "fractal/tJarrattSystemSolver.h"
#include "fractal/tKingSolver.h"
#include "fractal/tLaguerreSolver.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tRefinedNewtonSolver.h"
#include "fractal/tRungeKuttaSolver2.h"
#include "fractal/tRungeKuttaSolver4.h"
#include "fractal/tSchroderSolver.h"
#include "fractal/tSession.h"
#include "fractal/tSteffensenSolver.h"
#include "fractal/tTraubSolver.h"
#include "fractal/tTraubSystemSolver.h"

namespace {

template <class tSolver>
tIterativeSolver* make(unsigned long maxIterations, double stepSize, double) {
  return new tSolver(maxIterations, stepSize);
}

tIterativeSolver* makeChebyshev(unsigned long maxIterations, double stepSize, double) {
  return tChebyshevHalleySolver::makeChebyshev(maxIterations, stepSize);
}

tIterativeSolver* makeSuperHalley(unsigned long maxIterations, double stepSize, double) {
  return tChebyshevHalleySolver::makeSuperHalley(maxIterations, stepSize);
}

tIterativeSolver* makeChebyshevHalley(unsigned long maxIterations, double stepSize,
                                      double parameter) {
  return new tChebyshevHalleySolver(maxIterations, stepSize, parameter);
}

tIterativeSolver* makeOstrowski(unsigned long maxIterations, double stepSize, double) {
  return tKingSolver::makeOstrowski(maxIterations, stepSize);
}

template <class tSolver>
tIterativeSolver* makeWithParameter(unsigned long maxIterations, double stepSize,
                                    double parameter) {
  return new tSolver(maxIterations, stepSize, parameter);
}

// The solvers a script may use, by name; the parameter is the method's, for
// those that take one.
const struct {
  const char* name;
  tIterativeSolver* (*make)(unsigned long maxIterations, double stepSize, double parameter);
} kSolvers[] = {
    {"NewtonSolver", make<tNewtonSolver>},
    {"RefinedNewtonSolver", make<tRefinedNewtonSolver>},
    {"HeunSolver", make<tHeunSolver>},
    {"RungeKuttaSolver4", make<tRungeKuttaSolver4>},
    {"RungeKuttaSolver2", make<tRungeKuttaSolver2>},
    {"AdamsBashforthSolver2", make<tAdamsBashforthSolver2>},
    {"HalleySolver", make<tHalleySolver>},
    {"ChebyshevSolver", makeChebyshev},
    {"SuperHalleySolver", makeSuperHalley},
    {"ChebyshevHalleySolver", makeChebyshevHalley},
    {"SchroderSolver", make<tSchroderSolver>},
    {"TraubSolver", make<tTraubSolver>},
    {"OstrowskiSolver", makeOstrowski},
    {"KingSolver", makeWithParameter<tKingSolver>},
    {"JarrattSolver", make<tJarrattSolver>},
    {"SteffensenSolver", make<tSteffensenSolver>},
    {"LaguerreSolver", makeWithParameter<tLaguerreSolver>},
    {"TraubSystemSolver", make<tTraubSystemSolver>},
    {"JarrattSystemSolver", make<tJarrattSystemSolver>},
    {"ChebyshevSystemSolver", make<tChebyshevSystemSolver>},
    {"HalleySystemSolver", make<tHalleySystemSolver>},
    {"BacktrackingNewtonSolver", make<tBacktrackingNewtonSolver>},
};

// "NewtonSolver, RefinedNewtonSolver, ...", for the message of an unknown name.
std::string solverNames() {
  std::string names;
  for (const std::string& name : tBLAMUseStatement::getSolverNames())
    names += (names.empty() ? "" : ", ") + name;
  return names;
}

}  // namespace

tIterativeSolver* tBLAMUseStatement::makeSolver(const std::string& name,
                                                unsigned long maxIterations, double stepSize,
                                                double parameter) {
  for (const auto& solver : kSolvers)
    if (name == solver.name) return solver.make(maxIterations, stepSize, parameter);
  return nullptr;
}

std::vector<std::string> tBLAMUseStatement::getSolverNames() {
  std::vector<std::string> names;
  for (const auto& solver : kSolvers) names.push_back(solver.name);
  return names;
}

std::string tBLAMUseStatement::useNameOf(const std::string& solverName) {
  for (const auto& solver : kSolvers) {
    const std::string name = solver.name;
    if (solverName == name || solverName == "t" + name) return name;
  }
  return solverName;
}

void tBLAMUseStatement::run(tVariableEnv* env, const tBLAMContext& context) {
  tSession& session = context.session;
  session.setSolver(nullptr);
  tIterativeSolver* solver = makeSolver(
      solverName_, toUnsigned(env->getDoubleVal("_maxIterations")), env->getDoubleVal("_stepSize"),
      env->getDoubleVal("_methodParameter"));
  if (!solver) {
    context.progress.fail(describe() + ": unknown solver (" + solverNames() +
                          "); no solver selected");
    return;
  }
  session.setSolver(solver);
}

void tBLAMUseStatement::print(std::ostream& trace) const {
  trace << "[USE " << solverName_ << "]";
}

std::string tBLAMUseStatement::describe() const { return "use " + solverName_; }
