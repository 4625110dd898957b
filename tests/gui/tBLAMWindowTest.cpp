#include <gtest/gtest.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

// After gtest: Xlib's macros would break its templates.
#include "gui/tXvfbProgram.h"

// The batch mode of the real program in a virtual X server, in a copy of the
// application folder whose settings name a small script placed there: splash,
// mode select, BLAM setup, "BLAM it up!", the status scene while the script
// runs and when it has finished, Space back to the setup scene; then the
// files the script wrote. The script's last statement writes into a named
// pipe, which holds the script there until the test has seen the running
// status. Screenshots are kept in the build's screenshots/ folder.

namespace {

namespace fs = std::filesystem;
using tShot = tXvfbProgram::tShot;

const char kScript[] =
    "// two pictures of cubic.func, then a line into the pipe out/-gate.txt\n"
    "_imageDimension = 256\n_maxIterations = 100\n_useRandomColors = false\n"
    "_outputDir = \"out\"\nf = loadFunction \"cubic.func\"\nuse RungeKuttaSolver4\n"
    "batch \"window\" of 2\nrun f\nend\ngraph \"gate\" _imageDimension _batchNum_\n";

bool isLightBlue(const unsigned char* p) { return p[2] > 150 && p[0] + 40 < p[2]; }

// Where the scenes draw, in window pixels: every title around (400, 80); the
// mode-select buttons' bottom edges at y = 405; the setup's "BLAM it up!"
// around y = 515, "Return To Mode Select" around y = 565 and the script's
// name, light blue, around y = 370; the status message's lines on the
// baselines 300 and 319, the progress bar's outline on y = 362 and 378 from
// x = 200 to 600, the statement around y = 410.
bool titleShown(const tShot& s) { return s.litIn(250, 40, 550, 100) > 200; }
bool modeSelectShown(const tShot& s) {
  return titleShown(s) && s.litIn(190, 402, 210, 409) >= 20 && s.litIn(590, 402, 610, 409) >= 20;
}
bool setupShown(const tShot& s) {
  return titleShown(s) && s.litIn(300, 503, 500, 523) > 30 && s.litIn(250, 553, 550, 573) > 30 &&
         s.countIn(300, 355, 500, 382, isLightBlue) > 20;
}
bool runningShown(const tShot& s) {
  return titleShown(s) && s.litIn(200, 307, 600, 325) > 50 && s.litIn(0, 500, 800, 600) == 0;
}
bool barShown(const tShot& s) { return s.litIn(200, 360, 600, 364) >= 300; }
bool statementShown(const tShot& s) { return s.litIn(100, 395, 700, 430) > 30; }
bool finishedShown(const tShot& s) {
  return titleShown(s) && s.litIn(200, 284, 600, 302) > 50 && s.litIn(0, 308, 800, 600) == 0;
}

// The scene shown with its fade-in over: the title at full white.
std::function<bool(const tShot&)> faded(bool (*scene)(const tShot&)) {
  return [scene](const tShot& s) {
    return scene(s) && s.countIn(250, 40, 550, 100, [](const unsigned char* p) {
      return p[0] > 245 && p[1] > 245 && p[2] > 245;
    }) > 100;
  };
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

TEST(tBLAMWindowTest, ScriptRunsFromTheWindowAndWritesItsFiles) {
  const tScratchDirectory app;  // a copy of the application folder, removed after the program
  tXvfbProgram program;
  ASSERT_TRUE(program.connected()) << "no X display: run under xvfb-run";
  fs::copy(ROOTWEAVER_APP_DIR, app.path(), fs::copy_options::recursive);
  std::ofstream(app / "examples/window.blam") << kScript;
  std::ofstream(app / "resources/prefs.txt") << "{\nBLAM\nexamples/window.blam\n}\n";
  fs::create_directory(app / "out");
  ASSERT_EQ(0, mkfifo((app / "out/-gate.txt").c_str(), 0600));
  ASSERT_TRUE(program.start(app / "rootweaver", app / "stdout.txt", app / "stderr.txt"));
  // Clicks until the scene shows: a click in a cross-fade is not taken, and
  // one more on the next scene finds no button there.
  auto clickUntil = [&](int x, int y, const tXvfbProgram::tScene& scene) {
    tShot shot;
    for (int attempt = 0; attempt < 4 && !scene(shot); ++attempt) {
      program.click(x, y);
      shot = program.awaitScene(3, scene);
    }
    return shot;
  };

  ASSERT_TRUE(titleShown(program.awaitScene(10, titleShown))) << "no splash";
  ASSERT_TRUE(program.pressKeyUntil(XK_space, 4, modeSelectShown)) << "no mode select";
  ASSERT_TRUE(setupShown(clickUntil(600, 355, setupShown))) << "no BLAM setup";
  program.awaitScene(3, faded(setupShown), "setupblam");

  const tShot running = clickUntil(400, 515, runningShown);
  ASSERT_TRUE(runningShown(running)) << "no running status";
  // The bar shows while a picture is computed, if a frame is caught then.
  tShot status =
      program.awaitScene(10, [](const tShot& s) { return barShown(s) || !runningShown(s); });
  if (!barShown(status)) status = running;
  // Held at the graph statement: still running, the statement shown.
  const tShot held = program.awaitScene(60, statementShown);
  EXPECT_TRUE(runningShown(held) && statementShown(held));
  EXPECT_TRUE((barShown(status) ? status : held).keep("blamstatus"));
  EXPECT_EQ("[256.000000, 2.000000]\n", readPipe(app / "out/-gate.txt"));

  EXPECT_TRUE(finishedShown(program.awaitScene(10, finishedShown, "blamfinished")))
      << "no finished status";
  program.pressKey(XK_space);
  EXPECT_TRUE(setupShown(program.awaitScene(5, setupShown))) << "Space did not lead to setup";

  program.closeWindow();
  EXPECT_EQ(0, program.awaitExit());
  EXPECT_EQ("", readRaw(app / "stderr.txt"));
  EXPECT_EQ(2u, countOf(readRaw(app / "stdout.txt"), "Cooked fractal in: "));
  for (const char* image : {"out/window-fractal-1.tga", "out/window-fractal-2.tga"})
    EXPECT_EQ(18u + 256 * 256 * 3, fs::file_size(app / image)) << image;
  const std::string data = readRaw(app / "out/window-fractal-data.txt");
  EXPECT_EQ(0u, data.find("****Dedavor Overede****\nName: \t\twindow-fractal-1.tga\n"));
  EXPECT_EQ(2u, countOf(data, "****Dedavor Overede****\n"));
  EXPECT_NE(std::string::npos,
            readRaw(app / "resources/prefs.txt").find("{\nBLAM\nexamples/window.blam\n}\n"));
}

}  // namespace
