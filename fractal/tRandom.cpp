#include "fractal/tRandom.h"

#include <cstdlib>
#include <deque>
#include <mutex>

namespace {

// Values drawn from rand() ahead of their draws, oldest first.
std::deque<int>& kept() {
  static std::deque<int> values;
  return values;
}

std::mutex& keptMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

float tRandom::inRange(float lo, float hi, int r) {
  return lo + (hi - lo) * static_cast<float>(r) / 2147483648.0f;
}

float tRandom::randInRange(float lo, float hi) {
  std::lock_guard<std::mutex> lock(keptMutex());
  std::deque<int>& values = kept();
  if (values.empty()) return inRange(lo, hi, std::rand());
  int r = values.front();
  values.pop_front();
  return inRange(lo, hi, r);
}

float tRandom::peekInRange(std::size_t ahead, float lo, float hi) {
  std::lock_guard<std::mutex> lock(keptMutex());
  std::deque<int>& values = kept();
  while (values.size() <= ahead) values.push_back(std::rand());
  return inRange(lo, hi, values[ahead]);
}

std::size_t tRandom::getKeptCount() {
  std::lock_guard<std::mutex> lock(keptMutex());
  return kept().size();
}

void tRandom::seed(unsigned int seed) {
  std::lock_guard<std::mutex> lock(keptMutex());
  kept().clear();
  std::srand(seed);
}
