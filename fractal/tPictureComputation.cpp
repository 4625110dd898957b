#include "fractal/tPictureComputation.h"

#include <chrono>
#include <system_error>

tPictureComputation::~tPictureComputation() = default;

bool tPictureComputation::run() {
  if (started_) return false;
  started_ = true;
  compute();
  return true;
}

bool tPictureComputation::start() {
  if (started_) return false;
  started_ = true;
  try {
    background_ = std::thread(&tPictureComputation::compute, this);
  } catch (const std::system_error&) {
    // No thread to spare: the picture is computed before returning instead.
    compute();
  }
  return true;
}

bool tPictureComputation::waitUntilDone(double milliseconds) {
  std::unique_lock<std::mutex> lock(endMutex_);
  endReached_.wait_for(lock, std::chrono::duration<double, std::milli>(milliseconds),
                       [this] { return ended_; });
  return isDone();
}

void tPictureComputation::joinBackground() {
  if (background_.joinable()) background_.join();
}

void tPictureComputation::compute() {
  computeAll();
  {
    std::lock_guard<std::mutex> lock(endMutex_);
    ended_ = true;
  }
  endReached_.notify_all();
}
