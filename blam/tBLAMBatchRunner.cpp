#include "blam/tBLAMBatchRunner.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <thread>

#include "File/tFileUtils.h"
#include "blam/tBLAMProgress.h"
#include "blam/tBLAMScript.h"

namespace {

// Columns of the terminal on standard error; 80 when it does not say.
unsigned terminalWidth() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

int tBLAMBatchRunner::run(const std::string& path, std::optional<unsigned int> seed) {
  tBLAMScript script;
  if (!script.loadScript(path)) {
    std::cout << std::flush;
    std::string refusal = tFileUtils::getReadRefusal(path);
    std::cerr << "rootweaver: cannot read script " << path
              << (refusal.empty() ? "" : ": " + refusal) << "\n";
    return 1;
  }
  if (seed) script.getEnv()->extend("_seed", static_cast<double>(*seed));
  tBLAMBatchRunner runner;
  std::thread status;
  if (isatty(STDERR_FILENO)) status = std::thread(&tBLAMBatchRunner::showProgress, &runner);
  script.run();
  if (status.joinable()) {
    {
      std::lock_guard<std::mutex> lock(runner.mutex_);
      runner.finished_ = true;
    }
    runner.wakeUp_.notify_one();
    status.join();
    tBLAMProgress::instance().clearStatusLine();
  }
  std::cout << std::flush;
  return 0;
}

void tBLAMBatchRunner::showProgress() {
  tBLAMProgress& progress = tBLAMProgress::instance();
  std::unique_lock<std::mutex> lock(mutex_);
  while (!finished_) {
    progress.showStatusLine(terminalWidth());
    wakeUp_.wait_for(lock, std::chrono::milliseconds(100), [this] { return finished_; });
  }
}
