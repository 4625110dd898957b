#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/tBMPLoader.h"
#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"

namespace {

// What goes into a hand-made BMP file; rows are stored as given, padding
// included.
struct tBMPFile {
  std::int32_t width = 0;
  std::int32_t height = 0;
  unsigned int bits = 24;
  tBytes rows;
  tBytes palette;  // four bytes per entry
  std::uint32_t colorsUsed = 0;
  std::uint32_t compression = 0;
  std::uint32_t infoSize = 40;
  std::vector<std::uint32_t> masks;  // after a 40-byte header, or inside a longer one
  unsigned int gap = 0;              // unused bytes between the palette and the pixels
  std::int64_t offsetChange = 0;     // added to the true pixel-data offset
  char type[2] = {'B', 'M'};

  tBytes bytes() const {
    tBytes info;
    appendLE32(info, infoSize);
    appendLE32(info, static_cast<std::uint32_t>(width));
    appendLE32(info, static_cast<std::uint32_t>(height));
    appendLE16(info, 1);
    appendLE16(info, bits);
    appendLE32(info, compression);
    appendLE32(info, static_cast<std::uint32_t>(rows.size()));
    appendLE32(info, 2835);
    appendLE32(info, 2835);
    appendLE32(info, colorsUsed);
    appendLE32(info, 0);
    if (infoSize > 40) {
      for (unsigned int i = 0; i < 4; ++i) appendLE32(info, i < masks.size() ? masks[i] : 0);
      info.resize(infoSize, 0);
    } else {
      for (std::uint32_t mask : masks) appendLE32(info, mask);
    }
    info.insert(info.end(), palette.begin(), palette.end());
    info.resize(info.size() + gap, 0);
    tBytes file = {static_cast<unsigned char>(type[0]), static_cast<unsigned char>(type[1])};
    appendLE32(file, static_cast<std::uint32_t>(14 + info.size() + rows.size()));
    appendLE32(file, 0);
    appendLE32(file, static_cast<std::uint32_t>(14 + info.size() + offsetChange));
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
  }
};

tBytes paletteOf(const std::vector<tPixel>& colors) {
  tBytes bytes;
  for (const tPixel& p : colors) bytes.insert(bytes.end(), {p[2], p[1], p[0], 0});
  return bytes;
}

// The 3 x 2 picture that most tests store: row 0 is the bottom row.
tImage threeByTwo() {
  tImage image(3, 2);
  image.setPixel(0, 0, tPixel(10, 20, 30, 255));
  image.setPixel(0, 1, tPixel(40, 50, 60, 255));
  image.setPixel(0, 2, tPixel(70, 80, 90, 255));
  image.setPixel(1, 0, tPixel(100, 110, 120, 255));
  image.setPixel(1, 1, tPixel(130, 140, 150, 255));
  image.setPixel(1, 2, tPixel(160, 170, 180, 255));
  return image;
}

// Bottom row first, each padded to 12 bytes.
const tBytes kRows24 = {30,  20,  10,  60,  50,  40,  90,  80,  70,  0, 0, 0,
                        120, 110, 100, 150, 140, 130, 180, 170, 160, 0, 0, 0};
const tBytes kRows24TopDown = {120, 110, 100, 150, 140, 130, 180, 170, 160, 0, 0, 0,
                               30,  20,  10,  60,  50,  40,  90,  80,  70,  0, 0, 0};

class tBMPLoaderTest : public ::testing::Test {
 protected:
  bool loadBytes(const tBytes& bytes, tImage* image) {
    std::string path = scratch_.path("in.bmp");
    writeFileBytes(path, bytes);
    return tBMPLoader::instance().load(path, image);
  }

  tScratchDir scratch_;
};

TEST_F(tBMPLoaderTest, ReadsPaddedRowsBottomUpAndTopDown) {
  tBMPFile file;
  file.width = 3;
  file.height = 2;
  file.rows = kRows24;
  tImage loaded;
  ASSERT_TRUE(loadBytes(file.bytes(), &loaded));
  EXPECT_TRUE(imagesEqual(threeByTwo(), loaded));

  file.height = -2;
  file.rows = kRows24TopDown;
  ASSERT_TRUE(loadBytes(file.bytes(), &loaded));
  EXPECT_TRUE(imagesEqual(threeByTwo(), loaded));

  // Longer information headers and a gap before the pixels.
  for (std::uint32_t infoSize : {108u, 124u}) {
    file.infoSize = infoSize;
    file.gap = 6;
    ASSERT_TRUE(loadBytes(file.bytes(), &loaded)) << infoSize;
    EXPECT_TRUE(imagesEqual(threeByTwo(), loaded)) << infoSize;
  }
}

TEST_F(tBMPLoaderTest, ReadsPalettisedImagesOfOneFourAndEightBits) {
  std::vector<tPixel> colors = {tPixel(0, 0, 0, 255),       tPixel(10, 20, 30, 255),
                                tPixel(40, 50, 60, 255),    tPixel(70, 80, 90, 255),
                                tPixel(100, 110, 120, 255), tPixel(130, 140, 150, 255),
                                tPixel(160, 170, 180, 255)};
  tImage loaded;

  // 4 bits, odd width: the last half-byte of each row is padding.
  tBMPFile four;
  four.width = 3;
  four.height = 2;
  four.bits = 4;
  four.colorsUsed = 7;
  four.palette = paletteOf(colors);
  four.rows = {0x12, 0x3F, 0, 0, 0x45, 0x6F, 0, 0};
  ASSERT_TRUE(loadBytes(four.bytes(), &loaded));
  EXPECT_TRUE(imagesEqual(threeByTwo(), loaded));

  // 8 bits with a short palette and a gap before the pixels.
  tBMPFile eight;
  eight.width = 3;
  eight.height = -2;
  eight.bits = 8;
  eight.colorsUsed = 7;
  eight.palette = paletteOf(colors);
  eight.gap = 10;
  eight.rows = {4, 5, 6, 0, 1, 2, 3, 0};
  ASSERT_TRUE(loadBytes(eight.bytes(), &loaded));
  EXPECT_TRUE(imagesEqual(threeByTwo(), loaded));

  // A full palette when colours-used is 0; an index past the stored entries
  // reads as black.
  eight.colorsUsed = 0;
  eight.palette = paletteOf(colors);
  eight.palette.resize(256 * 4, 0);
  eight.gap = 0;
  ASSERT_TRUE(loadBytes(eight.bytes(), &loaded));
  EXPECT_TRUE(imagesEqual(threeByTwo(), loaded));
  eight.colorsUsed = 2;
  eight.palette = paletteOf({colors[0], colors[1]});
  eight.height = 1;
  eight.width = 2;
  eight.rows = {1, 200, 0, 0};
  ASSERT_TRUE(loadBytes(eight.bytes(), &loaded));
  tImage expected(2, 1);
  expected.setPixel(0, 0, colors[1]);
  EXPECT_TRUE(imagesEqual(expected, loaded));

  // 1 bit, ten pixels: two bytes of bits and two of padding.
  tBMPFile one;
  one.width = 10;
  one.height = 1;
  one.bits = 1;
  one.palette = paletteOf({tPixel(1, 2, 3, 255), tPixel(250, 240, 230, 255)});
  one.rows = {0xA3, 0x40, 0, 0};
  ASSERT_TRUE(loadBytes(one.bytes(), &loaded));
  expected.reinitialize(10, 1);
  const char* bitsOfRow = "1010001101";
  for (int c = 0; c < 10; ++c) {
    expected.setPixel(0, c,
                      bitsOfRow[c] == '1' ? tPixel(250, 240, 230, 255) : tPixel(1, 2, 3, 255));
  }
  EXPECT_TRUE(imagesEqual(expected, loaded));
}

TEST_F(tBMPLoaderTest, ReadsSixteenAndThirtyTwoBitsWithAndWithoutMasks) {
  tImage loaded;
  tImage expected(2, 1);

  // Uncompressed 16 bits are x1r5g5b5; uncompressed 32 bits ignore the fourth byte.
  tBMPFile plain;
  plain.width = 2;
  plain.height = 1;
  plain.bits = 16;
  appendLE16(plain.rows, (31 << 10) | (1 << 5) | 16);
  appendLE16(plain.rows, 0x8000 | 31);
  ASSERT_TRUE(loadBytes(plain.bytes(), &loaded));
  expected.setPixel(0, 0, tPixel(248, 8, 128, 255));
  expected.setPixel(0, 1, tPixel(0, 0, 248, 255));
  EXPECT_TRUE(imagesEqual(expected, loaded));
  plain.bits = 32;
  plain.rows = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_TRUE(loadBytes(plain.bytes(), &loaded));
  expected.setPixel(0, 0, tPixel(3, 2, 1, 255));
  expected.setPixel(0, 1, tPixel(7, 6, 5, 255));
  EXPECT_TRUE(imagesEqual(expected, loaded));

  // r5g6b5 masks after a 40-byte header; short channels are scaled to 0 ... 255.
  tBMPFile rgb565;
  rgb565.width = 2;
  rgb565.height = 1;
  rgb565.bits = 16;
  rgb565.compression = 3;
  rgb565.masks = {0xF800, 0x07E0, 0x001F};
  appendLE16(rgb565.rows, (31 << 11) | (63 << 5));
  appendLE16(rgb565.rows, (16 << 11) | 1);
  ASSERT_TRUE(loadBytes(rgb565.bytes(), &loaded));
  expected.setPixel(0, 0, tPixel(255, 255, 0, 255));
  expected.setPixel(0, 1, tPixel(132, 0, 8, 255));
  EXPECT_TRUE(imagesEqual(expected, loaded));

  // Masks inside a version 5 header, with alpha.
  tBMPFile argb;
  argb.width = 2;
  argb.height = 1;
  argb.bits = 32;
  argb.compression = 3;
  argb.infoSize = 124;
  argb.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  argb.rows = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_TRUE(loadBytes(argb.bytes(), &loaded));
  expected.setPixel(0, 0, tPixel(3, 2, 1, 4));
  expected.setPixel(0, 1, tPixel(7, 6, 5, 8));
  EXPECT_TRUE(imagesEqual(expected, loaded));

  // Ten-bit channels keep their top eight bits; no alpha mask means opaque.
  argb.infoSize = 108;
  argb.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0};
  argb.rows.clear();
  appendLE32(argb.rows, (0x3FFu << 20) | (0x200u << 10) | 0x004);
  appendLE32(argb.rows, 0xC0000000u);
  ASSERT_TRUE(loadBytes(argb.bytes(), &loaded));
  expected.setPixel(0, 0, tPixel(255, 128, 1, 255));
  expected.setPixel(0, 1, tPixel(0, 0, 0, 255));
  EXPECT_TRUE(imagesEqual(expected, loaded));
}

TEST_F(tBMPLoaderTest, RejectionsLeaveTheTargetUntouched) {
  tBMPFile good;
  good.width = 3;
  good.height = 2;
  good.rows = kRows24;
  tImage check;
  ASSERT_TRUE(loadBytes(good.bytes(), &check));

  struct tRejectRow {
    const char* what;
    tBytes file;
  };
  std::vector<tRejectRow> rows;
  auto add = [&rows](const char* what, const tBMPFile& file) {
    rows.push_back({what, file.bytes()});
  };
  tBMPFile f = good;
  f.type[1] = 'A';
  add("type BA", f);
  for (std::uint32_t compression : {1u, 2u, 4u, 5u, 6u}) {
    f = good;
    f.compression = compression;
    add("compressed", f);
  }
  f = good;
  f.compression = 3;
  f.masks = {0xFF0000, 0xFF00, 0xFF};
  add("masks with 24 bits", f);
  for (unsigned int bits : {0u, 2u, 15u, 64u}) {
    f = good;
    f.bits = bits;
    add("unsupported depth", f);
  }
  for (std::uint32_t infoSize : {12u, 56u, 64u, 200u}) {
    f = good;
    f.infoSize = infoSize;
    add("unknown information header", f);
  }
  f = good;
  f.rows.pop_back();
  add("last row cut short", f);
  f = good;
  f.offsetChange = 1;
  add("offset past the data", f);
  f = good;
  f.bits = 8;
  f.palette.resize(1024, 0);
  f.offsetChange = -4;
  add("offset inside the palette", f);
  f = good;
  f.width = -3;
  add("negative width", f);
  f = good;
  f.width = 100000;
  f.height = 100000;
  add("absurdly large", f);
  f = good;
  f.width = 0x7FFFFFFF;
  f.height = static_cast<std::int32_t>(0x80000000u);
  add("overflowing sides", f);
  f = good;
  f.bits = 32;
  f.compression = 3;
  f.width = 2;
  f.masks = {0x00FF00FF, 0x0000FF00, 0x000000FF};
  add("mask with a hole", f);
  f.bits = 16;
  f.masks = {0x1F0000, 0x07E0, 0x001F};
  add("mask wider than 16 bits", f);
  tBytes whole = good.bytes();
  rows.push_back({"headers cut short", tBytes(whole.begin(), whole.begin() + 30)});
  rows.push_back({"empty file", tBytes()});

  for (const tRejectRow& row : rows) {
    tImage target = makePatternImage(3, 2);
    EXPECT_FALSE(loadBytes(row.file, &target)) << row.what;
    EXPECT_TRUE(imagesEqual(makePatternImage(3, 2), target)) << row.what;
  }
  tImage target = makePatternImage(3, 2);
  EXPECT_FALSE(tBMPLoader::instance().load(scratch_.path("missing.bmp"), &target));
  EXPECT_TRUE(imagesEqual(makePatternImage(3, 2), target));
}

}  // namespace
