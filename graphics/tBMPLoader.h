#ifndef ROOTWEAVER_GRAPHICS_TBMPLOADER_H
#define ROOTWEAVER_GRAPHICS_TBMPLOADER_H

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/tImage.h"
#include "graphics/tImageLoader.h"

// Reads uncompressed BMP images: palettised at 1, 4 or 8 bits per pixel,
// direct colour at 16, 24 or 32, and 16 or 32 bits with explicit channel
// masks (BI_BITFIELDS). Run-length compressed files are refused.
//
// The reader follows the headers rather than assuming their sizes: it accepts
// the 40-, 108- and 124-byte information headers, takes the palette's length
// from the colours-used field, finds the pixels at the offset the file header
// gives and steps over the padding that brings every row to a multiple of four
// bytes. Files stored top-down (negative height) come out bottom row first,
// like the usual bottom-up ones, so row 0 is always the bottom of the picture.
// A picture without pixels (no width or no height) is refused.
class tBMPLoader : public tImageLoader {
 public:
  tBMPLoader() = default;
  tBMPLoader(const tBMPLoader&) = delete;
  tBMPLoader& operator=(const tBMPLoader&) = delete;

 private:
  bool readImage(tImage* image) override;

  // Fills palette_ from entries of four bytes each (blue, green, red, unused).
  void readPalette(const unsigned char* entries, unsigned int count, unsigned int bitsPerPixel);

  tImage palette_;  // colours of the last palettised image, 2^bits x 1; unused entries black
};

#endif
