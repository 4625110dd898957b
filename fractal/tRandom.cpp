#include "fractal/tRandom.h"

#include <cstring>

tRandom::tRandom() { seed(1); }

float tRandom::inRange(float lo, float hi, int r) {
  // Times 2^-31 is the same correctly rounded value as over 2^31, without
  // a division.
  return lo + (hi - lo) * static_cast<float>(r) * (1.0f / 2147483648.0f);
}

int tRandom::draw() {
  int32_t r = 0;
  random_r(&generator_, &r);
  return r;
}

float tRandom::randInRange(float lo, float hi) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (kept_.empty()) return inRange(lo, hi, draw());
  int r = kept_.front();
  kept_.pop_front();
  return inRange(lo, hi, r);
}

void tRandom::drawInRange(float lo, float hi, std::size_t count, float* out) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::size_t k = 0;
  for (; k < count && !kept_.empty(); ++k) {
    out[k] = inRange(lo, hi, kept_.front());
    kept_.pop_front();
  }
  for (; k < count; ++k) out[k] = inRange(lo, hi, draw());
}

float tRandom::peekInRange(std::size_t ahead, float lo, float hi) {
  std::lock_guard<std::mutex> lock(mutex_);
  while (kept_.size() <= ahead) kept_.push_back(draw());
  return inRange(lo, hi, kept_[ahead]);
}

std::size_t tRandom::getKeptCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return kept_.size();
}

void tRandom::seed(unsigned int seed) {
  std::lock_guard<std::mutex> lock(mutex_);
  kept_.clear();
  // A state of 128 bytes is the generator rand() uses, so the sequences agree.
  std::memset(&generator_, 0, sizeof generator_);
  initstate_r(seed, state_, sizeof state_, &generator_);
}
