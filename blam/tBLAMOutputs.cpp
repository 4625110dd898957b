#include "blam/tBLAMOutputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "File/tCSVFile.h"
#include "File/tFileUtils.h"
#include "File/tFileWriter.h"
#include "blam/tBLAMBatchStatement.h"

namespace {

std::string normalDirectory(const std::string& directory) {
  return std::filesystem::path(directory + "/").lexically_normal().string();
}

// Whether the entry of the directory is an old output of the batch or what
// a killed write of one left.
bool isRemovable(const std::string& directory, const std::string& entry,
                 const std::string& batchName) {
  if (entry.size() > 1 && entry[0] == '.') {
    const std::size_t mark = entry.rfind(".tmp-");
    if (mark == std::string::npos) return false;
    const std::string final = entry.substr(1, mark - 1);
    return tBLAMBatchStatement::isOutputOf(final, batchName) &&
           tFileWriter::isTemporaryOf(entry, final);
  }
  if (!tBLAMBatchStatement::isOutputOf(entry, batchName)) return false;
  // A directory that happens to carry such a name is not an output, nor is
  // a pipe or a device that the user put there to receive one.
  struct stat info;
  return lstat((directory + entry).c_str(), &info) == 0 &&
         (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode));
}

}  // namespace

void tBLAMOutputs::beginScript() {
  preparedTopLevel_.clear();
  lastPicture_.clear();
  runStatement_ = false;
}

void tBLAMOutputs::beginRunStatement() {
  lastPicture_.clear();
  runStatement_ = true;
}

tBLAMOutputs::TRUN_PART tBLAMOutputs::beginRun(const tRunStart& start) {
  lastPicture_ = start.picture;
  return partOf(start);
}

tBLAMOutputs::TRUN_PART tBLAMOutputs::partOf(const tRunStart&) { return RUN_COMPUTE; }

const tBLAMRunRecord* tBLAMOutputs::getReplayed() const { return nullptr; }

void tBLAMOutputs::keepResults(const tResults&) {}

void tBLAMOutputs::endRun(bool) {}

bool tBLAMOutputs::writePicture(const std::string& path, const tWriter& write,
                                std::string& error) {
  return write(path, error);
}

bool tBLAMOutputs::writeMade(const std::string& path, const tWriter& write, std::string& error) {
  return write(path, error);
}

bool tBLAMOutputs::appendText(const std::string& path, const std::string& text,
                              std::string& error) {
  return tFileWriter::append(path, text, error);
}

bool tBLAMOutputs::appendCSV(const std::string& path, const std::vector<std::string>& columns,
                             const std::vector<std::vector<std::string>>& rows,
                             std::string& error) {
  return tCSVFile::appendRows(path, columns, rows, error);
}

void tBLAMOutputs::makeDirectory(const std::string& directory) { tFileUtils::makePath(directory); }

bool tBLAMOutputs::canWriteTo(const std::string& directory) const {
  return access(directory.c_str(), W_OK) == 0;
}

std::vector<std::string> tBLAMOutputs::removeBatchOutputs(const std::string& directory,
                                                          const std::string& batchName) {
  if (batchName.empty()) preparedTopLevel_.insert(normalDirectory(directory));
  return removeOutputsOf(directory, batchName);
}

std::vector<std::string> tBLAMOutputs::prepareTopLevel(const std::string& directory) {
  if (!preparedTopLevel_.insert(normalDirectory(directory)).second) return {};
  return removeOutputsOf(directory, "");
}

std::vector<std::string> tBLAMOutputs::removeOutputsOf(const std::string& directory,
                                                       const std::string& batchName) {
  std::vector<std::string> failures;
  std::vector<std::string> entries;
  tFileUtils::getFilesInDirectory(directory, entries);
  for (const std::string& entry : entries) {
    const std::string path = directory + entry;
    if (!isRemovable(directory, entry, batchName) || keeps(path)) continue;
    if (unlink(path.c_str()) != 0) failures.push_back("cannot remove old output " + path);
  }
  return failures;
}

bool tBLAMOutputs::keeps(const std::string&) const { return false; }

bool tBLAMOutputs::isInsideOutputDirectory(const std::string& path) {
  const std::string base = tFileUtils::getOutputDirectory();
  const std::string absolute = path.empty() || path[0] != '/' ? base + path : path;
  const std::string normal = std::filesystem::path(absolute).lexically_normal().string();
  const std::string normalBase = std::filesystem::path(base).lexically_normal().string();
  return normal.size() >= normalBase.size() && normal.compare(0, normalBase.size(), normalBase) == 0;
}
