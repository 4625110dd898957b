#ifndef ROOTWEAVER_GRAPHICS_TTGALOADER_H
#define ROOTWEAVER_GRAPHICS_TTGALOADER_H

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/tImage.h"
#include "graphics/tImageLoader.h"

// Reads and writes TGA images: true-colour (types 2 and 10) and grey-scale
// (types 3 and 11), plain or run-length encoded, at 16, 24 or 32 bits per pixel
// and 8 for grey. Images with a colour map are refused.
//
// Whatever corner the file's descriptor names as its origin, the image comes
// out with row 0 at the bottom and column 0 at the left, the orientation the
// writer produces. A run-length packet may not run past the last pixel, and a
// file that ends early is refused; neither touches the caller's image.
class tTGALoader : public tImageLoader {
 public:
  tTGALoader() = default;
  tTGALoader(const tTGALoader&) = delete;
  tTGALoader& operator=(const tTGALoader&) = delete;

  // Writes the image uncompressed at 24 (blue, green, red) or 32 bits per
  // pixel (blue, green, red, alpha), rows from the bottom. The path must
  // contain ".tga" or ".TGA" and each side must fit the format's 16 bits;
  // otherwise, or for another depth, nothing is written. Compression is not
  // supported: asked for it, the writer writes nothing and fails. The file
  // is written whole or not at all (tFileWriter); error, when given, receives
  // the reason a write failed.
  bool write(const std::string& path, tImage* image, unsigned int bitsPerPixel, bool compressed,
             std::string* error = nullptr);

 private:
  bool readImage(tImage* image) override;

  // Expands run-length packets into bytes until it holds exactly pixels
  // pixels; false when a packet runs past the last pixel or the file ends.
  bool readRunLengthPixels(std::vector<unsigned char>& bytes, std::uint64_t pixels,
                           unsigned int bytesPerPixel);
  static void decodePixels(const std::vector<unsigned char>& bytes, unsigned int bitsPerPixel,
                           tImage* image);
  // Appends the pixels, bottom row first, as the file holds them.
  static void appendPixels(std::string& bytes, const tImage& image, unsigned int bitsPerPixel);
};

#endif
