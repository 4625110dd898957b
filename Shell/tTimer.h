#ifndef ROOTWEAVER_SHELL_TTIMER_H
#define ROOTWEAVER_SHELL_TTIMER_H

#include <map>
#include <mutex>
#include <vector>

// The program's one clock: milliseconds of wall-clock time, with numbered
// marks from which elapsed time is measured. Tests stop a mark with
// suspendMark and move it with advanceMark to set the time it shows exactly.
//
// Marks are handed out once and kept for good; the frame loop, the scenes,
// key repeat and the readers' timing messages each own a few. Calls come from
// several threads once work runs in the background, so every operation locks.
class tTimer {
 public:
  static tTimer& instance();

  double currentTime() const;
  void start();
  double getElapsed() const;

  unsigned int setMark();
  double timeSinceMark(unsigned int i) const;
  void resetMark(unsigned int i);
  // The mark's time stands still from now on.
  void suspendMark(unsigned int i);
  void advanceMark(unsigned int i, double ms);

 private:
  tTimer();
  tTimer(const tTimer&) = delete;
  tTimer& operator=(const tTimer&) = delete;

  double start_;                         // time of construction or of the last start()
  std::vector<double> marks_;            // one time per mark, by the mark's number
  std::map<unsigned int, double> suspended_;  // suspended marks and when they stopped
  mutable std::mutex mutex_;                  // guards the three fields above
};

#endif
