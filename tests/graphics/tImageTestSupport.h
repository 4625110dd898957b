#ifndef ROOTWEAVER_TESTS_GRAPHICS_TIMAGETESTSUPPORT_H
#define ROOTWEAVER_TESTS_GRAPHICS_TIMAGETESTSUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "File/tFileTestSupport.h"
#include "graphics/tBMPLoader.h"
#include "graphics/tImage.h"
#include "graphics/tImageLoader.h"
#include "graphics/tPNGLoader.h"
#include "graphics/tPixel.h"
#include "graphics/tTGALoader.h"
#include "graphics/tTexture.h"

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

// Reads a PNG or BMP file by its extension, anything else as a TGA.
inline bool loadPicture(const std::string& path, tImage* image) {
  const std::string extension = path.substr(path.rfind('.') + 1);
  if (extension == "png") return tPNGLoader().load(path, image);
  if (extension == "bmp") return tBMPLoader().load(path, image);
  return tTGALoader().load(path, image);
}

// An image of the given size whose pixels are all different, for comparing
// whole images after a trip through a file.
inline tImage makePatternImage(unsigned int width, unsigned int height) {
  tImage image(width, height);
  for (unsigned int r = 0; r < height; ++r)
    for (unsigned int c = 0; c < width; ++c)
      image(r, c) = tPixel(
          static_cast<unsigned char>(40 * r + 3 * c), static_cast<unsigned char>(200 - 7 * c),
          static_cast<unsigned char>(r * c), static_cast<unsigned char>(255 - 20 * r - c));
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
    return ::testing::AssertionFailure() << "size " << actual.getWidth() << "x"
                                         << actual.getHeight() << ", expected "
                                         << expected.getWidth() << "x" << expected.getHeight();
  }
  for (unsigned int r = 0; r < expected.getHeight(); ++r)
    for (unsigned int c = 0; c < expected.getWidth(); ++c)
      if (expected.getPixel(r, c) != actual.getPixel(r, c))
        return ::testing::AssertionFailure()
               << "pixel (" << r << ", " << c << ") is " << ::testing::PrintToString(actual(r, c))
               << ", expected " << ::testing::PrintToString(expected(r, c));
  return ::testing::AssertionSuccess();
}

// The image with every alpha set to 255, as formats without alpha give it back.
inline tImage opaque(tImage image) {
  for (unsigned int r = 0; r < image.getHeight(); ++r)
    for (unsigned int c = 0; c < image.getWidth(); ++c) image(r, c)[3] = 255;
  return image;
}

// What goes into a hand-made BMP file; rows are stored as given, padding
// included.
struct tBMPFile {
  std::int32_t width;
  std::int32_t height;
  unsigned int bits;
  tBytes rows;
  tBytes palette = {};  // four bytes per entry
  std::uint32_t colorsUsed = 0;
  std::uint32_t compression = 0;
  std::uint32_t infoSize = 40;
  std::vector<std::uint32_t> masks = {};  // after a 40-byte header, or inside a longer one
  unsigned int gap = 0;              // unused bytes between the palette and the pixels
  std::int64_t offsetChange = 0;     // added to the true pixel-data offset
  char type[2] = {'B', 'M'};

  tBytes bytes() const {
    // The information header's fields; planes (1) and depth share one.
    tBytes info;
    for (std::uint32_t field : {infoSize, static_cast<std::uint32_t>(width),
                                static_cast<std::uint32_t>(height), 1u | (bits << 16), compression,
                                static_cast<std::uint32_t>(rows.size()), 2835u, 2835u, colorsUsed,
                                0u})
      appendLE32(info, field);
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

// Tests of one image reader, on files made in a scratch directory.
class tImageLoaderTest : public ::testing::Test {
 protected:
  explicit tImageLoaderTest(tImageLoader& reader) : reader_(reader) {}

  // Loads the bytes from a file, and from memory, which must give the same.
  bool loadBytes(const tBytes& bytes, tImage* image) {
    tImage fromMemory = image ? *image : tImage();
    bool inMemory =
        reader_.loadFromMemory(bytes.data(), bytes.size(), image ? &fromMemory : nullptr);
    writeFileBytes(scratch_ / "in.img", bytes);
    bool loaded = reader_.load(scratch_ / "in.img", image);
    EXPECT_EQ(loaded, inMemory);
    if (image) {
      EXPECT_TRUE(imagesEqual(*image, fromMemory));
    }
    return loaded;
  }
  ::testing::AssertionResult loadsAs(const tImage& expected, const tBytes& bytes) {
    tImage loaded;
    if (!loadBytes(bytes, &loaded)) return ::testing::AssertionFailure() << "not loaded";
    return imagesEqual(expected, loaded);
  }
  // Each file, and a missing one, is refused, and the image handed to the
  // reader stays as it was.
  void expectRefused(const std::vector<std::pair<std::string, tBytes>>& files) {
    for (const auto& [what, bytes] : files) {
      tImage target = makePatternImage(3, 2);
      EXPECT_FALSE(loadBytes(bytes, &target)) << what;
      EXPECT_TRUE(imagesEqual(makePatternImage(3, 2), target)) << what;
    }
    tImage target = makePatternImage(3, 2);
    EXPECT_FALSE(reader_.load(scratch_ / "missing.img", &target));
    EXPECT_TRUE(imagesEqual(makePatternImage(3, 2), target));
  }

  tImageLoader& reader_;
  tScratchDirectory scratch_;
};

// Stands in for the windowed program's uploader: records what it was asked
// and keeps the last image uploaded.
class tRecordingUploader : public tTexture::tUploader {
 public:
  unsigned int upload(const tImage& image, bool mipmaps) override {
    log_.push_back("upload " + std::to_string(image.getWidth()) + "x" +
                   std::to_string(image.getHeight()) + (mipmaps ? " mipmaps" : "") + " -> " +
                   std::to_string(nextName_));
    last_ = image;
    return nextName_++;
  }
  void release(unsigned int texID) override { log_.push_back("release " + std::to_string(texID)); }

  std::vector<std::string> log_;  // one line per call, in order
  unsigned int nextName_ = 7;     // name the next upload returns
  tImage last_;                   // the last image uploaded
};

#endif
