#ifndef ROOTWEAVER_BLAM_TBLAMUSESTATEMENT_H
#define ROOTWEAVER_BLAM_TBLAMUSESTATEMENT_H

#include <string>

#include "blam/tBLAMStatement.h"

// use NAME: makes the named solver, with the iteration limit and step size
// the variables hold now, the application's current solver. An unknown name
// leaves the application without a solver.
class tBLAMUseStatement : public tBLAMStatement {
 public:
  void buildStatement(const std::string& name) { solverName_ = name; }

  void run(tVariableEnv* env, tSession& session) override;
  void print() const override;
  std::string describe() const override;

 private:
  std::string solverName_;  // the name written after use
};

#endif
