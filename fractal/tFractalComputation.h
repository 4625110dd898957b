#ifndef ROOTWEAVER_FRACTAL_TFRACTALCOMPUTATION_H
#define ROOTWEAVER_FRACTAL_TFRACTALCOMPUTATION_H

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "fractal/tPacketSolver.h"
#include "fractal/tPictureComputation.h"

class tFractal;
class tSolvedPixels;
class tFunction;
class tIterativeSolver;

// One picture of a fractal computed on several threads (by default every CPU
// the process may use, tThreadCount), byte for byte the picture that
// computing its pixels one by one in row-major order gives
// (tFractal::computate), with the same root colours and the same draws from
// the random sequence.
//
// The solves run in parallel, in packets (tPacketSolver); everything whose
// order matters happens one pixel at a time in row-major order: registering
// roots (which decides the colours), drawing jitter offsets and random
// colours, and painting. Pixels are cut into chunks that the computing
// threads (the one that runs the computation, the coordinator, and a pool
// beside it) compute ahead of the painting, up to a window. Without jitter
// they paint too, one at a time: a thread paints the chunks it computed when
// their turn comes (their results are still in its caches), and a thread
// with nothing left to compute paints whatever is ready.
//
// Jitter needs the offsets before the painting draws them, and how many draws
// a pixel takes depends on its outcomes (a failed sample ends the pixel; a
// new root may draw a random colour). So one thread, the coordinator, paints,
// and the offsets are speculated: the unjittered first samples are computed
// first, which tells which pixels will draw at all; then a batch of pixels
// gets offsets peeked from the random sequence as if every one of them used
// all its samples (or as many as it took when an earlier batch speculated
// it), and all threads solve their samples. Painting draws the real offsets; a
// sample whose speculated offset was not what it drew is solved again on the
// spot, and the batch ends after that pixel, so the next batch is speculated
// from the true position. Batches grow while speculation holds and shrink
// when it breaks. Peeking never goes beyond the draws the picture is certain
// to make, so a finished picture leaves the random sequence where one-by-one
// computing would.
//
// A computation runs once, either on the calling thread (run) or in the
// background (start; see tPictureComputation), where it paints as it goes: the picture always holds
// a row-major prefix of finished pixels and the rest unchanged, and cancel stops it within a packet
// round. While it runs in the background, the picture, the fractal's fields and the root registry
// are read under lockPicture(), and the function and solver stay untouched.
class tFractalComputation : public tPictureComputation {
 public:
  // `threads` computing threads; 0 means tThreadCount::get().
  tFractalComputation(tFractal* fractal, tFunction* f, tIterativeSolver* solver,
                      unsigned int threads = 0);
  // Cancels a background computation and waits for it.
  ~tFractalComputation() override;
  tFractalComputation(const tFractalComputation&) = delete;
  tFractalComputation& operator=(const tFractalComputation&) = delete;

  // Stops the computation as soon as it can and waits for its threads; the
  // pixels painted so far stay. Nothing happens when none runs.
  void cancel() override;
  // Before run or start: the first samples that `solved` holds are taken
  // from it instead of being solved (a jittered first sample is always
  // solved); it must not change until the computation ends.
  void reuse(const tSolvedPixels* solved) { solved_ = solved; }

  // Every pixel is painted.
  bool isDone() const override { return done_.load(std::memory_order_acquire); }
  // Pixels painted so far, the first ones in row-major order.
  std::size_t getPaintedCount() const override { return painted_.load(std::memory_order_acquire); }
  std::size_t getPixelCount() const override { return pixelCount_; }
  // Milliseconds from run or start to the last pixel painted; 0 until done.
  double getMilliseconds() const override { return milliseconds_.load(std::memory_order_acquire); }
  // Held while reading the picture or the root registry during a background
  // computation; the painting waits for it.
  std::unique_lock<std::mutex> lockPicture() override {
    return std::unique_lock<std::mutex>(pictureMutex_);
  }

 private:
  // Chunks computed ahead of the painting, and the pixels in a chunk.
  static constexpr std::size_t WINDOW_CHUNKS = 64;
  static constexpr std::size_t BASIN_CHUNK = 512;
  static constexpr std::size_t SINGULAR_CHUNK = 32;
  // Most and fewest samples speculated in one batch, and samples per task of
  // a batch.
  static constexpr std::size_t BATCH_SAMPLES = 4096;
  static constexpr std::size_t MIN_BATCH_SAMPLES = 64;
  static constexpr std::size_t TASK_SAMPLES = 256;

  // The results of one chunk, kept in a ring slot of the window.
  struct tChunkSlot {
    std::size_t chunk;                              // the chunk held
    bool ready;                                     // its results are complete
    std::vector<tPacketSolver::tOutcome> outcomes;  // basins: each pixel's first sample
    std::unique_ptr<bool[]> straddles;              // singular set: each pixel's verdict
    unsigned int owner;                             // the thread that computes it
  };
  // What one thread computes with.
  struct tThreadState {
    tPacketSolver solver;          // the thread's packet of lanes
    std::vector<tVector2> starts;  // start points of the task at hand
    unsigned int id;               // the thread's number; the coordinator's is the last
    // With pixels solved before: the chunk's pixels still to solve, and their results.
    std::vector<std::size_t> missing;
    std::vector<tPacketSolver::tOutcome> outcomes;
    std::unique_ptr<bool[]> straddles;
  };
  // The speculated jittered samples of the batch being painted.
  struct tBatch {
    std::size_t begin;                              // first pixel of the batch
    std::size_t end;                                // pixel after the last
    std::vector<std::size_t> firstSample;           // per pixel: its first entry below
    std::vector<std::size_t> sampleCount;           // per pixel: its entries
    std::vector<float> dx;                          // per sample: speculated offsets
    std::vector<float> dy;                          //   drawn in this order
    std::vector<tVector2> starts;                   // per sample: its start point
    std::vector<tPacketSolver::tOutcome> outcomes;  // per sample: its outcome
    std::size_t nextTask;                           // tasks handed out
    std::size_t tasksDone;                          // tasks finished
  };

  void computeAll() override;
  void startWorkers();
  void stopWorkers();
  void workerLoop(unsigned int id);
  // One step of a computing thread: a task, else painting what is ready,
  // else waiting for either.
  void work(std::unique_lock<std::mutex>& lock, tThreadState& state);
  // Takes one task (a batch task first, else the next chunk in the window)
  // and computes it with `lock` released; false when there is none.
  bool doOneTask(std::unique_lock<std::mutex>& lock, tThreadState& state);
  bool chunkClaimable() const;
  bool batchTaskClaimable() const;
  void computeChunk(std::size_t chunk, tThreadState& state);
  // The unjittered start of pixel (row, column).
  tVector2 startOf(std::size_t row, std::size_t column) const {
    return tVector2(columnX_[column], rowY_[row]);
  }
  // computeChunk solving only the pixels that solved_ does not hold.
  void completeChunk(std::size_t chunk, tThreadState& state);
  void computeBatchTask(std::size_t task, tThreadState& state);
  // Waits, computing meanwhile, until `ready` holds or the computation is
  // cancelled; false when cancelled.
  template <typename tReady>
  bool waitFor(std::unique_lock<std::mutex>& lock, tThreadState& state, tReady ready);

  // Paints the chunks that are ready, in order, unless another thread is at
  // it; the painter goes on as long as the next chunk is ready and, unless
  // `anyOwner`, computed by thread `id`, whose caches hold its results.
  // Whether it painted anything.
  bool paintReadyChunks(std::unique_lock<std::mutex>& lock, unsigned int id, bool anyOwner);
  // The coordinator's painting of a jittered picture.
  void paintJittered(tThreadState& state);
  // Fills batch_ from the painting position and hands its tasks out.
  void planBatch(std::size_t windowEnd);
  // After a batch whose speculation broke before `from`: how many samples
  // each pixel from there on took with its speculated offsets.
  void predictSampleCounts(std::size_t from);
  tChunkSlot& slotOf(std::size_t pixel) { return slots_[(pixel / chunkSize_) % WINDOW_CHUNKS]; }
  const tPacketSolver::tOutcome& firstSampleOf(std::size_t pixel);
  // Paints one basin pixel as tFractal::computatePixel does, drawing its
  // offsets and taking its samples from the chunk and the batch where they
  // were speculated right; false when a sample had to be solved again.
  bool paintBasinPixel(std::size_t pixel);
  // Sample s of the pixel: the first sample's chunk result, or the jittered
  // sample at the offsets just drawn, from the batch when they were
  // speculated right, else solved on the spot (which clears `held`).
  tPacketSolver::tOutcome takeSample(std::size_t pixel, uint32_t s, double dx, double dy,
                                     bool& held);
  // Moves the painting position on and frees the window behind it.
  void advancePainted(std::size_t painted);

  tFractal* fractal_;           // the picture
  tFunction* function_;         // F, evaluated through its compiled formulas
  tIterativeSolver* solver_;    // the iteration of every solve
  unsigned int threads_;        // threads that compute
  std::size_t width_;           // pixels per row
  std::size_t pixelCount_;      // pixels of the picture
  uint32_t samples_;            // samples per pixel
  bool jitterFirst_;            // the first sample is jittered too
  bool singular_;               // the picture is the singular set
  bool chunksPaintThemselves_;  // no jitter to speculate: chunks are painted as they come
  std::size_t chunkSize_;       // pixels per chunk
  std::size_t chunkCount_;      // chunks of the picture
  const tSolvedPixels* solved_;  // first samples solved before; null when none
  // The unjittered starts' coordinates, x per column and y per row, as
  // tFractal::pointAt gives them: a division less per pixel.
  std::vector<double> columnX_;
  std::vector<double> rowY_;

  std::mutex workMutex_;                   // guards everything down to batch_
  std::condition_variable workAvailable_;  // for computing threads: work, painting, or stop
  std::condition_variable progress_;       // for a jittered picture's coordinator: results
  std::vector<tChunkSlot> slots_;          // the window's ring of chunk results
  std::size_t nextChunk_;                  // next chunk to hand out
  std::size_t paintedChunk_;               // chunk holding the painting position
  bool stopping_;                          // the workers are to return
  bool painting_;                          // a thread is painting chunks
  tBatch batch_;                           // speculated samples being computed or painted

  std::size_t batchSamples_;         // coordinator's: samples the next batch may speculate
  std::vector<uint32_t> predicted_;  // coordinator's: samples expected from predictedFrom_ on
  std::size_t predictedFrom_;        // coordinator's: first pixel of predicted_

  std::vector<std::thread> workers_;    // the threads besides the coordinator
  std::atomic<bool> cancel_;            // stop as soon as possible
  std::atomic<bool> done_;              // every pixel painted
  std::atomic<std::size_t> painted_;    // pixels painted
  std::atomic<double> milliseconds_;    // time the whole picture took
  std::mutex pictureMutex_;             // held while painting
};

#endif
