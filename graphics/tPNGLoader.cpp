#include "graphics/tPNGLoader.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>

#include "File/tFileWriter.h"

namespace {

const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Bytes of a chunk around its data: length and type before, checksum after.
const unsigned int kChunkHead = 8;
const unsigned int kChunkTail = 4;

std::uint32_t readBigEndian32(const unsigned char* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

void appendBigEndian32(std::string& bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>((value >> shift) & 0xFF);
}

// A chunk: its length, type and data, then the checksum of type and data.
std::string chunk(const std::string& type, const std::string& data) {
  std::string bytes;
  appendBigEndian32(bytes, static_cast<std::uint32_t>(data.size()));
  const std::string body = type + data;
  bytes += body;
  appendBigEndian32(bytes,
                    static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                     static_cast<uInt>(body.size()))));
  return bytes;
}

static_assert(sizeof(tPixel) == 4, "an image's pixels are its RGBA bytes");

}  // namespace

bool tPNGLoader::readImage(tImage* image) {
  std::vector<unsigned char> file;
  if (!readChunks(file)) return false;
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, file.data(), file.size())) return false;
  if (std::uint64_t{png.width} * png.height > kMaxPixels) {
    png_image_free(&png);
    return false;
  }
  png.format = PNG_FORMAT_RGBA;
  tImage decoded(png.width, png.height);
  // A negative stride gives the bottom row first.
  const png_int_32 stride = -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(png));
  const bool read = png_image_finish_read(&png, nullptr, decoded.getRawData(), stride, nullptr);
  png_image_free(&png);
  if (!read) return false;
  image->swap(decoded);
  return true;
}

bool tPNGLoader::readChunks(std::vector<unsigned char>& bytes) {
  if (!readBlock(bytes, sizeof kSignature)) return false;
  if (std::memcmp(bytes.data(), kSignature, sizeof kSignature) != 0) return false;
  for (;;) {
    const std::size_t start = bytes.size();
    if (!readBlock(bytes, kChunkHead)) return false;
    const std::uint32_t length = readBigEndian32(&bytes[start]);
    const bool last = std::memcmp(&bytes[start + 4], "IEND", 4) == 0;
    if (!readBlock(bytes, std::uint64_t{length} + kChunkTail)) return false;
    if (last) return true;
  }
}

bool tPNGLoader::write(const std::string& path, const tImage* image, std::string* error,
                       const tTexts& texts) {
  if (image == nullptr || image->getWidth() == 0 || image->getHeight() == 0) return false;
  std::string bytes;
  std::string failure;
  if (!encode(*image, bytes)) {
    failure = "cannot write " + path + ": the picture cannot be encoded";
  } else if (tFileWriter::writeWhole(path, texts.empty() ? bytes : withTexts(bytes, texts),
                                     failure)) {
    return true;
  }
  if (error) *error = failure;
  return false;
}

bool tPNGLoader::encode(const tImage& image, std::string& bytes) {
  if (image.getWidth() == 0 || image.getHeight() == 0) return false;
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = image.getWidth();
  png.height = image.getHeight();
  png.format = PNG_FORMAT_RGB;
  const std::vector<unsigned char> rgb = rgbBytes(image);
  // A negative stride gives the bottom row first.
  const png_int_32 stride = -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(png));
  // The first call measures, the second encodes.
  png_alloc_size_t size = 0;
  bool encoded = png_image_write_to_memory(&png, nullptr, &size, 0, rgb.data(), stride, nullptr);
  if (encoded) {
    bytes.resize(size);
    encoded = png_image_write_to_memory(&png, &bytes[0], &size, 0, rgb.data(), stride, nullptr);
    bytes.resize(size);
  }
  png_image_free(&png);
  return encoded;
}

std::vector<unsigned char> tPNGLoader::rgbBytes(const tImage& image) {
  const tPixel* pixels = image.getPixelData();
  const std::size_t count = std::size_t{image.getWidth()} * image.getHeight();
  std::vector<unsigned char> rgb;
  rgb.reserve(3 * count);
  for (std::size_t i = 0; i < count; ++i) {
    rgb.insert(rgb.end(), {pixels[i][0], pixels[i][1], pixels[i][2]});
  }
  return rgb;
}

// The encoder writes the header chunk first, right after the signature.
std::string tPNGLoader::withTexts(const std::string& bytes, const tTexts& texts) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t headerEnd =
      sizeof kSignature + kChunkHead + readBigEndian32(data + sizeof kSignature) + kChunkTail;
  std::string chunks;
  for (const auto& text : texts) chunks += chunk("tEXt", text.first + '\0' + text.second);
  return bytes.substr(0, headerEnd) + chunks + bytes.substr(headerEnd);
}
