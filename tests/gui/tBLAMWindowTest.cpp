#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

// After gtest: Xlib's macros would break its templates.
#include "gui/tXvfbProgram.h"

// The real program, installed: a script of the batch mode, its last
// statement writing into a named pipe, which holds it there until the test has
// seen the running status; then the fractal view while a large picture (2048 x
// 2048, Runge-Kutta 4 with 100 iterations) grows from the bottom row up.

namespace {

using tShot = tXvfbProgram::tShot;

const char kScript[] =
    "// a misspelt solver, two pictures of cubic.func, then a line into the pipe out/-gate.txt\n"
    "use Bogus\n_imageDimension = 256\n_maxIterations = 100\n_useRandomColors = false\n"
    "_outputDir = \"out\"\nf = loadFunction \"cubic.func\"\nuse RungeKuttaSolver4\n"
    "batch \"window\" of 2\nrun f\nend\ngraph \"gate\" _imageDimension _batchNum_\n";

bool isLightBlue(const unsigned char* p) { return p[2] > 150 && p[0] + 40 < p[2]; }
bool isRed(const unsigned char* p) { return p[0] > 150 && p[1] + 40 < p[0]; }

// In window pixels: the setup's "BLAM it up!" around y = 515, "Return To Mode
// Select" around y = 565 and the script's name, light blue, around y = 370;
// the status message's lines on the baselines 300 and 319, the statement
// around y = 410.
bool setupShown(const tShot& s) {
  return tXvfbProgram::titleShown(s) && s.litIn(300, 503, 500, 523) > 30 &&
         s.litIn(250, 553, 550, 573) > 30 && s.countIn(300, 355, 500, 382, isLightBlue) > 20;
}
bool runningShown(const tShot& s) {
  return tXvfbProgram::titleShown(s) && s.litIn(200, 307, 600, 325) > 50 &&
         s.litIn(0, 500, 800, 600) == 0;
}
bool statementShown(const tShot& s) { return s.litIn(100, 395, 700, 430) > 30; }
// The status's last word, from the baseline 300 down, a line each 19 pixels:
// the lines of text on the lines given, and no progress bar (around y = 370)
// or statement (around y = 410) below them.
bool linesShown(const tShot& s, int lines) {
  for (int line = 0; line < lines; ++line)
    if (s.litIn(100, 284 + 19 * line, 700, 302 + 19 * line) < 30) return false;
  return tXvfbProgram::titleShown(s) && s.litIn(0, 305 + 19 * lines, 800, 600) == 0;
}
// The failures in red, the first one (on a few lines), where the outputs
// went, the prompt.
bool failureShown(const tShot& s) {
  bool shown = false;
  for (int lines = 4; lines <= 10; ++lines) shown = shown || linesShown(s, lines);
  return shown && s.countIn(200, 284, 600, 302, isRed) > 30;
}

// The splash: the title, the prompt around (400, 520), nothing between them
// and no mode-select buttons.
bool splashShown(const tShot& s) {
  return tXvfbProgram::titleShown(s) && s.litIn(300, 500, 500, 530) > 50 &&
         s.litIn(0, 150, 800, 280) == 0 && !tXvfbProgram::modeSelectShown(s);
}

// The picture shows whole at once, coarse, and sharpens; "Write File" waits
// for it to be done.
bool growing(const tShot& s) {
  return s.litIn(100, 590, 700, 600) > 3000 && s.litIn(100, 0, 700, 10) > 3000 &&
         s.whiteIn(300, 500, 500, 530) == 0;
}
// What the script writes into the pipe; "" when nothing comes in time.
std::string readPipe(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  std::string text;
  char buffer[256];
  tXvfbProgram::waitFor(60, [&] {
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, n);
    return !text.empty() && text.back() == '\n';
  });
  close(fd);
  return text;
}

// Installed, the program opens its window centred, finds its font and the
// script its settings name by default in share/rootweaver/ (the example
// sweep.blam, here replaced by the script above), writes the script's files
// below its current directory and its settings to
// $XDG_CONFIG_HOME/rootweaver/prefs.txt, and nothing beside itself. The
// large picture is drawn whole, coarse, while it is computed (what a zoom
// shows meanwhile: tFracSceneTest), and "Back" is taken at once.
TEST(tBLAMWindowTest, InstalledProgramRunsAScriptThenDrawsAGrowingPicture) {
  tXvfbProgram program;
  program.install();
  const tScratchDirectory& folder = program.folder();
  writeRaw(folder / "share/rootweaver/examples/sweep.blam", kScript);
  std::filesystem::create_directories(folder / "config/rootweaver");
  writeRaw(folder / "config/rootweaver/prefs.txt",
           "{\nDim\n2048\n}\n{\nIterations\n100\n}\n{\nSolver\n4\n}\n{\nFunction\ncubic.func\n}\n");
  std::filesystem::create_directory(folder / "work/out");
  ASSERT_EQ(0, mkfifo((folder / "work/out/-gate.txt").c_str(), 0600));
  ASSERT_TRUE(program.start()) << "no window: run under xvfb-run";
  const XWindowAttributes a = program.attributes();
  EXPECT_EQ(800, a.width);
  EXPECT_EQ(600, a.height);
  EXPECT_EQ((WidthOfScreen(a.screen) - 800) / 2, a.x);
  EXPECT_EQ((HeightOfScreen(a.screen) - 600) / 2, a.y);
  EXPECT_TRUE(splashShown(program.awaitScene(10, splashShown, "splash")));
  ASSERT_TRUE(program.walkToSetup(600, setupShown)) << "no BLAM setup";
  program.grab().keep("setupblam");

  ASSERT_TRUE(runningShown(program.clickUntil(400, 515, runningShown))) << "no running status";
  // Held at the graph statement: still running, the statement shown.
  const tShot held = program.awaitScene(60, statementShown, "blamstatus");
  EXPECT_TRUE(runningShown(held) && statementShown(held));
  EXPECT_EQ("[256.000000, 2.000000]\n", readPipe(folder / "work/out/-gate.txt"));

  EXPECT_TRUE(failureShown(program.awaitScene(10, failureShown, "blamfinished")));
  program.pressKey(XK_space);
  EXPECT_TRUE(setupShown(program.awaitScene(5, setupShown))) << "Space did not lead to setup";

  // "Return To Mode Select", the interactive mode, its setup, "Go".
  ASSERT_TRUE(
      tXvfbProgram::modeSelectShown(program.clickUntil(400, 565, tXvfbProgram::modeSelectShown)));
  std::this_thread::sleep_for(std::chrono::milliseconds(700));  // a click in the fade is lost
  auto fracSetup = [](const tShot& s) {
    return tXvfbProgram::titleShown(s) && !tXvfbProgram::modeSelectShown(s);
  };
  ASSERT_TRUE(fracSetup(program.clickUntil(200, 355, fracSetup)));
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  program.click(400, 515);  // "Vadoduraraz Go!!"

  const tShot later = program.awaitScene(20, growing, "growing");
  ASSERT_TRUE(growing(later)) << "no coarse picture shown";
  // "Computing: N%" where the dimension will be, left of the picture; "Back"
  // drawn, "Write File" not yet.
  EXPECT_GT(later.whiteIn(0, 40, 100, 75), 30) << "no progress line";
  EXPECT_GT(later.whiteIn(300, 550, 500, 580), 50) << "no \"Back\" button";
  EXPECT_EQ(0, later.whiteIn(300, 500, 500, 530)) << "\"Write File\" shown too early";
  // "Back" is taken while the picture grows (the scene tests show that it
  // stops the computation within the frame).
  EXPECT_TRUE(program.waitFor(20, [&] { return growing(program.grab()); }));
  EXPECT_TRUE(tXvfbProgram::titleShown(program.clickUntil(400, 565, tXvfbProgram::titleShown)));

  EXPECT_EQ(0, program.close());
  EXPECT_NE(std::string::npos, readRaw(folder / "stderr.txt").find("use Bogus: unknown solver"));
  EXPECT_EQ(2u, countOf(readRaw(folder / "stdout.txt"), "Cooked fractal in: "));
  for (const char* image : {"work/out/window-fractal-1.tga", "work/out/window-fractal-2.tga"})
    EXPECT_EQ(18u + 256 * 256 * 3, std::filesystem::file_size(folder / image)) << image;
  const std::string data = readRaw(folder / "work/out/window-fractal-data.txt");
  EXPECT_EQ(0u, data.find("****Dedavor Overede****\nName: \t\twindow-fractal-1.tga\n"));
  EXPECT_EQ(2u, countOf(data, "****Dedavor Overede****\n"));
  const std::string prefs = readRaw(folder / "config/rootweaver/prefs.txt");
  EXPECT_NE(std::string::npos, prefs.find("{\nBLAM\nexamples/sweep.blam\n}\n")) << prefs;
  for (const char* beside :
       {"bin/out", "share/rootweaver/out", "bin/resources", "share/rootweaver/resources/prefs.txt"})
    EXPECT_FALSE(pathExists(folder / beside)) << beside;
}

}  // namespace
