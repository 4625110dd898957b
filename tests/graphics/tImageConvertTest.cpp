#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "graphics/tImageTestSupport.h"

// Files written by ImageMagick's convert from known pictures read back whole,
// and a PNG written here read by convert. Skipped without convert.

namespace {

// A picture given top row first, as netpbm files and viewers see it.
struct tKnownPicture {
  unsigned int width;
  unsigned int height;
  std::function<tPixel(unsigned int topRow, unsigned int column)> pixel;

  // The picture as the readers give it: row 0 is the bottom row, unless the
  // file keeps the rows in the source's order.
  tImage asImage(bool keepAlpha, bool sourceOrder) const {
    tImage image(width, height);
    for (unsigned int r = 0; r < height; ++r) {
      for (unsigned int c = 0; c < width; ++c) {
        tPixel p = pixel(sourceOrder ? r : height - 1 - r, c);
        if (!keepAlpha) p[3] = 255;
        image.setPixel(r, c, p);
      }
    }
    return image;
  }

  // A PAM file, with or without alpha.
  void writePAM(const std::string& path, bool withAlpha) const {
    std::string bytes = "P7\nWIDTH " + std::to_string(width) + "\nHEIGHT " +
                        std::to_string(height) + (withAlpha ? "\nDEPTH 4" : "\nDEPTH 3") +
                        "\nMAXVAL 255\nTUPLTYPE " + (withAlpha ? "RGB_ALPHA" : "RGB") +
                        "\nENDHDR\n";
    const tImage image = asImage(withAlpha, true);
    for (unsigned int k = 0; k < width * height; ++k)
      bytes.append(reinterpret_cast<const char*>(image.getRawData() + 4 * k), withAlpha ? 4 : 3);
    writeRaw(path, bytes);
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

struct tConvertRow {
  const tKnownPicture* picture;
  bool sourceAlpha;       // whether convert gets the picture with alpha
  std::string arguments;  // between the source and the output
  std::string coder;      // convert's name of the output format: BMP, BMP3, TGA, PNG or PNG48
  unsigned int bits;      // the depth convert is expected to choose (per channel in a PNG)
  bool alphaRead;         // whether the reader gives back the alpha
};

bool convertInstalled() { return std::system("command -v convert > /dev/null 2>&1") == 0; }

// Where each format keeps the depth: the TGA header, the BMP information
// header, the PNG's IHDR chunk.
std::size_t depthOffset(const std::string& coder) {
  if (coder == "TGA") return 16;
  if (coder.compare(0, 3, "PNG") == 0) return 24;
  return 28;
}

TEST(tImageConvertTest, ReadsWhatConvertWrites) {
  if (!convertInstalled()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  // Without -orient, convert keeps the source's rows in file order and only
  // marks the origin as bottom-left: the first source row is the bottom one.
  const std::string topLeft = "-orient TopLeft ";
  const std::string palette = "-type Palette -compress None";
  const tConvertRow rows[] = {
      {&kRich, false, "", "BMP3", 24, false},
      {&kRich, true, "", "BMP", 32, true},
      {&kRich, true, "-define bmp3:alpha=true", "BMP3", 32, false},
      {&kRich, false, palette, "BMP3", 8, false},
      {&kSix, false, palette, "BMP3", 4, false},
      {&kTwo, false, palette, "BMP3", 1, false},
      {&kSix, false, "-define bmp:subtype=RGB565", "BMP", 16, false},
      {&kRich, false, topLeft, "TGA", 24, false},
      {&kRich, false, topLeft + "-compress RLE", "TGA", 24, false},
      {&kRich, true, topLeft, "TGA", 32, true},
      {&kRich, true, topLeft + "-compress RLE", "TGA", 32, true},
      {&kGrey, false, topLeft + "-type Grayscale", "TGA", 8, false},
      {&kGrey, false, topLeft + "-type Grayscale -compress RLE", "TGA", 8, false},
      {&kRich, false, "", "TGA", 24, false},
      {&kRich, false, "", "PNG", 8, false},
      {&kRich, true, "", "PNG", 8, true},
      {&kRich, false, "", "PNG48", 16, false},
      {&kGrey, false, "-type Grayscale", "PNG", 8, false},
      {&kSix, false, "-type Palette", "PNG", 4, false},
  };
  tScratchDirectory scratch;
  for (const tConvertRow& row : rows) {
    const std::string what = row.arguments + " " + row.coder;
    const bool tga = row.coder == "TGA";
    const bool png = row.coder.compare(0, 3, "PNG") == 0;
    const std::string source = scratch / "source.pam";
    const std::string path = scratch / (tga ? "p.tga" : png ? "p.png" : "p.bmp");
    row.picture->writePAM(source, row.sourceAlpha);
    const std::string command =
        "convert '" + source + "' " + row.arguments + " '" + row.coder + ":" + path + "'";
    ASSERT_EQ(0, std::system(command.c_str())) << what;
    const tBytes bytes = readFileBytes(path);
    ASSERT_GT(bytes.size(), 30u) << what;
    ASSERT_EQ(row.bits, bytes[depthOffset(row.coder)]) << what;
    tImage loaded;
    ASSERT_TRUE(loadPicture(path, &loaded)) << what;
    const bool sourceOrder = tga && row.arguments.find("TopLeft") == std::string::npos;
    EXPECT_TRUE(imagesEqual(row.picture->asImage(row.alphaRead, sourceOrder), loaded)) << what;
  }
}

// A PNG written here shows the picture as it is seen, top row first, in
// 24-bit RGB without its alpha.
TEST(tImageConvertTest, ConvertReadsWhatThePNGWriterWrites) {
  if (!convertInstalled()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  tScratchDirectory scratch;
  tImage image = kRich.asImage(true, false);
  ASSERT_TRUE(tPNGLoader().write(scratch / "p.png", &image));
  const tBytes png = readFileBytes(scratch / "p.png");
  ASSERT_GT(png.size(), 26u);
  EXPECT_EQ(8, png[24]);  // bits per channel
  EXPECT_EQ(2, png[25]);  // colour type RGB
  const std::string convert = "cd '" + (scratch / "") + "' && convert p.png -depth 8 pam:p.pam";
  ASSERT_EQ(0, std::system(convert.c_str()));
  kRich.writePAM(scratch / "expected.pam", false);
  EXPECT_EQ(readRaw(scratch / "expected.pam"), readRaw(scratch / "p.pam"));
}

}  // namespace
