#ifndef ROOTWEAVER_FRACTAL_TPICTURECOMPUTATION_H
#define ROOTWEAVER_FRACTAL_TPICTURECOMPUTATION_H

#include <cstddef>
#include <mutex>

// What a view needs of a picture computed in the background: a basin
// picture (tFractalComputation) or a parameter plane (tPlaneComputation).
// Either paints a row-major prefix of finished pixels and leaves the rest
// as it was; the picture is read under lockPicture() while it runs.
class tPictureComputation {
 public:
  virtual ~tPictureComputation() = default;

  // Starts in the background and returns at once; false if already started.
  virtual bool start() = 0;
  // Stops as soon as it can and waits for its threads; what is painted stays.
  virtual void cancel() = 0;
  virtual bool isDone() const = 0;
  // Pixels of the finished prefix, of all the picture's pixels.
  virtual std::size_t getPaintedCount() const = 0;
  virtual std::size_t getPixelCount() const = 0;
  // Milliseconds from the start to the last pixel painted; 0 until done.
  virtual double getMilliseconds() const = 0;
  virtual std::unique_lock<std::mutex> lockPicture() = 0;
};

#endif
