#ifndef ROOTWEAVER_BLAM_TBLAMBATCHRUNNER_H
#define ROOTWEAVER_BLAM_TBLAMBATCHRUNNER_H

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>

// Runs a BLAM script without a window (rootweaver --batch): the same trace on
// standard output and the same files as the windowed program. While the
// script runs with standard error on a terminal, a status line there shows
// the statement running and the share of the picture done, redrawn at most
// ten times a second by a thread of the runner and erased at the end.
class tBLAMBatchRunner {
 public:
  // Loads and runs the script, with _seed set to the seed given before it
  // starts; the process's exit status: 0, or 1 when the script cannot be
  // read (after its empty trace and one line on standard error).
  static int run(const std::string& path, std::optional<unsigned int> seed = std::nullopt);

 private:
  tBLAMBatchRunner() = default;

  // The status thread's loop: redraw, then wait a tenth of a second or for
  // the script to end.
  void showProgress();

  std::mutex mutex_;                // guards finished_
  std::condition_variable wakeUp_;  // signalled when the script ends
  bool finished_ = false;           // whether the script has ended
};

#endif
