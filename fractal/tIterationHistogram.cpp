#include "fractal/tIterationHistogram.h"

#include <limits>

#include "fractal/tBasinLabels.h"

namespace {

const double kUndefined = std::numeric_limits<double>::quiet_NaN();

}  // namespace

tIterationHistogram::tIterationHistogram(const tBasinLabels& labels) {
  const std::vector<uint16_t>& kinds = labels.getLabels();
  const std::vector<uint16_t>& iterations = labels.getIterations();
  starts_ = kinds.size();
  for (std::size_t i = 0; i < starts_; ++i) {
    if (kinds[i] == tBasinLabels::NO_CONVERGENCE || kinds[i] == tBasinLabels::SINGULAR) {
      ++failures_;
      continue;
    }
    if (iterations[i] >= counts_.size()) counts_.resize(iterations[i] + std::size_t{1}, 0);
    ++counts_[iterations[i]];
  }
  converged_ = starts_ - failures_;
}

double tIterationHistogram::getMeanIterations() const {
  if (converged_ == 0) return kUndefined;
  double sum = 0.0;
  for (std::size_t k = 0; k < counts_.size(); ++k) sum += static_cast<double>(k) * counts_[k];
  return sum / static_cast<double>(converged_);
}

double tIterationHistogram::getMostProbableIterations() const {
  if (converged_ == 0) return kUndefined;
  std::size_t mode = 0;
  for (std::size_t k = 1; k < counts_.size(); ++k)
    if (counts_[k] > counts_[mode]) mode = k;
  return static_cast<double>(mode);
}

double tIterationHistogram::getFailureFraction() const {
  if (starts_ == 0) return kUndefined;
  return static_cast<double>(failures_) / static_cast<double>(starts_);
}
