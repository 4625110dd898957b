#include "blam/tBLAMMergeOutputs.h"

#include <stdlib.h>

#include <filesystem>
#include <utility>

#include "File/tFileUtils.h"

namespace {

// The path with every link of its existing folders followed: the real path
// of the deepest folder that exists, then the rest as written.
std::string resolved(const std::string& path) {
  std::filesystem::path existing = std::filesystem::path(path).lexically_normal().parent_path();
  std::filesystem::path rest = std::filesystem::path(path).filename();
  for (;;) {
    char* real = realpath(existing.c_str(), nullptr);
    if (real) {
      const std::string result = (std::filesystem::path(real) / rest).string();
      free(real);
      return result;
    }
    if (!existing.has_relative_path()) return path;
    rest = existing.filename() / rest;
    existing = existing.parent_path();
  }
}

}  // namespace

tBLAMMergeOutputs::tBLAMMergeOutputs(std::map<unsigned long, tBLAMRunRecord> records,
                                     const std::set<std::string>& pictures, unsigned int shards)
    : records_(std::move(records)), shards_(shards) {
  for (const std::string& picture : pictures) pictures_.insert(normalPath(picture));
}

void tBLAMMergeOutputs::startWriting() {
  checking_ = false;
  runs_ = 0;
}

tBLAMOutputs::TRUN_PART tBLAMMergeOutputs::partOf(const tRunStart& start) {
  const unsigned long run = ++runs_;
  std::string misfit, error;
  for (const std::string& file : start.files) mayWrite(file, error);
  mayWrite(start.picture, error);
  if (!start.page.empty()) mayWrite(start.page, error);
  auto record = records_.find(run);
  if (record == records_.end())
    misfit = "no shard computed it";
  else
    misfit = misfitOf(record->second, start);
  if (!misfit.empty()) {
    if (failure_.empty())
      failure_ = start.statement + " (run " + std::to_string(run) + "): " + misfit;
    return RUN_SKIP;
  }
  replayed_ = &record->second;
  return RUN_REPLAY;
}

std::string tBLAMMergeOutputs::misfitOf(const tBLAMRunRecord& record,
                                        const tRunStart& start) const {
  const std::string shard = "shard " + std::to_string((record.number - 1) % shards_) + " of " +
                            std::to_string(shards_);
  if (record.settings != start.settings)
    return "its shard computed it with other settings, which come from an earlier run's "
           "results; run the script whole";
  if (!record.complete) return shard + " could not write its picture; run that shard again";
  for (const tBLAMRunRecord::tPicture& picture : record.pictures) {
    const std::string path = normalPath(picture.path);
    if (path != normalPath(start.picture) && (start.page.empty() || path != normalPath(start.page)))
      return shard + " recorded the picture " + picture.path + ", which this run does not write";
  }
  for (const tBLAMRunRecord::tAppend& append : record.appends) {
    bool known = false;
    for (const std::string& file : start.files)
      known = known || normalPath(append.path) == normalPath(file);
    if (!known) return shard + " recorded " + append.path + ", a file this run does not write";
  }
  return "";
}

void tBLAMMergeOutputs::endRun(bool) { replayed_ = nullptr; }

bool tBLAMMergeOutputs::appendText(const std::string& path, const std::string& text,
                                   std::string& error) {
  if (!mayWrite(path, error)) return false;
  return checking_ || tBLAMOutputs::appendText(path, text, error);
}

bool tBLAMMergeOutputs::writeMade(const std::string& path, const tWriter& write,
                                  std::string& error) {
  if (!mayWrite(path, error)) return false;
  return checking_ || tBLAMOutputs::writeMade(path, write, error);
}

bool tBLAMMergeOutputs::appendCSV(const std::string& path, const std::vector<std::string>& columns,
                                  const std::vector<std::vector<std::string>>& rows,
                                  std::string& error) {
  if (!mayWrite(path, error)) return false;
  return checking_ || tBLAMOutputs::appendCSV(path, columns, rows, error);
}

void tBLAMMergeOutputs::makeDirectory(const std::string& directory) {
  std::string error;
  if (mayWrite(directory, error) && !checking_) tBLAMOutputs::makeDirectory(directory);
}

bool tBLAMMergeOutputs::canWriteTo(const std::string& directory) const {
  // While checking, the directories the script makes are not made yet.
  return checking_ || tBLAMOutputs::canWriteTo(directory);
}

std::vector<std::string> tBLAMMergeOutputs::removeOutputsOf(const std::string& directory,
                                                            const std::string& batchName) {
  std::string error;
  const bool allowed = mayWrite(directory, error);
  if (checking_) return {};
  if (!allowed) return {error};
  return tBLAMOutputs::removeOutputsOf(directory, batchName);
}

bool tBLAMMergeOutputs::keeps(const std::string& path) const {
  return pictures_.count(normalPath(path)) != 0;
}

bool tBLAMMergeOutputs::mayWrite(const std::string& path, std::string& error) {
  const std::string base = tFileUtils::getOutputDirectory();
  const std::string real = resolved(base);
  if (isInsideOutputDirectory(path) && resolved(path).compare(0, real.size(), real) == 0)
    return true;
  error = "cannot write " + path + ": it lies outside " + base;
  if (checking_ && failure_.empty())
    failure_ = "the script writes " + path + ", outside " + base;
  return false;
}

std::string tBLAMMergeOutputs::normalPath(const std::string& path) {
  const std::string absolute =
      path.empty() || path[0] != '/' ? tFileUtils::getOutputDirectory() + path : path;
  return std::filesystem::path(absolute).lexically_normal().string();
}
