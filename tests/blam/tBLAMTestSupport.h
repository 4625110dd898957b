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
  // Standard output and error of one run, and the exit status (-1 when the
  // program did not exit normally).
  struct tResult {
    std::string out, err;
    int status;
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
    for (const char* name : {".stdout", ".stderr"}) std::filesystem::remove(dir_ / name);
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

// Side of a square uncompressed 24-bit TGA, or 0 when the file is not one.
inline unsigned tgaSide(const std::string& path) {
  std::string bytes = readRaw(path);
  if (bytes.size() < 18 || bytes[2] != 2 || bytes[16] != 24) return 0;
  auto word = [&bytes](int at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
  };
  unsigned width = word(12), height = word(14);
  if (width != height || bytes.size() != 18 + 3ul * width * height) return 0;
  return width;
}

#endif
