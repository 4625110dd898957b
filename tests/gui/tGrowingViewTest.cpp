#include <gtest/gtest.h>

#include <string>

#include "gui/tXvfbProgram.h"

// The fractal view of the real program while a large picture (2048 x 2048,
// Runge-Kutta 4 with 100 iterations) grows from the bottom row up.

namespace {

using tShot = tXvfbProgram::tShot;

// Lit pixels of the picture (x 100 to 700, y 0 to 600).
int pictureLit(const tShot& s) { return s.litIn(100, 0, 700, 600); }
// The bottom rows are computed first; the top ones stay black meanwhile.
bool growing(const tShot& s) {
  return s.litIn(100, 590, 700, 600) > 3000 && s.litIn(100, 0, 700, 10) < 100;
}

TEST(tGrowingViewTest, DrawsWhileComputingAndCancelsAtOnce) {
  tXvfbProgram program(
      "{\nDim\n2048\n}\n{\nIterations\n100\n}\n{\nSolver\n4\n}\n{\nFunction\ncubic.func\n}\n");
  ASSERT_TRUE(program.start()) << "no window: run under xvfb-run";
  ASSERT_TRUE(program.walkToSetup(200, [](const tShot& s) {
    return tXvfbProgram::titleShown(s) && !tXvfbProgram::modeSelectShown(s);
  }));
  program.click(400, 515);  // "Vadoduraraz Go!!"

  ASSERT_TRUE(growing(program.awaitScene(20, growing, "growing"))) << "no partial picture shown";
  // A quarter of the picture: two seconds of work or more.
  const int quarter = 90000;
  const tShot later = program.awaitScene(
      90, [&](const tShot& s) { return growing(s) && pictureLit(s) > quarter; }, "growing-later");
  EXPECT_GT(pictureLit(later), quarter) << "the picture did not grow on screen";
  // "Computing: N%" where the dimension will be, left of the picture; "Back"
  // drawn, "Write File" not yet.
  EXPECT_GT(later.whiteIn(0, 40, 100, 75), 30) << "no progress line";
  EXPECT_GT(later.whiteIn(300, 550, 500, 580), 50) << "no \"Back\" button";
  EXPECT_EQ(0, later.whiteIn(300, 500, 500, 530)) << "\"Write File\" shown too early";

  // "-" starts the picture over from the old one shrunk into the middle of
  // black (by a tenth for each frame the key is held): rows of it show a
  // lit middle between black margins, which no row of a picture that grows
  // from black, a whole row at a time, ever shows.
  auto shrunkRows = [](const tShot& s) {
    int rows = 0;
    for (int y = 0; y < 600; ++y) {
      rows += s.litIn(101, y, 116, y + 1) == 0 && s.litIn(684, y, 699, y + 1) == 0 &&
              s.litIn(300, y, 500, y + 1) > 190;
    }
    return rows;
  };
  ASSERT_EQ(0, shrunkRows(later));
  tShot restarted;
  EXPECT_TRUE(program.pressKeyUntil(XK_minus, 3, [&](const tShot& s) {
    restarted = s;
    return shrunkRows(s) > 20;
  })) << "rows of the old picture in the middle: " << shrunkRows(restarted);
  restarted.keep("zoom-preview");

  // "Back" is taken while the picture grows (the scene tests show that it
  // stops the computation within the frame).
  EXPECT_TRUE(program.waitFor(20, [&] { return growing(program.grab()); }));
  EXPECT_TRUE(tXvfbProgram::titleShown(program.clickUntil(400, 565, tXvfbProgram::titleShown)));

  EXPECT_EQ(0, program.close());
}

}  // namespace
