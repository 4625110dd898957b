#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tTGALoader.h"

namespace {

tBytes tgaHeader(unsigned char imageType, unsigned int width, unsigned int height,
                 unsigned char bits, unsigned char descriptor = 0, unsigned char colorMapType = 0,
                 unsigned char idLength = 0) {
  tBytes bytes = {idLength, colorMapType, imageType, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  appendLE16(bytes, width);
  appendLE16(bytes, height);
  bytes.push_back(bits);
  bytes.push_back(descriptor);
  return bytes;
}

tBytes operator+(tBytes a, const tBytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A target that a failed load must leave as it was.
tImage sentinel() { return makePatternImage(3, 2); }

class tTGALoaderTest : public ::testing::Test {
 protected:
  bool loadBytes(const tBytes& bytes, tImage* image) {
    std::string path = scratch_.path("in.tga");
    writeFileBytes(path, bytes);
    return tTGALoader::instance().load(path, image);
  }

  tScratchDir scratch_;
};

TEST_F(tTGALoaderTest, WritesTheExactBytesOfA24BitImage) {
  tImage image(2, 1);
  image.setPixel(0, 0, tPixel(255, 0, 0, 255));
  image.setPixel(0, 1, tPixel(0, 0, 255, 255));
  std::string path = scratch_.path("two.tga");
  ASSERT_TRUE(tTGALoader::instance().write(path, &image, 24, false));
  tBytes expected = {0, 0, 2, 0, 0,  0, 0,    0,    0,    0,    0,    0,
                     2, 0, 1, 0, 24, 8, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00};
  EXPECT_EQ(expected, readFileBytes(path));

  ASSERT_TRUE(tTGALoader::instance().write(path, &image, 32, false));
  expected = {0, 0, 2, 0,  0, 0,    0,    0,    0,    0,    0,    0,    2,
              0, 1, 0, 32, 8, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF};
  EXPECT_EQ(expected, readFileBytes(path));
}

TEST_F(tTGALoaderTest, WriteChecksThePathDepthAndSides) {
  tImage image = makePatternImage(3, 2);
  struct tPathRow {
    std::string name;
    bool written;
  };
  const std::vector<tPathRow> rows = {
      {"picture.png", false}, {"picture.tg", false},     {"picture.Tga", false},
      {"picture.tga", true},  {"picture.TGA.bak", true}, {"x.tga.png", true},
  };
  for (const tPathRow& row : rows) {
    std::string path = scratch_.path(row.name);
    EXPECT_EQ(row.written, tTGALoader::instance().write(path, &image, 24, false)) << row.name;
    EXPECT_EQ(row.written, fileExists(path)) << row.name;
  }
  for (unsigned int bits : {0u, 8u, 16u, 33u}) {
    std::string path = scratch_.path("depth" + std::to_string(bits) + ".tga");
    EXPECT_FALSE(tTGALoader::instance().write(path, &image, bits, false)) << bits;
    EXPECT_FALSE(fileExists(path)) << bits;
  }
  EXPECT_FALSE(tTGALoader::instance().write(scratch_.path("null.tga"), nullptr, 24, false));
  EXPECT_FALSE(fileExists(scratch_.path("null.tga")));
  EXPECT_FALSE(tTGALoader::instance().write(scratch_.path("no/such/dir.tga"), &image, 24, false));

  tImage tooWide(65536, 1);
  EXPECT_FALSE(tTGALoader::instance().write(scratch_.path("wide.tga"), &tooWide, 24, false));
  EXPECT_FALSE(fileExists(scratch_.path("wide.tga")));
  tImage tooTall(1, 65536);
  EXPECT_FALSE(tTGALoader::instance().write(scratch_.path("tall.tga"), &tooTall, 24, false));
  EXPECT_FALSE(fileExists(scratch_.path("tall.tga")));
}

TEST_F(tTGALoaderTest, CompressedWriteLeavesOnlyTheHeaderAndFails) {
  tImage image = makePatternImage(3, 2);
  std::string path = scratch_.path("rle.tga");
  EXPECT_FALSE(tTGALoader::instance().write(path, &image, 24, true));
  EXPECT_EQ(tgaHeader(10, 3, 2, 24, 8), readFileBytes(path));
}

// Sides from 32768 to 65535 are unsigned 16-bit values in both directions.
TEST_F(tTGALoaderTest, SidesAbove32767RoundTripAsUnsigned) {
  tImage image(40000, 1);
  image.setPixel(0, 39999, tPixel(1, 2, 3, 255));
  std::string path = scratch_.path("long.tga");
  ASSERT_TRUE(tTGALoader::instance().write(path, &image, 24, false));
  tBytes bytes = readFileBytes(path);
  ASSERT_EQ(18u + 3 * 40000, bytes.size());
  EXPECT_EQ(tBytes({0x40, 0x9C, 1, 0}), tBytes(bytes.begin() + 12, bytes.begin() + 16));
  tImage loaded;
  ASSERT_TRUE(tTGALoader::instance().load(path, &loaded));
  EXPECT_TRUE(imagesEqual(image, loaded));
}

TEST_F(tTGALoaderTest, RoundTripsKeepPixelsAndAlphaAt32Bits) {
  tImage image = makePatternImage(5, 3);
  tImage loaded;
  std::string path = scratch_.path("round.tga");
  ASSERT_TRUE(tTGALoader::instance().write(path, &image, 32, false));
  ASSERT_TRUE(tTGALoader::instance().load(path, &loaded));
  EXPECT_TRUE(imagesEqual(image, loaded));
  ASSERT_TRUE(tTGALoader::instance().write(path, &image, 24, false));
  ASSERT_TRUE(tTGALoader::instance().load(path, &loaded));
  EXPECT_TRUE(imagesEqual(opaque(image), loaded));
}

TEST_F(tTGALoaderTest, ReadsEveryDepthAndRunLengthPackets) {
  tImage loaded;
  // 0x83: one pixel four times; 0x01: two pixels as they are.
  ASSERT_TRUE(loadBytes(tgaHeader(10, 6, 1, 24) + tBytes{0x83, 30, 20, 10, 0x01, 1, 2, 3, 4, 5, 6},
                        &loaded));
  tImage expected(6, 1);
  for (int c = 0; c < 4; ++c) expected.setPixel(0, c, tPixel(10, 20, 30, 255));
  expected.setPixel(0, 4, tPixel(3, 2, 1, 255));
  expected.setPixel(0, 5, tPixel(6, 5, 4, 255));
  EXPECT_TRUE(imagesEqual(expected, loaded));

  // Grey-scale, plain and run-length.
  ASSERT_TRUE(loadBytes(tgaHeader(3, 2, 1, 8) + tBytes{7, 200}, &loaded));
  expected.reinitialize(2, 1);
  expected.setPixel(0, 0, tPixel(7, 7, 7, 255));
  expected.setPixel(0, 1, tPixel(200, 200, 200, 255));
  EXPECT_TRUE(imagesEqual(expected, loaded));
  ASSERT_TRUE(loadBytes(tgaHeader(11, 2, 1, 8) + tBytes{0x00, 7, 0x80, 200}, &loaded));
  EXPECT_TRUE(imagesEqual(expected, loaded));

  // 16 bits: x1r5g5b5, the top bit ignored; 32 bits keep alpha. The ID field
  // is skipped.
  tBytes words;
  appendLE16(words, 0x8000 | (31 << 10) | (1 << 5) | 16);
  ASSERT_TRUE(loadBytes(tgaHeader(2, 1, 1, 16, 0, 0, 3) + tBytes{9, 9, 9} + words, &loaded));
  expected.reinitialize(1, 1);
  expected.setPixel(0, 0, tPixel(248, 8, 128, 255));
  EXPECT_TRUE(imagesEqual(expected, loaded));
  ASSERT_TRUE(loadBytes(tgaHeader(2, 1, 1, 32) + tBytes{1, 2, 3, 4}, &loaded));
  expected.setPixel(0, 0, tPixel(3, 2, 1, 4));
  EXPECT_TRUE(imagesEqual(expected, loaded));
}

// Row 0 is the bottom row and column 0 the left one whatever corner the file
// starts from.
TEST_F(tTGALoaderTest, OriginsInTheDescriptorAreHonoured) {
  tBytes pixels = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};  // 2 x 2, in file order
  tImage bottomLeft;
  ASSERT_TRUE(loadBytes(tgaHeader(2, 2, 2, 24, 0) + pixels, &bottomLeft));
  EXPECT_EQ(tPixel(1, 1, 1, 255), bottomLeft(0, 0));
  EXPECT_EQ(tPixel(4, 4, 4, 255), bottomLeft(1, 1));

  tBytes topDown = {3, 3, 3, 4, 4, 4, 1, 1, 1, 2, 2, 2};
  tImage loaded;
  ASSERT_TRUE(loadBytes(tgaHeader(2, 2, 2, 24, 0x20 | 8) + topDown, &loaded));
  EXPECT_TRUE(imagesEqual(bottomLeft, loaded));
  ASSERT_TRUE(loadBytes(tgaHeader(10, 2, 2, 24, 0x20) + tBytes{0x03} + topDown, &loaded));
  EXPECT_TRUE(imagesEqual(bottomLeft, loaded));
  tBytes rightToLeft = {2, 2, 2, 1, 1, 1, 4, 4, 4, 3, 3, 3};
  ASSERT_TRUE(loadBytes(tgaHeader(2, 2, 2, 24, 0x10) + rightToLeft, &loaded));
  EXPECT_TRUE(imagesEqual(bottomLeft, loaded));
}

TEST_F(tTGALoaderTest, RejectionsLeaveTheTargetUntouched) {
  tBytes pixels4 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  struct tRejectRow {
    const char* what;
    tBytes file;
  };
  const std::vector<tRejectRow> rows = {
      {"colour-map type 1", tgaHeader(2, 2, 2, 24, 0, 1) + pixels4},
      {"8 bits in a true-colour image", tgaHeader(2, 4, 1, 8) + pixels4},
      {"8 bits in a run-length true-colour image", tgaHeader(10, 4, 1, 8) + pixels4},
      {"colour-mapped image type", tgaHeader(1, 4, 1, 8) + pixels4},
      {"run-length colour-mapped image type", tgaHeader(9, 4, 1, 8) + pixels4},
      {"no image data", tgaHeader(0, 0, 0, 24)},
      {"15 bits", tgaHeader(2, 2, 2, 15) + pixels4},
      {"header cut short", tBytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0}},
      {"empty file", tBytes{}},
      {"pixels cut short", tgaHeader(2, 2, 2, 24) + tBytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
      {"ID field longer than the file", tgaHeader(2, 1, 1, 24, 0, 0, 200) + tBytes{1, 2, 3}},
      {"run past the last pixel", tgaHeader(10, 4, 1, 24) + tBytes{0x84, 1, 2, 3}},
      {"raw packet past the last pixel",
       tgaHeader(10, 2, 1, 24) + tBytes{0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"second packet past the last pixel",
       tgaHeader(10, 4, 1, 24) + tBytes{0x82, 1, 2, 3, 0x81, 4, 5, 6}},
      {"run-length data cut short", tgaHeader(10, 4, 1, 24) + tBytes{0x81, 1, 2, 3, 0x81, 4}},
      {"run-length packet missing", tgaHeader(11, 4, 1, 8) + tBytes{0x82, 9}},
      {"absurdly large", tgaHeader(2, 65535, 65535, 32) + pixels4},
      {"absurdly large run-length", tgaHeader(10, 65535, 65535, 32) + tBytes{0xFF, 1, 2, 3, 4}},
  };
  for (const tRejectRow& row : rows) {
    tImage target = sentinel();
    EXPECT_FALSE(loadBytes(row.file, &target)) << row.what;
    EXPECT_TRUE(imagesEqual(sentinel(), target)) << row.what;
  }
  tImage target = sentinel();
  EXPECT_FALSE(tTGALoader::instance().load(scratch_.path("missing.tga"), &target));
  EXPECT_TRUE(imagesEqual(sentinel(), target));
  EXPECT_FALSE(loadBytes(tgaHeader(2, 1, 1, 24) + tBytes{1, 2, 3}, nullptr));
}

}  // namespace
