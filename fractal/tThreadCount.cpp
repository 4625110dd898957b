#include "fractal/tThreadCount.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

std::atomic<unsigned int> chosen{0};  // the count set; 0 when none is

}  // namespace

unsigned int tThreadCount::get() {
  const unsigned int threads = chosen.load(std::memory_order_relaxed);
  return threads != 0 ? threads : available();
}

void tThreadCount::set(unsigned int threads) { chosen.store(threads, std::memory_order_relaxed); }

unsigned int tThreadCount::available() {
  cpu_set_t mask;
  CPU_ZERO(&mask);
  if (sched_getaffinity(0, sizeof mask, &mask) == 0) {
    const int count = CPU_COUNT(&mask);
    if (count > 0) return static_cast<unsigned int>(count);
  }
  return std::max(1u, std::thread::hardware_concurrency());
}
