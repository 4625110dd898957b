#include "blam/tBLAMUseStatement.h"

#include <iostream>

#include "Shell/tMainApp.h"
#include "blam/tBLAMProgress.h"
#include "expr/tVariableEnv.h"
#include "fractal/tAdamsBashforthSolver2.h"
#include "fractal/tHeunSolver.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tRefinedNewtonSolver.h"
#include "fractal/tRungeKuttaSolver2.h"
#include "fractal/tRungeKuttaSolver4.h"

namespace {

// The solver of a name, compared exactly; null for an unknown name.
tIterativeSolver* makeSolver(const std::string& name, unsigned long maxIterations,
                             double stepSize) {
  if (name == "NewtonSolver") return new tNewtonSolver(maxIterations, stepSize);
  if (name == "RefinedNewtonSolver") return new tRefinedNewtonSolver(maxIterations, stepSize);
  if (name == "HeunSolver") return new tHeunSolver(maxIterations, stepSize);
  if (name == "RungeKuttaSolver4") return new tRungeKuttaSolver4(maxIterations, stepSize);
  if (name == "RungeKuttaSolver2") return new tRungeKuttaSolver2(maxIterations, stepSize);
  if (name == "AdamsBashforthSolver2") return new tAdamsBashforthSolver2(maxIterations, stepSize);
  return nullptr;
}

}  // namespace

void tBLAMUseStatement::run(tVariableEnv* env) {
  tMainApp& app = tMainApp::instance();
  app.setSolver(nullptr);
  tIterativeSolver* solver = makeSolver(
      solverName_, toUnsigned(env->getDoubleVal("_maxIterations")), env->getDoubleVal("_stepSize"));
  if (!solver) {
    tBLAMProgress::instance().fail(describe() + ": unknown solver, no solver selected");
    return;
  }
  app.setSolver(solver);
}

void tBLAMUseStatement::print() const { std::cout << "[USE " << solverName_ << "]"; }

std::string tBLAMUseStatement::describe() const { return "use " + solverName_; }
