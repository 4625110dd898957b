#ifndef ROOTWEAVER_GRAPHICS_TPNGLOADER_H
#define ROOTWEAVER_GRAPHICS_TPNGLOADER_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "graphics/tImage.h"
#include "graphics/tImageLoader.h"

// Reads and writes PNG images through libpng's simplified interface, which
// handles its own errors: no longjmp crosses this code.
//
// A PNG stores its top row first, while an image keeps the bottom row as row
// 0; both directions turn the rows over, so a picture reads and looks the same
// in a PNG as in a TGA. The reader takes the file chunk by chunk (signature,
// then length, type, data and checksum of each chunk up to IEND) through the
// loader's block reads and decodes the bytes in memory; any colour type and
// depth comes out as 8-bit RGBA. The writer writes 24-bit RGB, alpha
// dropped.
class tPNGLoader : public tImageLoader {
 public:
  tPNGLoader() = default;
  tPNGLoader(const tPNGLoader&) = delete;
  tPNGLoader& operator=(const tPNGLoader&) = delete;

  // (keyword, text) pairs of tEXt chunks.
  using tTexts = std::vector<std::pair<std::string, std::string>>;

  // Writes the image as 8-bit RGB, whole or not at all (tFileWriter); false
  // when the image is empty or the file cannot be written, with the reason
  // in error when it is given. Each of `texts` becomes a tEXt chunk after
  // the header, in order; a keyword must be 1 to 79 printable Latin-1
  // characters and a text hold no NUL byte, as the format asks.
  bool write(const std::string& path, const tImage* image, std::string* error = nullptr,
             const tTexts& texts = {});
  // The bytes of the PNG file that write would write without texts; false
  // when the image is empty or cannot be encoded.
  static bool encode(const tImage& image, std::string& bytes);

 private:
  bool readImage(tImage* image) override;

  // Reads the signature and every chunk up to IEND into bytes; false when
  // the file is no PNG or ends first.
  bool readChunks(std::vector<unsigned char>& bytes);
  // The image's pixels as RGB bytes, its bottom row first.
  static std::vector<unsigned char> rgbBytes(const tImage& image);
  // The encoded file with the texts' chunks put after its header chunk.
  static std::string withTexts(const std::string& bytes, const tTexts& texts);
};

#endif
