// libFuzzer target: the bytes as a BMP file, read from memory.
#include <cstddef>
#include <cstdint>

#include "graphics/tBMPLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tImage image;
  tBMPLoader().loadFromMemory(data, size, &image);
  return 0;
}
