#include "graphics/tImageLoader.h"

#include <algorithm>

namespace {

// Largest block handed to one read.
const std::uint64_t kReadChunk = std::uint64_t{1} << 20;

}  // namespace

tImageLoader::~tImageLoader() = default;

bool tImageLoader::load(const std::string& path, tImage* image) {
  if (image == nullptr || !imageFile_.open(path)) return false;
  bool loaded = readImage(image);
  imageFile_.close();
  return loaded;
}

bool tImageLoader::loadFromMemory(const unsigned char* bytes, std::size_t size, tImage* image) {
  if (image == nullptr) return false;
  fromMemory_ = true;
  memory_ = bytes;
  memorySize_ = size;
  memoryRead_ = 0;
  bool loaded = readImage(image);
  fromMemory_ = false;
  memory_ = nullptr;
  return loaded;
}

tPixel tImageLoader::decodePixel(const unsigned char* bytes, TPIXEL_ENCODING_16) {
  unsigned int v = readUnsigned16(bytes);
  return tPixel(static_cast<unsigned char>(((v >> 10) & 31) << 3),
                static_cast<unsigned char>(((v >> 5) & 31) << 3),
                static_cast<unsigned char>((v & 31) << 3), 255);
}

tPixel tImageLoader::decodePixel(const unsigned char* bytes, TPIXEL_ENCODING_24) {
  return tPixel(bytes[2], bytes[1], bytes[0], 255);
}

tPixel tImageLoader::decodePixel(const unsigned char* bytes, TPIXEL_ENCODING_32 encoding) {
  unsigned char alpha = encoding == TPIXEL_A8R8G8B8 ? bytes[3] : 255;
  return tPixel(bytes[2], bytes[1], bytes[0], alpha);
}

unsigned int tImageLoader::readUnsigned16(const unsigned char* bytes) {
  return bytes[0] | (bytes[1] << 8);
}

std::uint32_t tImageLoader::readUnsigned32(const unsigned char* bytes) {
  return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
         (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
}

void tImageLoader::writeUnsigned16(unsigned char* bytes, unsigned int value) {
  bytes[0] = static_cast<unsigned char>(value & 0xFF);
  bytes[1] = static_cast<unsigned char>((value >> 8) & 0xFF);
}

bool tImageLoader::readBlock(std::vector<unsigned char>& bytes, std::uint64_t count) {
  if (fromMemory_) {
    if (count > memorySize_ - memoryRead_) return false;
    bytes.insert(bytes.end(), memory_ + memoryRead_, memory_ + memoryRead_ + count);
    memoryRead_ += count;
    return true;
  }
  while (count > 0) {
    std::uint64_t chunk = std::min(kReadChunk, count);
    std::size_t start = bytes.size();
    bytes.resize(start + chunk);
    if (imageFile_.readBytes(bytes.data() + start, static_cast<int>(chunk)) != 1) return false;
    count -= chunk;
  }
  return true;
}
