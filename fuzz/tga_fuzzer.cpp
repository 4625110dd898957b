// libFuzzer target: the bytes as a TGA file, read from memory. A picture that
// loads is written back and read again, and must come back unchanged.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "graphics/tTGALoader.h"

namespace {

bool samePixels(const tImage& a, const tImage& b) {
  if (a.getWidth() != b.getWidth() || a.getHeight() != b.getHeight()) return false;
  for (unsigned r = 0; r < a.getHeight(); ++r)
    for (unsigned c = 0; c < a.getWidth(); ++c)
      if (a.getPixel(r, c) != b.getPixel(r, c)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tTGALoader loader;
  tImage image;
  if (!loader.loadFromMemory(data, size, &image)) return 0;
  // tmpfs keeps the round trip off the disk.
  static const std::string path = "/dev/shm/tga_fuzzer_" + std::to_string(getpid()) + ".tga";
  tImage again;
  bool written = loader.write(path, &image, 32, false);
  bool same = written && loader.load(path, &again) && samePixels(image, again);
  std::remove(path.c_str());
  if (written && !same) std::abort();
  return 0;
}
