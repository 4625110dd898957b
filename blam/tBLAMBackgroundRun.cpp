#include "blam/tBLAMBackgroundRun.h"

#include <functional>
#include <iostream>

#include "File/tFileUtils.h"
#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMScript.h"
#include "fractal/tSession.h"

std::atomic<bool> tBLAMBackgroundRun::inFlight_{false};

std::unique_ptr<tBLAMBackgroundRun> tBLAMBackgroundRun::start(const std::string& path,
                                                              tSession& session) {
  bool idle = false;
  if (!inFlight_.compare_exchange_strong(idle, true)) return nullptr;
  session.setFractal(nullptr);
  std::unique_ptr<tBLAMBackgroundRun> run(new tBLAMBackgroundRun());
  run->thread_ = std::thread(&tBLAMBackgroundRun::runScript, run.get(), scriptLocation(path),
                             std::ref(session));
  return run;
}

tBLAMBackgroundRun::tBLAMBackgroundRun() : progress_(std::cerr) {}

bool tBLAMBackgroundRun::inFlight() { return inFlight_; }

std::string tBLAMBackgroundRun::scriptLocation(const std::string& path) {
  if (tFileUtils::isCompletePath(path)) return path;
  return tFileUtils::getDataDirectory() + path;
}

tBLAMBackgroundRun::~tBLAMBackgroundRun() {
  if (thread_.joinable()) thread_.join();
}

void tBLAMBackgroundRun::runScript(const std::string& location, tSession& session) {
  {
    // A script that cannot be read runs as the empty script it reads as.
    tBLAMOutputs outputs;
    tBLAMScript script({session, std::cout, progress_, outputs});
    script.loadScript(location);
    script.run();
  }
  std::cout << std::flush;
  finished_ = true;
  inFlight_ = false;
}
