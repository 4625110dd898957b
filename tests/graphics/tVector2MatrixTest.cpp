#include <gtest/gtest.h>

#include <sstream>

#include "graphics/tMatrix2.h"
#include "graphics/tVector2.h"

TEST(tVector2Test, ArithmeticAndScalarDivisionOnEitherSide) {
  tVector2 v(4, 6);
  EXPECT_EQ(tVector2(2, 3), 2.0 / v);
  EXPECT_EQ(tVector2(2, 3), v / 2.0);
  EXPECT_EQ(tVector2(8, 12), 2.0 * v);
  EXPECT_EQ(tVector2(8, 12), v * 2.0);
  EXPECT_EQ(tVector2(5, 8), v + tVector2(1, 2));
  EXPECT_EQ(tVector2(3, 4), v - tVector2(1, 2));
  EXPECT_EQ(tVector2(-4, -6), -v);
  tVector2 w(1, 1);
  (w += tVector2(1, 2)) *= 3.0;
  EXPECT_EQ(tVector2(6, 9), w);
  w[1] = 7.0;
  EXPECT_EQ(7.0, w[1]);
  EXPECT_EQ(6.0, w[0]);
}

TEST(tVector2Test, LengthDirectionDotAndPrint) {
  tVector2 v(3, 4);
  EXPECT_EQ(5.0, v.length());
  EXPECT_EQ(25.0, v.lengthSquared());
  EXPECT_EQ(tVector2(0.6, 0.8), v.direction());
  EXPECT_EQ(tVector2(3, 4), v);  // direction() leaves the vector alone
  EXPECT_EQ(11.0, v.dot(tVector2(1, 2)));
  v.normalize();
  EXPECT_EQ(tVector2(0.6, 0.8), v);
  std::ostringstream out;
  out << tVector2(1.5, -2);
  EXPECT_EQ("[1.5, -2]", out.str());
}

TEST(tMatrix2Test, ProductsWithVectorsOnEitherSide) {
  tMatrix2 a(1, 2, 3, 4);
  EXPECT_EQ(tVector2(3, 7), a * tVector2(1, 1));
  EXPECT_EQ(tVector2(4, 6), tVector2(1, 1) * a);
  EXPECT_EQ(tMatrix2(7, 10, 15, 22), a * a);
  tMatrix2 b(a);
  b *= tMatrix2(0, 1, 1, 0);  // the matrix itself stands on the left
  EXPECT_EQ(tMatrix2(2, 1, 4, 3), b);
  EXPECT_EQ(tMatrix2(2, 4, 6, 8), 2.0 * a);
  EXPECT_EQ(tMatrix2(0.5, 1, 1.5, 2), 2.0 / a);
  EXPECT_EQ(tMatrix2(0.5, 1, 1.5, 2), a / 2.0);
  EXPECT_EQ(tMatrix2(-1, -2, -3, -4), -a);
  EXPECT_EQ(tMatrix2(2, 4, 6, 8), a + a);
  EXPECT_EQ(tMatrix2(), a - a);
}

TEST(tMatrix2Test, InverseDeterminantTransposeAndZeroMarker) {
  tMatrix2 a(1, 2, 3, 4);
  EXPECT_EQ(-2.0, a.determinant());
  EXPECT_EQ(tMatrix2(-2, 1, 1.5, -0.5), a.inverse());
  EXPECT_EQ(tMatrix2(1, 2, 3, 4), a);
  EXPECT_EQ(tMatrix2(1, 3, 2, 4), a.transposed());
  a.transpose();
  EXPECT_EQ(tMatrix2(1, 3, 2, 4), a);
  EXPECT_EQ(2.0, a(1, 0));

  EXPECT_TRUE(tMatrix2() == tMatrix2(0, 0, 0, 0));
  EXPECT_TRUE(tMatrix2() == tMatrix2(-0.0, 0, 0, -0.0));
  EXPECT_TRUE(tMatrix2() != tMatrix2(0, 0, 1e-300, 0));

  std::ostringstream out;
  out << tMatrix2(1, 2, 3, 4);
  EXPECT_EQ("[[1, 2], [3, 4]]", out.str());
}
