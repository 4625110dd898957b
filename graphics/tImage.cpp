#include "graphics/tImage.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

// The power of two nearer to side by ratio: of lo <= side < hi = 2 lo, hi is
// chosen when side / lo > hi / side (single precision). Powers of two and an
// empty side stay as they are.
unsigned int nearPowerOfTwo(unsigned int side) {
  if (side == 0) return 0;
  std::uint64_t hi = 1;
  while (hi <= side) hi <<= 1;
  std::uint64_t lo = hi / 2;
  if (hi > 0x80000000u) return static_cast<unsigned int>(lo);
  float s = static_cast<float>(side);
  bool up = s / static_cast<float>(lo) > static_cast<float>(hi) / s;
  return static_cast<unsigned int>(up ? hi : lo);
}

}  // namespace

tImage::tImage() : width_(0), height_(0) {}

tImage::tImage(unsigned int width, unsigned int height) : width_(0), height_(0) {
  reinitialize(width, height);
}

void tImage::reinitialize(unsigned int width, unsigned int height) {
  std::vector<tPixel> fresh(std::size_t{width} * height);
  data_.swap(fresh);
  width_ = width;
  height_ = height;
}

void tImage::swap(tImage& other) {
  data_.swap(other.data_);
  std::swap(width_, other.width_);
  std::swap(height_, other.height_);
}

tPixel* tImage::getPixelData() { return data_.empty() ? nullptr : data_.data(); }

const tPixel* tImage::getPixelData() const { return data_.empty() ? nullptr : data_.data(); }

unsigned char* tImage::getRawData() { return reinterpret_cast<unsigned char*>(getPixelData()); }

const unsigned char* tImage::getRawData() const {
  return reinterpret_cast<const unsigned char*>(getPixelData());
}

unsigned char tImage::getPixelub(int row, int column, unsigned int channel) const {
  return data_[index(row, column)][channel];
}

// The four neighbours are weighed by the areas of the opposite sub-rectangles,
// and each weighted pixel is truncated to bytes on its own, so a uniform
// region can come back slightly darker (255 as 252). The weights always use
// r0 + 1 and c0 + 1; only the pixel read is held at the last row and column.
tPixel tImage::getPixelBilinear(float row, float column) const {
  int r0 = std::min(static_cast<int>(row), static_cast<int>(height_) - 1);
  int c0 = std::min(static_cast<int>(column), static_cast<int>(width_) - 1);
  int r1 = std::min(r0 + 1, static_cast<int>(height_) - 1);
  int c1 = std::min(c0 + 1, static_cast<int>(width_) - 1);
  float below = row - static_cast<float>(r0);
  float above = static_cast<float>(r0 + 1) - row;
  float left = column - static_cast<float>(c0);
  float right = static_cast<float>(c0 + 1) - column;
  return getPixel(r1, c0) * (right * below) + getPixel(r1, c1) * (left * below) +
         getPixel(r0, c1) * (left * above) + getPixel(r0, c0) * (right * above);
}

void tImage::resize(unsigned int width, unsigned int height) {
  if (width == width_ && height == height_) return;
  tImage target(width, height);
  if (!data_.empty()) {
    for (unsigned int y = 0; y < height; ++y) {
      float row = static_cast<float>(y) / static_cast<float>(height) * static_cast<float>(height_);
      for (unsigned int x = 0; x < width; ++x) {
        float column =
            static_cast<float>(x) / static_cast<float>(width) * static_cast<float>(width_);
        target(y, x) = getPixelBilinear(row, column);
      }
    }
  }
  swap(target);
}

void tImage::makeUseableAsTexture() { resize(nearPowerOfTwo(width_), nearPowerOfTwo(height_)); }

void tImage::flipVertical() {
  for (unsigned int i = 0; i < height_ / 2; ++i) {
    auto top = data_.begin() + index(i, 0);
    std::swap_ranges(top, top + width_, data_.begin() + index(height_ - 1 - i, 0));
  }
}

void tImage::flipHorizontal() {
  for (unsigned int i = 0; i < height_; ++i) {
    auto rowStart = data_.begin() + index(i, 0);
    std::reverse(rowStart, rowStart + width_);
  }
}
