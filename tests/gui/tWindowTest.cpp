#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <string>

#include "gui/tXvfbProgram.h"

namespace {

// Without a display the program cannot make its shared context, whichever
// video driver SDL falls back to: it says why in one line and ends with
// status 1. A runtime directory, as a desktop session has, keeps SDL's probe
// of Wayland quiet.
TEST(tWindowFailureTest, NoDisplayIsReportedInOneLineWithStatus1) {
  const tScratchDirectory runtimeDir;
  const std::string err = runtimeDir / "stderr.txt";
  const std::string prefix = "rootweaver: cannot create the shared OpenGL context: ";
  for (const char* env : {"env -u DISPLAY -u WAYLAND_DISPLAY", "env SDL_VIDEODRIVER=dummy"}) {
    const std::string command = std::string(env) + " XDG_RUNTIME_DIR=" + runtimeDir.path() +
                                " timeout 20 '" ROOTWEAVER_APP_DIR "/rootweaver' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << env;
    const std::string line = readRaw(err);
    EXPECT_EQ(prefix, line.substr(0, prefix.size())) << env;
    EXPECT_GT(line.size(), prefix.size() + 1) << env;
    EXPECT_EQ(line.size() - 1, line.find('\n')) << env << ": " << line;  // one line
  }
}

}  // namespace
