#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <string>

#include "gui/tXvfbProgram.h"

// The real program in a virtual X server: the splash scene, Space, the
// mode-select scene, then closing the window (screenshots splash and
// modeselect); and the program's report when it has no display.

namespace {

using tShot = tXvfbProgram::tShot;

const std::string kProgram = ROOTWEAVER_APP_DIR "/rootweaver";
const std::string kShotDir = ROOTWEAVER_SCREENSHOT_DIR;

// What each scene shows, in window pixels: both titles stand around (400, 80);
// the splash's prompt around (400, 520); the mode-select buttons' bottom
// edges cross x = 200 and x = 600 at y = 405; nothing at all between the
// title and the buttons.
bool titleShown(const tShot& s) { return s.litIn(250, 40, 550, 100) > 200; }
bool promptShown(const tShot& s) { return s.litIn(300, 500, 500, 530) > 50; }
bool buttonsShown(const tShot& s) {
  return s.litIn(190, 402, 210, 409) >= 20 && s.litIn(590, 402, 610, 409) >= 20;
}
bool emptyBandBlack(const tShot& s) { return s.litIn(0, 150, 800, 280) == 0; }
bool splashShown(const tShot& s) { return titleShown(s) && promptShown(s) && emptyBandBlack(s); }
bool modesShown(const tShot& s) { return titleShown(s) && buttonsShown(s) && emptyBandBlack(s); }

TEST(tWindowTest, SplashThenSpaceShowsModeSelectAndClosingEndsWithStatus0) {
  tXvfbProgram program;
  ASSERT_TRUE(program.connected()) << "no X display: run under xvfb-run";
  const std::string err = kShotDir + "/rootweaver-stderr.txt";
  std::filesystem::create_directories(kShotDir);
  ASSERT_TRUE(program.start(kProgram, kShotDir + "/rootweaver-stdout.txt", err));
  const XWindowAttributes a = program.attributes();
  EXPECT_EQ(800, a.width);
  EXPECT_EQ(600, a.height);
  EXPECT_EQ((WidthOfScreen(a.screen) - 800) / 2, a.x);  // centred
  EXPECT_EQ((HeightOfScreen(a.screen) - 600) / 2, a.y);

  const tShot splash = program.awaitScene(10, splashShown, "splash");
  EXPECT_TRUE(splashShown(splash));
  EXPECT_FALSE(buttonsShown(splash));
  EXPECT_NEAR(400.0, splash.litCentreX(40, 100), 3.0);

  ASSERT_TRUE(program.pressKeyUntil(XK_space, 2, [](const tShot& s) { return !promptShown(s); }))
      << "Space did not start the cross-fade";
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));  // past the cross-fade
  const tShot modes = program.awaitScene(10, modesShown, "modeselect");
  EXPECT_TRUE(modesShown(modes));
  EXPECT_FALSE(promptShown(modes));
  EXPECT_NEAR(400.0, modes.litCentreX(40, 100), 3.0);

  program.closeWindow();
  EXPECT_EQ(0, program.awaitExit());
  EXPECT_EQ("", readRaw(err));
}

// Without a display the program cannot make its shared context, whichever
// video driver SDL falls back to: it says why in one line and ends with
// status 1.
TEST(tWindowFailureTest, NoDisplayIsReportedInOneLineWithStatus1) {
  const char* const environments[] = {"env -u DISPLAY -u WAYLAND_DISPLAY",
                                      "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11",
                                      "env SDL_VIDEODRIVER=dummy"};
  // A runtime directory, as a desktop session has, keeps SDL's probe of
  // Wayland quiet: the only line is then the program's.
  const tScratchDirectory runtimeDir;
  const std::string err = runtimeDir / "stderr.txt";
  const std::string prefix = "rootweaver: cannot create the shared OpenGL context: ";
  for (const char* env : environments) {
    const std::string command = std::string(env) + " XDG_RUNTIME_DIR=" + runtimeDir.path() +
                                " timeout 20 '" + kProgram + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << env;
    const std::string line = readRaw(err);
    EXPECT_EQ(prefix, line.substr(0, prefix.size())) << env;
    EXPECT_GT(line.size(), prefix.size() + 1) << env;
    EXPECT_EQ(line.size() - 1, line.find('\n')) << env << ": " << line;  // one line
  }
}

}  // namespace
