// The image readers and writers, on files made in a scratch directory.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "graphics/tBMPLoader.h"
#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tPNGLoader.h"
#include "graphics/tTGALoader.h"

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

// The tests of one reader.
template <class tLoader>
class tLoaderTest : public tImageLoaderTest {
 protected:
  tLoaderTest() : tImageLoaderTest(loader_) {}
  tLoader loader_;
};
using tBMPLoaderTest = tLoaderTest<tBMPLoader>;
using tPNGLoaderTest = tLoaderTest<tPNGLoader>;

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

class tTGALoaderTest : public tLoaderTest<tTGALoader> {
 protected:
  bool write(const std::string& name, tImage* image, unsigned int bits) {
    return tTGALoader().write(scratch_ / name, image, bits, false);
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

  // A compressed write fails and leaves no broken picture behind.
  EXPECT_FALSE(tTGALoader().write(scratch_ / "rle.tga", &image, 24, true));
  EXPECT_FALSE(std::filesystem::exists(scratch_ / "rle.tga"));
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

// The writer keeps the colours and drops the alpha; the reader gives back
// what it wrote, from a file and from memory. The files of other pictures
// are cross-checked with ImageMagick (tImageConvertTest).
TEST_F(tPNGLoaderTest, ReadsBackWhatItWrites) {
  for (const auto& [width, height] : std::vector<std::pair<unsigned, unsigned>>{{1, 1}, {5, 3}, {300, 2}}) {
    tImage image = makePatternImage(width, height);
    const std::string path = scratch_ / "round.png";
    ASSERT_TRUE(tPNGLoader().write(path, &image)) << width;
    EXPECT_TRUE(loadsAs(opaque(image), readFileBytes(path))) << width;
  }
  tImage empty;
  EXPECT_FALSE(tPNGLoader().write(scratch_ / "empty.png", &empty));
  tImage image = makePatternImage(2, 2);
  EXPECT_FALSE(tPNGLoader().write(scratch_ / "no/such/dir.png", &image));
}

// The tEXt chunks of a PNG file as libpng's own reader sees them.
tPNGLoader::tTexts textsOf(const std::string& path) {
  tPNGLoader::tTexts texts;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return texts;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_read_info(png, info);
    png_textp text = nullptr;
    const int count = png_get_text(png, info, &text, nullptr);
    for (int i = 0; i < count; ++i) texts.emplace_back(text[i].key, text[i].text);
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  return texts;
}

// Texts written as chunks read back in order through another reader, and
// leave the picture as it was.
TEST_F(tPNGLoaderTest, TextChunksReadBack) {
  const tImage image = makePatternImage(5, 3);
  const tPNGLoader::tTexts texts = {
      {"Software", "Rootweaver"}, {"_minX", "-0.74364388703715877"}, {"function", "\"/a b.func\""}};
  const std::string path = scratch_ / "texts.png";
  ASSERT_TRUE(tPNGLoader().write(path, &image, nullptr, texts));
  EXPECT_EQ(texts, textsOf(path));
  EXPECT_TRUE(loadsAs(opaque(image), readFileBytes(path)));
  ASSERT_TRUE(tPNGLoader().write(path, &image));
  EXPECT_TRUE(textsOf(path).empty());
}

// A file that is not a whole PNG is refused, the caller's image untouched.
TEST_F(tPNGLoaderTest, RefusesBrokenFiles) {
  tImage image = makePatternImage(4, 4);
  ASSERT_TRUE(tPNGLoader().write(scratch_ / "good.png", &image));
  const tBytes good = readFileBytes(scratch_ / "good.png");
  tBytes corrupt = good;
  corrupt[good.size() / 2] ^= 0xFF;  // a checksum no longer matches
  // 20000 x 20000 pixels, more than any reader takes, with the header's
  // checksum made right.
  tBytes huge = good;
  huge[18] = huge[22] = 0x4E;
  huge[19] = huge[23] = 0x20;
  const uLong crc = crc32(0, &huge[12], 17);
  for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
  expectRefused({{"empty", {}},
                 {"not a PNG", tBytes(20, 'x')},
                 {"signature only", tBytes(good.begin(), good.begin() + 8)},
                 {"cut in its header", tBytes(good.begin(), good.begin() + 20)},
                 {"cut before IEND", tBytes(good.begin(), good.end() - 12)},
                 {"corrupt", corrupt},
                 {"huge", huge}});
}

}  // namespace
