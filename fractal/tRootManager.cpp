#include "fractal/tRootManager.h"

#include <algorithm>
#include <limits>

#include "fractal/tIterativeSolver.h"
#include "fractal/tPalette.h"
#include "fractal/tRandom.h"

namespace {

const int kRandomColorAttempts = 500;
const float kMinColorDistance = 125.0f;
const float kRandomChannelLow = 64.0f;
const float kRandomChannelHigh = 255.0f;

// Roots farther apart than this cannot both be one with the same point.
const double kUncrowdedDistance = 2.5 * tIterativeSolver::ROOT_EQUALITY_EPSILON;

unsigned char randomChannel(tRandom& random) {
  return static_cast<unsigned char>(
      static_cast<int>(random.randInRange(kRandomChannelLow, kRandomChannelHigh)));
}

}  // namespace

tRootManager::tRootManager(tRandom& random)
    : random_(random),
      nextPresetIndex_(0),
      useRandomColors_(true),
      palette_(&tPalette::classic()),
      lastFound_(0),
      sameRootLimit_(tIterativeSolver::squaredLimit(tIterativeSolver::ROOT_EQUALITY_EPSILON)) {
  initPresetColors();
}

tPixel tRootManager::getColorForRoot(const tVector2& root) {
  return roots_[registerRoot(root)].second;
}

std::size_t tRootManager::registerRoot(const tVector2& root) {
  std::size_t found = findRoot(root);
  if (found < roots_.size()) {
    lastFound_ = found;
    return found;
  }
  tPixel color;
  if (!palette_->isClassic()) {
    color = palette_->colorFor(root, roots_.size());
  } else if (useRandomColors_ || nextPresetIndex_ >= presetColors_.size()) {
    color = generateRandomColor();
  } else {
    color = presetColors_[nextPresetIndex_++];
  }
  append(root, color);
  return roots_.size() - 1;
}

void tRootManager::restoreRoot(const tVector2& root, const tPixel& color) {
  if (!useRandomColors_ && nextPresetIndex_ < presetColors_.size()) ++nextPresetIndex_;
  append(root, color);
}

void tRootManager::append(const tVector2& root, const tPixel& color) {
  bool crowded = false;
  for (const auto& entry : roots_) crowded |= !((entry.first - root).length() >= kUncrowdedDistance);
  roots_.emplace_back(root, color);
  crowded_.push_back(crowded);
}

bool tRootManager::sameRoot(const tVector2& a, const tVector2& b) const {
  return (a - b).lengthSquared() < sameRootLimit_;
}

std::size_t tRootManager::findRoot(const tVector2& root) const {
  if (lastFound_ < roots_.size() && !crowded_[lastFound_] &&
      sameRoot(roots_[lastFound_].first, root)) {
    return lastFound_;
  }
  for (std::size_t i = 0; i < roots_.size(); ++i) {
    if (sameRoot(roots_[i].first, root)) return i;
  }
  return roots_.size();
}

void tRootManager::clearRoots() {
  roots_.clear();
  crowded_.clear();
  nextPresetIndex_ = 0;
}

void tRootManager::initPresetColors() {
  presetColors_.emplace_back(159, 66, 238, 255);
  presetColors_.emplace_back(92, 245, 60, 255);
  presetColors_.emplace_back(32, 137, 128, 255);
}

tPixel tRootManager::generateRandomColor() {
  tPixel farthest;
  float farthestDistance = -1.0f;
  for (int attempt = 0; attempt < kRandomColorAttempts; ++attempt) {
    // Blue is drawn first, then green, then red: the order fixes which colours
    // a seeded run produces.
    unsigned char blue = randomChannel(random_);
    unsigned char green = randomChannel(random_);
    unsigned char red = randomChannel(random_);
    const tPixel candidate(red, green, blue, 255);
    const float distance = distanceToBasinColors(candidate);
    if (distance >= kMinColorDistance && candidate.distance(getTextColor()) >= kMinColorDistance) {
      return candidate;
    }
    // When no candidate is far enough, the one whose basins are easiest to
    // tell from the others is kept; every attempt still makes its draws.
    if (distance > farthestDistance) {
      farthest = candidate;
      farthestDistance = distance;
    }
  }
  return farthest;
}

float tRootManager::distanceToBasinColors(const tPixel& candidate) const {
  float nearest = std::numeric_limits<float>::infinity();
  for (const auto& entry : roots_) nearest = std::min(nearest, candidate.distance(entry.second));
  for (const tPixel& failure : {getSingularJacobianColor(), getNoConvergenceColor()}) {
    nearest = std::min(nearest, candidate.distance(failure));
  }
  return nearest;
}
