#include "fractal/tBasinLabels.h"

#include <algorithm>

namespace {

// A registry place that no label names yet; never a root label, as root
// labels stay below MAX_ROOTS.
const uint16_t kNoLabel = 0xFFFF;

}  // namespace

tBasinLabels::tBasinLabels(std::size_t side) : tBasinLabels(side, side) {}

tBasinLabels::tBasinLabels(std::size_t width, std::size_t height)
    : width_(width), height_(height) {}

void tBasinLabels::clear() {
  // The memory goes too: a picture that records nothing keeps none.
  std::vector<uint16_t>().swap(labels_);
  std::vector<uint16_t>().swap(iterations_);
  registryIndices_.clear();
  labelsOfRegistry_.clear();
}

void tBasinLabels::record(std::size_t row, std::size_t column,
                          const tPacketSolver::tOutcome& outcome, std::size_t registryIndex) {
  if (labels_.empty()) {
    labels_.assign(width_ * height_, NO_CONVERGENCE);
    iterations_.assign(width_ * height_, 0);
  }
  const std::size_t pixel = row * width_ + column;
  if (outcome.kind == tPacketSolver::OUTCOME_CONVERGED) {
    labels_[pixel] = labelOfRoot(registryIndex);
  } else {
    labels_[pixel] = outcome.kind == tPacketSolver::OUTCOME_SINGULAR ? SINGULAR : NO_CONVERGENCE;
  }
  const uint32_t iterations = std::min<uint32_t>(outcome.iterations, MAX_ITERATIONS);
  iterations_[pixel] = static_cast<uint16_t>(iterations);
}

uint16_t tBasinLabels::getLabel(std::size_t row, std::size_t column) const {
  return labels_[row * width_ + column];
}

uint16_t tBasinLabels::getIterationCount(std::size_t row, std::size_t column) const {
  return iterations_[row * width_ + column];
}

uint16_t tBasinLabels::labelOfRoot(std::size_t registryIndex) {
  if (registryIndex >= labelsOfRegistry_.size()) {
    labelsOfRegistry_.resize(registryIndex + 1, kNoLabel);
  }
  uint16_t& label = labelsOfRegistry_[registryIndex];
  if (label != kNoLabel) return label;
  if (registryIndices_.size() < MAX_ROOTS) {
    label = static_cast<uint16_t>(registryIndices_.size());
    registryIndices_.push_back(registryIndex);
  } else {
    label = static_cast<uint16_t>(MAX_ROOTS - 1);
  }
  return label;
}
