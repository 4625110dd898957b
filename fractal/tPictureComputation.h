#ifndef ROOTWEAVER_FRACTAL_TPICTURECOMPUTATION_H
#define ROOTWEAVER_FRACTAL_TPICTURECOMPUTATION_H

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

// A picture computed once, on the calling thread (run) or in the background
// (start), as a view needs it: a basin picture (tFractalComputation) or a
// parameter plane (tPlaneComputation). Either paints a row-major prefix of
// finished pixels and leaves the rest as it was; the picture is read under
// lockPicture() while it runs.
//
// This class runs the computation and tells waiters when it ends; a
// subclass computes (computeAll) and stops when cancelled. Its destructor
// must cancel, so that the background thread ends before its members go.
class tPictureComputation {
 public:
  tPictureComputation() = default;
  virtual ~tPictureComputation();
  tPictureComputation(const tPictureComputation&) = delete;
  tPictureComputation& operator=(const tPictureComputation&) = delete;

  // Computes the whole picture before returning; false if already run or
  // started.
  bool run();
  // Starts in the background and returns at once; false as above.
  bool start();
  // Stops as soon as it can and waits for its threads; what is painted stays.
  virtual void cancel() = 0;
  // Waits until every pixel is painted, or the computation ends cancelled,
  // or the time passes; whether every pixel is painted.
  bool waitUntilDone(double milliseconds);
  virtual bool isDone() const = 0;
  // Pixels of the finished prefix, of all the picture's pixels.
  virtual std::size_t getPaintedCount() const = 0;
  virtual std::size_t getPixelCount() const = 0;
  // Milliseconds from the start to the last pixel painted; 0 until done.
  virtual double getMilliseconds() const = 0;
  virtual std::unique_lock<std::mutex> lockPicture() = 0;
  // Whole coarse pictures painted so far, each of which a view shows at
  // once; none for a computation that paints row by row.
  virtual unsigned int getCoarsePasses() const { return 0; }

 protected:
  // The whole computation, on the thread of run or the background thread.
  virtual void computeAll() = 0;
  // Waits for the background thread, for cancel once it has told its
  // threads to stop.
  void joinBackground();

 private:
  // computeAll, then tells the waiters.
  void compute();

  std::thread background_;              // the thread of a background computation
  bool started_ = false;                // run or start has been called
  std::mutex endMutex_;                 // guards ended_
  std::condition_variable endReached_;  // for waitUntilDone: the computation ended
  bool ended_ = false;                  // compute has returned, done or cancelled
};

#endif
