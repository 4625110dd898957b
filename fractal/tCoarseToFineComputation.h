#ifndef ROOTWEAVER_FRACTAL_TCOARSETOFINECOMPUTATION_H
#define ROOTWEAVER_FRACTAL_TCOARSETOFINECOMPUTATION_H

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "fractal/tPictureComputation.h"
#include "fractal/tSolvedPixels.h"

class tFractal;
class tFractalComputation;
class tFunction;
class tIterativeSolver;
class tRootManager;

// A picture for a view that must show something whole at once: coarse
// passes first, then the picture itself, byte for byte the one that
// tFractalComputation paints alone.
//
// The first pass solves every 8th pixel of every 8th row and paints each as
// a block of 8 x 8, so the whole picture stands, blurred, after a 64th of
// the work; the next passes solve the pixels of every 4th and then every 2nd
// pixel that are not solved yet, each painted as a smaller block (a pass is
// painted while the next one is solved). The last
// pass is a tFractalComputation that takes the first samples already solved
// (tSolvedPixels) and solves the rest, painting in row-major order over the
// coarse picture: roots meet the registry, and jitter and random colours
// draw from the random sequence, in the order and number they do without the
// coarse passes, so the finished picture, its labels, the registry and the
// random sequence are the same. Each pixel is solved once, except that a
// jittered first sample is solved again.
//
// The coarse passes leave the registry and the random sequence alone: their
// colours come from a registry of their own that starts as a copy of the
// picture's and draws random colours from a sequence of the picture's seed.
// A root already registered shows its colour; a new one shows the colour the
// picture will give it when it meets the roots in the same order, which
// holds most of the time without jitter, and is a guess otherwise.
class tCoarseToFineComputation : public tPictureComputation {
 public:
  // `seed` is the one the context's random sequence was just given, for the
  // colours of the coarse passes; `threads` as tFractalComputation takes it.
  tCoarseToFineComputation(tFractal* fractal, tFunction* f, tIterativeSolver* solver,
                           unsigned int seed, unsigned int threads = 0);
  ~tCoarseToFineComputation() override;

  void cancel() override;
  bool isDone() const override { return done_.load(std::memory_order_acquire); }
  // Pixels solved by the coarse passes, then a share of the rest as the
  // last pass paints.
  std::size_t getPaintedCount() const override;
  std::size_t getPixelCount() const override { return pixelCount_; }
  double getMilliseconds() const override { return milliseconds_.load(std::memory_order_acquire); }
  std::unique_lock<std::mutex> lockPicture() override;
  unsigned int getCoarsePasses() const override { return passes_.load(std::memory_order_acquire); }

 private:
  // The block side of the first coarse pass; each pass halves it.
  static constexpr std::size_t FIRST_STEP = 8;
  // Pixels per task of a coarse pass.
  static constexpr std::size_t TASK_PIXELS = 256;

  void computeAll() override;
  // The pixels the pass of block side `step` solves, in row-major order.
  std::vector<std::size_t> pixelsOfPass(std::size_t step) const;
  // Solves the pixels on every computing thread into solved_, the calling
  // thread doing `meanwhile` first; false when cancelled.
  bool solvePixels(const std::vector<std::size_t>& pixels, const std::function<void()>& meanwhile);
  void solveTask(const std::vector<std::size_t>& pixels, std::size_t begin, std::size_t end,
                 tPacketSolver& solver);
  // Paints the blocks of side `step` of a pass's pixels in the colours of
  // `colors`, and counts the pass.
  void paintPass(const std::vector<std::size_t>& pixels, std::size_t step, tRootManager& colors);
  // The last pass; false when cancelled first.
  bool startFinalPass();

  tFractal* fractal_;         // the picture
  tFunction* function_;       // F
  tIterativeSolver* solver_;  // the iteration of every solve
  unsigned int seed_;         // of the coarse passes' random colours
  unsigned int threads_;      // threads that compute
  std::size_t width_;         // pixels per row
  std::size_t height_;        // rows
  std::size_t pixelCount_;    // pixels of the picture
  bool singular_;             // the picture is the singular set
  tSolvedPixels solved_;      // every first sample solved by the coarse passes

  std::mutex pictureMutex_;  // held while a coarse pass paints, and to start the last pass
  bool cancelled_ = false;   // under pictureMutex_: the last pass is not to start
  std::unique_ptr<tFractalComputation> final_;            // the last pass; null before it starts
  std::atomic<tFractalComputation*> finalPass_{nullptr};  // final_, for readers on other threads
  std::atomic<bool> cancel_{false};                       // the coarse passes stop
  std::atomic<std::size_t> coarseSolved_{0};              // pixels the coarse passes solved
  std::atomic<unsigned int> passes_{0};                   // coarse passes painted
  std::atomic<bool> done_{false};                         // every pixel painted
  std::atomic<double> milliseconds_{0.0};                 // time the whole picture took
};

#endif
