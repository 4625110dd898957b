#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tPixel.h"

namespace {

TEST(tPixelTest, ProductsClampProportionallyWithAlphaIncluded) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const struct { tPixel pixel; float factor; tPixel expected; } rows[] = {
      {tPixel(200, 100, 50, 255), 2.0f, tPixel(200, 100, 50, 255)},  // 510 scaled by 255/510
      {tPixel(200, 100, 50, 255), 0.5f, tPixel(100, 50, 25, 127)},
      {tPixel(200, 100, 50, 255), 1.0f, tPixel(200, 100, 50, 255)},
      {tPixel(10, 20, 30, 40), -1.0f, tPixel(0, 0, 0, 0)},
      {tPixel(10, 20, 30, 40), 0.0f, tPixel(0, 0, 0, 0)},
      {tPixel(255, 0, 1, 0), 3.0f, tPixel(255, 0, 1, 0)},
      {tPixel(10, 20, 30, 40), nan, tPixel(0, 0, 0, 0)},
      {tPixel(0, 255, 0, 0), inf, tPixel(0, 255, 0, 0)},
  };
  for (const auto& row : rows) {
    tPixel scaled = row.pixel;
    scaled *= row.factor;
    EXPECT_EQ(row.expected, scaled) << row.factor;
    EXPECT_EQ(row.expected, row.pixel * row.factor) << row.factor;
    EXPECT_EQ(row.expected, row.factor * row.pixel) << row.factor;
  }
}

TEST(tPixelTest, SumsClampEqualityAndDistance) {
  EXPECT_EQ(tPixel(100, 0, 0, 255), tPixel(100, 0, 0, 255) + tPixel(100, 0, 0, 255));
  EXPECT_EQ(tPixel(30, 50, 70, 90), tPixel(10, 20, 30, 40) + tPixel(20, 30, 40, 50));
  tPixel sum(255, 128, 0, 0);
  sum += tPixel(255, 127, 0, 255);
  EXPECT_EQ(tPixel(255, 127, 0, 127), sum);
  // Channels over 255 are scaled down together, by 255 over the largest.
  using tChannels = std::vector<unsigned int>;
  const std::pair<tChannels, tChannels> rows[] = {
      {{255, 1, 2, 3}, {255, 1, 2, 3}},
      {{4000000000u, 2000000000u, 0, 1}, {255, 127, 0, 0}},
  };
  for (const auto& row : rows) {
    tChannels channels = row.first;
    tPixel::clamp(channels.data());
    EXPECT_EQ(row.second, channels);
  }

  tPixel p;
  p[2] = 9;
  EXPECT_EQ(tPixel(0, 0, 9, 255), p);
  EXPECT_NE(tPixel(0, 0, 0, 255), p);
  EXPECT_NE(tPixel(0, 0, 9, 254), p);
  EXPECT_EQ(5.0f, tPixel(0, 0, 0, 255).distance(tPixel(3, 4, 0, 255)));
  EXPECT_EQ(510.0f, tPixel(0, 0, 0, 0).distance(tPixel(255, 255, 255, 255)));
}

TEST(tImageTest, AccessLayoutClampingAndDeepCopies) {
  EXPECT_EQ(nullptr, tImage().getRawData());
  tImage image(3, 2);
  EXPECT_EQ(tPixel(0, 0, 0, 255), image.getPixel(1, 2));
  image.setPixel(1, 2, tPixel(1, 2, 3, 4));
  EXPECT_EQ(1, image.getRawData()[4 * (3 * 1 + 2)]);  // row-major, red first
  image.setPixelub(0, 1, 10, 20, 30, 40);
  image.setPixelub(0, 1, 99, 2);
  EXPECT_EQ(tPixel(10, 20, 99, 40), image(0, 1));
  // Fractions outside 0 ... 1 are held at the ends instead of wrapping.
  image.setPixelf(0, 0, 1.0f, 0.5f, -0.25f, 7.0f);
  EXPECT_EQ(tPixel(255, 127, 0, 255), image.getPixel(0, 0));
  image.setPixelf(0, 0, 0.2f, 1);
  EXPECT_EQ(51, image.getPixelub(0, 0, 1));

  tImage copy(image);
  copy.setPixel(1, 2, tPixel());
  EXPECT_EQ(tPixel(1, 2, 3, 4), image(1, 2));
  copy = image;
  image.reinitialize(2, 2);
  EXPECT_EQ(tPixel(0, 0, 0, 255), image(1, 1));
  EXPECT_EQ(tPixel(1, 2, 3, 4), copy(1, 2));
}

TEST(tImageTest, FlipsSwapRowsAndColumns) {
  const tImage pattern = makePatternImage(4, 3);
  tImage vertical = pattern, horizontal = pattern, expectedV(4, 3), expectedH(4, 3);
  vertical.flipVertical();
  horizontal.flipHorizontal();
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 4; ++c) {
      expectedV(r, c) = pattern(2 - r, c);
      expectedH(r, c) = pattern(r, 3 - c);
    }
  }
  EXPECT_TRUE(imagesEqual(expectedV, vertical));
  EXPECT_TRUE(imagesEqual(expectedH, horizontal));
}

// Inside the image the four neighbours are weighed; at the last column the
// missing neighbour is the edge pixel, so half-way past it gives the edge
// pixel back (up to the truncation of each half).
TEST(tImageTest, BilinearSamplingInsideAndAtTheEdges) {
  tImage image(2, 2);
  image.setPixel(0, 0, tPixel(200, 0, 100, 255));
  image.setPixel(0, 1, tPixel(0, 200, 50, 255));
  image.setPixel(1, 0, tPixel(100, 100, 100, 255));
  image.setPixel(1, 1, tPixel(0, 0, 0, 255));
  const struct { float row, column; tPixel expected; } rows[] = {
      {0.0f, 0.0f, tPixel(200, 0, 100, 255)},   {0.0f, 0.5f, tPixel(100, 100, 75, 254)},
      {0.0f, 1.0f, tPixel(0, 200, 50, 255)},    {0.0f, 1.5f, tPixel(0, 200, 50, 254)},
      {1.0f, 1.0f, tPixel(0, 0, 0, 255)},       {1.5f, 1.5f, tPixel(0, 0, 0, 252)},
      {1.5f, 0.0f, tPixel(100, 100, 100, 254)}, {0.5f, 0.5f, tPixel(75, 75, 62, 252)},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.expected, image.getPixelBilinear(row.row, row.column)) << row.row << row.column;
  EXPECT_EQ(100, image.getPixelBilinearub(0.0f, 0.5f, 1));
  EXPECT_EQ(254 / 255.0f, image.getPixelBilinearf(0.0f, 0.5f, 3));
  tImage single(1, 1);
  single.setPixel(0, 0, tPixel(8, 16, 32, 64));
  EXPECT_EQ(tPixel(8, 16, 32, 64), single.getPixelBilinear(0.0f, 0.0f));
}

TEST(tImageTest, ResizeResamplesBilinearly) {
  const tPixel left(200, 0, 100, 255), right(0, 200, 50, 255);
  tImage wide = oneRow({left, right});
  wide.resize(4, 1);
  EXPECT_TRUE(imagesEqual(
      oneRow({left, tPixel(100, 100, 75, 254), right, tPixel(0, 200, 50, 254)}), wide));

  const tImage pattern = makePatternImage(4, 4);
  tImage narrow = pattern, halved(2, 2);
  narrow.resize(2, 2);
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) halved(r, c) = pattern(2 * r, 2 * c);
  EXPECT_TRUE(imagesEqual(halved, narrow));

  tImage grown;
  grown.resize(2, 3);
  EXPECT_TRUE(imagesEqual(tImage(2, 3), grown));
}

TEST(tImageTest, MakeUseableAsTextureChoosesTheNearerPowerOfTwo) {
  const unsigned int rows[][2] = {{500, 512}, {300, 256}, {384, 512}, {256, 256}, {3, 4},
                                  {5, 4},     {6, 8},     {1, 1},     {2, 2},     {0, 0},
                                  {700, 512}, {730, 1024}};
  for (const auto& row : rows) {
    tImage wide(row[0], 1), tall(1, row[0]);
    wide.makeUseableAsTexture();
    tall.makeUseableAsTexture();
    EXPECT_EQ(row[1], wide.getWidth()) << row[0];
    EXPECT_EQ(1u, wide.getHeight()) << row[0];
    EXPECT_EQ(row[1], tall.getHeight()) << row[0];
  }
}

}  // namespace
