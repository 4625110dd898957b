#ifndef ROOTWEAVER_TESTS_SCENES_TSCENETESTSUPPORT_H
#define ROOTWEAVER_TESTS_SCENES_TSCENETESTSUPPORT_H

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "File/tFileTestSupport.h"
#include "File/tFileUtils.h"
#include "Shell/tFrameTestSupport.h"
#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"

// A key or button goes down before a frame and up before the next.
inline void tapKey(int key) {
  tKeyboardHandler::instance().keyDownEvent(key);
  runFrame();
  tKeyboardHandler::instance().keyUpEvent(key);
  runFrame();
}

// A click of the platform's button (1 primary, 2 secondary) at (x, y).
inline void tapMouse(int x, int y, int platformButton = 1) {
  tMouseHandler::instance().moveEvent(x, y);
  tMouseHandler::instance().buttonEvent(platformButton, true);
  runFrame();
  tMouseHandler::instance().buttonEvent(platformButton, false);
  runFrame();
}

// Runs frames until the condition holds, for at most about 20 s.
inline bool framesUntil(const std::function<bool()>& condition) {
  for (int i = 0; i < 20000; ++i) {
    runFrame();
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

// The test programs' settings file (in <build>/tests/resources/), held by one
// test at a time across the processes CTest runs side by side, and removed.
class tTestPrefs {
 public:
  tTestPrefs() : lock_(open(ROOTWEAVER_BINARY_DIR "/tests/prefs.lock", O_CREAT | O_RDWR, 0644)) {
    if (lock_ >= 0) flock(lock_, LOCK_EX);
    removeFiles();
  }
  ~tTestPrefs() {
    removeFiles();
    if (lock_ >= 0) close(lock_);
  }
  tTestPrefs(const tTestPrefs&) = delete;
  tTestPrefs& operator=(const tTestPrefs&) = delete;

  static std::string path() { return tFileUtils::getSettingsDirectory() + "prefs.txt"; }
  void write(const std::string& bytes) const { writeRaw(path(), bytes); }
  std::string read() const { return readRaw(path()); }

 private:
  static void removeFiles() {
    std::remove(path().c_str());
    std::remove((path() + ".bad").c_str());
  }

  int lock_;  // the lock file; -1 when it could not be opened
};

#endif
