#include "blam/tBLAMShardOutputs.h"

#include <filesystem>
#include <map>

#include "File/tFileUtils.h"
#include "blam/tBLAMBatchStatement.h"
#include "blam/tBLAMShardFile.h"

namespace {

std::string normalDirectory(const std::string& directory) {
  std::string normal = std::filesystem::path(directory).lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

}  // namespace

tBLAMShardOutputs::tBLAMShardOutputs(unsigned int shard, unsigned int shards)
    : shard_(shard), shards_(shards) {}

void tBLAMShardOutputs::startComputing() {
  // From the end backwards: a picture is final unless a later event wrote
  // its path or removed a batch's outputs that include its name.
  std::set<std::string> writtenLater;
  std::map<std::string, std::set<std::string>> removedLater;  // directory: batch names
  for (auto event = events_.rbegin(); event != events_.rend(); ++event) {
    if (event->run == 0) {
      removedLater[event->directory].insert(event->name);
      continue;
    }
    const std::string path = event->directory + "/" + event->name;
    bool final = writtenLater.insert(path).second;
    for (const std::string& batch : removedLater[event->directory])
      final = final && !tBLAMBatchStatement::isOutputOf(event->name, batch);
    if (final) finalPictures_.insert(event->run);
  }
  events_.clear();
  directories_.clear();
  planning_ = false;
  runs_ = 0;
}

tBLAMOutputs::TRUN_PART tBLAMShardOutputs::partOf(const tRunStart& start) {
  const unsigned long run = ++runs_;
  if (planning_) {
    if (refusal_.empty() && !start.dependence.empty())
      refusal_ = start.statement + " (run " + std::to_string(run) + "): " + start.dependence;
    planOutput(start.picture);
    if (!start.page.empty()) planOutput(start.page);
    for (const std::string& file : start.files) planOutput(file);
    const std::string::size_type slash = start.picture.rfind('/');
    events_.push_back({run, normalDirectory(start.picture.substr(0, slash + 1)),
                       start.picture.substr(slash + 1)});
    return RUN_SKIP;
  }
  if ((run - 1) % shards_ != shard_) return RUN_SKIP;
  tBLAMRunRecord record;
  record.number = run;
  record.settings = start.settings;
  records_.push_back(record);
  computing_ = true;
  return RUN_COMPUTE;
}

void tBLAMShardOutputs::keepResults(const tResults& results) {
  if (tBLAMRunRecord* record = recording()) record->results = results;
}

void tBLAMShardOutputs::endRun(bool complete) {
  if (tBLAMRunRecord* record = recording()) record->complete = complete;
  computing_ = false;
}

bool tBLAMShardOutputs::writePicture(const std::string& path, const tWriter& write,
                                     std::string& error) {
  tBLAMRunRecord* record = recording();
  if (!record || finalPictures_.count(record->number) == 0) return true;
  if (!write(path, error)) return false;
  tBLAMRunRecord::tPicture picture;
  picture.path = relative(path);
  if (!tBLAMShardFile::hashFile(path, picture.size, picture.hash)) {
    error = "cannot read back " + path;
    return false;
  }
  record->pictures.push_back(picture);
  return true;
}

bool tBLAMShardOutputs::writeMade(const std::string& path, const tWriter&, std::string&) {
  if (planning_) planOutput(path);
  return true;
}

bool tBLAMShardOutputs::appendText(const std::string& path, const std::string& text,
                                   std::string&) {
  if (planning_) planOutput(path);
  if (tBLAMRunRecord* record = recording()) {
    tBLAMRunRecord::tAppend append;
    append.path = relative(path);
    append.text = text;
    record->appends.push_back(append);
  }
  return true;
}

bool tBLAMShardOutputs::appendCSV(const std::string& path, const std::vector<std::string>& columns,
                                  const std::vector<std::vector<std::string>>& rows,
                                  std::string&) {
  if (tBLAMRunRecord* record = recording()) {
    tBLAMRunRecord::tAppend append;
    append.path = relative(path);
    append.csv = true;
    append.columns = columns;
    append.rows = rows;
    record->appends.push_back(append);
  }
  return true;
}

void tBLAMShardOutputs::makeDirectory(const std::string& directory) {
  if (!planning_) {
    tBLAMOutputs::makeDirectory(directory);
    return;
  }
  planOutput(directory);
  directories_.insert(normalDirectory(directory));
}

bool tBLAMShardOutputs::canWriteTo(const std::string& directory) const {
  if (planning_ && directories_.count(normalDirectory(directory)) != 0) return true;
  return tBLAMOutputs::canWriteTo(directory);
}

std::vector<std::string> tBLAMShardOutputs::removeOutputsOf(const std::string& directory,
                                                            const std::string& batchName) {
  if (!planning_) return {};
  planOutput(directory);
  events_.push_back({0, normalDirectory(directory), batchName});
  return {};
}

std::string tBLAMShardOutputs::relative(const std::string& path) {
  const std::string base = tFileUtils::getOutputDirectory();
  return path.compare(0, base.size(), base) == 0 ? path.substr(base.size()) : path;
}

tBLAMRunRecord* tBLAMShardOutputs::recording() { return computing_ ? &records_.back() : nullptr; }

void tBLAMShardOutputs::planOutput(const std::string& path) {
  if (refusal_.empty() && !isInsideOutputDirectory(path))
    refusal_ = "it writes " + path + ", outside the output directory " +
               tFileUtils::getOutputDirectory() + ", where the merge could not follow";
}
