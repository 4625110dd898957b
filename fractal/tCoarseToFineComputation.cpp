#include "fractal/tCoarseToFineComputation.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <system_error>
#include <thread>

#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tPacketSolver.h"
#include "fractal/tPictureContext.h"
#include "fractal/tRandom.h"
#include "fractal/tRootManager.h"
#include "fractal/tThreadCount.h"
#include "graphics/tImage.h"

namespace {

tPixel colorOf(const tPacketSolver::tOutcome& outcome, tRootManager& colors) {
  if (outcome.kind == tPacketSolver::OUTCOME_SINGULAR) {
    return tRootManager::getSingularJacobianColor();
  }
  if (outcome.kind == tPacketSolver::OUTCOME_GAVE_UP) return tRootManager::getNoConvergenceColor();
  tPixel color = colors.getColorForRoot(outcome.root);
  color[3] = 255;
  return color;
}

}  // namespace

tCoarseToFineComputation::tCoarseToFineComputation(tFractal* fractal, tFunction* f,
                                                   tIterativeSolver* solver, unsigned int seed,
                                                   unsigned int threads)
    : fractal_(fractal),
      function_(f),
      solver_(solver),
      seed_(seed),
      threads_(threads != 0 ? threads : tThreadCount::get()),
      width_(fractal->getImage()->getWidth()),
      height_(fractal->getImage()->getHeight()),
      pixelCount_(width_ * height_),
      singular_(fractal->isSingularSet()),
      solved_(width_, height_, singular_) {}

tCoarseToFineComputation::~tCoarseToFineComputation() { cancel(); }

void tCoarseToFineComputation::cancel() {
  cancel_.store(true);
  {
    std::lock_guard<std::mutex> lock(pictureMutex_);
    cancelled_ = true;
  }
  if (tFractalComputation* last = finalPass_.load()) last->cancel();
  joinBackground();
}

std::size_t tCoarseToFineComputation::getPaintedCount() const {
  const std::size_t coarse = coarseSolved_.load(std::memory_order_acquire);
  const tFractalComputation* last = finalPass_.load(std::memory_order_acquire);
  if (last == nullptr || pixelCount_ == 0) return coarse;
  const double share = static_cast<double>(last->getPaintedCount()) / pixelCount_;
  return coarse + static_cast<std::size_t>(share * (pixelCount_ - coarse));
}

std::unique_lock<std::mutex> tCoarseToFineComputation::lockPicture() {
  std::unique_lock<std::mutex> lock(pictureMutex_);
  // Once the last pass paints, its lock keeps the painting away.
  if (final_) return final_->lockPicture();
  return lock;
}

void tCoarseToFineComputation::computeAll() {
  const auto begin = std::chrono::steady_clock::now();
  // A registry of the passes' own, so that the picture's meets its roots in
  // row-major order only.
  tRandom random;
  random.seed(seed_);
  tRootManager colors(random);
  const tRootManager& roots = fractal_->getContext().getRoots();
  colors.useRandomColors(roots.usesRandomColors());
  colors.usePalette(roots.getPalette());
  for (const auto& root : roots.getRoots()) colors.restoreRoot(root.first, root.second);

  // Each pass is painted while the next one is solved.
  std::vector<std::size_t> painting;
  std::size_t paintingStep = 0;
  auto paint = [&] {
    if (paintingStep != 0) paintPass(painting, paintingStep, colors);
  };
  for (std::size_t step = FIRST_STEP; step > 1; step /= 2) {
    std::vector<std::size_t> pixels = pixelsOfPass(step);
    if (!solvePixels(pixels, paint)) return;
    painting = std::move(pixels);
    paintingStep = step;
  }
  paint();
  if (!startFinalPass()) return;
  final_->run();
  if (!final_->isDone()) return;
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
  milliseconds_.store(took.count(), std::memory_order_release);
  done_.store(true, std::memory_order_release);
}

std::vector<std::size_t> tCoarseToFineComputation::pixelsOfPass(std::size_t step) const {
  std::vector<std::size_t> pixels;
  // The pixels of the coarser pass before are solved already.
  const std::size_t coarser = step == FIRST_STEP ? 0 : 2 * step;
  for (std::size_t row = 0; row < height_; row += step) {
    for (std::size_t column = 0; column < width_; column += step) {
      if (coarser != 0 && row % coarser == 0 && column % coarser == 0) continue;
      pixels.push_back(row * width_ + column);
    }
  }
  return pixels;
}

bool tCoarseToFineComputation::solvePixels(const std::vector<std::size_t>& pixels,
                                           const std::function<void()>& meanwhile) {
  std::atomic<std::size_t> nextTask{0};
  auto work = [&] {
    tPacketSolver solver(*solver_, *function_);
    for (;;) {
      const std::size_t begin = nextTask.fetch_add(1) * TASK_PIXELS;
      if (begin >= pixels.size() || cancel_.load()) return;
      solveTask(pixels, begin, std::min(begin + TASK_PIXELS, pixels.size()), solver);
    }
  };
  std::vector<std::thread> helpers;
  for (unsigned int t = 0; t + 1 < threads_; ++t) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // fewer threads share the work
    }
  }
  meanwhile();
  work();
  for (std::thread& helper : helpers) helper.join();
  return !cancel_.load();
}

void tCoarseToFineComputation::solveTask(const std::vector<std::size_t>& pixels, std::size_t begin,
                                         std::size_t end, tPacketSolver& solver) {
  const std::size_t count = end - begin;
  // The starts tFractalComputation gives the pixels, unjittered.
  std::vector<tVector2> starts(singular_ ? 4 * count : count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t row = pixels[begin + i] / width_;
    const std::size_t column = pixels[begin + i] % width_;
    if (singular_) {
      fractal_->cornersOf(static_cast<float>(row), static_cast<float>(column), &starts[4 * i]);
    } else {
      starts[i] = fractal_->pointAt(static_cast<double>(row), static_cast<double>(column));
    }
  }
  if (singular_) {
    std::unique_ptr<bool[]> straddles(new bool[count]);
    if (!solver.straddle(starts.data(), count, straddles.get(), &cancel_)) return;
    for (std::size_t i = 0; i < count; ++i) {
      solved_.setStraddles(pixels[begin + i] / width_, pixels[begin + i] % width_, straddles[i]);
    }
  } else {
    std::vector<tPacketSolver::tOutcome> outcomes(count);
    if (!solver.solve(starts.data(), count, outcomes.data(), &cancel_)) return;
    for (std::size_t i = 0; i < count; ++i) {
      solved_.setOutcome(pixels[begin + i] / width_, pixels[begin + i] % width_, outcomes[i]);
    }
  }
}

void tCoarseToFineComputation::paintPass(const std::vector<std::size_t>& pixels, std::size_t step,
                                         tRootManager& colors) {
  tImage& image = *fractal_->getImage();
  std::lock_guard<std::mutex> lock(pictureMutex_);
  for (std::size_t pixel : pixels) {
    const std::size_t row = pixel / width_;
    const std::size_t column = pixel % width_;
    const tPixel color = singular_ ? tFractal::singularSetColor(solved_.straddles(row, column))
                                   : colorOf(solved_.outcome(row, column), colors);
    const std::size_t rowEnd = std::min(row + step, height_);
    const std::size_t columnEnd = std::min(column + step, width_);
    for (std::size_t r = row; r < rowEnd; ++r) {
      for (std::size_t c = column; c < columnEnd; ++c) {
        image.setPixel(static_cast<int>(r), static_cast<int>(c), color);
      }
    }
  }
  coarseSolved_.fetch_add(pixels.size(), std::memory_order_release);
  passes_.fetch_add(1, std::memory_order_release);
}

bool tCoarseToFineComputation::startFinalPass() {
  std::lock_guard<std::mutex> lock(pictureMutex_);
  if (cancelled_) return false;
  final_ = std::make_unique<tFractalComputation>(fractal_, function_, solver_, threads_);
  final_->reuse(&solved_);
  finalPass_.store(final_.get(), std::memory_order_release);
  return true;
}
