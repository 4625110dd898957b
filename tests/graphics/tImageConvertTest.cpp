#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "graphics/tBMPLoader.h"
#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tTGALoader.h"

// Files written by ImageMagick's convert from known pictures, read back and
// compared pixel by pixel. Skipped where convert is not installed.

namespace {

// A picture given top row first, as netpbm files and viewers see it.
struct tKnownPicture {
  unsigned int width;
  unsigned int height;
  std::function<tPixel(unsigned int topRow, unsigned int column)> pixel;

  // The picture as the readers give it: row 0 is the bottom row.
  tImage asImage(bool keepAlpha) const {
    tImage image(width, height);
    for (unsigned int r = 0; r < height; ++r) {
      for (unsigned int c = 0; c < width; ++c) {
        tPixel p = pixel(height - 1 - r, c);
        if (!keepAlpha) p[3] = 255;
        image.setPixel(r, c, p);
      }
    }
    return image;
  }

  // P6 without alpha, P7 (PAM) with it.
  void writeNetpbm(const std::string& path, bool withAlpha) const {
    std::string head =
        withAlpha ? "P7\nWIDTH " + std::to_string(width) + "\nHEIGHT " + std::to_string(height) +
                        "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                  : "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    tBytes bytes(head.begin(), head.end());
    for (unsigned int r = 0; r < height; ++r) {
      for (unsigned int c = 0; c < width; ++c) {
        tPixel p = pixel(r, c);
        bytes.insert(bytes.end(), {p[0], p[1], p[2]});
        if (withAlpha) bytes.push_back(p[3]);
      }
    }
    writeFileBytes(path, bytes);
  }
};

unsigned char wrap(unsigned int value) { return static_cast<unsigned char>(value % 256); }

// 7 x 5 with 35 different colours and alpha.
const tKnownPicture kRich = {7, 5, [](unsigned int r, unsigned int c) {
                               return tPixel(wrap(37 * r + 11 * c), wrap(200 - 13 * c + 5 * r),
                                             wrap(17 * r * c + 3), wrap(255 - 30 * r - c));
                             }};
// 5 x 3 with six colours whose channels are 0 or 255.
const tKnownPicture kSix = {5, 3, [](unsigned int r, unsigned int c) {
                              const tPixel colors[6] = {
                                  tPixel(255, 0, 0, 255),   tPixel(0, 255, 0, 255),
                                  tPixel(0, 0, 255, 255),   tPixel(255, 255, 0, 255),
                                  tPixel(0, 255, 255, 255), tPixel(255, 255, 255, 255)};
                              return colors[(r * 5 + c) % 6];
                            }};
// 5 x 3 chequered in two colours.
const tKnownPicture kTwo = {5, 3, [](unsigned int r, unsigned int c) {
                              return (r + c) % 2 ? tPixel(255, 0, 255, 255)
                                                 : tPixel(0, 255, 0, 255);
                            }};
// 5 x 3 in fifteen greys.
const tKnownPicture kGrey = {5, 3, [](unsigned int r, unsigned int c) {
                               unsigned char g = wrap(40 * r + 50 * c + 7);
                               return tPixel(g, g, g, 255);
                             }};

enum tFormat { TGA, BMP };

struct tConvertRow {
  const char* what;
  const tKnownPicture* picture;
  bool sourceAlpha;       // whether convert gets the picture with alpha
  std::string arguments;  // between the source and the output
  std::string coder;      // convert's format prefix of the output path
  tFormat format;
  unsigned int bits;  // the depth convert is expected to choose
  tImage expected;
};

class tImageConvertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v convert > /dev/null 2>&1") != 0) {
      GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
  }

  // Writes the picture, converts it, and returns the output's path, or ""
  // when convert failed.
  std::string convert(const tConvertRow& row, const std::string& name) {
    std::string source = scratch_ / (name + (row.sourceAlpha ? ".pam" : ".ppm"));
    row.picture->writeNetpbm(source, row.sourceAlpha);
    std::string output = scratch_ / (name + (row.format == TGA ? ".tga" : ".bmp"));
    std::string command =
        "convert '" + source + "' " + row.arguments + " '" + row.coder + output + "'";
    return std::system(command.c_str()) == 0 ? output : "";
  }

  tScratchDirectory scratch_;
};

tImage flippedVertically(tImage image) {
  image.flipVertical();
  return image;
}

TEST_F(tImageConvertTest, ReadsWhatConvertWrites) {
  const std::vector<tConvertRow> rows = {
      {"24-bit BMP", &kRich, false, "", "BMP3:", BMP, 24, kRich.asImage(false)},
      {"32-bit BMP with alpha masks", &kRich, true, "", "BMP:", BMP, 32, kRich.asImage(true)},
      {"32-bit BMP without masks", &kRich, true, "-define bmp3:alpha=true", "BMP3:", BMP, 32,
       kRich.asImage(false)},
      {"8-bit BMP", &kRich, false, "-type Palette -compress None", "BMP3:", BMP, 8,
       kRich.asImage(false)},
      {"4-bit BMP", &kSix, false, "-type Palette -compress None", "BMP3:", BMP, 4,
       kSix.asImage(false)},
      {"1-bit BMP", &kTwo, false, "-type Palette -compress None", "BMP3:", BMP, 1,
       kTwo.asImage(false)},
      {"16-bit r5g6b5 BMP", &kSix, false, "-define bmp:subtype=RGB565", "BMP:", BMP, 16,
       kSix.asImage(false)},
      {"24-bit TGA, top-left", &kRich, false, "-orient TopLeft", "TGA:", TGA, 24,
       kRich.asImage(false)},
      {"24-bit TGA, top-left, run-length", &kRich, false, "-orient TopLeft -compress RLE",
       "TGA:", TGA, 24, kRich.asImage(false)},
      {"32-bit TGA, top-left", &kRich, true, "-orient TopLeft", "TGA:", TGA, 32,
       kRich.asImage(true)},
      {"32-bit TGA, top-left, run-length", &kRich, true, "-orient TopLeft -compress RLE",
       "TGA:", TGA, 32, kRich.asImage(true)},
      {"grey TGA, top-left", &kGrey, false, "-type Grayscale -orient TopLeft", "TGA:", TGA, 8,
       kGrey.asImage(false)},
      {"grey TGA, top-left, run-length", &kGrey, false,
       "-type Grayscale -orient TopLeft -compress RLE", "TGA:", TGA, 8, kGrey.asImage(false)},
      // Without -orient, convert keeps the source's rows in file order and
      // only marks the origin as bottom-left: the first source row is the
      // bottom one.
      {"24-bit TGA, bottom-left", &kRich, false, "", "TGA:", TGA, 24,
       flippedVertically(kRich.asImage(false))},
  };
  int index = 0;
  for (const tConvertRow& row : rows) {
    std::string path = convert(row, "picture" + std::to_string(index++));
    ASSERT_NE("", path) << row.what;
    tBytes bytes = readFileBytes(path);
    ASSERT_GT(bytes.size(), 30u) << row.what;
    unsigned int bits = row.format == TGA ? bytes[16] : bytes[28];
    ASSERT_EQ(row.bits, bits) << row.what;
    tImage loaded;
    bool read = row.format == TGA ? tTGALoader::instance().load(path, &loaded)
                                  : tBMPLoader::instance().load(path, &loaded);
    ASSERT_TRUE(read) << row.what;
    EXPECT_TRUE(imagesEqual(row.expected, loaded)) << row.what;
  }
}

}  // namespace
