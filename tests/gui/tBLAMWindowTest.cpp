#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

// After gtest: Xlib's macros would break its templates.
#include "gui/tXvfbProgram.h"

// The batch mode of the real program. The script's last statement writes into
// a named pipe, which holds it there until the test has seen the running status.

namespace {

using tShot = tXvfbProgram::tShot;

const char kScript[] =
    "// a misspelt solver, two pictures of cubic.func, then a line into the pipe out/-gate.txt\n"
    "use Bogus\n_imageDimension = 256\n_maxIterations = 100\n_useRandomColors = false\n"
    "_outputDir = \"out\"\nf = loadFunction \"cubic.func\"\nuse RungeKuttaSolver4\n"
    "batch \"window\" of 2\nrun f\nend\ngraph \"gate\" _imageDimension _batchNum_\n";

bool isLightBlue(const unsigned char* p) { return p[2] > 150 && p[0] + 40 < p[2]; }
bool isGreen(const unsigned char* p) { return p[1] > 150 && p[0] + 40 < p[1]; }
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
// "Done: ..." in green and the prompt.
bool finishedShown(const tShot& s) {
  return linesShown(s, 2) && s.countIn(200, 284, 600, 302, isGreen) > 30;
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
// $XDG_CONFIG_HOME/rootweaver/prefs.txt, and nothing beside itself.
TEST(tBLAMWindowTest, InstalledProgramRunsTheScriptInTheCentredWindow) {
  tXvfbProgram program;
  program.install();
  const tScratchDirectory& folder = program.folder();
  writeRaw(folder / "share/rootweaver/examples/sweep.blam", kScript);
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
