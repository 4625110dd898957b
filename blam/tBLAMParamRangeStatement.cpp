#include "blam/tBLAMParamRangeStatement.h"

#include <ostream>
#include <sstream>

#include "expr/tVariableEnv.h"

void tBLAMParamRangeStatement::buildStatement(const std::string& name, double from, double to) {
  if (isReserved(name)) return;
  name_ = name;
  from_ = from;
  to_ = to;
  valid_ = true;
}

void tBLAMParamRangeStatement::run(tVariableEnv* env, const tBLAMContext&) {
  if (!valid_) return;
  double n = env->getDoubleVal("_n_");
  double m = env->getDoubleVal("_batchMax_");
  // One iteration would divide zero by zero: it stands at the start.
  double value = m == 1.0 ? from_ : from_ + ((to_ - from_) * (n - 1.0)) / (m - 1.0);
  env->extend(name_, value);
}

void tBLAMParamRangeStatement::print(std::ostream& trace) const {
  trace << "[PARAM_RANGE : " << name_ << " from " << from_ << " to " << to_ << "]";
}

std::string tBLAMParamRangeStatement::describe() const {
  std::ostringstream text;
  text << name_ << " from " << from_ << " to " << to_;
  return text.str();
}
