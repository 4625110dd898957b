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
  recordRun(row * width_ + column, &outcome, &registryIndex, 1);
}

void tBasinLabels::recordRun(std::size_t pixel, const tPacketSolver::tOutcome* outcomes,
                             const std::size_t* registryIndices, std::size_t count) {
  allocate();
  uint16_t* labels = labels_.data() + pixel;
  uint16_t* iterations = iterations_.data() + pixel;
  for (std::size_t i = 0; i < count; ++i) {
    labels[i] = labelOf(outcomes[i], registryIndices[i]);
    iterations[i] =
        static_cast<uint16_t>(std::min<uint32_t>(outcomes[i].iterations, MAX_ITERATIONS));
  }
}

void tBasinLabels::allocate() {
  if (!labels_.empty()) return;
  labels_.assign(width_ * height_, NO_CONVERGENCE);
  iterations_.assign(width_ * height_, 0);
}

uint16_t tBasinLabels::labelOf(const tPacketSolver::tOutcome& outcome, std::size_t registryIndex) {
  if (outcome.kind == tPacketSolver::OUTCOME_CONVERGED) {
    // Mostly a root this picture has met.
    if (registryIndex < labelsOfRegistry_.size() && labelsOfRegistry_[registryIndex] != kNoLabel) {
      return labelsOfRegistry_[registryIndex];
    }
    return labelOfRoot(registryIndex);
  }
  return outcome.kind == tPacketSolver::OUTCOME_SINGULAR ? SINGULAR : NO_CONVERGENCE;
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
