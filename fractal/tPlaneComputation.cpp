#include "fractal/tPlaneComputation.h"

#include <chrono>
#include <system_error>
#include <thread>

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
      width_(fractal->getImage()->getWidth()),
      height_(fractal->getImage()->getHeight()),
      nextRow_(0),
      finished_(height_, false),
      prefix_(0),
      cancel_(false),
      done_(false),
      painted_(0),
      milliseconds_(0.0) {}

tPlaneComputation::~tPlaneComputation() { cancel(); }

void tPlaneComputation::cancel() {
  cancel_.store(true);
  joinBackground();
}

void tPlaneComputation::computeAll() {
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
  if (prefix_ == height_) {
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
    milliseconds_.store(took.count(), std::memory_order_release);
    done_.store(true, std::memory_order_release);
  }
}

void tPlaneComputation::computeRows() {
  const tParameterPlane::tCopies copies = plane_.makeCopies();
  std::vector<tPixel> colors(width_);
  for (unsigned row = nextRow_++; row < height_ && !cancel_.load(); row = nextRow_++) {
    plane_.paintRow(copies, *fractal_, solver_, row, colors.data());
    paint(row, colors);
  }
}

void tPlaneComputation::paint(unsigned row, const std::vector<tPixel>& colors) {
  std::lock_guard<std::mutex> lock(pictureMutex_);
  tImage& image = *fractal_->getImage();
  for (unsigned column = 0; column < width_; ++column) image.setPixel(row, column, colors[column]);
  finished_[row] = true;
  while (prefix_ < height_ && finished_[prefix_]) ++prefix_;
  painted_.store(std::size_t{prefix_} * width_, std::memory_order_release);
}
