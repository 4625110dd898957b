#include "fractal/tRandom.h"

#include <cstdlib>

float tRandom::randInRange(float lo, float hi) {
  float r = static_cast<float>(std::rand());
  return lo + (hi - lo) * r / 2147483648.0f;
}
