#include "blam/tBLAMNameCheck.h"

#include "blam/tBLAMProgress.h"
#include "blam/tBLAMSettings.h"
#include "expr/tVariableEnv.h"
#include "lexer/tSpellingHint.h"

void tBLAMNameCheck::addName(const std::string& name, const std::string& place) {
  for (const auto& noted : names_)
    if (noted.first == name) return;
  names_.emplace_back(name, place);
}

void tBLAMNameCheck::check(const tVariableEnv& env, tBLAMProgress& progress) {
  for (const auto& [name, place] : names_) {
    if (env.hasDoubleVal(name) || warned_.count(name) != 0) continue;
    warned_.insert(name);
    progress.warnAtPlace(place, describeUnset(name, env));
  }
}

std::string tBLAMNameCheck::describeUnset(const std::string& name, const tVariableEnv& env) {
  const int type = env.findType(name);
  if (type != tVariableEnv::TYPE_UNBOUND)
    return "'" + name + "' holds " + tBLAMSettings::describeType(type) + ", not a number; it reads as 0";
  std::set<std::string> known = tBLAMSettings::knownNames();
  env.collectNames(known, tVariableEnv::TYPE_NUMBER);
  return "'" + name + "' is not set; it reads as 0" + tSpellingHint::suggestion(name, known);
}
