#include "graphics/tPixel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Products are capped here before they become integers, so that an absurd
// factor cannot overflow the conversion.
const float kMaxProduct = 16777216.0f;

}  // namespace

tPixel::tPixel(const unsigned int* channels)
    : channels_{static_cast<unsigned char>(channels[0]), static_cast<unsigned char>(channels[1]),
                static_cast<unsigned char>(channels[2]), static_cast<unsigned char>(channels[3])} {}

bool tPixel::operator==(const tPixel& p) const {
  return std::equal(channels_, channels_ + 4, p.channels_);
}

tPixel tPixel::operator+(const tPixel& p) const {
  unsigned int sums[4];
  for (int i = 0; i < 4; ++i) sums[i] = channels_[i] + p.channels_[i];
  clamp(sums);
  return tPixel(sums);
}

tPixel tPixel::operator*(float factor) const {
  unsigned int products[4];
  for (int i = 0; i < 4; ++i) {
    float product = channels_[i] * factor;
    // Negative and NaN products both become 0.
    if (!(product > 0.0f)) product = 0.0f;
    products[i] = static_cast<unsigned int>(std::min(product, kMaxProduct));
  }
  clamp(products);
  return tPixel(products);
}

void tPixel::clamp(unsigned int* channels) {
  unsigned int largest = *std::max_element(channels, channels + 4);
  if (largest <= 255) return;
  for (int i = 0; i < 4; ++i) {
    channels[i] = static_cast<unsigned int>(std::uint64_t{channels[i]} * 255 / largest);
  }
}

float tPixel::distance(const tPixel& p) const {
  int sum = 0;
  for (int i = 0; i < 4; ++i) {
    int d = channels_[i] - p.channels_[i];
    sum += d * d;
  }
  return std::sqrt(static_cast<float>(sum));
}
