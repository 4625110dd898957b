#include "blam/tBLAMParamsStatement.h"

#include <ostream>

#include "blam/tBLAMScript.h"

void tBLAMParamsStatement::buildStatement(const std::vector<std::string>& tokens, unsigned& index,
                                          tBLAMScript& script) {
  statements_.clear();
  script.buildStatements(statements_, tokens, index);
}

void tBLAMParamsStatement::run(tVariableEnv* env, const tBLAMContext& context) {
  for (const std::unique_ptr<tBLAMStatement>& statement : statements_)
    statement->execute(env, context);
}

void tBLAMParamsStatement::print(std::ostream& trace) const {
  trace << "[PARAMS : ";
  tBLAMScript::printStatements(statements_, trace);
  trace << "]";
}

std::string tBLAMParamsStatement::describe() const { return "params"; }
