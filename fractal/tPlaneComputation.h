#ifndef ROOTWEAVER_FRACTAL_TPLANECOMPUTATION_H
#define ROOTWEAVER_FRACTAL_TPLANECOMPUTATION_H

#include <atomic>
#include <cstddef>
#include <mutex>
#include <vector>

#include "fractal/tPictureComputation.h"
#include "graphics/tPixel.h"

class tFractal;
class tIterativeSolver;
class tParameterPlane;

// A parameter plane (tParameterPlane) painted into a picture on several
// threads, on the calling thread (run) or in the background (start), so
// that a view can show it growing as it shows a basin picture.
//
// Threads take rows in order and compute each into a buffer of their own;
// a finished row is copied into the picture under lockPicture(), and the
// painted count is the longest run of finished rows from row 0, so the
// picture always holds a row-major prefix of finished pixels (rows finished
// beyond it are painted too).
class tPlaneComputation : public tPictureComputation {
 public:
  // `threads` computing threads; 0 means tThreadCount::get(). The plane,
  // picture and solver must outlive the computation.
  tPlaneComputation(tFractal* fractal, const tParameterPlane& plane, const tIterativeSolver& solver,
                    unsigned int threads = 0);
  // Cancels a background computation and waits for it.
  ~tPlaneComputation() override;
  tPlaneComputation(const tPlaneComputation&) = delete;
  tPlaneComputation& operator=(const tPlaneComputation&) = delete;

  // Stops as soon as every thread ends its row, and waits; the rows
  // painted stay.
  void cancel() override;
  bool isDone() const override { return done_.load(std::memory_order_acquire); }
  std::size_t getPaintedCount() const override { return painted_.load(std::memory_order_acquire); }
  std::size_t getPixelCount() const override { return std::size_t{width_} * height_; }
  double getMilliseconds() const override { return milliseconds_.load(std::memory_order_acquire); }
  std::unique_lock<std::mutex> lockPicture() override {
    return std::unique_lock<std::mutex>(pictureMutex_);
  }

 private:
  // All rows on all threads.
  void computeAll() override;
  // Paints rows as the counter hands them out, until none is left or the
  // computation is cancelled.
  void computeRows();
  // Copies a finished row into the picture and moves the painted prefix on.
  void paint(unsigned row, const std::vector<tPixel>& colors);

  tFractal* fractal_;                   // the picture
  const tParameterPlane& plane_;        // what each pixel is
  const tIterativeSolver& solver_;      // the method each pixel runs
  unsigned int threads_;                // threads that compute
  unsigned width_;                      // pixels a row
  unsigned height_;                     // rows
  std::atomic<unsigned> nextRow_;       // the next row to hand out
  std::vector<bool> finished_;          // per row, under pictureMutex_: painted
  unsigned prefix_;                     // under pictureMutex_: rows painted from row 0
  std::atomic<bool> cancel_;            // stop after the rows in hand
  std::atomic<bool> done_;              // every row painted
  std::atomic<std::size_t> painted_;    // pixels of the painted prefix
  std::atomic<double> milliseconds_;    // the whole picture's time
  std::mutex pictureMutex_;             // held while painting a row
};

#endif
