#ifndef ROOTWEAVER_FRACTAL_TITERATIONHISTOGRAM_H
#define ROOTWEAVER_FRACTAL_TITERATIONHISTOGRAM_H

#include <cstddef>
#include <cstdint>
#include <vector>

class tBasinLabels;

// How fast a finished basin picture's starts converged, read from its labels
// (tBasinLabels): one start per pixel, its first sample, the one the labels
// and tSpeedShading read, whatever the jitter.
//
// The histogram counts the converged starts by the iterations they took
// (counts above tBasinLabels::MAX_ITERATIONS read as that); the starts that
// failed, by no convergence or a singular Jacobian, are counted apart. From
// these come the mean iterations of the converged starts, the most probable
// count N* (the histogram's mode, the smaller count on a tie) and the share
// of starts that failed.
//
// A measure that is not defined is NaN: the mean and N* without a converged
// start, all three for a picture without labels (a singular-set picture).
class tIterationHistogram {
 public:
  explicit tIterationHistogram(const tBasinLabels& labels);

  // Converged starts by iteration count: getCounts()[k] took k iterations.
  // Empty without a converged start.
  const std::vector<std::size_t>& getCounts() const { return counts_; }
  std::size_t getFailures() const { return failures_; }
  // Every start, converged or not: the picture's pixels.
  std::size_t getStarts() const { return starts_; }

  double getMeanIterations() const;
  double getMostProbableIterations() const;
  double getFailureFraction() const;

 private:
  std::vector<std::size_t> counts_;  // converged starts by iteration count
  std::size_t converged_ = 0;        // converged starts
  std::size_t failures_ = 0;         // starts that failed
  std::size_t starts_ = 0;           // all starts
};

#endif
