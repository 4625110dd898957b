#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "gui/tXvfbProgram.h"

// The fractal view of the real program while a large picture (2048 x 2048,
// Runge-Kutta 4 with 100 iterations) is computed in the background: the
// window keeps drawing the picture as it grows from the bottom row up, a zoom
// starts it over at once, and "Back" leads to the setup scene before the
// picture is complete.

namespace {

namespace fs = std::filesystem;
using tShot = tXvfbProgram::tShot;

bool titleShown(const tShot& s) { return s.litIn(150, 40, 650, 100) > 200; }
// Lit pixels of the picture (x 100 to 700, y 0 to 600).
int pictureLit(const tShot& s) { return s.litIn(100, 0, 700, 600); }
// The bottom rows are computed first; the top ones stay black meanwhile.
bool growing(const tShot& s) {
  return s.litIn(100, 590, 700, 600) > 3000 && s.litIn(100, 0, 700, 10) < 100;
}

void settle() { std::this_thread::sleep_for(std::chrono::milliseconds(1100)); }

TEST(tGrowingViewTest, DrawsWhileComputingAndCancelsAtOnce) {
  const tScratchDirectory copy;
  tXvfbProgram program;
  ASSERT_TRUE(program.connected()) << "no X display: run under xvfb-run";
  fs::copy(ROOTWEAVER_APP_DIR, copy.path(), fs::copy_options::recursive);
  std::ofstream(copy / "resources/prefs.txt")
      << "{\nDim\n2048\n}\n{\nIterations\n100\n}\n{\nSolver\n4\n}\n{\nFunction\ncubic.func\n}\n";
  ASSERT_TRUE(program.start(copy / "rootweaver", copy / "stdout.txt", copy / "stderr.txt"));
  ASSERT_TRUE(titleShown(program.awaitScene(10, titleShown)));
  ASSERT_TRUE(program.pressKeyUntil(XK_space, 2, [](const tShot& s) { return !titleShown(s); }));
  settle();
  program.click(200, 355);  // "Vadoduraraz Mode"
  settle();
  ASSERT_TRUE(titleShown(program.awaitScene(10, titleShown)));
  program.click(400, 515);  // "Vadoduraraz Go!!"

  const tShot first = program.awaitScene(20, growing, "growing");
  ASSERT_TRUE(growing(first)) << "no partial picture shown";
  // A quarter of the picture: two seconds of work or more.
  const int quarter = 90000;
  const tShot later = program.awaitScene(
      30, [&](const tShot& s) { return growing(s) && pictureLit(s) > quarter; }, "growing-later");
  EXPECT_GT(pictureLit(later), quarter) << "the picture did not grow on screen";

  // "-" starts the picture over: it is black again, long before a third of
  // the quarter has grown back.
  tShot restarted;
  EXPECT_TRUE(program.pressKeyUntil(XK_minus, 3, [&](const tShot& s) {
    restarted = s;
    return pictureLit(s) < quarter / 3;
  }));
  restarted.keep("restarted");

  // "Back" is taken while the picture grows (the scene tests show that it
  // stops the computation within the frame).
  EXPECT_TRUE(program.waitFor(20, [&] { return growing(program.grab()); }));
  bool back = false;
  for (int attempt = 0; attempt < 3 && !back; ++attempt) {
    program.click(400, 565);
    back = titleShown(program.awaitScene(5, titleShown, "setupfrac-after-back"));
  }
  EXPECT_TRUE(back);

  program.closeWindow();
  EXPECT_EQ(0, program.awaitExit());
}

}  // namespace
