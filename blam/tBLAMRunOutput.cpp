#include "blam/tBLAMRunOutput.h"

#include "blam/tBLAMContext.h"
#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMProgress.h"

bool tBLAMRunOutput::writeMade(const tRun&) const { return true; }

bool tBLAMRunOutput::appendToCSV(const tRun& run, const std::vector<std::string>& columns,
                                 const std::vector<std::vector<std::string>>& rows) const {
  std::string error;
  if (run.context->outputs.appendCSV(getPath(run), columns, rows, error)) return true;
  return fail(run, error);
}

bool tBLAMRunOutput::fail(const tRun& run, const std::string& error) {
  run.context->progress.fail(run.statement + ": " + error);
  return false;
}
