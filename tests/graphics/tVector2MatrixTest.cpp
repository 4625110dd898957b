#include <gtest/gtest.h>

#include <sstream>

#include "graphics/tMatrix2.h"
#include "graphics/tVector2.h"

// Results are compared as printed, all of a test at once.

TEST(tVector2Test, ArithmeticLengthDirectionAndPrint) {
  const tVector2 v(4, 6), u(3, 4);
  tVector2 w(1, 1), n = u;
  (w += tVector2(1, 2)) *= 3.0;
  w[1] = 7.0;
  n.normalize();
  std::ostringstream out;
  out << 2.0 / v << v / 2.0 << 2.0 * v << v * 2.0 << v + tVector2(1, 2) << v - tVector2(1, 2)
      << -v << w << u.direction() << u << n << tVector2(1.5, -2);
  EXPECT_EQ("[2, 3][2, 3][8, 12][8, 12][5, 8][3, 4][-4, -6][6, 7][0.6, 0.8][3, 4][0.6, 0.8]"
            "[1.5, -2]",
            out.str());
  EXPECT_EQ(tVector2(0.6, 0.8), n);  // exactly, not only as printed
  EXPECT_EQ(25.0, u.lengthSquared());
  EXPECT_EQ(11.0, u.dot(tVector2(1, 2)));
}

TEST(tMatrix2Test, ProductsInverseTransposeAndZeroMarker) {
  const tMatrix2 a(1, 2, 3, 4);
  tMatrix2 b(a), t(a);
  b *= tMatrix2(0, 1, 1, 0);  // the matrix itself stands on the left
  t.transpose();
  std::ostringstream out;
  out << a * tVector2(1, 1) << tVector2(1, 1) * a << a * a << b << 2.0 * a << 2.0 / a << a / 2.0
      << -a << a + a << a - a << a.inverse() << a << a.transposed() << t;
  EXPECT_EQ("[3, 7][4, 6][[7, 10], [15, 22]][[2, 1], [4, 3]][[2, 4], [6, 8]][[0.5, 1], [1.5, 2]]"
            "[[0.5, 1], [1.5, 2]][[-1, -2], [-3, -4]][[2, 4], [6, 8]][[0, 0], [0, 0]]"
            "[[-2, 1], [1.5, -0.5]][[1, 2], [3, 4]][[1, 3], [2, 4]][[1, 3], [2, 4]]",
            out.str());
  EXPECT_EQ(-2.0, a.determinant());
  // The zero matrix compares equal to every matrix of zeros, signed or not, only.
  EXPECT_TRUE(tMatrix2() == tMatrix2(-0.0, 0, 0, -0.0));
  EXPECT_TRUE(tMatrix2() != tMatrix2(0, 0, 1e-300, 0));
}
