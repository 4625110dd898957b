#ifndef ROOTWEAVER_TESTS_BLAM_TBLAMTESTSUPPORT_H
#define ROOTWEAVER_TESTS_BLAM_TBLAMTESTSUPPORT_H

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

#include "File/tFileTestSupport.h"

// A copy of the application folder in a fresh directory: the program and its
// sample functions, so that a script's outputs land in the copy.
class tAppCopy {
 public:
  // What one run of the program gave.
  struct tResult {
    std::string out;  // standard output
    std::string err;  // standard error
    int status;       // exit status; -1 when the program did not exit normally
  };

  tAppCopy() {
    namespace fs = std::filesystem;
    const fs::path app = ROOTWEAVER_APP_DIR;
    fs::copy_file(app / "rootweaver", dir_ / "rootweaver");
    fs::copy(app / "Shared Functions", dir_ / "Shared Functions", fs::copy_options::recursive);
  }

  // Runs the program with the arguments (shell words) from inside the copy.
  tResult run(const std::string& arguments) const {
    std::string command =
        "cd '" + dir_.path() + "' && ./rootweaver " + arguments + " >.stdout 2>.stderr </dev/null";
    int status = std::system(command.c_str());
    tResult result{readRaw(dir_ / ".stdout"), readRaw(dir_ / ".stderr"),
                   WIFEXITED(status) ? WEXITSTATUS(status) : -1};
    std::filesystem::remove(dir_ / ".stdout");
    std::filesystem::remove(dir_ / ".stderr");
    return result;
  }

  std::string operator/(const std::string& name) const { return dir_ / name; }

 private:
  tScratchDirectory dir_;  // the copy
};

// The trace with the timings, which change from run to run, replaced by "#".
inline std::string maskTimings(const std::string& trace) {
  static const std::regex timing("(Tokenizing took: |Cooked fractal in: )[^\n]*");
  return std::regex_replace(trace, timing, "$1#");
}

#endif
