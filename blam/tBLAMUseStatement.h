#ifndef ROOTWEAVER_BLAM_TBLAMUSESTATEMENT_H
#define ROOTWEAVER_BLAM_TBLAMUSESTATEMENT_H

#include <string>
#include <vector>

#include "blam/tBLAMStatement.h"

class tIterativeSolver;

// use NAME: makes the named solver, with the iteration limit, step size and
// method parameter the variables hold now, the application's current solver.
// An unknown name leaves the application without a solver.
class tBLAMUseStatement : public tBLAMStatement {
 public:
  void buildStatement(const std::string& name) { solverName_ = name; }

  // The solver of a name a script may use, compared exactly, owned by the
  // caller; null for an unknown name. The parameter is the Chebyshev-Halley
  // family's a, King's b and Laguerre's n (when whole); the others ignore it.
  static tIterativeSolver* makeSolver(const std::string& name, unsigned long maxIterations,
                                      double stepSize, double parameter = 0.5);
  // The names a script may use, in the order the message of an unknown one
  // lists them.
  static std::vector<std::string> getSolverNames();
  // The name `use` takes for a solver of this name (tIterativeSolver::getName),
  // which data files show: Runge-Kutta 2's shows with a leading "t".
  static std::string useNameOf(const std::string& solverName);

  void run(tVariableEnv* env, const tBLAMContext& context) override;
  void print(std::ostream& trace) const override;
  std::string describe() const override;

 private:
  std::string solverName_;  // the name written after use
};

#endif
