#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "gui/tXvfbProgram.h"

// The interactive mode of the real program in a virtual X server, driven as a
// user would: splash, mode select, the setup scene (its function chosen in
// the real file dialog by typing a path, through xdotool), a picture of
// quadratic.func computed and measured, a zoom, and back to the setup. The
// program runs from a copy of the application folder holding settings of its
// own. Each scene's picture is kept in the build's screenshots/ folder.

namespace {

namespace fs = std::filesystem;
using tShot = tXvfbProgram::tShot;

const std::string kShotDir = ROOTWEAVER_SCREENSHOT_DIR;
const char kDialogTitle[] = "Choose a File";

// Pixel tests of what the scenes show, in window pixels.
bool red(const unsigned char* p) { return p[0] > 150 && p[1] < 80 && p[2] < 80; }
bool lightBlue(const unsigned char* p) { return p[2] > 200 && p[0] > 100 && p[0] < 200; }
bool titleShown(const tShot& s) { return s.litIn(150, 40, 650, 100) > 200; }
// The selected function's name under "Selected Function:", around (175, 400).
int nameRed(const tShot& s) { return s.countIn(90, 383, 260, 410, red); }
int nameBlue(const tShot& s) { return s.countIn(90, 383, 260, 410, lightBlue); }
// Left of the picture (x 100 to 700): the start of "Cooked Fractal In: "
// at y 30 and of "Fractal Dimension: " at y 70.
bool timeShown(const tShot& s) { return s.litIn(4, 6, 96, 36) > 30; }
bool dimensionShown(const tShot& s) { return s.litIn(4, 46, 96, 76) > 30; }
bool pictureShown(const tShot& s) { return s.litIn(100, 100, 700, 500) > 200000; }

// What xdotool prints; "" when it fails.
std::string xdotool(const std::string& arguments) {
  std::FILE* out = popen(("xdotool " + arguments + " 2>/dev/null").c_str(), "r");
  if (out == nullptr) return "";
  std::string text;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, out) != nullptr) text += buffer;
  return pclose(out) == 0 ? text : "";
}

// The open dialog's window id; "" while none is shown.
std::string dialogWindow() {
  const std::string id =
      xdotool(std::string("search --onlyvisible --name '^") + kDialogTitle + "$'");
  return id.substr(0, id.find('\n'));
}

// Past the one-second cross-fade.
void settle() { std::this_thread::sleep_for(std::chrono::milliseconds(1100)); }

TEST(tInteractiveWalkTest, SetupDialogPictureZoomAndBack) {
  const tScratchDirectory copy;  // a copy of the application folder, removed after the program
  tXvfbProgram program;
  ASSERT_TRUE(program.connected()) << "no X display: run under xvfb-run";
  fs::copy(ROOTWEAVER_APP_DIR, copy.path(), fs::copy_options::recursive);
  // GTK finds no accessibility bus and no settings service here.
  setenv("NO_AT_BRIDGE", "1", 1);
  setenv("GSETTINGS_BACKEND", "memory", 1);
  // Waits for the scene and keeps its picture under the name.
  auto awaitScene = [&](const tXvfbProgram::tScene& scene, const std::string& name) {
    const tShot shot = program.awaitScene(15, scene, name);
    EXPECT_TRUE(scene(shot)) << name << " not shown";
    return shot;
  };
  const std::string prefs = copy / "resources/prefs.txt";
  // The settings lack all but two categories, which get their defaults.
  std::ofstream(prefs) << "{\nDim\n64\n}\n{\nFunction\n<NONE>\n}\n";
  ASSERT_TRUE(program.start(copy / "rootweaver", copy / "stdout.txt", copy / "stderr.txt"));
  ASSERT_TRUE(titleShown(program.awaitScene(10, titleShown)));
  ASSERT_TRUE(program.pressKeyUntil(XK_space, 2, [](const tShot& s) { return !titleShown(s); }))
      << "Space did not start the cross-fade";
  settle();
  program.click(200, 355);  // "Vadoduraraz Mode"
  settle();
  const tShot empty =
      awaitScene([](const tShot& s) { return titleShown(s) && nameRed(s) > 30; }, "setupfrac-none");
  EXPECT_EQ(0, nameBlue(empty));

  // The real open dialog, answered by typing the function's path.
  program.click(175, 320);  // "Choose Function"
  std::string dialog;
  ASSERT_TRUE(tXvfbProgram::waitFor(15, [&] { return !(dialog = dialogWindow()).empty(); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  std::system(("import -window " + dialog + " '" + kShotDir + "/filedialog.png'").c_str());
  const std::string function = copy / "Shared Functions/quadratic.func";
  xdotool("windowfocus " + dialog);
  xdotool("key ctrl+l");
  xdotool("type --delay 10 '" + function + "'");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  xdotool("key Return");
  EXPECT_TRUE(tXvfbProgram::waitFor(10, [&] { return dialogWindow().empty(); }));
  const tShot chosen =
      awaitScene([](const tShot& s) { return titleShown(s) && nameBlue(s) > 30; }, "setupfrac");
  EXPECT_EQ(0, nameRed(chosen));

  program.click(400, 515);  // "Vadoduraraz Go!!"
  settle();
  const tShot picture = awaitScene(
      [](const tShot& s) { return pictureShown(s) && timeShown(s) && dimensionShown(s); }, "frac");
  EXPECT_NE(std::string::npos, readRaw(prefs).find("{\nFunction\n" + function + "\n}\n"));

  // "=" zooms in by a tenth and computes the picture again.
  program.pressKey(XK_equal);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const tShot zoomed = awaitScene(
      [](const tShot& s) { return pictureShown(s) && dimensionShown(s); }, "frac-zoomed");
  EXPECT_GT(zoomed.countIn(100, 0, 700, 600,
                           [&](const unsigned char* p) {
                             const long offset = p - zoomed.rgb.data();
                             return p[0] != picture.rgb[offset] ||
                                    p[1] != picture.rgb[offset + 1] ||
                                    p[2] != picture.rgb[offset + 2];
                           }),
            100);

  program.click(400, 565);  // "Back to Zirudadazevu"
  settle();
  awaitScene([](const tShot& s) { return titleShown(s) && nameBlue(s) > 30; }, "setupfrac-back");
  EXPECT_NE(std::string::npos, readRaw(copy / "stdout.txt").find("CREATED FUNCTION\n"));
  const std::string err = readRaw(copy / "stderr.txt");
  EXPECT_NE(0u, err.find("rootweaver: ")) << err;  // none of the program's own reports
  EXPECT_EQ(std::string::npos, err.find("\nrootweaver: ")) << err;
  program.closeWindow();
  EXPECT_EQ(0, program.awaitExit());
}

}  // namespace
