#include "fractal/tFractalComputation.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <system_error>

#include "expr/tFunction.h"
#include "fractal/tFractal.h"
#include "fractal/tIterativeSolver.h"
#include "fractal/tPictureContext.h"
#include "fractal/tRandom.h"
#include "fractal/tSolvedPixels.h"
#include "fractal/tThreadCount.h"
#include "graphics/tImage.h"

namespace {

const std::size_t kNoChunk = std::numeric_limits<std::size_t>::max();

}  // namespace

tFractalComputation::tFractalComputation(tFractal* fractal, tFunction* f, tIterativeSolver* solver,
                                         unsigned int threads)
    : fractal_(fractal),
      function_(f),
      solver_(solver),
      threads_(threads != 0 ? threads : tThreadCount::get()),
      width_(fractal->getImage()->getWidth()),
      pixelCount_(width_ * fractal->getImage()->getHeight()),
      samples_(std::max<uint32_t>(fractal->getJitter(), 1)),
      jitterFirst_(fractal->getJitterFirst()),
      singular_(fractal->isSingularSet()),
      chunksPaintThemselves_(singular_ || (samples_ == 1 && !jitterFirst_)),
      chunkSize_(singular_ ? SINGULAR_CHUNK : BASIN_CHUNK),
      chunkCount_((pixelCount_ + chunkSize_ - 1) / chunkSize_),
      solved_(nullptr),
      slots_(WINDOW_CHUNKS),
      nextChunk_(0),
      paintedChunk_(0),
      stopping_(false),
      painting_(false),
      batch_(),
      batchSamples_(BATCH_SAMPLES),
      predictedFrom_(0),
      cancel_(false),
      done_(false),
      painted_(0),
      milliseconds_(0.0) {
  for (tChunkSlot& slot : slots_) {
    slot.chunk = kNoChunk;
    slot.ready = false;
    if (singular_) {
      slot.straddles.reset(new bool[chunkSize_]);
    } else {
      slot.outcomes.resize(chunkSize_);
    }
  }
  // Jittered first samples have no chunk of their own: all samples are
  // speculated in batches.
  if (!singular_ && jitterFirst_) chunkCount_ = 0;
}

tFractalComputation::~tFractalComputation() { cancel(); }

void tFractalComputation::cancel() {
  cancel_.store(true);
  {
    // Waiters check the flag under the lock, so none misses the wake-up.
    std::lock_guard<std::mutex> lock(workMutex_);
  }
  workAvailable_.notify_all();
  progress_.notify_all();
  joinBackground();
}

void tFractalComputation::computeAll() {
  const auto begin = std::chrono::steady_clock::now();
  columnX_.resize(width_);
  for (std::size_t column = 0; column < width_; ++column) {
    columnX_[column] = fractal_->xAt(static_cast<double>(column));
  }
  rowY_.resize(fractal_->getImage()->getHeight());
  for (std::size_t row = 0; row < rowY_.size(); ++row) {
    rowY_[row] = fractal_->yAt(static_cast<double>(row));
  }
  startWorkers();
  // The coordinator is one of the computing threads, the last one.
  tThreadState state{tPacketSolver(*solver_, *function_), {}, threads_ - 1, {}, {}, {}};
  if (chunksPaintThemselves_) {
    std::unique_lock<std::mutex> lock(workMutex_);
    while (painted_.load() < pixelCount_ && !cancel_.load()) work(lock, state);
  } else {
    paintJittered(state);
  }
  stopWorkers();
  if (painted_.load() != pixelCount_) return;
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
  milliseconds_.store(took.count(), std::memory_order_release);
  done_.store(true, std::memory_order_release);
}

void tFractalComputation::startWorkers() {
  for (unsigned int t = 0; t + 1 < threads_; ++t) {
    try {
      workers_.emplace_back(&tFractalComputation::workerLoop, this, t);
    } catch (const std::system_error&) {
      break;  // fewer threads share the work
    }
  }
}

void tFractalComputation::stopWorkers() {
  {
    std::lock_guard<std::mutex> lock(workMutex_);
    stopping_ = true;
  }
  workAvailable_.notify_all();
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
}

void tFractalComputation::workerLoop(unsigned int id) {
  tThreadState state{tPacketSolver(*solver_, *function_), {}, id, {}, {}, {}};
  std::unique_lock<std::mutex> lock(workMutex_);
  while (!stopping_ && !cancel_.load()) work(lock, state);
}

void tFractalComputation::work(std::unique_lock<std::mutex>& lock, tThreadState& state) {
  if (doOneTask(lock, state)) return;
  // Nothing to compute: the chunks of others that are ready get painted.
  if (chunksPaintThemselves_ && paintReadyChunks(lock, state.id, true)) return;
  workAvailable_.wait(lock);
}

bool tFractalComputation::chunkClaimable() const {
  return nextChunk_ < chunkCount_ && nextChunk_ < paintedChunk_ + WINDOW_CHUNKS;
}

bool tFractalComputation::batchTaskClaimable() const {
  return batch_.nextTask * TASK_SAMPLES < batch_.starts.size();
}

bool tFractalComputation::doOneTask(std::unique_lock<std::mutex>& lock, tThreadState& state) {
  // The batch first: the painting waits for it.
  if (batchTaskClaimable()) {
    std::size_t task = batch_.nextTask++;
    lock.unlock();
    computeBatchTask(task, state);
    lock.lock();
    ++batch_.tasksDone;
    progress_.notify_all();
    return true;
  }
  if (chunkClaimable()) {
    std::size_t chunk = nextChunk_++;
    tChunkSlot& slot = slots_[chunk % WINDOW_CHUNKS];
    slot.chunk = chunk;
    slot.ready = false;
    slot.owner = state.id;
    lock.unlock();
    computeChunk(chunk, state);
    lock.lock();
    slot.ready = true;
    if (chunksPaintThemselves_) {
      paintReadyChunks(lock, state.id, false);
    } else {
      progress_.notify_all();
    }
    return true;
  }
  return false;
}

void tFractalComputation::computeChunk(std::size_t chunk, tThreadState& state) {
  if (solved_ != nullptr) {
    completeChunk(chunk, state);
    return;
  }
  const std::size_t begin = chunk * chunkSize_;
  const std::size_t count = std::min(chunkSize_, pixelCount_ - begin);
  tChunkSlot& slot = slots_[chunk % WINDOW_CHUNKS];
  std::vector<tVector2>& starts = state.starts;
  starts.resize(singular_ ? 4 * count : count);
  std::size_t row = begin / width_;
  std::size_t column = begin % width_;
  if (singular_) {
    for (std::size_t i = 0; i < count; ++i) {
      fractal_->cornersOf(static_cast<float>(row), static_cast<float>(column), &starts[4 * i]);
      if (++column == width_) {
        column = 0;
        ++row;
      }
    }
    state.solver.straddle(starts.data(), count, slot.straddles.get(), &cancel_);
    return;
  }
  // The unjittered samples, no offset at all, a row's stretch at a time.
  for (std::size_t i = 0; i < count; column = 0, ++row) {
    const std::size_t stretch = std::min(count - i, width_ - column);
    for (std::size_t k = 0; k < stretch; ++k) starts[i + k] = startOf(row, column + k);
    i += stretch;
  }
  state.solver.solve(starts.data(), count, slot.outcomes.data(), &cancel_);
}

void tFractalComputation::completeChunk(std::size_t chunk, tThreadState& state) {
  const std::size_t begin = chunk * chunkSize_;
  const std::size_t count = std::min(chunkSize_, pixelCount_ - begin);
  tChunkSlot& slot = slots_[chunk % WINDOW_CHUNKS];
  std::vector<tVector2>& starts = state.starts;
  starts.resize(singular_ ? 4 * count : count);
  state.missing.clear();
  std::size_t row = begin / width_;
  std::size_t column = begin % width_;
  for (std::size_t i = 0; i < count; ++i) {
    if (solved_->has(row, column)) {
      if (singular_) {
        slot.straddles[i] = solved_->straddles(row, column);
      } else {
        slot.outcomes[i] = solved_->outcome(row, column);
      }
    } else {
      const std::size_t k = state.missing.size();
      state.missing.push_back(i);
      // The starts computeChunk would give the pixel.
      if (singular_) {
        fractal_->cornersOf(static_cast<float>(row), static_cast<float>(column), &starts[4 * k]);
      } else {
        starts[k] = startOf(row, column);
      }
    }
    if (++column == width_) {
      column = 0;
      ++row;
    }
  }
  const std::size_t missing = state.missing.size();
  if (missing == 0) return;
  if (singular_) {
    if (!state.straddles) state.straddles.reset(new bool[chunkSize_]);
    state.solver.straddle(starts.data(), missing, state.straddles.get(), &cancel_);
    for (std::size_t k = 0; k < missing; ++k) slot.straddles[state.missing[k]] = state.straddles[k];
  } else {
    state.outcomes.resize(chunkSize_);
    state.solver.solve(starts.data(), missing, state.outcomes.data(), &cancel_);
    for (std::size_t k = 0; k < missing; ++k) slot.outcomes[state.missing[k]] = state.outcomes[k];
  }
}

void tFractalComputation::computeBatchTask(std::size_t task, tThreadState& state) {
  const std::size_t begin = task * TASK_SAMPLES;
  const std::size_t count = std::min(TASK_SAMPLES, batch_.starts.size() - begin);
  state.solver.solve(batch_.starts.data() + begin, count, batch_.outcomes.data() + begin, &cancel_);
}

template <typename tReady>
bool tFractalComputation::waitFor(std::unique_lock<std::mutex>& lock, tThreadState& state,
                                  tReady ready) {
  while (!ready()) {
    if (cancel_.load()) return false;
    if (!doOneTask(lock, state)) progress_.wait(lock);
  }
  return !cancel_.load();
}

bool tFractalComputation::paintReadyChunks(std::unique_lock<std::mutex>& lock, unsigned int id,
                                           bool anyOwner) {
  if (painting_) return false;
  painting_ = true;
  bool painted = false;
  tImage& image = *fractal_->getImage();
  while (!cancel_.load()) {
    const std::size_t chunk = paintedChunk_;
    tChunkSlot& slot = slots_[chunk % WINDOW_CHUNKS];
    if (chunk >= chunkCount_ || slot.chunk != chunk || !slot.ready) break;
    if (!anyOwner && slot.owner != id) break;
    painted = true;
    lock.unlock();
    const std::size_t begin = chunk * chunkSize_;
    const std::size_t end = std::min(begin + chunkSize_, pixelCount_);
    {
      std::lock_guard<std::mutex> picture(pictureMutex_);
      if (singular_) {
        // Rows and columns are counted along, not divided out, pixel by pixel.
        std::size_t row = begin / width_;
        std::size_t column = begin % width_;
        for (std::size_t i = 0; i < end - begin; ++i) {
          image.setPixel(static_cast<int>(row), static_cast<int>(column),
                         tFractal::singularSetColor(slot.straddles[i]));
          if (++column == width_) {
            column = 0;
            ++row;
          }
        }
      } else {
        // Each pixel's one unjittered sample, as takeSample would find it.
        fractal_->paintOutcomes(begin, slot.outcomes.data(), end - begin);
      }
    }
    lock.lock();
    advancePainted(end);
  }
  painting_ = false;
  return painted;
}

void tFractalComputation::paintJittered(tThreadState& state) {
  std::unique_lock<std::mutex> lock(workMutex_);
  std::size_t cursor = 0;
  while (cursor < pixelCount_) {
    // The first samples of the window ahead tell which pixels will draw.
    std::size_t windowEnd = pixelCount_;
    if (chunkCount_ != 0) {
      const std::size_t first = cursor / chunkSize_;
      const std::size_t last = std::min(first + WINDOW_CHUNKS, chunkCount_);
      auto windowReady = [&] {
        for (std::size_t chunk = first; chunk < last; ++chunk) {
          const tChunkSlot& slot = slots_[chunk % WINDOW_CHUNKS];
          if (slot.chunk != chunk || !slot.ready) return false;
        }
        return true;
      };
      if (!waitFor(lock, state, windowReady)) return;
      windowEnd = std::min(last * chunkSize_, pixelCount_);
    }
    planBatch(windowEnd);
    workAvailable_.notify_all();
    const std::size_t tasks = (batch_.starts.size() + TASK_SAMPLES - 1) / TASK_SAMPLES;
    if (!waitFor(lock, state, [&] { return batch_.tasksDone == tasks; })) return;
    lock.unlock();

    // A pixel whose offsets could not be speculated is computed on the spot.
    std::size_t pixel = cursor;
    const std::size_t end = std::max(batch_.end, cursor + 1);
    bool held = true;
    while (held && pixel < end) {
      if (cancel_.load()) return;
      std::lock_guard<std::mutex> picture(pictureMutex_);
      const std::size_t sliceEnd = std::min(end, pixel + BASIN_CHUNK);
      while (held && pixel < sliceEnd) held = paintBasinPixel(pixel++);
      painted_.store(pixel, std::memory_order_release);
    }
    if (held) {
      batchSamples_ = std::min(BATCH_SAMPLES, 2 * batchSamples_);
    } else {
      batchSamples_ = std::max(MIN_BATCH_SAMPLES, batchSamples_ / 2);
      predictSampleCounts(pixel);
    }
    cursor = pixel;
    lock.lock();
    advancePainted(cursor);
  }
}

void tFractalComputation::predictSampleCounts(std::size_t from) {
  predictedFrom_ = from;
  predicted_.clear();
  for (std::size_t pixel = from; pixel < batch_.end; ++pixel) {
    const std::size_t first = batch_.firstSample[pixel - batch_.begin];
    const std::size_t count = batch_.sampleCount[pixel - batch_.begin];
    // Sampling ends after the first failed sample.
    std::size_t taken = 0;
    while (taken < count) {
      if (batch_.outcomes[first + taken++].kind != tPacketSolver::OUTCOME_CONVERGED) break;
    }
    predicted_.push_back(static_cast<uint32_t>(taken));
  }
}

void tFractalComputation::planBatch(std::size_t windowEnd) {
  const std::size_t begin = painted_.load();
  const uint32_t jittered = samples_ - (jitterFirst_ ? 0 : 1);
  // Offsets a pixel takes if all its samples are taken: none after a failed
  // unjittered first sample.
  auto jitteredSamplesOf = [&](std::size_t pixel) -> uint32_t {
    if (jitterFirst_) return jittered;
    return firstSampleOf(pixel).kind == tPacketSolver::OUTCOME_CONVERGED ? jittered : 0;
  };
  // Draws the window is certain to make: every pixel that draws at all
  // draws the two offsets of its first jittered sample. They are counted
  // only as far as a batch could draw, which is all the limit below needs.
  std::size_t certain = 2 * (windowEnd - begin);
  if (!jitterFirst_) {
    const std::size_t enough = 2 * (batchSamples_ + samples_);
    certain = 0;
    for (std::size_t pixel = begin; pixel < windowEnd && certain < enough; ++pixel) {
      certain += jitteredSamplesOf(pixel) != 0 ? 2 : 0;
    }
  }

  batch_.begin = begin;
  batch_.firstSample.clear();
  batch_.sampleCount.clear();
  batch_.dx.clear();
  batch_.dy.clear();
  batch_.starts.clear();
  std::size_t draws = 0;
  std::size_t pixel = begin;
  for (; pixel < windowEnd; ++pixel) {
    uint32_t count = jitteredSamplesOf(pixel);
    // A pixel seen in an earlier batch whose speculation broke took as many
    // samples there as it probably takes now.
    if (count != 0 && pixel >= predictedFrom_ && pixel - predictedFrom_ < predicted_.size()) {
      count = std::max<uint32_t>(1, std::min(count, predicted_[pixel - predictedFrom_]));
    }
    if (draws + 2 * std::size_t{count} > certain) break;
    if (pixel > begin && batch_.starts.size() + count > batchSamples_) break;
    batch_.firstSample.push_back(batch_.starts.size());
    batch_.sampleCount.push_back(count);
    const double row = static_cast<double>(pixel / width_);
    const double column = static_cast<double>(pixel % width_);
    tRandom& random = fractal_->getContext().getRandom();
    for (uint32_t s = 0; s < count; ++s) {
      float dx = random.peekInRange(draws++, -0.5f, 0.5f);
      float dy = random.peekInRange(draws++, -0.5f, 0.5f);
      batch_.dx.push_back(dx);
      batch_.dy.push_back(dy);
      batch_.starts.push_back(
          fractal_->pointAt(row + static_cast<double>(dy), column + static_cast<double>(dx)));
    }
  }
  batch_.end = pixel;
  batch_.outcomes.resize(batch_.starts.size());
  batch_.nextTask = 0;
  batch_.tasksDone = 0;
}

const tPacketSolver::tOutcome& tFractalComputation::firstSampleOf(std::size_t pixel) {
  return slotOf(pixel).outcomes[pixel % chunkSize_];
}

tPacketSolver::tOutcome tFractalComputation::takeSample(std::size_t pixel, uint32_t s, double dx,
                                                        double dy, bool& held) {
  if (s == 0 && !jitterFirst_) return firstSampleOf(pixel);
  const std::size_t j = s - (jitterFirst_ ? 0 : 1);
  if (pixel >= batch_.begin && pixel < batch_.end) {
    const std::size_t k = pixel - batch_.begin;
    const std::size_t sample = batch_.firstSample[k] + j;
    if (j < batch_.sampleCount[k] && batch_.dx[sample] == dx && batch_.dy[sample] == dy) {
      return batch_.outcomes[sample];
    }
  }
  held = false;
  const double row = static_cast<double>(pixel / width_);
  const double column = static_cast<double>(pixel % width_);
  return tPacketSolver::outcomeOf(
      solver_->solve(function_, fractal_->pointAt(row + dy, column + dx), false));
}

bool tFractalComputation::paintBasinPixel(std::size_t pixel) {
  bool held = true;
  fractal_->paintPixel(
      static_cast<int>(pixel / width_), static_cast<int>(pixel % width_),
      [&](uint32_t s, double dx, double dy) { return takeSample(pixel, s, dx, dy, held); });
  return held;
}

void tFractalComputation::advancePainted(std::size_t painted) {
  painted_.store(painted, std::memory_order_release);
  // The last chunk may be short: painting it still moves past it.
  paintedChunk_ = painted == pixelCount_ ? chunkCount_ : painted / chunkSize_;
  workAvailable_.notify_all();
  if (painted == pixelCount_) progress_.notify_all();
}
