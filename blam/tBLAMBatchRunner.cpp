#include "blam/tBLAMBatchRunner.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <iostream>
#include <set>
#include <thread>

#include "File/tFileUtils.h"
#include "File/tFolderLock.h"
#include "File/tSourceText.h"
#include "blam/tBLAMMergeOutputs.h"
#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMProgress.h"
#include "blam/tBLAMScript.h"
#include "blam/tBLAMShardFile.h"
#include "blam/tBLAMShardOutputs.h"
#include "expr/tVariableEnv.h"
#include "fractal/tSession.h"
#include "fractal/tThreadCount.h"

namespace {

// Columns of the terminal on standard error; 80 when it does not say.
unsigned terminalWidth() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

bool isDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

tBLAMBatchRunner::tBLAMBatchRunner(std::ostream& trace) : trace_(trace), progress_(std::cerr) {
  session_.getRandom().seed(static_cast<unsigned>(std::time(nullptr)));
}

int tBLAMBatchRunner::run(const tOptions& options) {
  // Past a file size limit, writes fail with a reason instead of ending the
  // process, so that the failure is reported and nothing is left half done.
  signal(SIGXFSZ, SIG_IGN);
  tThreadCount::set(options.threads);
  std::ostream nowhere(nullptr);
  tBLAMBatchRunner runner(options.quiet ? nowhere : std::cout);
  if (!options.merge.empty()) {
    if (!isDirectory(options.merge)) {
      std::cerr << "rootweaver: cannot merge " << options.merge << ": no such directory\n";
      return 1;
    }
    if (!useOutputDirectory(options.merge, false)) return 1;
    return runner.runMerge(options);
  }
  if (!options.outputDirectory.empty() && !useOutputDirectory(options.outputDirectory, true))
    return 1;
  if (options.sharded) return runner.runShard(options);
  return runner.runWhole(options);
}

int tBLAMBatchRunner::runWhole(const tOptions& options) {
  const std::string& path = options.script;
  std::string source;
  if (!tSourceText::readFile(path, source)) return refuseUnreadable(path);
  tFolderLock lock;
  if (!takeLock(lock, tFolderLock::EXCLUSIVE)) return 1;
  if (options.progress) progress_.expectRuns(countRuns(path, source, options.seed));
  tBLAMOutputs outputs;
  loadAndRun(path, source, options.seed, outputs, options.progress);
  return finish("");
}

int tBLAMBatchRunner::runShard(const tOptions& options) {
  const std::string& path = options.script;
  std::string source;
  if (!tSourceText::readFile(path, source)) return refuseUnreadable(path);
  tFolderLock lock;
  if (!takeLock(lock, tFolderLock::SHARED)) return 1;
  tBLAMShardOutputs outputs(options.shard, options.shards);
  followQuietly(path, source, options.seed, outputs);
  if (!outputs.getRefusal().empty()) {
    std::cerr << "rootweaver: " << path << " cannot run as shards: " << outputs.getRefusal()
              << "\n";
    return 2;
  }
  const std::string directory = tFileUtils::getOutputDirectory();
  if (!tFileUtils::makePath(tBLAMShardFile::folderIn(directory))) {
    std::cerr << "rootweaver: cannot write to " << tBLAMShardFile::folderIn(directory) << "\n";
    return 1;
  }
  // Runs K + 1, K + 1 + N, ... of the whole script are this shard's.
  const unsigned long runs = outputs.getRunCount();
  progress_.expectRuns(runs > options.shard ? (runs - options.shard - 1) / options.shards + 1 : 0);
  outputs.startComputing();
  loadAndRun(path, source, options.seed, outputs, options.progress);

  tBLAMShardFile file;
  file.shard = options.shard;
  file.shards = options.shards;
  file.runs = outputs.getRunCount();
  file.script = path;
  file.source = source;
  file.seed = options.seed;
  file.records = outputs.getRecords();
  std::string error;
  if (!file.write(directory, error)) {
    std::cerr << "rootweaver: " << error << "\n";
    return 1;
  }
  return finish("");
}

int tBLAMBatchRunner::runMerge(const tOptions& options) {
  const std::string directory = tFileUtils::getOutputDirectory();
  tFolderLock lock;
  if (!takeLock(lock, tFolderLock::EXCLUSIVE)) return 1;
  std::vector<tBLAMShardFile> shards;
  std::string error;
  if (!tBLAMShardFile::readSweep(directory, shards, error)) {
    std::cerr << "rootweaver: cannot merge " << directory << ": " << error << "\n";
    return 1;
  }
  const std::string warning = tBLAMShardFile::machineWarning(shards);
  if (!warning.empty()) std::cerr << "rootweaver: warning: " << warning << "\n";
  const tBLAMShardFile& sweep = shards.front();
  std::set<std::string> pictures;
  tBLAMMergeOutputs outputs(tBLAMShardFile::recordsOf(shards, pictures), pictures, sweep.shards);
  followQuietly(sweep.script, sweep.source, sweep.seed, outputs);
  error = outputs.getFailure();
  if (error.empty() && outputs.getRunCount() != sweep.runs) {
    error = sweep.script + " now has " + std::to_string(outputs.getRunCount()) +
            " runs, the shards ran " + std::to_string(sweep.runs);
  }
  if (!error.empty()) {
    std::cerr << "rootweaver: cannot merge " << directory << ": " << error << "\n";
    return 1;
  }
  outputs.startWriting();
  loadAndRun(sweep.script, sweep.source, sweep.seed, outputs, options.progress);
  // The shards' work is given up only once all of it has been merged.
  if (progress_.getFailureCount() > 0)
    return finish("; the shard files are kept in " + tBLAMShardFile::folderIn(directory));
  tBLAMShardFile::removeSweep(directory, shards);
  return 0;
}

int tBLAMBatchRunner::finish(const std::string& note) const {
  const unsigned failures = progress_.getFailureCount();
  if (failures == 0) return 0;
  std::cerr << "rootweaver: " << failures << (failures == 1 ? " statement" : " statements")
            << " failed; outputs incomplete" << note << "\n";
  return 1;
}

bool tBLAMBatchRunner::takeLock(tFolderLock& lock, tFolderLock::KIND kind) {
  std::string error;
  if (lock.take(tFileUtils::getOutputDirectory(), kind, error)) return true;
  std::cerr << "rootweaver: " << error << "\n";
  return false;
}

int tBLAMBatchRunner::refuseUnreadable(const std::string& path) {
  std::string refusal = tFileUtils::getReadRefusal(path);
  std::cerr << "rootweaver: cannot read script " << path << (refusal.empty() ? "" : ": " + refusal)
            << "\n";
  return 1;
}

bool tBLAMBatchRunner::useOutputDirectory(const std::string& directory, bool create) {
  if (create) tFileUtils::makePath(directory);
  if (access(directory.c_str(), W_OK | X_OK) != 0) {
    std::cerr << "rootweaver: cannot write to output directory " << directory << "\n";
    return false;
  }
  tFileUtils::setOutputDirectory(directory);
  return true;
}

void tBLAMBatchRunner::loadAndRun(const std::string& path, const std::string& source,
                                  std::optional<unsigned int> seed, tBLAMOutputs& outputs,
                                  bool progress) {
  tBLAMScript script({session_, trace_, progress_, outputs});
  load(script, path, source, seed);
  finished_ = false;
  std::thread status;
  const bool terminal = isatty(STDERR_FILENO);
  if (progress && terminal) status = std::thread(&tBLAMBatchRunner::showProgress, this);
  progress_.writeRunLines(progress && !terminal);
  script.run();
  if (status.joinable()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      finished_ = true;
    }
    wakeUp_.notify_one();
    status.join();
    progress_.clearStatusLine();
  }
  trace_ << std::flush;
}

unsigned long tBLAMBatchRunner::countRuns(const std::string& path, const std::string& source,
                                          std::optional<unsigned int> seed) {
  tBLAMShardOutputs plan(0, 1);
  followQuietly(path, source, seed, plan);
  return plan.getRunCount();
}

void tBLAMBatchRunner::followQuietly(const std::string& path, const std::string& source,
                                     std::optional<unsigned int> seed,
                                     tBLAMOutputs& outputs) {
  {
    std::ostream nowhere(nullptr);
    tBLAMProgress progress(nowhere);
    tBLAMScript script({session_, nowhere, progress, outputs});
    load(script, path, source, seed);
    script.run();
  }
  // The pass leaves nothing behind for the next: no solver chosen, no picture.
  session_.setSolver(nullptr);
  session_.setFractal(nullptr);
}

void tBLAMBatchRunner::load(tBLAMScript& script, const std::string& path, const std::string& source,
                            std::optional<unsigned int> seed) {
  script.loadScriptText(path, source);
  if (seed) script.getEnv()->extend("_seed", static_cast<double>(*seed));
}

void tBLAMBatchRunner::showProgress() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!finished_) {
    progress_.showStatusLine(terminalWidth());
    wakeUp_.wait_for(lock, std::chrono::milliseconds(100), [this] { return finished_; });
  }
}
