#include "fractal/tRootManager.h"

#include "fractal/tIterativeSolver.h"
#include "fractal/tRandom.h"

namespace {

const int kRandomColorAttempts = 500;
const float kMinColorDistance = 125.0f;
const float kRandomChannelLow = 64.0f;
const float kRandomChannelHigh = 255.0f;

unsigned char randomChannel() {
  return static_cast<unsigned char>(
      static_cast<int>(tRandom::randInRange(kRandomChannelLow, kRandomChannelHigh)));
}

}  // namespace

tRootManager& tRootManager::instance() {
  static tRootManager* manager = new tRootManager();
  return *manager;
}

tRootManager::tRootManager()
    : singularJacobianColor_(255, 255, 0, 255),
      noConvergenceColor_(50, 50, 50, 255),
      textColor_(255, 255, 255, 255),
      nextPresetIndex_(0),
      useRandomColors_(true) {
  initPresetColors();
}

tPixel tRootManager::getColorForRoot(const tVector2& root) {
  for (const auto& entry : roots_) {
    if ((entry.first - root).length() < tIterativeSolver::ROOT_EQUALITY_EPSILON) {
      return entry.second;
    }
  }
  tPixel color;
  if (useRandomColors_ || nextPresetIndex_ >= presetColors_.size()) {
    color = generateRandomColor();
  } else {
    color = presetColors_[nextPresetIndex_++];
  }
  roots_.emplace_back(root, color);
  return color;
}

void tRootManager::clearRoots() {
  roots_.clear();
  nextPresetIndex_ = 0;
}

void tRootManager::initPresetColors() {
  presetColors_.emplace_back(159, 66, 238, 255);
  presetColors_.emplace_back(92, 245, 60, 255);
  presetColors_.emplace_back(32, 137, 128, 255);
}

tPixel tRootManager::generateRandomColor() {
  tPixel candidate;
  for (int attempt = 0; attempt < kRandomColorAttempts; ++attempt) {
    // Blue is drawn first, then green, then red: the order fixes which colours
    // a seeded run produces.
    unsigned char blue = randomChannel();
    unsigned char green = randomChannel();
    unsigned char red = randomChannel();
    candidate = tPixel(red, green, blue, 255);
    if (isFarFromColorsInUse(candidate)) break;
  }
  return candidate;
}

bool tRootManager::isFarFromColorsInUse(const tPixel& candidate) const {
  for (const auto& entry : roots_) {
    if (candidate.distance(entry.second) < kMinColorDistance) return false;
  }
  for (const tPixel& fixed : {singularJacobianColor_, noConvergenceColor_, textColor_}) {
    if (candidate.distance(fixed) < kMinColorDistance) return false;
  }
  return true;
}
