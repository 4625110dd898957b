#include "fractal/tRandom.h"

#include <cstring>

tRandom::tRandom() { seed(1); }

float tRandom::inRange(float lo, float hi, int r) {
  // Times 2^-31 is the same correctly rounded value as over 2^31, without
  // a division.
  return lo + (hi - lo) * static_cast<float>(r) * (1.0f / 2147483648.0f);
}

void tRandom::refill() {
  std::memmove(sums_, sums_ + kBlock, kLag * sizeof sums_[0]);
  // The three sums that the next three add are kept in registers: a loop
  // reading them back from memory would wait on its own stores.
  static_assert(kShortLag == 3 && kBlock % 3 == 0, "three chains of sums");
  uint32_t a = sums_[kLag - 3];
  uint32_t b = sums_[kLag - 2];
  uint32_t c = sums_[kLag - 1];
  for (std::size_t i = kLag; i < kLag + kBlock; i += 3) {
    a += sums_[i - kLag];
    b += sums_[i + 1 - kLag];
    c += sums_[i + 2 - kLag];
    sums_[i] = a;
    sums_[i + 1] = b;
    sums_[i + 2] = c;
  }
  next_ = kLag;
}

int tRandom::draw() {
  if (next_ == kLag + kBlock) refill();
  return static_cast<int>(sums_[next_++] >> 1);
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
  while (k < count) {
    if (next_ == kLag + kBlock) refill();
    const std::size_t run = std::min(count - k, kLag + kBlock - next_);
    const uint32_t* sums = sums_ + next_;
    for (std::size_t j = 0; j < run; ++j) out[k + j] = inRange(lo, hi, sums[j] >> 1);
    next_ += run;
    k += run;
  }
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
  // srand's first 31 numbers: the seed (1 for 0), then each the one before
  // times 16807 modulo 2^31 - 1, made without overflow as the C library
  // makes them; the first 310 values are passed over. The first sum adds the
  // fourth number to the first, so the numbers from the fourth on come first
  // as the sums 31 places back, and the first three after them.
  int32_t word = static_cast<int32_t>(seed == 0 ? 1 : seed);
  uint32_t* first = sums_ + kBlock;
  first[kLag - kShortLag] = static_cast<uint32_t>(word);
  for (std::size_t i = 1; i < kLag; ++i) {
    const long hi = word / 127773;
    const long lo = word % 127773;
    word = static_cast<int32_t>(16807 * lo - 2836 * hi);
    if (word < 0) word += 2147483647;
    first[(i + kLag - kShortLag) % kLag] = static_cast<uint32_t>(word);
  }
  next_ = kLag + kBlock;
  for (int i = 0; i < 10 * static_cast<int>(kLag); ++i) draw();
}
