#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tPixel.h"

namespace {

struct tPixelRow {
  tPixel pixel;
  float factor;
  tPixel expected;
};

TEST(tPixelTest, ProductsClampProportionallyWithAlphaIncluded) {
  const std::vector<tPixelRow> rows = {
      {tPixel(200, 100, 50, 255), 2.0f, tPixel(200, 100, 50, 255)},  // 510 scaled by 255/510
      {tPixel(200, 100, 50, 255), 0.5f, tPixel(100, 50, 25, 127)},
      {tPixel(200, 100, 50, 255), 1.0f, tPixel(200, 100, 50, 255)},
      {tPixel(10, 20, 30, 40), -1.0f, tPixel(0, 0, 0, 0)},
      {tPixel(10, 20, 30, 40), 0.0f, tPixel(0, 0, 0, 0)},
      {tPixel(255, 0, 1, 0), 3.0f, tPixel(255, 0, 1, 0)},
      {tPixel(10, 20, 30, 40), std::numeric_limits<float>::quiet_NaN(), tPixel(0, 0, 0, 0)},
      {tPixel(0, 255, 0, 0), std::numeric_limits<float>::infinity(), tPixel(0, 255, 0, 0)},
  };
  for (const tPixelRow& row : rows) {
    EXPECT_EQ(row.expected, row.pixel * row.factor) << row.factor;
    EXPECT_EQ(row.expected, row.factor * row.pixel) << row.factor;
    tPixel scaled = row.pixel;
    scaled *= row.factor;
    EXPECT_EQ(row.expected, scaled) << row.factor;
  }
}

TEST(tPixelTest, SumsAndClampKeepProportions) {
  EXPECT_EQ(tPixel(100, 0, 0, 255), tPixel(100, 0, 0, 255) + tPixel(100, 0, 0, 255));
  EXPECT_EQ(tPixel(30, 50, 70, 90), tPixel(10, 20, 30, 40) + tPixel(20, 30, 40, 50));
  tPixel sum(255, 128, 0, 0);
  sum += tPixel(255, 127, 0, 255);
  EXPECT_EQ(tPixel(255, 127, 0, 127), sum);

  unsigned int channels[4] = {510, 255, 0, 255};
  tPixel::clamp(channels);
  EXPECT_EQ(255u, channels[0]);
  EXPECT_EQ(127u, channels[1]);
  EXPECT_EQ(0u, channels[2]);
  EXPECT_EQ(127u, channels[3]);
  unsigned int inRange[4] = {255, 1, 2, 3};
  tPixel::clamp(inRange);
  EXPECT_EQ(255u, inRange[0]);
  EXPECT_EQ(3u, inRange[3]);
  unsigned int huge[4] = {4000000000u, 2000000000u, 0, 1};
  tPixel::clamp(huge);
  EXPECT_EQ(255u, huge[0]);
  EXPECT_EQ(127u, huge[1]);
  EXPECT_EQ(0u, huge[3]);
}

TEST(tPixelTest, DefaultEqualityChannelsAndDistance) {
  tPixel p;
  EXPECT_EQ(tPixel(0, 0, 0, 255), p);
  p[2] = 9;
  EXPECT_EQ(9, p[2]);
  EXPECT_NE(tPixel(0, 0, 0, 255), p);
  EXPECT_NE(tPixel(0, 0, 9, 254), p);
  EXPECT_EQ(5.0f, tPixel(0, 0, 0, 255).distance(tPixel(3, 4, 0, 255)));
  EXPECT_EQ(255.0f, tPixel(0, 0, 0, 0).distance(tPixel(0, 0, 0, 255)));
  EXPECT_EQ(510.0f, tPixel(0, 0, 0, 0).distance(tPixel(255, 255, 255, 255)));
}

TEST(tImageTest, ConstructionAccessAndDeepCopies) {
  tImage empty;
  EXPECT_EQ(0u, empty.getWidth());
  EXPECT_EQ(nullptr, empty.getPixelData());
  EXPECT_EQ(nullptr, empty.getRawData());

  tImage image(3, 2);
  EXPECT_EQ(tPixel(0, 0, 0, 255), image.getPixel(1, 2));
  image.setPixel(1, 2, tPixel(1, 2, 3, 4));
  EXPECT_EQ(tPixel(1, 2, 3, 4), image(1, 2));
  EXPECT_EQ(1, image.getRawData()[4 * (3 * 1 + 2)]);  // row-major, red first
  image.setPixelub(0, 1, 10, 20, 30, 40);
  image.setPixelub(0, 1, 99, 2);
  EXPECT_EQ(tPixel(10, 20, 99, 40), image.getPixel(0, 1));
  EXPECT_EQ(20, image.getPixelub(0, 1, 1));
  EXPECT_EQ(40 / 255.0f, image.getPixelf(0, 1, 3));

  // Fractions outside 0 ... 1 are held at the ends instead of wrapping.
  image.setPixelf(0, 0, 1.0f, 0.5f, -0.25f, 7.0f);
  EXPECT_EQ(tPixel(255, 127, 0, 255), image.getPixel(0, 0));
  image.setPixelf(0, 0, 0.2f, 1);
  EXPECT_EQ(51, image.getPixelub(0, 0, 1));

  tImage copy(image);
  copy.setPixel(1, 2, tPixel());
  EXPECT_EQ(tPixel(1, 2, 3, 4), image(1, 2));
  copy = image;
  EXPECT_EQ(tPixel(1, 2, 3, 4), copy(1, 2));
  image.reinitialize(2, 2);
  EXPECT_EQ(tPixel(0, 0, 0, 255), image(1, 1));
  EXPECT_EQ(tPixel(1, 2, 3, 4), copy(1, 2));
}

TEST(tImageTest, FlipsSwapRowsAndColumns) {
  tImage image = makePatternImage(3, 3);
  tImage flipped = image;
  flipped.flipVertical();
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) EXPECT_EQ(image(2 - r, c), flipped(r, c)) << r << "," << c;
  }
  flipped = makePatternImage(4, 2);
  flipped.flipHorizontal();
  tImage original = makePatternImage(4, 2);
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 4; ++c) EXPECT_EQ(original(r, 3 - c), flipped(r, c)) << r << "," << c;
  }
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
  EXPECT_EQ(tPixel(200, 0, 100, 255), image.getPixelBilinear(0.0f, 0.0f));
  EXPECT_EQ(tPixel(100, 100, 75, 254), image.getPixelBilinear(0.0f, 0.5f));
  EXPECT_EQ(tPixel(0, 200, 50, 255), image.getPixelBilinear(0.0f, 1.0f));
  EXPECT_EQ(tPixel(0, 200, 50, 254), image.getPixelBilinear(0.0f, 1.5f));
  EXPECT_EQ(tPixel(0, 0, 0, 255), image.getPixelBilinear(1.0f, 1.0f));
  EXPECT_EQ(tPixel(0, 0, 0, 252), image.getPixelBilinear(1.5f, 1.5f));
  EXPECT_EQ(tPixel(100, 100, 100, 254), image.getPixelBilinear(1.5f, 0.0f));
  EXPECT_EQ(tPixel(75, 75, 62, 252), image.getPixelBilinear(0.5f, 0.5f));
  EXPECT_EQ(100, image.getPixelBilinearub(0.0f, 0.5f, 1));
  EXPECT_EQ(254 / 255.0f, image.getPixelBilinearf(0.0f, 0.5f, 3));

  tImage single(1, 1);
  single.setPixel(0, 0, tPixel(8, 16, 32, 64));
  EXPECT_EQ(tPixel(8, 16, 32, 64), single.getPixelBilinear(0.0f, 0.0f));
}

TEST(tImageTest, ResizeResamplesAndKeepsEqualSizes) {
  tImage image(2, 1);
  image.setPixel(0, 0, tPixel(200, 0, 100, 255));
  image.setPixel(0, 1, tPixel(0, 200, 50, 255));
  tImage wide = image;
  wide.resize(4, 1);
  tImage expected(4, 1);
  expected.setPixel(0, 0, tPixel(200, 0, 100, 255));
  expected.setPixel(0, 1, tPixel(100, 100, 75, 254));
  expected.setPixel(0, 2, tPixel(0, 200, 50, 255));
  expected.setPixel(0, 3, tPixel(0, 200, 50, 254));
  EXPECT_TRUE(imagesEqual(expected, wide));

  tImage same = makePatternImage(5, 3);
  same.resize(5, 3);
  EXPECT_TRUE(imagesEqual(makePatternImage(5, 3), same));

  tImage narrow = makePatternImage(4, 4);
  narrow.resize(2, 2);
  tImage halved(2, 2);
  tImage pattern = makePatternImage(4, 4);
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 2; ++c) halved(r, c) = pattern(2 * r, 2 * c);
  }
  EXPECT_TRUE(imagesEqual(halved, narrow));

  tImage grown;
  grown.resize(2, 3);
  EXPECT_TRUE(imagesEqual(tImage(2, 3), grown));
}

TEST(tImageTest, MakeUseableAsTextureChoosesTheNearerPowerOfTwo) {
  struct tSideRow {
    unsigned int side;
    unsigned int expected;
  };
  const std::vector<tSideRow> rows = {{500, 512}, {300, 256}, {384, 512}, {256, 256},
                                      {3, 4},     {5, 4},     {6, 8},     {1, 1},
                                      {2, 2},     {0, 0},     {700, 512}, {730, 1024}};
  for (const tSideRow& row : rows) {
    tImage wide(row.side, 1);
    wide.makeUseableAsTexture();
    EXPECT_EQ(row.expected, wide.getWidth()) << row.side;
    EXPECT_EQ(1u, wide.getHeight()) << row.side;
    tImage tall(1, row.side);
    tall.makeUseableAsTexture();
    EXPECT_EQ(row.expected, tall.getHeight()) << row.side;
  }
  tImage both(500, 300);
  both.makeUseableAsTexture();
  EXPECT_EQ(512u, both.getWidth());
  EXPECT_EQ(256u, both.getHeight());
}

}  // namespace
