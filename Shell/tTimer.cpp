#include "Shell/tTimer.h"

#include <sys/time.h>

tTimer& tTimer::instance() {
  static tTimer* timer = new tTimer();
  return *timer;
}

tTimer::tTimer() : start_(0.0) { start(); }

double tTimer::currentTime() const {
  timeval tv;
  gettimeofday(&tv, nullptr);
  return tv.tv_sec * 1000.0 + tv.tv_usec / 1000.0;
}

void tTimer::start() {
  std::lock_guard<std::mutex> lock(mutex_);
  start_ = currentTime();
}

double tTimer::getElapsed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return currentTime() - start_;
}

unsigned int tTimer::setMark() {
  std::lock_guard<std::mutex> lock(mutex_);
  marks_.push_back(currentTime());
  return static_cast<unsigned int>(marks_.size() - 1);
}

double tTimer::timeSinceMark(unsigned int i) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = suspended_.find(i);
  double now = it != suspended_.end() ? it->second : currentTime();
  return now - marks_[i];
}

void tTimer::resetMark(unsigned int i) {
  std::lock_guard<std::mutex> lock(mutex_);
  marks_[i] = currentTime();
}

void tTimer::suspendMark(unsigned int i) {
  std::lock_guard<std::mutex> lock(mutex_);
  suspended_.emplace(i, currentTime());
}

void tTimer::advanceMark(unsigned int i, double ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  marks_[i] += ms;
}
