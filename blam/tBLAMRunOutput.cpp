#include "blam/tBLAMRunOutput.h"

#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMProgress.h"

bool tBLAMRunOutput::appendToCSV(const tRun& run, const std::string& name,
                                 const std::vector<std::string>& columns,
                                 const std::vector<std::vector<std::string>>& rows) {
  return appendRows(run.statement, run.directory + run.prefix + "-" + name, columns, rows);
}

bool tBLAMRunOutput::appendRows(const std::string& statement, const std::string& path,
                                const std::vector<std::string>& columns,
                                const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::string> leftOut;
  tBLAMProgress& progress = tBLAMProgress::instance();
  if (!tBLAMOutputs::current().appendCSV(path, columns, rows, leftOut)) {
    progress.warn(statement + ": cannot open " + path);
    return false;
  }
  if (leftOut.empty()) return true;
  std::string names;
  for (const std::string& column : leftOut) names += (names.empty() ? "" : ", ") + column;
  progress.warn(statement + ": " + path + " has no column for " + names + "; left out");
  return true;
}
