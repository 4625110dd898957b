#ifndef ROOTWEAVER_BLAM_TBLAMBACKGROUNDRUN_H
#define ROOTWEAVER_BLAM_TBLAMBACKGROUNDRUN_H

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "blam/tBLAMProgress.h"

class tSession;

// One BLAM script loaded and run on a thread of its own, so that the window
// goes on drawing and taking input while the script works; the window reads
// the run's progress record to show how far it is. The trace goes to
// standard output and the warnings to standard error, as in a batch run.
//
// Only one script runs at a time in the process: start refuses while another
// background run is in flight. The script replaces the session's current
// run as it goes; nothing else touches that session while the script is on,
// since the window waits for it to end. The picture of the run is let go before the
// thread starts, on the starting thread, so that its texture is released on
// the thread that made it; the pictures the script makes get no texture.
class tBLAMBackgroundRun {
 public:
  // Starts the script found at scriptLocation(path), making its pictures in
  // the session; null, with nothing started, while another run is in flight.
  static std::unique_ptr<tBLAMBackgroundRun> start(const std::string& path, tSession& session);
  // Whether a background run has started and not yet ended.
  static bool inFlight();
  // A relative path is taken below the program's data directory, as
  // function files are; an absolute one as it is.
  static std::string scriptLocation(const std::string& path);

  // Waits for the script to end.
  ~tBLAMBackgroundRun();
  tBLAMBackgroundRun(const tBLAMBackgroundRun&) = delete;
  tBLAMBackgroundRun& operator=(const tBLAMBackgroundRun&) = delete;

  // Whether the script has ended and the thread is done with it.
  bool finished() const { return finished_; }
  // How far the script is, and once it has ended what it did.
  const tBLAMProgress& getProgress() const { return progress_; }

 private:
  tBLAMBackgroundRun();

  // The thread's work: load, run, destroy the script, then mark the end.
  void runScript(const std::string& location, tSession& session);

  static std::atomic<bool> inFlight_;  // whether some run's thread is at work

  tBLAMProgress progress_;             // the script's progress, warnings and failures
  std::atomic<bool> finished_{false};  // whether this run's script has ended
  std::thread thread_;                 // the thread running the script
};

#endif
