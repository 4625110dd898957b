#ifndef ROOTWEAVER_GRAPHICS_TIMAGELOADER_H
#define ROOTWEAVER_GRAPHICS_TIMAGELOADER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "File/tBinaryFile.h"
#include "graphics/tImage.h"
#include "graphics/tPixel.h"

// Pixel encodings of the image files, one enumeration per width; the values
// name the bits each pixel takes (33: 32 bits of which the last byte is
// ignored).
enum TPIXEL_ENCODING_16 { TPIXEL_X1R5G5B5 = 16 };
enum TPIXEL_ENCODING_24 { TPIXEL_R8G8B8 = 24 };
enum TPIXEL_ENCODING_32 { TPIXEL_A8R8G8B8 = 32, TPIXEL_X8R8G8B8 = 33 };

// Base of the image readers. A reader checks the file's header, reads the
// bytes it needs as whole blocks and decodes them from memory, where every
// access stays inside the block it read. It decodes into an image of its
// own and hands it over only when everything went well, so a failed load never
// touches the caller's image. The blocks come from the file, which is closed
// before load returns, or from the file's bytes already in memory; the reader
// cannot tell the two apart.
class tImageLoader {
 public:
  // Images with more pixels than this are refused before anything is
  // allocated: no picture of this program comes near it, and a hostile header
  // must not make the reader ask for gigabytes.
  static constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 28;

  virtual ~tImageLoader();
  // Reads the image file at path into image; false, with image untouched,
  // when the file cannot be read or holds no image this reader takes.
  bool load(const std::string& path, tImage* image);
  // The same for the bytes of an image file held in memory.
  bool loadFromMemory(const unsigned char* bytes, std::size_t size, tImage* image);

  static tPixel decodePixel(const unsigned char* bytes, TPIXEL_ENCODING_16 encoding);
  static tPixel decodePixel(const unsigned char* bytes, TPIXEL_ENCODING_24 encoding);
  static tPixel decodePixel(const unsigned char* bytes, TPIXEL_ENCODING_32 encoding);
  static tPixel decodeGrey(unsigned char grey) { return tPixel(grey, grey, grey, 255); }

  static unsigned int readUnsigned16(const unsigned char* bytes);
  static std::uint32_t readUnsigned32(const unsigned char* bytes);
  static void writeUnsigned16(unsigned char* bytes, unsigned int value);

 protected:
  tImageLoader() = default;

  // Decodes the image of the file being read into image, taking the file's
  // bytes only through readBlock.
  virtual bool readImage(tImage* image) = 0;
  // Appends count bytes of the file to bytes; false when the file ends first.
  // The block is read and the buffer grown a chunk at a time, so a header
  // that promises more than the file holds costs no more memory than the file.
  bool readBlock(std::vector<unsigned char>& bytes, std::uint64_t count);

 private:
  tBinaryFile imageFile_;                  // the file being read; closed between loads
  bool fromMemory_ = false;                // whether the bytes come from memory_, not the file
  const unsigned char* memory_ = nullptr;  // the file's bytes, during loadFromMemory
  std::size_t memorySize_ = 0;             // number of bytes at memory_
  std::size_t memoryRead_ = 0;             // bytes of memory_ handed out so far
};

#endif
