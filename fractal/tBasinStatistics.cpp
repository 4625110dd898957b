#include "fractal/tBasinStatistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fractal/tBasinLabels.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
// A box of the uncertainty exponent's pyramid that holds more than one
// label; every label fits in 16 bits.
const uint32_t kMixed = 0x10000;
// A column without a boundary pixel of the basin at hand.
const uint32_t kFar = 1u << 30;

// Least-squares slope of y against x, and its standard error (NaN with fewer
// than three points).
struct tFit {
  double slope;
  double error;
};

tFit fitLine(const std::vector<double>& x, const std::vector<double>& y) {
  const std::size_t n = x.size();
  if (n < 2) return {kNaN, kNaN};
  double meanX = 0.0;
  double meanY = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    meanX += x[i];
    meanY += y[i];
  }
  meanX /= static_cast<double>(n);
  meanY /= static_cast<double>(n);
  double sxx = 0.0;
  double sxy = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    sxx += (x[i] - meanX) * (x[i] - meanX);
    sxy += (x[i] - meanX) * (y[i] - meanY);
  }
  const double slope = sxy / sxx;
  if (n < 3) return {slope, kNaN};
  double squares = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double residual = y[i] - (meanY + slope * (x[i] - meanX));
    squares += residual * residual;
  }
  return {slope, std::sqrt(squares / static_cast<double>(n - 2) / sxx)};
}

// -p ln p for a label that holds `count` of a box's pixels.
double entropyTerm(std::size_t count, std::size_t pixels) {
  const double p = static_cast<double>(count) / static_cast<double>(pixels);
  return -p * std::log(p);
}

// Halves a pyramid level of side `side`: a box is marked when one of its four
// quarters is.
std::vector<uint8_t> halveMarks(const std::vector<uint8_t>& marks, std::size_t side) {
  const std::size_t half = side / 2;
  std::vector<uint8_t> halved(half * half);
  for (std::size_t r = 0; r < half; ++r) {
    const uint8_t* low = &marks[2 * r * side];
    const uint8_t* high = low + side;
    for (std::size_t c = 0; c < half; ++c) {
      halved[r * half + c] = low[2 * c] | low[2 * c + 1] | high[2 * c] | high[2 * c + 1];
    }
  }
  return halved;
}

// Halves a level of labels: a box keeps the label its four quarters share,
// else it is mixed.
template <typename tLabel>
std::vector<uint32_t> halveLabels(const std::vector<tLabel>& labels, std::size_t side) {
  const std::size_t half = side / 2;
  std::vector<uint32_t> halved(half * half);
  for (std::size_t r = 0; r < half; ++r) {
    const tLabel* low = &labels[2 * r * side];
    const tLabel* high = low + side;
    for (std::size_t c = 0; c < half; ++c) {
      const uint32_t a = low[2 * c];
      const bool same = a == low[2 * c + 1] && a == high[2 * c] && a == high[2 * c + 1];
      halved[r * half + c] = same ? a : kMixed;
    }
  }
  return halved;
}

}  // namespace

tBasinStatistics::tBasinStatistics(const tBasinLabels& labels)
    : measured_(!labels.empty()),
      side_(labels.getSide()),
      convergedFraction_(kNaN),
      noConvergenceFraction_(kNaN),
      singularFraction_(kNaN),
      basinEntropy_(kNaN),
      boundaryBasinEntropy_(kNaN),
      boxDimension_(kNaN),
      boxDimensionError_(kNaN),
      uncertaintyExponent_(kNaN),
      wadaDistance_(kNaN) {
  if (!measured_) return;
  const std::vector<uint16_t>& values = labels.getLabels();
  measureFractions(values, labels.getRootCount(), labels);
  measureEntropy(values);
  measureBoxes(values);
  measureWada(values);
}

bool tBasinStatistics::hasFractalBoundary() const {
  return boundaryBasinEntropy_ > std::log(2.0);
}

double tBasinStatistics::getWadaTolerance() const {
  return std::max(WADA_MIN_TOLERANCE, WADA_SHARE * static_cast<double>(side_));
}

bool tBasinStatistics::isWada() const { return wadaDistance_ <= getWadaTolerance(); }

void tBasinStatistics::measureFractions(const std::vector<uint16_t>& labels,
                                        std::size_t rootCount, const tBasinLabels& source) {
  std::vector<std::size_t> counts(0x10000, 0);
  for (uint16_t label : labels) ++counts[label];
  const double pixels = static_cast<double>(labels.size());
  for (std::size_t label = 0; label < rootCount; ++label) {
    if (counts[label] == 0) continue;
    const uint16_t root = static_cast<uint16_t>(label);
    basins_.push_back({root, source.getRegistryIndex(root), counts[label] / pixels});
  }
  std::sort(basins_.begin(), basins_.end(), [](const tBasin& a, const tBasin& b) {
    return a.registryIndex < b.registryIndex;
  });
  noConvergenceFraction_ = counts[tBasinLabels::NO_CONVERGENCE] / pixels;
  singularFraction_ = counts[tBasinLabels::SINGULAR] / pixels;
  const std::size_t failed = counts[tBasinLabels::NO_CONVERGENCE] + counts[tBasinLabels::SINGULAR];
  convergedFraction_ = static_cast<double>(labels.size() - failed) / pixels;
}

void tBasinStatistics::measureEntropy(const std::vector<uint16_t>& labels) {
  const std::size_t boxes = side_ / ENTROPY_BOX;
  if (boxes == 0) return;
  const std::size_t pixels = ENTROPY_BOX * ENTROPY_BOX;
  double total = 0.0;
  double boundaryTotal = 0.0;
  std::size_t boundaryBoxes = 0;
  for (std::size_t boxRow = 0; boxRow < boxes; ++boxRow) {
    for (std::size_t boxColumn = 0; boxColumn < boxes; ++boxColumn) {
      // The box's labels with their counts, in order of first sight.
      uint16_t seen[ENTROPY_BOX * ENTROPY_BOX];
      std::size_t counts[ENTROPY_BOX * ENTROPY_BOX];
      std::size_t distinct = 0;
      for (std::size_t r = 0; r < ENTROPY_BOX; ++r) {
        const std::size_t first = (boxRow * ENTROPY_BOX + r) * side_ + boxColumn * ENTROPY_BOX;
        const uint16_t* row = &labels[first];
        for (std::size_t c = 0; c < ENTROPY_BOX; ++c) {
          std::size_t k = 0;
          while (k < distinct && seen[k] != row[c]) ++k;
          if (k == distinct) {
            seen[distinct] = row[c];
            counts[distinct++] = 0;
          }
          ++counts[k];
        }
      }
      if (distinct == 1) continue;
      double entropy = 0.0;
      for (std::size_t k = 0; k < distinct; ++k) entropy += entropyTerm(counts[k], pixels);
      total += entropy;
      boundaryTotal += entropy;
      ++boundaryBoxes;
    }
  }
  basinEntropy_ = total / static_cast<double>(boxes * boxes);
  if (boundaryBoxes != 0) {
    boundaryBasinEntropy_ = boundaryTotal / static_cast<double>(boundaryBoxes);
  }
}

void tBasinStatistics::measureBoxes(const std::vector<uint16_t>& labels) {
  const std::size_t n = side_;
  std::vector<uint8_t> boundary(n * n);
  for (std::size_t r = 0; r < n; ++r) {
    const uint16_t* row = &labels[r * n];
    const uint16_t* above = r + 1 < n ? row + n : row;
    for (std::size_t c = 0; c < n; ++c) {
      const bool right = c + 1 < n && row[c + 1] != row[c];
      boundary[r * n + c] = right || above[c] != row[c];
    }
  }
  std::vector<double> scales;
  std::vector<double> logCounts;
  std::vector<double> logSides;
  std::vector<double> logShares;
  std::vector<uint32_t> uniform;
  for (std::size_t s = 1, boxes = n; boxes >= MIN_BOXES; s *= 2, boxes /= 2) {
    if (s > 1) {
      boundary = halveMarks(boundary, 2 * boxes);
      uniform = s == 2 ? halveLabels(labels, n) : halveLabels(uniform, 2 * boxes);
      const std::size_t mixed =
          static_cast<std::size_t>(std::count(uniform.begin(), uniform.end(), kMixed));
      if (mixed != 0) {
        logSides.push_back(std::log(static_cast<double>(s)));
        const double share = static_cast<double>(mixed) / static_cast<double>(boxes * boxes);
        logShares.push_back(std::log(share));
      }
    }
    const std::size_t marked =
        static_cast<std::size_t>(std::count(boundary.begin(), boundary.end(), uint8_t{1}));
    // Without a boundary pixel no box holds one at any side.
    if (marked == 0) break;
    scales.push_back(-std::log(static_cast<double>(s)));
    logCounts.push_back(std::log(static_cast<double>(marked)));
  }
  const tFit dimension = fitLine(scales, logCounts);
  boxDimension_ = dimension.slope;
  boxDimensionError_ = dimension.error;
  uncertaintyExponent_ = fitLine(logSides, logShares).slope;
}

void tBasinStatistics::measureWada(const std::vector<uint16_t>& labels) {
  if (basins_.size() < 3) return;
  const std::size_t n = side_;
  // A basin's boundary: its pixels with a 4-neighbour of another label.
  std::vector<uint8_t> onBoundary(n * n, 0);
  for (std::size_t r = 0; r < n; ++r) {
    for (std::size_t c = 0; c < n; ++c) {
      const uint16_t label = labels[r * n + c];
      if (label >= tBasinLabels::MAX_ROOTS) continue;
      const bool differs = (c > 0 && labels[r * n + c - 1] != label) ||
                           (c + 1 < n && labels[r * n + c + 1] != label) ||
                           (r > 0 && labels[(r - 1) * n + c] != label) ||
                           (r + 1 < n && labels[(r + 1) * n + c] != label);
      onBoundary[r * n + c] = differs;
    }
  }
  double farthest = 0.0;
  for (const tBasin& basin : basins_) {
    farthest = std::max(farthest, farthestFromBoundary(labels, onBoundary, basin.label));
  }
  wadaDistance_ = std::sqrt(farthest);
}

double tBasinStatistics::farthestFromBoundary(const std::vector<uint16_t>& labels,
                                              const std::vector<uint8_t>& onBoundary,
                                              uint16_t label) const {
  const std::size_t n = side_;
  // Rows to the nearest boundary pixel of the basin in the same column.
  std::vector<uint32_t> rows(n * n);
  for (std::size_t r = 0; r < n; ++r) {
    for (std::size_t c = 0; c < n; ++c) {
      const std::size_t p = r * n + c;
      const bool feature = onBoundary[p] && labels[p] == label;
      rows[p] = feature ? 0 : (r == 0 ? kFar : std::min(rows[p - n] + 1, kFar));
    }
  }
  for (std::size_t r = n - 1; r-- > 0;) {
    for (std::size_t c = 0; c < n; ++c) {
      rows[r * n + c] = std::min(rows[r * n + c], std::min(rows[(r + 1) * n + c] + 1, kFar));
    }
  }
  // Along each row, the lower envelope of the parabolas (c - v)^2 + rows^2
  // of the columns that hold a boundary pixel of the basin.
  std::vector<std::size_t> vertices(n);
  std::vector<double> starts(n + 1);
  double farthest = 0.0;
  for (std::size_t r = 0; r < n; ++r) {
    const uint32_t* g = &rows[r * n];
    auto height = [&](std::size_t v) {
      return static_cast<double>(g[v]) * g[v] + static_cast<double>(v) * v;
    };
    std::size_t k = 0;
    bool any = false;
    for (std::size_t q = 0; q < n; ++q) {
      if (g[q] == kFar) continue;
      if (!any) {
        any = true;
        vertices[0] = q;
        starts[0] = -std::numeric_limits<double>::infinity();
        starts[1] = std::numeric_limits<double>::infinity();
        continue;
      }
      double s = 0.0;
      while (true) {
        const std::size_t v = vertices[k];
        s = (height(q) - height(v)) / (2.0 * (static_cast<double>(q) - static_cast<double>(v)));
        if (s > starts[k] || k == 0) break;
        --k;
      }
      ++k;
      vertices[k] = q;
      starts[k] = s;
      starts[k + 1] = std::numeric_limits<double>::infinity();
    }
    if (!any) return 0.0;
    k = 0;
    for (std::size_t q = 0; q < n; ++q) {
      while (starts[k + 1] < static_cast<double>(q)) ++k;
      const std::size_t p = r * n + q;
      if (!onBoundary[p] || labels[p] == label) continue;
      const double dc = static_cast<double>(q) - static_cast<double>(vertices[k]);
      const double dr = g[vertices[k]];
      farthest = std::max(farthest, dc * dc + dr * dr);
    }
  }
  return farthest;
}
