#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
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

tBMPFile bmp(std::int32_t width, std::int32_t height, unsigned int bits, const tBytes& rows,
             const tBytes& palette = {}, std::uint32_t colorsUsed = 0) {
  tBMPFile file;
  file.width = width;
  file.height = height;
  file.bits = bits;
  file.rows = rows;
  file.palette = palette;
  file.colorsUsed = colorsUsed;
  return file;
}

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
const tBytes kRows24TopDown = {120, 110, 100, 150, 140, 130, 180, 170, 160, 0, 0, 0,
                               30,  20,  10,  60,  50,  40,  90,  80,  70,  0, 0, 0};

class tBMPLoaderTest : public ::testing::Test {
 protected:
  bool loadBytes(const tBytes& bytes, tImage* image) {
    writeFileBytes(scratch_ / "in.bmp", bytes);
    return tBMPLoader::instance().load(scratch_ / "in.bmp", image);
  }
  ::testing::AssertionResult loadsAs(const tImage& expected, const tBMPFile& file) {
    tImage loaded;
    if (!loadBytes(file.bytes(), &loaded)) return ::testing::AssertionFailure() << "not loaded";
    return imagesEqual(expected, loaded);
  }

  tScratchDirectory scratch_;
};

TEST_F(tBMPLoaderTest, ReadsPaddedRowsBottomUpAndTopDown) {
  EXPECT_TRUE(loadsAs(threeByTwo(), bmp(3, 2, 24, kRows24)));
  tBMPFile file = bmp(3, -2, 24, kRows24TopDown);
  EXPECT_TRUE(loadsAs(threeByTwo(), file));
  // Longer information headers and a gap before the pixels.
  file.gap = 6;
  for (std::uint32_t infoSize : {108u, 124u}) {
    file.infoSize = infoSize;
    EXPECT_TRUE(loadsAs(threeByTwo(), file)) << infoSize;
  }
}

TEST_F(tBMPLoaderTest, ReadsPalettisedImagesOfOneFourAndEightBits) {
  // 4 bits, odd width: the last half-byte of each row is padding.
  EXPECT_TRUE(loadsAs(threeByTwo(), bmp(3, 2, 4, {0x12, 0x3F, 0, 0, 0x45, 0x6F, 0, 0},
                                         paletteOf(kColors), 7)));
  // 8 bits with a short palette and a gap before the pixels.
  tBMPFile eight = bmp(3, -2, 8, {4, 5, 6, 0, 1, 2, 3, 0}, paletteOf(kColors), 7);
  eight.gap = 10;
  EXPECT_TRUE(loadsAs(threeByTwo(), eight));
  // A full palette when colours-used is 0; an index past the stored entries
  // reads as black.
  eight.colorsUsed = 0;
  eight.palette.resize(256 * 4, 0);
  eight.gap = 0;
  EXPECT_TRUE(loadsAs(threeByTwo(), eight));
  EXPECT_TRUE(loadsAs(oneRow({kColors[1], tPixel(0, 0, 0, 255)}),
                      bmp(2, 1, 8, {1, 200, 0, 0}, paletteOf({kColors[0], kColors[1]}), 2)));

  // 1 bit, ten pixels: two bytes of bits and two of padding.
  const tPixel off(1, 2, 3, 255), on(250, 240, 230, 255);
  EXPECT_TRUE(loadsAs(oneRow({on, off, on, off, off, off, on, on, off, on}),
                      bmp(10, 1, 1, {0xA3, 0x40, 0, 0}, paletteOf({off, on}))));
}

TEST_F(tBMPLoaderTest, ReadsSixteenAndThirtyTwoBitsWithAndWithoutMasks) {
  // Uncompressed 16 bits are x1r5g5b5; uncompressed 32 bits ignore the fourth byte.
  EXPECT_TRUE(loadsAs(oneRow({tPixel(248, 8, 128, 255), tPixel(0, 0, 248, 255)}),
                      bmp(2, 1, 16, words16({(31 << 10) | (1 << 5) | 16, 0x8000 | 31}))));
  EXPECT_TRUE(loadsAs(oneRow({tPixel(3, 2, 1, 255), tPixel(7, 6, 5, 255)}),
                      bmp(2, 1, 32, {1, 2, 3, 4, 5, 6, 7, 8})));

  // r5g6b5 masks after a 40-byte header; short channels are scaled to 0 ... 255.
  tBMPFile masked = bmp(2, 1, 16, words16({(31 << 11) | (63 << 5), (16 << 11) | 1}));
  masked.compression = 3;
  masked.masks = {0xF800, 0x07E0, 0x001F};
  EXPECT_TRUE(loadsAs(oneRow({tPixel(255, 255, 0, 255), tPixel(132, 0, 8, 255)}), masked));

  // Masks inside a version 5 header, with alpha.
  masked.bits = 32;
  masked.infoSize = 124;
  masked.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  masked.rows = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_TRUE(loadsAs(oneRow({tPixel(3, 2, 1, 4), tPixel(7, 6, 5, 8)}), masked));

  // Ten-bit channels keep their top eight bits; no alpha mask means opaque.
  masked.infoSize = 108;
  masked.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0};
  masked.rows.clear();
  appendLE32(masked.rows, (0x3FFu << 20) | (0x200u << 10) | 0x004);
  appendLE32(masked.rows, 0xC0000000u);
  EXPECT_TRUE(loadsAs(oneRow({tPixel(255, 128, 1, 255), tPixel(0, 0, 0, 255)}), masked));
}

TEST_F(tBMPLoaderTest, RejectionsLeaveTheTargetUntouched) {
  const tBMPFile good = bmp(3, 2, 24, kRows24);
  ASSERT_TRUE(loadsAs(threeByTwo(), good));
  std::vector<std::pair<const char*, tBytes>> rows;
  auto add = [&rows, &good](const char* what, const std::function<void(tBMPFile&)>& change) {
    tBMPFile f = good;
    change(f);
    rows.emplace_back(what, f.bytes());
  };
  add("type BA", [](tBMPFile& f) { f.type[1] = 'A'; });
  for (std::uint32_t compression : {1u, 2u, 4u, 5u, 6u})
    add("compressed", [=](tBMPFile& f) { f.compression = compression; });
  add("masks with 24 bits", [](tBMPFile& f) {
    f.compression = 3;
    f.masks = {0xFF0000, 0xFF00, 0xFF};
  });
  for (unsigned int bits : {0u, 2u, 15u, 64u})
    add("unsupported depth", [=](tBMPFile& f) { f.bits = bits; });
  for (std::uint32_t infoSize : {12u, 56u, 64u, 200u})
    add("unknown information header", [=](tBMPFile& f) { f.infoSize = infoSize; });
  add("last row cut short", [](tBMPFile& f) { f.rows.pop_back(); });
  add("offset past the data", [](tBMPFile& f) { f.offsetChange = 1; });
  add("offset inside the palette", [](tBMPFile& f) {
    f.bits = 8;
    f.palette.resize(1024, 0);
    f.offsetChange = -4;
  });
  add("negative width", [](tBMPFile& f) { f.width = -3; });
  add("absurdly large", [](tBMPFile& f) { f.width = f.height = 100000; });
  add("overflowing sides", [](tBMPFile& f) {
    f.width = 0x7FFFFFFF;
    f.height = static_cast<std::int32_t>(0x80000000u);
  });
  add("mask with a hole", [](tBMPFile& f) {
    f.bits = 32;
    f.compression = 3;
    f.width = 2;
    f.masks = {0x00FF00FF, 0x0000FF00, 0x000000FF};
  });
  add("mask wider than 16 bits", [](tBMPFile& f) {
    f.bits = 16;
    f.compression = 3;
    f.width = 2;
    f.masks = {0x1F0000, 0x07E0, 0x001F};
  });
  const tBytes whole = good.bytes();
  rows.emplace_back("headers cut short", tBytes(whole.begin(), whole.begin() + 30));
  rows.emplace_back("empty file", tBytes());

  for (const auto& [what, file] : rows) {
    tImage target = makePatternImage(3, 2);
    EXPECT_FALSE(loadBytes(file, &target)) << what;
    EXPECT_TRUE(imagesEqual(makePatternImage(3, 2), target)) << what;
  }
  tImage target = makePatternImage(3, 2);
  EXPECT_FALSE(tBMPLoader::instance().load(scratch_ / "missing.bmp", &target));
  EXPECT_TRUE(imagesEqual(makePatternImage(3, 2), target));
}

}  // namespace
