#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
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

const std::string kAppDir = ROOTWEAVER_APP_DIR;
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

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

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

void keepShot(const tShot& shot, const std::string& name) {
  EXPECT_TRUE(shot.writePng(kShotDir + "/" + name + ".png")) << name;
}

class tInteractiveWalkTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.connected()) << "no X display: run under xvfb-run";
    fs::create_directories(kShotDir);
    char dir[] = "/tmp/rootweaverwalkXXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    copy_ = dir;
    fs::copy(kAppDir, copy_, fs::copy_options::recursive);
    // GTK finds no accessibility bus and no settings service here.
    setenv("NO_AT_BRIDGE", "1", 1);
    setenv("GSETTINGS_BACKEND", "memory", 1);
  }
  void TearDown() override {
    std::error_code ignored;
    if (!copy_.empty()) fs::remove_all(copy_, ignored);
  }

  // Waits for the scene and keeps its picture under the name.
  tShot awaitScene(const std::function<bool(const tShot&)>& scene, const std::string& name) {
    const tShot shot = program_.awaitScene(15, scene);
    EXPECT_TRUE(scene(shot)) << name << " not shown";
    keepShot(shot, name);
    return shot;
  }
  // Past the one-second cross-fade.
  static void settle() { std::this_thread::sleep_for(std::chrono::milliseconds(1100)); }

  tXvfbProgram program_;  // the program and the connection to the server
  std::string copy_;      // the copy of the application folder
};

TEST_F(tInteractiveWalkTest, SetupDialogPictureZoomAndBack) {
  const std::string prefs = copy_ + "/resources/prefs.txt";
  // The settings lack all but two categories, which get their defaults.
  std::ofstream(prefs) << "{\nDim\n64\n}\n{\nFunction\n<NONE>\n}\n";
  ASSERT_TRUE(program_.start(copy_ + "/rootweaver", copy_ + "/stdout.txt", copy_ + "/stderr.txt"));
  ASSERT_TRUE(tXvfbProgram::waitFor(10, [&] { return titleShown(program_.grab()); }));
  // Pressed again should a key press be lost while the window takes the focus.
  bool fading = false;
  for (int attempt = 0; attempt < 3 && !fading; ++attempt) {
    program_.pressKey(XK_space);
    fading = tXvfbProgram::waitFor(2, [&] { return !titleShown(program_.grab()); });
  }
  ASSERT_TRUE(fading) << "Space did not start the cross-fade";
  settle();
  program_.click(200, 355);  // "Vadoduraraz Mode"
  settle();
  const tShot empty =
      awaitScene([](const tShot& s) { return titleShown(s) && nameRed(s) > 30; }, "setupfrac-none");
  EXPECT_EQ(0, nameBlue(empty));

  // The real open dialog, answered by typing the function's path.
  program_.click(175, 320);  // "Choose Function"
  std::string dialog;
  ASSERT_TRUE(tXvfbProgram::waitFor(15, [&] { return !(dialog = dialogWindow()).empty(); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  std::system(("import -window " + dialog + " '" + kShotDir + "/filedialog.png'").c_str());
  const std::string function = copy_ + "/Shared Functions/quadratic.func";
  xdotool("windowfocus " + dialog);
  xdotool("key ctrl+l");
  xdotool("type --delay 10 '" + function + "'");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  xdotool("key Return");
  EXPECT_TRUE(tXvfbProgram::waitFor(10, [&] { return dialogWindow().empty(); }));
  const tShot chosen =
      awaitScene([](const tShot& s) { return titleShown(s) && nameBlue(s) > 30; }, "setupfrac");
  EXPECT_EQ(0, nameRed(chosen));

  program_.click(400, 515);  // "Vadoduraraz Go!!"
  settle();
  const tShot picture = awaitScene(
      [](const tShot& s) { return pictureShown(s) && timeShown(s) && dimensionShown(s); }, "frac");
  EXPECT_NE(std::string::npos, readFile(prefs).find("{\nFunction\n" + function + "\n}\n"));

  // "=" zooms in by a tenth and computes the picture again.
  program_.pressKey(XK_equal);
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

  program_.click(400, 565);  // "Back to Zirudadazevu"
  settle();
  awaitScene([](const tShot& s) { return titleShown(s) && nameBlue(s) > 30; }, "setupfrac-back");
  EXPECT_NE(std::string::npos, readFile(copy_ + "/stdout.txt").find("CREATED FUNCTION\n"));
  const std::string err = readFile(copy_ + "/stderr.txt");
  EXPECT_NE(0u, err.find("rootweaver: ")) << err;  // none of the program's own reports
  EXPECT_EQ(std::string::npos, err.find("\nrootweaver: ")) << err;
  program_.closeWindow();
  EXPECT_EQ(0, program_.awaitExit());
}

}  // namespace
