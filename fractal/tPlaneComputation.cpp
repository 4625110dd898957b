#include "fractal/tPlaneComputation.h"

#include <chrono>
#include <system_error>

#include "expr/tFunction.h"
#include "fractal/tFractal.h"
#include "fractal/tParameterPlane.h"
#include "fractal/tThreadCount.h"
#include "graphics/tImage.h"

tPlaneComputation::tPlaneComputation(tFractal* fractal, const tParameterPlane& plane,
                                     const tIterativeSolver& solver, unsigned int threads)
    : fractal_(fractal),
      plane_(plane),
      solver_(solver),
      threads_(threads != 0 ? threads : tThreadCount::get()),
      side_(fractal->getImage()->getWidth()),
      nextRow_(0),
      finished_(side_, false),
      prefix_(0),
      started_(false),
      cancel_(false),
      done_(false),
      painted_(0),
      milliseconds_(0.0),
      ended_(false) {}

tPlaneComputation::~tPlaneComputation() { cancel(); }

bool tPlaneComputation::run() {
  if (started_) return false;
  started_ = true;
  compute();
  return true;
}

bool tPlaneComputation::start() {
  if (started_) return false;
  started_ = true;
  try {
    background_ = std::thread(&tPlaneComputation::compute, this);
  } catch (const std::system_error&) {
    // No thread to spare: the picture is computed before returning instead.
    compute();
  }
  return true;
}

void tPlaneComputation::cancel() {
  cancel_.store(true);
  if (background_.joinable()) background_.join();
}

bool tPlaneComputation::waitUntilDone(double milliseconds) {
  std::unique_lock<std::mutex> lock(endMutex_);
  endReached_.wait_for(lock, std::chrono::duration<double, std::milli>(milliseconds),
                       [this] { return ended_; });
  return isDone();
}

void tPlaneComputation::compute() {
  const auto begin = std::chrono::steady_clock::now();
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < threads_; ++t) {
    try {
      helpers.emplace_back(&tPlaneComputation::computeRows, this);
    } catch (const std::system_error&) {
      break;  // the threads made so far share the rows
    }
  }
  computeRows();
  for (std::thread& helper : helpers) helper.join();
  if (prefix_ == side_) {
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
    milliseconds_.store(took.count(), std::memory_order_release);
    done_.store(true, std::memory_order_release);
  }
  {
    std::lock_guard<std::mutex> lock(endMutex_);
    ended_ = true;
  }
  endReached_.notify_all();
}

void tPlaneComputation::computeRows() {
  const tParameterPlane::tCopies copies = plane_.makeCopies();
  std::vector<tPixel> colors(side_);
  for (unsigned row = nextRow_++; row < side_ && !cancel_.load(); row = nextRow_++) {
    plane_.paintRow(copies, *fractal_, solver_, row, colors.data());
    paint(row, colors);
  }
}

void tPlaneComputation::paint(unsigned row, const std::vector<tPixel>& colors) {
  std::lock_guard<std::mutex> lock(pictureMutex_);
  tImage& image = *fractal_->getImage();
  for (unsigned column = 0; column < side_; ++column) image.setPixel(row, column, colors[column]);
  finished_[row] = true;
  while (prefix_ < side_ && finished_[prefix_]) ++prefix_;
  painted_.store(std::size_t{prefix_} * side_, std::memory_order_release);
}
