#include "fractal/tColorGrid.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// Up to this many colours a search looks at every one.
const std::size_t kFewColors = 32;
// Colours a cube holds on average when the grid is laid out, at most.
const std::size_t kColorsPerCube = 2;
const int kMostCubesPerSide = 64;
// Hints' cubes are this many times narrower than the search's, as a power
// of two, and no narrower than 4 (2^18 hints of two bytes).
const int kHintShift = 2;
const int kNarrowestHint = 2;
// A new colour is offered to the hints' cubes this many around its own,
// which covers where it is nearest.
const int kHintReach = 2;
// Hints cover channels from this one up, where the random colours are
// drawn; lower channels take the hints at its edge, which are only farther.
const int kHintLow = 64;
const int kHintSpan = 256 - kHintLow;
// Hints looked up together are fetched this many ahead.
const std::size_t kHintsAhead = 16;

// The bit of the cube 64 a side that holds channels (red, green, blue) >> 6.
uint64_t coarseBit(int red, int green, int blue) {
  return uint64_t{1} << ((blue * 4 + green) * 4 + red);
}

}  // namespace

tColorGrid::tColorGrid()
    : opaqueCubes_(0), cubesPerSide_(0), shift_(8), nextLayOut_(kFewColors), hintShift_(8) {}

void tColorGrid::clear() {
  colors_.clear();
  opaqueCubes_ = 0;
  cubes_.clear();
  hints_.clear();
  hintShift_ = 8;
  cubesPerSide_ = 0;
  shift_ = 8;
  nextLayOut_ = kFewColors;
}

void tColorGrid::add(const tPixel& color) {
  colors_.push_back(color);
  if (color[3] == 255) opaqueCubes_ |= coarseBit(color[0] >> 6, color[1] >> 6, color[2] >> 6);
  if (colors_.size() >= nextLayOut_) {
    layOut();
    nextLayOut_ = 2 * colors_.size();
  } else if (cubesPerSide_ > 0) {
    cubes_[cellOf(color)].push_back(color);
  }
  if (cubesPerSide_ > 0) offerHint(colors_.size() - 1);
}

void tColorGrid::layOut() {
  int side = 2;
  int shift = 7;
  while (side < kMostCubesPerSide &&
         static_cast<std::size_t>(side) * side * side * kColorsPerCube < colors_.size()) {
    side *= 2;
    --shift;
  }
  cubesPerSide_ = side;
  shift_ = shift;
  cubes_.assign(static_cast<std::size_t>(side) * side * side, {});
  for (const tPixel& color : colors_) cubes_[cellOf(color)].push_back(color);
  layOutHints(std::max(kNarrowestHint, shift - kHintShift));
}

void tColorGrid::layOutHints(int shift) {
  if (shift == hintShift_) return;
  // A wider cube's hint is a fair start for the narrower cubes inside it.
  const std::size_t side = std::size_t{kHintSpan} >> shift;
  std::vector<uint16_t> hints(side * side * side, 0);
  if (!hints_.empty()) {
    const int finer = hintShift_ - shift;
    const std::size_t oldSide = side >> finer;
    for (std::size_t i = 0; i < hints.size(); ++i) {
      const std::size_t red = i % side >> finer;
      const std::size_t green = i / side % side >> finer;
      const std::size_t blue = i / side / side >> finer;
      hints[i] = hints_[(blue * oldSide + green) * oldSide + red];
    }
  }
  hints_.swap(hints);
  hintShift_ = shift;
  for (std::size_t i = 0; i < colors_.size(); ++i) offerHint(i);
}

void tColorGrid::offerHint(std::size_t index) {
  if (index > UINT16_MAX) return;
  const tPixel& color = colors_[index];
  const int side = kHintSpan >> hintShift_;
  int low[3];
  int high[3];
  for (unsigned channel = 0; channel < 3; ++channel) {
    low[channel] = std::max(0, hintCube(color[channel]) - kHintReach);
    high[channel] = std::min(side - 1, hintCube(color[channel]) + kHintReach);
  }
  int cube[3];
  for (cube[2] = low[2]; cube[2] <= high[2]; ++cube[2]) {
    for (cube[1] = low[1]; cube[1] <= high[1]; ++cube[1]) {
      for (cube[0] = low[0]; cube[0] <= high[0]; ++cube[0]) {
        uint16_t& hint =
            hints_[(static_cast<std::size_t>(cube[2]) * side + cube[1]) * side + cube[0]];
        if (toCenter(color, cube) < toCenter(colors_[hint], cube)) {
          hint = static_cast<uint16_t>(index);
        }
      }
    }
  }
}

int tColorGrid::toCenter(const tPixel& color, const int cube[3]) const {
  // Doubled, so that the centre's channels are whole; the centre is opaque.
  const int alpha = 2 * (255 - color[3]);
  int sum = alpha * alpha;
  for (unsigned channel = 0; channel < 3; ++channel) {
    const int d = 2 * (color[channel] - kHintLow) - ((2 * cube[channel] + 1) << hintShift_);
    sum += d * d;
  }
  return sum;
}

int tColorGrid::nearbyHint(const tPixel& color, int enough) const {
  // The colour lies in one corner of its hint's cube; the cubes that share
  // that corner hold the hints nearest it after its own.
  const int side = kHintSpan >> hintShift_;
  int cube[3];
  int toward[3];
  for (unsigned channel = 0; channel < 3; ++channel) {
    cube[channel] = hintCube(color[channel]);
    const bool upper = ((color[channel] - kHintLow) >> (hintShift_ - 1) & 1) != 0;
    toward[channel] =
        upper ? std::min(side - 1, cube[channel] + 1) : std::max(0, cube[channel] - 1);
  }
  int best = INT_MAX;
  for (int corner = 1; corner < 8; ++corner) {
    const std::size_t red = static_cast<std::size_t>(corner & 1 ? toward[0] : cube[0]);
    const std::size_t green = static_cast<std::size_t>(corner & 2 ? toward[1] : cube[1]);
    const std::size_t blue = static_cast<std::size_t>(corner & 4 ? toward[2] : cube[2]);
    const std::size_t index = (blue * side + green) * side + red;
    best = std::min(best, squaredDistance(color, colors_[hints_[index]]));
    if (best <= enough) break;
  }
  return best;
}

std::size_t tColorGrid::hintOf(const tPixel& color) const {
  const std::size_t side = std::size_t{kHintSpan} >> hintShift_;
  return (static_cast<std::size_t>(hintCube(color[2])) * side +
          static_cast<std::size_t>(hintCube(color[1]))) *
             side +
         static_cast<std::size_t>(hintCube(color[0]));
}

int tColorGrid::hintCube(int channel) const {
  return std::max(0, channel - kHintLow) >> hintShift_;
}

std::size_t tColorGrid::cellOf(const tPixel& color) const {
  const std::size_t side = static_cast<std::size_t>(cubesPerSide_);
  return (static_cast<std::size_t>(color[2] >> shift_) * side +
          static_cast<std::size_t>(color[1] >> shift_)) *
             side +
         static_cast<std::size_t>(color[0] >> shift_);
}

bool tColorGrid::fillsCubes(int first, int last) const {
  for (int blue = first; blue <= last; ++blue) {
    for (int green = first; green <= last; ++green) {
      for (int red = first; red <= last; ++red) {
        if (!(opaqueCubes_ & coarseBit(red, green, blue))) return false;
      }
    }
  }
  return true;
}

int tColorGrid::squaredDistance(const tPixel& a, const tPixel& b) {
  int sum = 0;
  for (unsigned i = 0; i < 4; ++i) {
    const int d = a[i] - b[i];
    sum += d * d;
  }
  return sum;
}

void tColorGrid::hintedSquared(const tPixel* colors, std::size_t count, int* out) const {
  if (cubesPerSide_ == 0) {
    std::fill(out, out + count, INT_MAX);
    return;
  }
  // The hints' cubes first, so that each hint is fetched well before it is
  // read.
  for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<int>(hintOf(colors[i]));
  for (std::size_t i = 0; i < count; ++i) {
    if (i + kHintsAhead < count) __builtin_prefetch(&hints_[out[i + kHintsAhead]]);
    out[i] = squaredDistance(colors[i], colors_[hints_[out[i]]]);
  }
}

int tColorGrid::nearestSquared(const tPixel& color, int enough) const {
  if (cubesPerSide_ > 0) {
    const int near = squaredDistance(color, colors_[hints_[hintOf(color)]]);
    if (near <= enough) return near;
    const int nearby = nearbyHint(color, enough);
    if (nearby <= enough) return nearby;
    return searchCells(color, enough);
  }
  int best = INT_MAX;
  for (const tPixel& other : colors_) {
    best = std::min(best, squaredDistance(color, other));
    if (best <= enough) break;
  }
  return best;
}

int tColorGrid::searchCells(const tPixel& color, int enough) const {
  const int cube[3] = {color[0] >> shift_, color[1] >> shift_, color[2] >> shift_};
  // The colour's own cube first, without the rings' bookkeeping: most
  // searches end there.
  int best = INT_MAX;
  for (const tPixel& other : cubes_[cellOf(color)]) {
    best = std::min(best, squaredDistance(color, other));
    if (best <= enough) return best;
  }
  // The searches that get this far are mostly new farthest candidates,
  // measured in full, ring after ring.
  for (int ring = 1;; ++ring) {
    // Colours farther out are at least this far: when the best is no
    // farther, none of them can be nearer.
    const int bound = outsideBound(color, cube, ring);
    if (bound < 0 || best <= bound) return best;
    if (searchRing(color, cube, ring, enough, best)) return best;
  }
}

namespace {

// The squared distance from `value` to the channel range a cube covers.
int gapSquared(int value, int low, int width) {
  const int gap = value < low ? low - value : value - (low + width - 1);
  return gap > 0 ? gap * gap : 0;
}

}  // namespace

bool tColorGrid::searchRing(const tPixel& color, const int cube[3], int ring, int enough,
                            int& best) const {
  const int last = cubesPerSide_ - 1;
  const int width = 1 << shift_;
  const int lowBlue = std::max(0, cube[2] - ring);
  const int highBlue = std::min(last, cube[2] + ring);
  const int lowGreen = std::max(0, cube[1] - ring);
  const int highGreen = std::min(last, cube[1] + ring);
  for (int blue = lowBlue; blue <= highBlue; ++blue) {
    const int blueGap = gapSquared(color[2], blue * width, width);
    for (int green = lowGreen; green <= highGreen; ++green) {
      const int greenGap = blueGap + gapSquared(color[1], green * width, width);
      const bool onShell = std::abs(blue - cube[2]) == ring || std::abs(green - cube[1]) == ring;
      // Inside the shell only the two ends of a red row are on it.
      const int step = onShell ? 1 : 2 * ring;
      for (int red = cube[0] - ring; red <= cube[0] + ring; red += step) {
        if (red < 0 || red > last) continue;
        // A cube no nearer than the best colour yet cannot lower it.
        if (greenGap + gapSquared(color[0], red * width, width) >= best) continue;
        const std::size_t index =
            (static_cast<std::size_t>(blue) * cubesPerSide_ + green) * cubesPerSide_ + red;
        for (const tPixel& other : cubes_[index]) {
          best = std::min(best, squaredDistance(color, other));
          if (best <= enough) return true;
        }
      }
    }
  }
  return false;
}

int tColorGrid::outsideBound(const tPixel& color, const int cube[3], int ring) const {
  const int width = 1 << shift_;
  int nearest = INT_MAX;
  for (int axis = 0; axis < 3; ++axis) {
    const int low = cube[axis] - (ring - 1);
    const int high = cube[axis] + (ring - 1);
    const int value = color[static_cast<unsigned>(axis)];
    if (low > 0) nearest = std::min(nearest, value - (low * width - 1));
    if (high < cubesPerSide_ - 1) nearest = std::min(nearest, (high + 1) * width - value);
  }
  return nearest == INT_MAX ? -1 : nearest * nearest;
}
