#include "blam/tBLAMStatement.h"

#include <cmath>
#include <limits>

#include "blam/tBLAMProgress.h"

void tBLAMStatement::execute(tVariableEnv* env, const tBLAMContext& context) {
  context.progress.beginStatement(describe());
  run(env, context);
}

namespace {

// value cut to the integers 0 .. max; max is exact in a double for the
// 32-bit types used here.
double clampToRange(double value, double max) {
  if (std::isnan(value) || value <= 0.0) return 0.0;
  if (value >= max) return max;
  return std::trunc(value);
}

}  // namespace

std::uint32_t tBLAMStatement::toUnsigned(double value) {
  return static_cast<std::uint32_t>(
      clampToRange(value, static_cast<double>(std::numeric_limits<std::uint32_t>::max())));
}

int tBLAMStatement::toInt(double value) {
  return static_cast<int>(
      clampToRange(value, static_cast<double>(std::numeric_limits<int>::max())));
}

bool tBLAMStatement::isReserved(const std::string& name) {
  return name.size() >= 2 && name.front() == '_' && name.back() == '_';
}

void tBLAMStatement::failEach(const std::vector<std::string>& reasons,
                              tBLAMProgress& progress) const {
  for (const std::string& reason : reasons) progress.fail(describe() + ": " + reason);
}
