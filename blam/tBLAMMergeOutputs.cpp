#include "blam/tBLAMMergeOutputs.h"

#include <filesystem>
#include <utility>

#include "File/tFileUtils.h"

tBLAMMergeOutputs::tBLAMMergeOutputs(std::map<unsigned long, tBLAMRunRecord> records,
                                     const std::set<std::string>& pictures)
    : records_(std::move(records)) {
  for (const std::string& picture : pictures) pictures_.insert(normalPath(picture));
}

void tBLAMMergeOutputs::startWriting() {
  checking_ = false;
  runs_ = 0;
}

tBLAMOutputs::TRUN_PART tBLAMMergeOutputs::beginRun(const tRunStart& start) {
  const unsigned long run = ++runs_;
  auto record = records_.find(run);
  std::string misfit;
  if (record == records_.end()) {
    misfit = "no shard computed it";
  } else if (record->second.settings != start.settings) {
    misfit =
        "its shard computed it with other settings, which come from an earlier run's "
        "results; run the script whole";
  }
  if (!misfit.empty()) {
    if (failure_.empty())
      failure_ = start.statement + " (run " + std::to_string(run) + "): " + misfit;
    return RUN_SKIP;
  }
  replayed_ = &record->second;
  return RUN_REPLAY;
}

void tBLAMMergeOutputs::endRun(bool) { replayed_ = nullptr; }

bool tBLAMMergeOutputs::appendText(const std::string& path, const std::string& text) {
  return checking_ || tBLAMOutputs::appendText(path, text);
}

bool tBLAMMergeOutputs::writeMade(const std::string& path, const tWriter& write) {
  return checking_ || tBLAMOutputs::writeMade(path, write);
}

bool tBLAMMergeOutputs::appendCSV(const std::string& path, const std::vector<std::string>& columns,
                                  const std::vector<std::vector<std::string>>& rows,
                                  std::vector<std::string>& leftOut) {
  return checking_ || tBLAMOutputs::appendCSV(path, columns, rows, leftOut);
}

void tBLAMMergeOutputs::removeOutputsOf(const std::string& directory, const std::string& batchName,
                                        const std::string& statement) {
  if (!checking_) tBLAMOutputs::removeOutputsOf(directory, batchName, statement);
}

bool tBLAMMergeOutputs::keeps(const std::string& path) const {
  return pictures_.count(normalPath(path)) != 0;
}

std::string tBLAMMergeOutputs::normalPath(const std::string& path) {
  const std::string absolute =
      path.empty() || path[0] != '/' ? tFileUtils::getOutputDirectory() + path : path;
  return std::filesystem::path(absolute).lexically_normal().string();
}
