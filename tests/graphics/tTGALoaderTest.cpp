#include <gtest/gtest.h>

#include <string>
#include <utility>
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

class tTGALoaderTest : public tImageLoaderTest {
 protected:
  tTGALoaderTest() : tImageLoaderTest(tTGALoader::instance()) {}
  bool write(const std::string& name, tImage* image, unsigned int bits) {
    return tTGALoader::instance().write(scratch_ / name, image, bits, false);
  }
};

TEST_F(tTGALoaderTest, WritesExactBytesAndReadsThemBack) {
  tImage two = oneRow({tPixel(255, 0, 0, 255), tPixel(0, 0, 255, 255)});
  ASSERT_TRUE(write("two.tga", &two, 24));
  EXPECT_EQ((tgaHeader(2, 2, 1, 24, 8) + tBytes{0, 0, 0xFF, 0xFF, 0, 0}),
            readFileBytes(scratch_ / "two.tga"));
  ASSERT_TRUE(write("two.tga", &two, 32));
  EXPECT_EQ((tgaHeader(2, 2, 1, 32, 8) + tBytes{0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0xFF}),
            readFileBytes(scratch_ / "two.tga"));

  // Alpha is kept at 32 bits only.
  tImage image = makePatternImage(5, 3);
  ASSERT_TRUE(write("round.tga", &image, 32));
  EXPECT_TRUE(loadsAs(image, readFileBytes(scratch_ / "round.tga")));
  ASSERT_TRUE(write("round.tga", &image, 24));
  EXPECT_TRUE(loadsAs(opaque(image), readFileBytes(scratch_ / "round.tga")));

  // Sides from 32768 to 65535 are unsigned 16-bit values in both directions.
  tImage wide(40000, 1);
  wide.setPixel(0, 39999, tPixel(1, 2, 3, 255));
  ASSERT_TRUE(write("long.tga", &wide, 24));
  const tBytes bytes = readFileBytes(scratch_ / "long.tga");
  ASSERT_EQ(18u + 3 * 40000, bytes.size());
  EXPECT_EQ(tBytes({0x40, 0x9C, 1, 0}), tBytes(bytes.begin() + 12, bytes.begin() + 16));
  EXPECT_TRUE(loadsAs(wide, bytes));

  // A compressed write leaves only the header and fails.
  EXPECT_FALSE(tTGALoader::instance().write(scratch_ / "rle.tga", &image, 24, true));
  EXPECT_EQ(tgaHeader(10, 5, 3, 24, 8), readFileBytes(scratch_ / "rle.tga"));
}

TEST_F(tTGALoaderTest, WriteChecksThePathDepthAndSides) {
  tImage image = makePatternImage(3, 2), tooWide(65536, 1), tooTall(1, 65536);
  const struct { const char* name; tImage* image; unsigned int bits; bool written; } rows[] = {
      {"picture.TGA.bak", &image, 24, true}, {"x.tga.png", &image, 24, true},
      {"picture.png", &image, 24, false},    {"picture.Tga", &image, 24, false},
      {"d16.tga", &image, 16, false},        {"d33.tga", &image, 33, false},
      {"null.tga", nullptr, 24, false},      {"wide.tga", &tooWide, 24, false},
      {"tall.tga", &tooTall, 24, false},     {"no/such/dir.tga", &image, 24, false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.written, write(row.name, row.image, row.bits)) << row.name;
    EXPECT_EQ(row.written, pathExists(scratch_ / row.name)) << row.name;
  }
}

TEST_F(tTGALoaderTest, ReadsEveryDepthRunLengthPacketsAndOrigin) {
  const tPixel grey7(7, 7, 7, 255), grey200(200, 200, 200, 255), rgb(10, 20, 30, 255);
  tImage square(2, 2);  // rows from the bottom, columns from the left
  for (int i = 0; i < 4; ++i) {
    const unsigned char v = static_cast<unsigned char>(i + 1);
    square.setPixel(i / 2, i % 2, tPixel(v, v, v, 255));
  }
  const tBytes bottomUp = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
  const tBytes topDown = {3, 3, 3, 4, 4, 4, 1, 1, 1, 2, 2, 2};
  const struct { const char* what; tBytes file; tImage expected; } rows[] = {
      // 0x83: one pixel four times; 0x01: two pixels as they are.
      {"run-length 24 bits",
       tgaHeader(10, 6, 1, 24) + tBytes{0x83, 30, 20, 10, 1, 1, 2, 3, 4, 5, 6},
       oneRow({rgb, rgb, rgb, rgb, tPixel(3, 2, 1, 255), tPixel(6, 5, 4, 255)})},
      {"grey", tgaHeader(3, 2, 1, 8) + tBytes{7, 200}, oneRow({grey7, grey200})},
      {"run-length grey", tgaHeader(11, 2, 1, 8) + tBytes{0, 7, 0x80, 200},
       oneRow({grey7, grey200})},
      // x1r5g5b5 with the top bit set, after an ID field of three bytes.
      {"16 bits", tgaHeader(2, 1, 1, 16, 0, 0, 3) + tBytes{9, 9, 9, 0x30, 0xFC},
       oneRow({tPixel(248, 8, 128, 255)})},
      {"32 bits", tgaHeader(2, 1, 1, 32) + tBytes{1, 2, 3, 4}, oneRow({tPixel(3, 2, 1, 4)})},
      // Whatever corner the file starts from.
      {"bottom-left", tgaHeader(2, 2, 2, 24, 0) + bottomUp, square},
      {"top-left, run-length", tgaHeader(10, 2, 2, 24, 0x20) + tBytes{0x03} + topDown, square},
      {"bottom-right", tgaHeader(2, 2, 2, 24, 0x10) + tBytes{2, 2, 2, 1, 1, 1, 4, 4, 4, 3, 3, 3},
       square},
  };
  for (const auto& row : rows) EXPECT_TRUE(loadsAs(row.expected, row.file)) << row.what;
}

TEST_F(tTGALoaderTest, RejectionsLeaveTheTargetUntouched) {
  const tBytes pixels4 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const std::vector<std::pair<std::string, tBytes>> rows = {
      {"colour-map type 1", tgaHeader(2, 2, 2, 24, 0, 1) + pixels4},
      {"8 bits in a true-colour image", tgaHeader(2, 4, 1, 8) + pixels4},
      {"colour-mapped image type", tgaHeader(1, 4, 1, 8) + pixels4},
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
  expectRefused(rows);
  tImage one;
  EXPECT_FALSE(loadBytes(tgaHeader(2, 1, 1, 24) + tBytes{1, 2, 3}, nullptr));
  EXPECT_TRUE(loadBytes(tgaHeader(2, 1, 1, 24) + tBytes{1, 2, 3}, &one));
}

}  // namespace
