#include "blam/tBLAMRunOutput.h"

#include "File/tCSVFile.h"
#include "blam/tBLAMProgress.h"

bool tBLAMRunOutput::appendToCSV(const tRun& run, const std::string& name,
                                 const std::vector<std::string>& columns,
                                 const std::vector<std::vector<std::string>>& rows) {
  const std::string path = run.directory + run.prefix + "-" + name;
  std::vector<std::string> leftOut;
  tBLAMProgress& progress = tBLAMProgress::instance();
  if (!tCSVFile::appendRows(path, columns, rows, leftOut)) {
    progress.warn(run.statement + ": cannot open " + path);
    return false;
  }
  if (leftOut.empty()) return true;
  std::string names;
  for (const std::string& column : leftOut) names += (names.empty() ? "" : ", ") + column;
  progress.warn(run.statement + ": " + path + " has no column for " + names + "; left out");
  return true;
}
