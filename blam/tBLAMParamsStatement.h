#ifndef ROOTWEAVER_BLAM_TBLAMPARAMSSTATEMENT_H
#define ROOTWEAVER_BLAM_TBLAMPARAMSSTATEMENT_H

#include <memory>
#include <string>
#include <vector>

#include "blam/tBLAMStatement.h"

class tBLAMScript;

// params ... end: a group of statements run in order, without a scope of its
// own, so what the body binds stays bound.
class tBLAMParamsStatement : public tBLAMStatement {
 public:
  // Parses the body from index with the script's parser; it ends at the first
  // token that cannot begin a statement (conventionally end).
  void buildStatement(const std::vector<std::string>& tokens, unsigned& index, tBLAMScript& script);

  void run(tVariableEnv* env, const tBLAMContext& context) override;
  void print(std::ostream& trace) const override;
  std::string describe() const override;

 private:
  std::vector<std::unique_ptr<tBLAMStatement>> statements_;  // the body, in order
};

#endif
