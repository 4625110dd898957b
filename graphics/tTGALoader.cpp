#include "graphics/tTGALoader.h"

#include <cstdio>

#include "File/tFileWriter.h"

namespace {

const unsigned int kHeaderSize = 18;
const unsigned int kMaxSide = 65535;
// Image descriptor bits that move the origin to the right and to the top.
const unsigned int kRightOrigin = 0x10;
const unsigned int kTopOrigin = 0x20;

bool isRunLength(unsigned int imageType) { return imageType == 10 || imageType == 11; }

bool isReadable(unsigned int colorMapType, unsigned int imageType, unsigned int bitsPerPixel) {
  if (colorMapType == 1) return false;
  if (imageType != 2 && imageType != 3 && !isRunLength(imageType)) return false;
  if (bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32) return true;
  bool grey = imageType == 3 || imageType == 11;
  return grey && bitsPerPixel == 8;
}

bool hasTGAExtension(const std::string& path) {
  return path.find(".tga") != std::string::npos || path.find(".TGA") != std::string::npos;
}

}  // namespace

bool tTGALoader::readImage(tImage* image) {
  std::vector<unsigned char> header;
  if (!readBlock(header, kHeaderSize)) return false;
  unsigned int idLength = header[0];
  unsigned int imageType = header[2];
  unsigned int width = readUnsigned16(&header[12]);
  unsigned int height = readUnsigned16(&header[14]);
  unsigned int bitsPerPixel = header[16];
  unsigned int descriptor = header[17];
  if (!isReadable(header[1], imageType, bitsPerPixel)) return false;
  std::uint64_t pixels = std::uint64_t{width} * height;
  if (pixels > kMaxPixels) return false;

  std::vector<unsigned char> identification;
  if (!readBlock(identification, idLength)) return false;
  unsigned int bytesPerPixel = bitsPerPixel / 8;
  std::vector<unsigned char> bytes;
  bool complete = isRunLength(imageType) ? readRunLengthPixels(bytes, pixels, bytesPerPixel)
                                         : readBlock(bytes, pixels * bytesPerPixel);
  if (!complete) return false;

  tImage decoded(width, height);
  decodePixels(bytes, bitsPerPixel, &decoded);
  if (descriptor & kTopOrigin) decoded.flipVertical();
  if (descriptor & kRightOrigin) decoded.flipHorizontal();
  image->swap(decoded);
  return true;
}

// packet -> count-1 (7 bits) with the top bit set: one pixel repeated count
// times; top bit clear: count pixels as they are.
bool tTGALoader::readRunLengthPixels(std::vector<unsigned char>& bytes, std::uint64_t pixels,
                                     unsigned int bytesPerPixel) {
  std::vector<unsigned char> packet;
  for (std::uint64_t filled = 0; filled < pixels;) {
    packet.clear();
    if (!readBlock(packet, 1)) return false;
    unsigned int count = (packet[0] & 127) + 1;
    if (count > pixels - filled) return false;
    if (packet[0] & 128) {
      if (!readBlock(packet, bytesPerPixel)) return false;
      for (unsigned int i = 0; i < count; ++i) {
        bytes.insert(bytes.end(), packet.begin() + 1, packet.end());
      }
    } else if (!readBlock(bytes, std::uint64_t{count} * bytesPerPixel)) {
      return false;
    }
    filled += count;
  }
  return true;
}

void tTGALoader::decodePixels(const std::vector<unsigned char>& bytes, unsigned int bitsPerPixel,
                              tImage* image) {
  tPixel* pixels = image->getPixelData();
  std::size_t count = std::size_t{image->getWidth()} * image->getHeight();
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* source = &bytes[i * (bitsPerPixel / 8)];
    switch (bitsPerPixel) {
      case 8:
        pixels[i] = decodeGrey(source[0]);
        break;
      case 16:
        pixels[i] = decodePixel(source, TPIXEL_X1R5G5B5);
        break;
      case 24:
        pixels[i] = decodePixel(source, TPIXEL_R8G8B8);
        break;
      default:
        pixels[i] = decodePixel(source, TPIXEL_A8R8G8B8);
        break;
    }
  }
}

bool tTGALoader::write(const std::string& path, tImage* image, unsigned int bitsPerPixel,
                       bool compressed, std::string* error) {
  std::string bytes;
  if (image == nullptr || !hasTGAExtension(path) || compressed) return false;
  if (image->getWidth() > kMaxSide || image->getHeight() > kMaxSide) return false;
  if (bitsPerPixel != 24 && bitsPerPixel != 32) return false;
  unsigned char header[kHeaderSize] = {};
  header[2] = 2;
  writeUnsigned16(&header[12], image->getWidth());
  writeUnsigned16(&header[14], image->getHeight());
  header[16] = static_cast<unsigned char>(bitsPerPixel);
  header[17] = 8;  // eight attribute bits at either depth, origin bottom-left
  bytes.assign(reinterpret_cast<const char*>(header), kHeaderSize);
  appendPixels(bytes, *image, bitsPerPixel);
  std::string failure;
  if (tFileWriter::writeWhole(path, bytes, failure)) return true;
  if (error) *error = failure;
  return false;
}

void tTGALoader::appendPixels(std::string& bytes, const tImage& image, unsigned int bitsPerPixel) {
  const tPixel* pixels = image.getPixelData();
  const std::size_t count = std::size_t{image.getWidth()} * image.getHeight();
  const std::size_t size = bitsPerPixel / 8;
  const std::size_t start = bytes.size();
  bytes.resize(start + count * size);
  char* out = &bytes[start];
  for (std::size_t i = 0; i < count; ++i, out += size) {
    const tPixel& p = pixels[i];
    out[0] = static_cast<char>(p[2]);
    out[1] = static_cast<char>(p[1]);
    out[2] = static_cast<char>(p[0]);
    if (size == 4) out[3] = static_cast<char>(p[3]);
  }
}
