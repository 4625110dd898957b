#include "blam/tBLAMOutputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include "File/tCSVFile.h"
#include "File/tFileUtils.h"
#include "File/tTextFile.h"
#include "blam/tBLAMBatchStatement.h"
#include "blam/tBLAMProgress.h"

namespace {

tBLAMOutputs plainScript;                     // the outputs of a script run whole
std::atomic<tBLAMOutputs*> inForce{nullptr};  // the outputs set; null for plainScript

}  // namespace

tBLAMOutputs& tBLAMOutputs::current() {
  tBLAMOutputs* outputs = inForce.load();
  return outputs ? *outputs : plainScript;
}

void tBLAMOutputs::setCurrent(tBLAMOutputs* outputs) { inForce.store(outputs); }

tBLAMOutputs::TRUN_PART tBLAMOutputs::beginRun(const tRunStart&) { return RUN_COMPUTE; }

const tBLAMRunRecord* tBLAMOutputs::getReplayed() const { return nullptr; }

void tBLAMOutputs::keepResults(const tResults&) {}

void tBLAMOutputs::endRun(bool) {}

bool tBLAMOutputs::writePicture(const std::string& path, const tWriter& write) {
  return write(path);
}

bool tBLAMOutputs::writeMade(const std::string& path, const tWriter& write) { return write(path); }

bool tBLAMOutputs::appendText(const std::string& path, const std::string& text) {
  tTextFile file(path, TFILE_APPEND);
  if (!file.isOpen()) return false;
  file << text;
  return true;
}

bool tBLAMOutputs::appendCSV(const std::string& path, const std::vector<std::string>& columns,
                             const std::vector<std::vector<std::string>>& rows,
                             std::vector<std::string>& leftOut) {
  return tCSVFile::appendRows(path, columns, rows, leftOut);
}

void tBLAMOutputs::makeDirectory(const std::string& relativePath) {
  tFileUtils::makeDirectory(relativePath);
}

bool tBLAMOutputs::canWriteTo(const std::string& directory) const {
  return access(directory.c_str(), W_OK) == 0;
}

void tBLAMOutputs::removeOutputsOf(const std::string& directory, const std::string& batchName,
                                   const std::string& statement) {
  std::vector<std::string> entries;
  tFileUtils::getFilesInDirectory(directory, entries);
  for (const std::string& entry : entries) {
    if (!tBLAMBatchStatement::isOutputOf(entry, batchName)) continue;
    std::string path = directory + "/" + entry;
    // A directory that happens to carry such a name is not an output.
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode) || keeps(path)) continue;
    if (unlink(path.c_str()) != 0)
      tBLAMProgress::instance().warn(statement + ": cannot remove old output " + path);
  }
}

bool tBLAMOutputs::keeps(const std::string&) const { return false; }
