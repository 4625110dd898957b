#ifndef ROOTWEAVER_BLAM_TBLAMPARAMRANGESTATEMENT_H
#define ROOTWEAVER_BLAM_TBLAMPARAMRANGESTATEMENT_H

#include <string>

#include "blam/tBLAMStatement.h"

// NAME from A to B: binds NAME to the point of an even grid from A (first
// iteration of the enclosing batch) to B (last iteration). A batch of one
// iteration takes A; outside any batch the value is B. Ranges over the
// system's reserved names do nothing.
class tBLAMParamRangeStatement : public tBLAMStatement {
 public:
  // A and B arrive already rounded to single precision by the parser.
  void buildStatement(const std::string& name, double from, double to);

  void run(tVariableEnv* env, const tBLAMContext& context) override;
  void print(std::ostream& trace) const override;
  std::string describe() const override;

 private:
  std::string name_;    // the variable set; empty while inert
  double from_ = 0.0;   // value at the first iteration
  double to_ = 0.0;     // value at the last iteration
  bool valid_ = false;  // false for a reserved name and until built
};

#endif
