#include "fractal/tRootManager.h"

#include <algorithm>

#include "fractal/tIterativeSolver.h"
#include "fractal/tPalette.h"
#include "fractal/tRandom.h"

namespace {

const int kRandomColorAttempts = 500;
const float kMinColorDistance = 125.0f;
// The squared distances at or above this have a square root of at least
// kMinColorDistance.
const int kMinColorSquared = 125 * 125;
const float kRandomChannelLow = 64.0f;
const float kRandomChannelHigh = 255.0f;

// Roots farther apart than this cannot both be one with the same point.
const double kUncrowdedDistance = 2.5 * tIterativeSolver::ROOT_EQUALITY_EPSILON;

// Roots are looked for this much farther than the distance that makes them
// near: a distance computed below it may be slightly above it exactly.
const double kNearReach = 1.000001;

// Registries of at most this many roots are searched from the first root
// on rather than through the grid.
const std::size_t kScannedRoots = 8;

// Every channel of a candidate lies in [64, 256): in the cubes 64 a side
// numbered 1 to 3 on each channel.
const int kCandidateCubes[2] = {1, 3};

unsigned char channelOf(float drawn) { return static_cast<unsigned char>(static_cast<int>(drawn)); }

unsigned char randomChannel(tRandom& random) {
  return channelOf(random.randInRange(kRandomChannelLow, kRandomChannelHigh));
}

}  // namespace

tRootManager::tRootManager(tRandom& random)
    : random_(random),
      nextPresetIndex_(0),
      useRandomColors_(true),
      palette_(&tPalette::classic()),
      lastFound_(0),
      lastRoot_(),
      lastUncrowded_(false),
      sameRootLimit_(tIterativeSolver::squaredLimit(tIterativeSolver::ROOT_EQUALITY_EPSILON)) {
  initPresetColors();
}

tPixel tRootManager::getColorForRoot(const tVector2& root) {
  return roots_[registerRoot(root)].second;
}

std::size_t tRootManager::registerOther(const tVector2& root) {
  std::size_t found = findRoot(root);
  if (found < roots_.size()) {
    lastFound_ = found;
    lastRoot_ = roots_[found].first;
    lastUncrowded_ = !crowded_[found];
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
  crowded_.push_back(crowded(root));
  rootGrid_.add(root, roots_.size());
  roots_.emplace_back(root, color);
}

bool tRootManager::crowded(const tVector2& root) const {
  bool near = false;
  rootGrid_.visitNear(root, kNearReach * kUncrowdedDistance, [&](std::size_t i) {
    near = near || !((roots_[i].first - root).length() >= kUncrowdedDistance);
    return !near;
  });
  return near;
}

std::size_t tRootManager::findRoot(const tVector2& root) const {
  // A few roots are looked at all, in order, before the grid's squares are.
  if (roots_.size() <= kScannedRoots) {
    for (std::size_t i = 0; i < roots_.size(); ++i) {
      if (sameRoot(roots_[i].first, root)) return i;
    }
    return roots_.size();
  }
  // A root that matches is less than a tolerance (under half a square) away
  // on each axis: in the point's square or the one beside it on each axis.
  std::size_t first = roots_.size();
  rootGrid_.visitNear(root, kNearReach * tIterativeSolver::ROOT_EQUALITY_EPSILON,
                      [&](std::size_t i) {
                        if (i >= first) return false;
                        if (!sameRoot(roots_[i].first, root)) return true;
                        first = i;
                        return false;
                      });
  return first;
}

void tRootManager::clearRoots() {
  roots_.clear();
  crowded_.clear();
  lastUncrowded_ = false;
  rootGrid_.clear();
  colorGrid_.clear();
  nextPresetIndex_ = 0;
}

void tRootManager::initPresetColors() {
  presetColors_.emplace_back(159, 66, 238, 255);
  presetColors_.emplace_back(92, 245, 60, 255);
  presetColors_.emplace_back(32, 137, 128, 255);
}

tPixel tRootManager::generateRandomColor() {
  // The grid takes the colours only when random colours are chosen, which
  // roots under most palettes never need.
  for (std::size_t i = colorGrid_.size(); i < roots_.size(); ++i) colorGrid_.add(roots_[i].second);
  if (colorGrid_.fillsCubes(kCandidateCubes[0], kCandidateCubes[1])) return farthestCandidate();
  tPixel farthest;
  // Squared distances compare as their square roots do (the root is
  // correctly rounded, and no two of these integers share one), so the
  // farthest is kept by its squared distance, and a candidate is measured
  // only as far as it could be accepted or be the farthest yet.
  int farthestSquared = -1;
  for (int attempt = 0; attempt < kRandomColorAttempts; ++attempt) {
    // Blue is drawn first, then green, then red: the order fixes which colours
    // a seeded run produces.
    unsigned char blue = randomChannel(random_);
    unsigned char green = randomChannel(random_);
    unsigned char red = randomChannel(random_);
    const tPixel candidate(red, green, blue, 255);
    const int squared =
        squaredDistanceToBasinColors(candidate, std::min(kMinColorSquared - 1, farthestSquared));
    if (squared >= kMinColorSquared && candidate.distance(getTextColor()) >= kMinColorDistance) {
      return candidate;
    }
    // When no candidate is far enough, the one whose basins are easiest to
    // tell from the others is kept; every attempt still makes its draws.
    if (squared > farthestSquared) {
      farthest = candidate;
      farthestSquared = squared;
    }
  }
  return farthest;
}

tPixel tRootManager::farthestCandidate() {
  // No candidate lies 125 away from the colours in use, so every attempt is
  // made: the draws are taken at once, and every candidate's hint is looked
  // up before any is measured, so that the lookups wait on memory together.
  draws_.resize(3 * kRandomColorAttempts);
  random_.drawInRange(kRandomChannelLow, kRandomChannelHigh, draws_.size(), draws_.data());
  candidates_.resize(kRandomColorAttempts);
  for (int attempt = 0; attempt < kRandomColorAttempts; ++attempt) {
    const float* drawn = &draws_[3 * attempt];
    candidates_[attempt] =
        tPixel(channelOf(drawn[2]), channelOf(drawn[1]), channelOf(drawn[0]), 255);
  }
  hinted_.resize(kRandomColorAttempts);
  colorGrid_.hintedSquared(candidates_.data(), candidates_.size(), hinted_.data());
  tPixel farthest;
  int farthestSquared = -1;
  for (int attempt = 0; attempt < kRandomColorAttempts; ++attempt) {
    // A candidate no farther from its hint than the farthest yet is no
    // farther from the colours in use.
    if (hinted_[attempt] <= farthestSquared) continue;
    const int squared = squaredDistanceToBasinColors(candidates_[attempt], farthestSquared);
    if (squared > farthestSquared) {
      farthest = candidates_[attempt];
      farthestSquared = squared;
    }
  }
  return farthest;
}

int tRootManager::squaredDistanceToBasinColors(const tPixel& candidate, int enough) const {
  int nearest = std::min(tColorGrid::squaredDistance(candidate, getSingularJacobianColor()),
                         tColorGrid::squaredDistance(candidate, getNoConvergenceColor()));
  if (nearest <= enough) return nearest;
  return std::min(nearest, colorGrid_.nearestSquared(candidate, enough));
}
