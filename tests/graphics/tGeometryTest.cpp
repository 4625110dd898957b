#include <gtest/gtest.h>

#include <sstream>

#include "graphics/tMatrix2.h"
#include "graphics/tOGLUtils.h"
#include "graphics/tVector2.h"

// Results are compared as printed, all of a test at once.

TEST(tVector2Test, ArithmeticAndLength) {
  const tVector2 v(4, 6), u(3, 4);
  tVector2 w(1, 1);
  w -= tVector2(-1, 2);
  w[1] = 7.0;
  std::ostringstream out;
  out << v / 2.0 << 2.0 * v << v + tVector2(1, 2) << v - tVector2(1, 2) << w << tVector2(1.5, -2);
  EXPECT_EQ("[2, 3][8, 12][5, 8][3, 4][2, 7][1.5, -2]", out.str());
  EXPECT_EQ(25.0, u.lengthSquared());
  EXPECT_EQ(5.0, u.length());
}

TEST(tMatrix2Test, ProductsInverseAndZeroMarker) {
  const tMatrix2 a(1, 2, 3, 4);
  std::ostringstream out;
  out << a * tVector2(1, 1) << a * a << 2.0 * a << a * 2.0 << -a << a + a << a - a << a.inverse()
      << a;
  EXPECT_EQ(
      "[3, 7][[7, 10], [15, 22]][[2, 4], [6, 8]][[2, 4], [6, 8]][[-1, -2], [-3, -4]]"
      "[[2, 4], [6, 8]][[0, 0], [0, 0]][[-2, 1], [1.5, -0.5]][[1, 2], [3, 4]]",
      out.str());
  EXPECT_EQ(-2.0, a.determinant());
  // The zero matrix compares equal to every matrix of zeros, signed or not, only.
  EXPECT_TRUE(tMatrix2() == tMatrix2(-0.0, 0, 0, -0.0));
  EXPECT_TRUE(tMatrix2() != tMatrix2(0, 0, 1e-300, 0));
}

TEST(tOGLUtilsTest, TexturedBoxClipping) {
  const tTexCoords whole = tOGLUtils::getDefaultTexCoords();
  const tTexCoords part{0.5f, 0.75f, 0.25f, 0.5f};
  const tClipRect view{0, 800, 0, 600};
  struct {
    float cx, cy, hw, hh;
    tTexCoords tc;
    tClipRect clip;
    tTexturedQuad expected;
  } rows[] = {
      {400, 300, 10, 10, whole, view, {390, 410, 290, 310, {0, 1, 0, 1}}},
      // Cut at x = 0: the right three quarters of the texture over x 0 ... 15.
      {5, 50, 10, 10, whole, view, {0, 15, 40, 60, {0.25f, 1, 0, 1}}},
      {5, 50, 10, 10, part, view, {0, 15, 40, 60, {0.5625f, 0.75f, 0.25f, 0.5f}}},
      {795, 50, 10, 10, whole, view, {785, 800, 40, 60, {0, 0.75f, 0, 1}}},
      // The top edge shows t1, the bottom edge t0.
      {100, 5, 10, 10, whole, view, {90, 110, 0, 15, {0, 1, 0, 0.75f}}},
      {100, 595, 10, 10, whole, view, {90, 110, 585, 600, {0, 1, 0.25f, 1}}},
      // Both sides cut, each by its share of the whole box.
      {400, 300, 500, 10, whole, view, {0, 800, 290, 310, {0.1f, 0.9f, 0, 1}}},
      // Touching the rectangle is still drawn, as a line.
      {-10, 50, 10, 10, whole, view, {0, 0, 40, 60, {1, 1, 0, 1}}},
  };
  for (const auto& row : rows) {
    tTexturedQuad q;
    ASSERT_TRUE(tOGLUtils::clipTexturedBox(row.cx, row.cy, row.hw, row.hh, row.tc, row.clip, &q))
        << row.cx << ", " << row.cy;
    const tTexturedQuad& e = row.expected;
    const float got[] = {q.left, q.right, q.top, q.bottom, q.tex.s0, q.tex.s1, q.tex.t0, q.tex.t1};
    const float want[] = {e.left, e.right, e.top, e.bottom, e.tex.s0, e.tex.s1, e.tex.t0, e.tex.t1};
    for (int i = 0; i < 8; ++i)
      EXPECT_NEAR(want[i], got[i], 1e-5) << row.cx << ", " << row.cy << " #" << i;
  }

  const float outside[][2] = {{-20.5f, 50}, {820.5f, 50}, {50, -10.5f}, {50, 610.5f}};
  for (const auto& centre : outside) {
    tTexturedQuad q{1, 2, 3, 4, whole};
    EXPECT_FALSE(tOGLUtils::clipTexturedBox(centre[0], centre[1], 10, 10, whole, view, &q));
    EXPECT_EQ(1.0f, q.left);  // untouched
  }
}
