#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphics/tBMPLoader.h"
#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"

namespace {

tBytes paletteOf(const std::vector<tPixel>& colors) {
  tBytes bytes;
  for (const tPixel& p : colors) bytes.insert(bytes.end(), {p[2], p[1], p[0], 0});
  return bytes;
}

tBytes words16(std::initializer_list<unsigned int> words) {
  tBytes bytes;
  for (unsigned int w : words) appendLE16(bytes, w);
  return bytes;
}

// The 3 x 2 picture that most tests store: row 0 is the bottom row.
const std::vector<tPixel> kColors = {tPixel(0, 0, 0, 255),       tPixel(10, 20, 30, 255),
                                     tPixel(40, 50, 60, 255),    tPixel(70, 80, 90, 255),
                                     tPixel(100, 110, 120, 255), tPixel(130, 140, 150, 255),
                                     tPixel(160, 170, 180, 255)};
tImage threeByTwo() {
  tImage image(3, 2);
  for (unsigned int i = 0; i < 6; ++i) image.setPixel(i / 3, i % 3, kColors[i + 1]);
  return image;
}

// Bottom row first, each padded to 12 bytes.
const tBytes kRows24 = {30,  20,  10,  60,  50,  40,  90,  80,  70,  0, 0, 0,
                        120, 110, 100, 150, 140, 130, 180, 170, 160, 0, 0, 0};

class tBMPLoaderTest : public tImageLoaderTest {
 protected:
  tBMPLoaderTest() : tImageLoaderTest(tBMPLoader::instance()) {}
};

TEST_F(tBMPLoaderTest, ReadsPaddedRowsBottomUpAndTopDown) {
  EXPECT_TRUE(loadsAs(threeByTwo(), tBMPFile{3, 2, 24, kRows24}.bytes()));
  // Top-down, after a version 5 header and a gap before the pixels.
  tBMPFile file{3, -2, 24, tBytes(kRows24.begin() + 12, kRows24.end())};
  file.rows.insert(file.rows.end(), kRows24.begin(), kRows24.begin() + 12);
  file.gap = 6;
  file.infoSize = 124;
  EXPECT_TRUE(loadsAs(threeByTwo(), file.bytes()));
}

TEST_F(tBMPLoaderTest, ReadsPalettisedImagesOfOneFourAndEightBits) {
  // 4 bits, odd width: the last half-byte of each row is padding.
  EXPECT_TRUE(loadsAs(
      threeByTwo(),
      tBMPFile{3, 2, 4, {0x12, 0x3F, 0, 0, 0x45, 0x6F, 0, 0}, paletteOf(kColors), 7}.bytes()));
  // 8 bits with a full palette when colours-used is 0.
  tBMPFile eight{3, -2, 8, {4, 5, 6, 0, 1, 2, 3, 0}, paletteOf(kColors)};
  eight.palette.resize(256 * 4, 0);
  EXPECT_TRUE(loadsAs(threeByTwo(), eight.bytes()));
  // An index past the stored entries reads as black.
  EXPECT_TRUE(
      loadsAs(oneRow({kColors[1], tPixel(0, 0, 0, 255)}),
              tBMPFile{2, 1, 8, {1, 200, 0, 0}, paletteOf({kColors[0], kColors[1]}), 2}.bytes()));

  // 1 bit, ten pixels: two bytes of bits and two of padding.
  const tPixel off(1, 2, 3, 255), on(250, 240, 230, 255);
  EXPECT_TRUE(loadsAs(oneRow({on, off, on, off, off, off, on, on, off, on}),
                      tBMPFile{10, 1, 1, {0xA3, 0x40, 0, 0}, paletteOf({off, on})}.bytes()));
}

TEST_F(tBMPLoaderTest, ReadsSixteenAndThirtyTwoBitsWithAndWithoutMasks) {
  // Uncompressed 16 bits are x1r5g5b5; uncompressed 32 bits ignore the fourth byte.
  EXPECT_TRUE(loadsAs(oneRow({tPixel(248, 8, 128, 255), tPixel(0, 0, 248, 255)}),
                      tBMPFile{2, 1, 16, words16({(31 << 10) | (1 << 5) | 16, 0x8000 | 31})}
                          .bytes()));
  EXPECT_TRUE(loadsAs(oneRow({tPixel(3, 2, 1, 255), tPixel(7, 6, 5, 255)}),
                      tBMPFile{2, 1, 32, {1, 2, 3, 4, 5, 6, 7, 8}}.bytes()));

  // r5g6b5 masks after a 40-byte header; short channels are scaled to 0 ... 255.
  tBMPFile masked{2, 1, 16, words16({(31 << 11) | (63 << 5), (16 << 11) | 1})};
  masked.compression = 3;
  masked.masks = {0xF800, 0x07E0, 0x001F};
  EXPECT_TRUE(loadsAs(oneRow({tPixel(255, 255, 0, 255), tPixel(132, 0, 8, 255)}), masked.bytes()));

  // Masks inside a version 4 header, with alpha.
  masked.bits = 32;
  masked.infoSize = 108;
  masked.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  masked.rows = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_TRUE(loadsAs(oneRow({tPixel(3, 2, 1, 4), tPixel(7, 6, 5, 8)}), masked.bytes()));

  // Ten-bit channels keep their top eight bits; no alpha mask means opaque.
  masked.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0};
  masked.rows.clear();
  appendLE32(masked.rows, (0x3FFu << 20) | (0x200u << 10) | 0x004);
  appendLE32(masked.rows, 0xC0000000u);
  EXPECT_TRUE(loadsAs(oneRow({tPixel(255, 128, 1, 255), tPixel(0, 0, 0, 255)}), masked.bytes()));
}

TEST_F(tBMPLoaderTest, RejectionsLeaveTheTargetUntouched) {
  const tBMPFile good{3, 2, 24, kRows24};
  std::vector<std::pair<std::string, tBytes>> files;
  auto add = [&files, &good](const char* what, const std::function<void(tBMPFile&)>& change) {
    tBMPFile f = good;
    change(f);
    files.emplace_back(what, f.bytes());
  };
  add("type BA", [](tBMPFile& f) { f.type[1] = 'A'; });
  add("compressed", [](tBMPFile& f) { f.compression = 1; });
  add("masks with 24 bits",
      [](tBMPFile& f) { f.compression = 3; f.masks = {0xFF0000, 0xFF00, 0xFF}; });
  add("unsupported depth", [](tBMPFile& f) { f.bits = 15; });
  add("unknown information header", [](tBMPFile& f) { f.infoSize = 12; });
  add("longer information header", [](tBMPFile& f) { f.infoSize = 200; });
  add("last row cut short", [](tBMPFile& f) { f.rows.pop_back(); });
  add("offset past the data", [](tBMPFile& f) { f.offsetChange = 1; });
  add("offset inside the palette",
      [](tBMPFile& f) { f.bits = 8; f.palette.resize(1024, 0); f.offsetChange = -4; });
  add("negative width", [](tBMPFile& f) { f.width = -3; });
  add("absurdly large", [](tBMPFile& f) { f.width = f.height = 100000; });
  add("overflowing sides", [](tBMPFile& f) { f.width = INT32_MAX; f.height = INT32_MIN; });
  add("no width, endless rows",
      [](tBMPFile& f) { f.width = 0; f.height = INT32_MAX; f.rows = {}; });
  add("no rows", [](tBMPFile& f) { f.height = 0; f.rows = {}; });
  // 32 bits: a mask with a hole; 16 bits: a mask wider than the pixel.
  for (unsigned int bits : {32u, 16u}) {
    add("bad mask", [=](tBMPFile& f) {
      f.bits = bits; f.compression = 3; f.width = 2;
      f.masks = {bits == 32 ? 0x00FF00FFu : 0x1F0000u, 0x07E0, 0x001F};
    });
  }
  const tBytes whole = good.bytes();
  files.emplace_back("headers cut short", tBytes(whole.begin(), whole.begin() + 30));
  files.emplace_back("empty file", tBytes());
  expectRefused(files);
}

}  // namespace
