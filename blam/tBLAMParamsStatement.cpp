#include "blam/tBLAMParamsStatement.h"

#include <iostream>

#include "blam/tBLAMScript.h"

void tBLAMParamsStatement::buildStatement(const std::vector<std::string>& tokens, unsigned& index,
                                          tBLAMScript& script) {
  statements_.clear();
  script.buildStatements(statements_, tokens, index);
}

void tBLAMParamsStatement::run(tVariableEnv* env, tSession& session) {
  for (const std::unique_ptr<tBLAMStatement>& statement : statements_)
    statement->execute(env, session);
}

void tBLAMParamsStatement::print() const {
  std::cout << "[PARAMS : ";
  tBLAMScript::printStatements(statements_);
  std::cout << "]";
}

std::string tBLAMParamsStatement::describe() const { return "params"; }
