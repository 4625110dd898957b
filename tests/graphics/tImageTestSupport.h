#ifndef ROOTWEAVER_TESTS_GRAPHICS_TIMAGETESTSUPPORT_H
#define ROOTWEAVER_TESTS_GRAPHICS_TIMAGETESTSUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "File/tFileTestSupport.h"
#include "graphics/tImage.h"
#include "graphics/tPixel.h"

// A scratch directory whose files are named by path(name).
class tScratchDir : public tScratchDirectory {
 public:
  std::string path(const std::string& name) const { return *this / name; }
};

using tBytes = std::vector<unsigned char>;

inline tBytes readFileBytes(const std::string& path) {
  const std::string bytes = readRaw(path);
  return tBytes(bytes.begin(), bytes.end());
}

inline void writeFileBytes(const std::string& path, const tBytes& bytes) {
  writeRaw(path, std::string(bytes.begin(), bytes.end()));
}

inline void appendLE16(tBytes& bytes, unsigned int value) {
  bytes.push_back(static_cast<unsigned char>(value & 0xFF));
  bytes.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

inline void appendLE32(tBytes& bytes, std::uint32_t value) {
  appendLE16(bytes, value & 0xFFFF);
  appendLE16(bytes, value >> 16);
}

// An image of the given size whose pixels are all different, for comparing
// whole images after a trip through a file.
inline tImage makePatternImage(unsigned int width, unsigned int height) {
  tImage image(width, height);
  for (unsigned int r = 0; r < height; ++r) {
    for (unsigned int c = 0; c < width; ++c) {
      image.setPixelub(r, c, static_cast<unsigned char>(40 * r + 3 * c),
                       static_cast<unsigned char>(200 - 7 * c), static_cast<unsigned char>(r * c),
                       static_cast<unsigned char>(255 - 20 * r - c));
    }
  }
  return image;
}

// A picture of one row.
inline tImage oneRow(const std::vector<tPixel>& pixels) {
  tImage image(static_cast<unsigned int>(pixels.size()), 1);
  for (unsigned int c = 0; c < pixels.size(); ++c) image.setPixel(0, c, pixels[c]);
  return image;
}

// Whole-image comparison with a readable message on the first difference.
inline ::testing::AssertionResult imagesEqual(const tImage& expected, const tImage& actual) {
  if (expected.getWidth() != actual.getWidth() || expected.getHeight() != actual.getHeight()) {
    return ::testing::AssertionFailure()
           << "size " << actual.getWidth() << "x" << actual.getHeight() << ", expected "
           << expected.getWidth() << "x" << expected.getHeight();
  }
  for (unsigned int r = 0; r < expected.getHeight(); ++r) {
    for (unsigned int c = 0; c < expected.getWidth(); ++c) {
      tPixel e = expected.getPixel(r, c);
      tPixel a = actual.getPixel(r, c);
      if (e != a) {
        return ::testing::AssertionFailure()
               << "pixel (" << r << ", " << c << ") is (" << int(a[0]) << ", " << int(a[1]) << ", "
               << int(a[2]) << ", " << int(a[3]) << "), expected (" << int(e[0]) << ", "
               << int(e[1]) << ", " << int(e[2]) << ", " << int(e[3]) << ")";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// The image with every alpha set to 255, as formats without alpha give it back.
inline tImage opaque(tImage image) {
  for (unsigned int r = 0; r < image.getHeight(); ++r) {
    for (unsigned int c = 0; c < image.getWidth(); ++c) image.setPixelub(r, c, 255, 3);
  }
  return image;
}

#endif
