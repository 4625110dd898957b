#include "fractal/tBasinStatistics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <mutex>
#include <numeric>
#include <system_error>
#include <thread>

#include "fractal/tBasinLabels.h"
#include "fractal/tThreadCount.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
// A column without a boundary pixel of the basin at hand: farther than any
// picture's side.
const uint16_t kFar = 0xFFFF;
// A pixel on no basin's boundary; never a root label.
const uint16_t kNotOnBoundary = 0xFFFF;
// Columns on each side that a pixel's nearest boundary pixel is looked for
// in before the row's envelope is built.
const std::size_t kNearColumns = 16;

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

// The marked boxes of a pyramid level of side `side`, each row summed in
// four bytes, which the compiler runs many marks at a time.
std::size_t countMarks(const std::vector<uint8_t>& marks, std::size_t side) {
  std::size_t total = 0;
  for (std::size_t r = 0; r < side; ++r) {
    unsigned row = 0;
    for (std::size_t c = 0; c < side; ++c) row += marks[r * side + c];
    total += row;
  }
  return total;
}

// Whether the four labels from `first` on are those packed in `four`.
bool sameFour(const uint16_t* first, uint64_t four) {
  uint64_t labels;
  std::memcpy(&labels, first, sizeof labels);
  return labels == four;
}

// Whether the four pixels from `first` on lie on no boundary: most pixels
// do, and four of them are passed over with one comparison.
bool offBoundary(const uint16_t* first) {
  return sameFour(first, kNotOnBoundary * 0x0001000100010001u);
}

// Each column's distance in rows from row `row` to the nearest boundary
// pixel of one basin, kFar for a column without one, from the rows of the
// column's nearest at or below the row and at or above it.
struct tRowsAway {
  std::vector<int32_t> below;
  std::vector<int32_t> above;
  int32_t row = 0;

  uint16_t operator[](std::size_t c) const {
    return static_cast<uint16_t>(std::min({row - below[c], above[c] - row, int32_t{kFar}}));
  }
};

// The lower envelope of the parabolas (c - v)^2 + g(v)^2 of one row's
// columns v, for the squared distance from any column c of the row to the
// nearest boundary pixel (Felzenszwalb and Huttenlocher); built when a
// column of the row needs it, then read at increasing columns.
class tEnvelope {
 public:
  explicit tEnvelope(std::size_t side) : vertices_(side), heights_(side), starts_(side + 1) {}

  void clear() { size_ = 0; }
  bool isEmpty() const { return size_ == 0; }

  void build(const tRowsAway& g, std::size_t side) {
    const double infinity = std::numeric_limits<double>::infinity();
    std::size_t k = 0;
    size_ = 0;
    read_ = 0;
    for (std::size_t q = 0; q < side; ++q) {
      const uint16_t rowsAway = g[q];
      if (rowsAway == kFar) continue;
      const double column = static_cast<double>(q);
      const double height = static_cast<double>(rowsAway) * rowsAway + column * column;
      double start = -infinity;
      if (size_ != 0) {
        // Parabolas that the new one hides from where they took over
        // leave the envelope.
        while (true) {
          start = (height - heights_[k]) / (2.0 * (column - vertices_[k]));
          if (start > starts_[k] || k == 0) break;
          --k;
        }
        ++k;
      }
      vertices_[k] = column;
      heights_[k] = height;
      starts_[k] = start;
      starts_[k + 1] = infinity;
      size_ = k + 1;
    }
  }

  // The squared distance at column q, no smaller than the last one read.
  double at(std::size_t q) {
    const double column = static_cast<double>(q);
    while (starts_[read_ + 1] < column) ++read_;
    const double dc = column - vertices_[read_];
    return dc * dc + heights_[read_] - vertices_[read_] * vertices_[read_];
  }

 private:
  std::vector<double> vertices_;  // the envelope's parabolas, by column
  std::vector<double> heights_;   // g(v)^2 + v^2 of each
  std::vector<double> starts_;    // the column where each takes over
  std::size_t size_ = 0;          // parabolas in the envelope; 0 before it is built
  std::size_t read_ = 0;          // the parabola of the column read last
};

// The squared distance from column q of a row to the nearest boundary pixel,
// g giving each column's distance in rows; once some column lies no farther
// than `enough`, its distance.
double nearestInRow(const tRowsAway& g, std::size_t side, std::size_t q, double enough,
                    tEnvelope& envelope) {
  // Most pixels lie near the boundary: columns are tried outwards from q
  // until none farther can come nearer than the nearest found; a pixel far
  // from it takes the row's envelope. The distances are whole numbers, kept
  // in integers, which take the processor less time than doubles.
  const int64_t atMost = static_cast<int64_t>(enough);
  int64_t nearest = INT64_MAX;
  for (std::size_t d = 0; d <= kNearColumns; ++d) {
    const int64_t across = static_cast<int64_t>(d * d);
    if (across >= nearest) return static_cast<double>(nearest);
    const int64_t left = d <= q ? g[q - d] : kFar;
    if (left != kFar) nearest = std::min(nearest, across + left * left);
    const int64_t right = q + d < side ? g[q + d] : kFar;
    if (right != kFar) nearest = std::min(nearest, across + right * right);
    if (nearest <= atMost) return static_cast<double>(nearest);
  }
  if (envelope.isEmpty()) envelope.build(g, side);
  return envelope.at(q);
}

// The corners of the convex hull of the points (Andrew's monotone chain);
// all of them for fewer than three.
std::vector<std::pair<long, long>> convexHull(std::vector<std::pair<long, long>> points) {
  std::sort(points.begin(), points.end());
  points.erase(std::unique(points.begin(), points.end()), points.end());
  if (points.size() < 3) return points;
  auto cross = [](const std::pair<long, long>& o, const std::pair<long, long>& a,
                  const std::pair<long, long>& b) {
    return (a.first - o.first) * (b.second - o.second) - (a.second - o.second) * (b.first - o.first);
  };
  std::vector<std::pair<long, long>> hull(2 * points.size());
  std::size_t k = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
    while (k >= lower && cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  hull.resize(k - 1);
  return hull;
}

// Runs work(begin, end) over [0, count) cut into one range per thread, the
// first on the calling thread; a range whose thread cannot be started runs
// there too.
template <typename tWork>
void inParallel(std::size_t count, unsigned threads, const tWork& work) {
  const std::size_t share = (count + threads - 1) / threads;
  std::vector<std::thread> helpers;
  std::vector<std::size_t> leftOver;
  for (std::size_t begin = share; begin < count; begin += share) {
    const std::size_t end = std::min(count, begin + share);
    try {
      helpers.emplace_back([&work, begin, end] { work(begin, end); });
    } catch (const std::system_error&) {
      leftOver.push_back(begin);
    }
  }
  work(0, std::min(count, share));
  for (std::size_t begin : leftOver) work(begin, std::min(count, begin + share));
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace

tBasinStatistics::tBasinStatistics(const tBasinLabels& labels, unsigned int threads)
    : threads_(threads != 0 ? threads : tThreadCount::get()),
      measured_(!labels.empty()),
      width_(labels.getWidth()),
      height_(labels.getHeight()),
      convergedFraction_(kNaN),
      noConvergenceFraction_(kNaN),
      singularFraction_(kNaN),
      basinEntropy_(kNaN),
      boundaryBasinEntropy_(kNaN),
      boxDimension_(kNaN),
      boxDimensionError_(kNaN),
      uncertaintyExponent_(kNaN),
      uncertaintyExponentError_(kNaN),
      wadaDistance_(kNaN) {
  if (!measured_) return;
  const std::vector<uint16_t>& values = labels.getLabels();
  measureFractions(values, labels.getRootCount(), labels);
  measureEntropy(values);
  const std::size_t side = squareSide();
  if (side == width_ && side == height_) {
    measureBoxes(values);
  } else {
    measureBoxes(middleSquare(values));
  }
  measureUncertainty(values);
  measureWada(values);
}

std::size_t tBasinStatistics::squareSide() const {
  std::size_t side = 1;
  while (side <= std::min(width_, height_) / 2) side *= 2;
  return side;
}

std::vector<uint16_t> tBasinStatistics::middleSquare(const std::vector<uint16_t>& labels) const {
  const std::size_t side = squareSide();
  const std::size_t top = (height_ - side) / 2;
  const std::size_t left = (width_ - side) / 2;
  std::vector<uint16_t> square;
  square.reserve(side * side);
  for (std::size_t r = top; r < top + side; ++r) {
    const auto row = labels.begin() + static_cast<std::ptrdiff_t>(r * width_ + left);
    square.insert(square.end(), row, row + static_cast<std::ptrdiff_t>(side));
  }
  return square;
}

bool tBasinStatistics::hasFractalBoundary() const {
  return boundaryBasinEntropy_ > std::log(2.0) &&
         boxDimension_ - 2.0 * boxDimensionError_ > 1.0;
}

void tBasinStatistics::measureFractions(const std::vector<uint16_t>& labels, std::size_t rootCount,
                                        const tBasinLabels& source) {
  std::vector<std::size_t> counts(0x10000, 0);
  std::mutex mutex;
  inParallel(labels.size(), threads_, [&](std::size_t begin, std::size_t end) {
    // Labels come in runs, counted whole, four labels at a time: one count
    // after another of the same label would each wait for the last.
    std::vector<std::size_t> own(0x10000, 0);
    std::size_t p = begin;
    while (p < end) {
      const std::size_t start = p;
      const uint64_t four = labels[p] * 0x0001000100010001u;
      while (p + 4 <= end && sameFour(&labels[p], four)) p += 4;
      while (p < end && labels[p] == labels[start]) ++p;
      own[labels[start]] += p - start;
    }
    std::lock_guard<std::mutex> lock(mutex);
    for (std::size_t label = 0; label < own.size(); ++label) counts[label] += own[label];
  });
  const double pixels = static_cast<double>(labels.size());
  for (std::size_t label = 0; label < rootCount; ++label) {
    if (counts[label] == 0) continue;
    const uint16_t root = static_cast<uint16_t>(label);
    basins_.push_back({root, source.getRegistryIndex(root), counts[label] / pixels});
  }
  std::sort(basins_.begin(), basins_.end(),
            [](const tBasin& a, const tBasin& b) { return a.registryIndex < b.registryIndex; });
  noConvergenceFraction_ = counts[tBasinLabels::NO_CONVERGENCE] / pixels;
  singularFraction_ = counts[tBasinLabels::SINGULAR] / pixels;
  const std::size_t failed = counts[tBasinLabels::NO_CONVERGENCE] + counts[tBasinLabels::SINGULAR];
  convergedFraction_ = static_cast<double>(labels.size() - failed) / pixels;
}

void tBasinStatistics::measureEntropy(const std::vector<uint16_t>& labels) {
  const std::size_t boxRows = height_ / ENTROPY_BOX;
  const std::size_t boxColumns = width_ / ENTROPY_BOX;
  if (boxRows == 0 || boxColumns == 0) return;
  const std::size_t pixels = ENTROPY_BOX * ENTROPY_BOX;
  // Each box's entropy, 0 for a box of one label; the boxes are measured on
  // stripes of box rows, and summed afterwards in order, so the sums are
  // those of one thread.
  std::vector<double> entropies(boxRows * boxColumns, 0.0);
  inParallel(boxRows, threads_, [&](std::size_t begin, std::size_t end) {
    for (std::size_t boxRow = begin; boxRow < end; ++boxRow) {
      for (std::size_t boxColumn = 0; boxColumn < boxColumns; ++boxColumn) {
        // Most boxes hold one label, which a plain comparison shows, four
        // labels at a time.
        static_assert(ENTROPY_BOX == 5, "a box row is four labels and one");
        const uint16_t* corner = &labels[boxRow * ENTROPY_BOX * width_ + boxColumn * ENTROPY_BOX];
        const uint64_t four = corner[0] * 0x0001000100010001u;
        bool uniform = true;
        for (std::size_t r = 0; r < ENTROPY_BOX; ++r) {
          const uint16_t* row = corner + r * width_;
          uniform &= sameFour(row, four) & (row[4] == corner[0]);
        }
        if (uniform) continue;
        // The box's labels with their counts, in order of first sight.
        uint16_t seen[ENTROPY_BOX * ENTROPY_BOX];
        std::size_t counts[ENTROPY_BOX * ENTROPY_BOX];
        std::size_t distinct = 0;
        for (std::size_t r = 0; r < ENTROPY_BOX; ++r) {
          const std::size_t first = (boxRow * ENTROPY_BOX + r) * width_ + boxColumn * ENTROPY_BOX;
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
        entropies[boxRow * boxColumns + boxColumn] = entropy;
      }
    }
  });
  double total = 0.0;  // only boxes of more than one label add to it
  std::size_t boundaryBoxes = 0;
  for (double entropy : entropies) {
    if (entropy == 0.0) continue;
    total += entropy;
    ++boundaryBoxes;
  }
  basinEntropy_ = total / static_cast<double>(boxRows * boxColumns);
  if (boundaryBoxes != 0) {
    boundaryBasinEntropy_ = total / static_cast<double>(boundaryBoxes);
  }
}

void tBasinStatistics::measureBoxes(const std::vector<uint16_t>& labels) {
  const std::size_t n = squareSide();
  std::vector<uint8_t> boundary(n * n);
  inParallel(n, threads_, [&](std::size_t begin, std::size_t end) {
    for (std::size_t r = begin; r < end; ++r) {
      const uint16_t* row = &labels[r * n];
      const uint16_t* above = r + 1 < n ? row + n : row;
      uint8_t* out = &boundary[r * n];
      // The side in a local: the byte stores could otherwise change it, as
      // far as the compiler knows.
      const std::size_t last = n - 1;
      for (std::size_t c = 0; c < last; ++c) {
        out[c] = (row[c + 1] != row[c]) | (above[c] != row[c]);
      }
      out[last] = above[last] != row[last];
    }
  });
  std::vector<double> scales;
  std::vector<double> logCounts;
  for (std::size_t s = 1, boxes = n; boxes >= MIN_BOXES; s *= 2, boxes /= 2) {
    if (s > 1) boundary = halveMarks(boundary, 2 * boxes);
    const std::size_t marked = countMarks(boundary, boxes);
    // Without a boundary pixel no box holds one at any side.
    if (marked == 0) break;
    scales.push_back(-std::log(static_cast<double>(s)));
    logCounts.push_back(std::log(static_cast<double>(marked)));
  }
  const tFit dimension = fitLine(scales, logCounts);
  boxDimension_ = dimension.slope;
  boxDimensionError_ = dimension.error;
}

void tBasinStatistics::measureUncertainty(const std::vector<uint16_t>& labels) {
  const std::size_t n = width_;
  // The pixels at least the largest distance from every edge, the same for
  // every distance.
  std::vector<std::size_t> distances;
  for (std::size_t e = 1; e * MIN_BOXES <= std::min(width_, height_); e *= 2) {
    distances.push_back(e);
  }
  if (distances.empty()) return;
  const std::size_t margin = distances.back();
  // One pass over the rows counts every distance's pixels while the rows
  // around a row are still near the processor, on stripes of rows.
  std::vector<std::size_t> uncertain(distances.size(), 0);
  std::mutex mutex;
  inParallel(height_ - 2 * margin, threads_, [&](std::size_t begin, std::size_t end) {
    std::vector<std::size_t> own(distances.size(), 0);
    for (std::size_t r = margin + begin; r < margin + end; ++r) {
      const uint16_t* row = &labels[r * n];
      for (std::size_t k = 0; k < distances.size(); ++k) {
        const std::size_t e = distances[k];
        const uint16_t* below = row - e * n;
        const uint16_t* above = row + e * n;
        unsigned count = 0;
        for (std::size_t c = margin; c + margin < n; ++c) {
          const uint16_t label = row[c];
          count += (row[c - e] != label) | (row[c + e] != label) | (below[c] != label) |
                   (above[c] != label);
        }
        own[k] += count;
      }
    }
    std::lock_guard<std::mutex> lock(mutex);
    for (std::size_t k = 0; k < distances.size(); ++k) uncertain[k] += own[k];
  });
  const double inside = static_cast<double>((height_ - 2 * margin) * (width_ - 2 * margin));
  std::vector<double> logDistances;
  std::vector<double> logShares;
  for (std::size_t k = 0; k < distances.size(); ++k) {
    if (uncertain[k] == 0) continue;
    logDistances.push_back(std::log(static_cast<double>(distances[k])));
    logShares.push_back(std::log(static_cast<double>(uncertain[k]) / inside));
  }
  const tFit exponent = fitLine(logDistances, logShares);
  uncertaintyExponent_ = exponent.slope;
  uncertaintyExponentError_ = exponent.error;
}

// The boundary pixels row by row, in each row by column: a few hundredths of
// a picture's pixels, so that the Wada distance's passes run over these and
// not over the picture (a noisy picture lists most of its pixels, six bytes
// each).
struct tBasinStatistics::tBoundaryPixels {
  std::vector<std::size_t> rowStarts;  // row r's pixels are rowStarts[r] ... rowStarts[r + 1] - 1
  std::vector<uint32_t> columns;       // each pixel's column
  std::vector<uint16_t> basins;        // each pixel's basin label
};

void tBasinStatistics::measureWada(const std::vector<uint16_t>& labels) {
  if (basins_.size() < 3) return;
  const tBoundaryPixels boundary = boundaryPixels(labels);
  // Basins whose bound cannot beat the farthest distance found so far are
  // passed over, largest bounds first; the distance stays exact.
  std::vector<std::pair<double, uint16_t>> bounds = boundsOf(boundary);
  std::sort(bounds.begin(), bounds.end(), std::greater<>());
  double farthest = 0.0;
  for (const auto& [bound, label] : bounds) {
    if (bound <= farthest) break;
    farthest = farthestFromBoundary(boundary, label, farthest);
  }
  wadaDistance_ = std::sqrt(farthest);
}

namespace {

// Marks each pixel of row r: its basin where it is on that basin's boundary
// (a 4-neighbour has another label), else kNotOnBoundary; the failures are
// on none.
void markRow(const std::vector<uint16_t>& labels, std::size_t n, std::size_t height, std::size_t r,
             uint16_t* marks) {
  // A neighbour beyond the edge is the pixel itself, which never differs.
  const uint16_t* row = &labels[r * n];
  const uint16_t* below = r > 0 ? row - n : row;
  const uint16_t* above = r + 1 < height ? row + n : row;
  auto mark = [&](std::size_t c, uint16_t left, uint16_t right) {
    const uint16_t label = row[c];
    const bool differs =
        (left != label) | (right != label) | (below[c] != label) | (above[c] != label);
    marks[c] = differs && label < tBasinLabels::MAX_ROOTS ? label : kNotOnBoundary;
  };
  for (std::size_t c = 1; c + 1 < n; ++c) mark(c, row[c - 1], row[c + 1]);
  mark(0, row[0], row[n > 1 ? 1 : 0]);
  if (n > 1) mark(n - 1, row[n - 2], row[n - 1]);
}

// Calls visit(column, basin) for the marked pixels of a row, in order,
// passing over eight unmarked pixels at a time.
template <typename tVisit>
void visitMarked(const uint16_t* marks, std::size_t n, tVisit visit) {
  for (std::size_t c = 0; c < n; c += 8) {
    if (c + 8 <= n && offBoundary(&marks[c]) && offBoundary(&marks[c + 4])) continue;
    for (std::size_t q = c; q < std::min(c + 8, n); ++q) {
      if (marks[q] != kNotOnBoundary) visit(q, marks[q]);
    }
  }
}

}  // namespace

// The pixels are counted row by row first and then listed in place, so that
// a picture that is mostly boundary holds its list once.
tBasinStatistics::tBoundaryPixels tBasinStatistics::boundaryPixels(
    const std::vector<uint16_t>& labels) const {
  const std::size_t n = width_;
  tBoundaryPixels boundary;
  boundary.rowStarts.assign(height_ + 1, 0);
  inParallel(height_, threads_, [&](std::size_t begin, std::size_t end) {
    std::vector<uint16_t> marks(n);
    for (std::size_t r = begin; r < end; ++r) {
      markRow(labels, n, height_, r, marks.data());
      std::size_t count = 0;
      visitMarked(marks.data(), n, [&](std::size_t, uint16_t) { ++count; });
      boundary.rowStarts[r + 1] = count;
    }
  });
  std::partial_sum(boundary.rowStarts.begin(), boundary.rowStarts.end(),
                   boundary.rowStarts.begin());
  boundary.columns.resize(boundary.rowStarts.back());
  boundary.basins.resize(boundary.rowStarts.back());
  inParallel(height_, threads_, [&](std::size_t begin, std::size_t end) {
    std::vector<uint16_t> marks(n);
    for (std::size_t r = begin; r < end; ++r) {
      markRow(labels, n, height_, r, marks.data());
      std::size_t at = boundary.rowStarts[r];
      visitMarked(marks.data(), n, [&](std::size_t column, uint16_t basin) {
        boundary.columns[at] = static_cast<uint32_t>(column);
        boundary.basins[at++] = basin;
      });
    }
  });
  return boundary;
}

// A pixel p of any boundary lies no farther from basin k's boundary than
// from any one pixel q of it, and no pixel of any boundary lies farther from
// q than the farthest corner of their convex hull: so the squared distance
// from q to that corner bounds the farthest distance to basin k's boundary,
// and the least such bound over a few pixels q of it (its extreme ones) is
// taken. A basin without boundary pixels has no bound.
std::vector<std::pair<double, uint16_t>> tBasinStatistics::boundsOf(
    const tBoundaryPixels& boundary) const {
  using tPoint = std::pair<long, long>;  // column, row
  std::size_t labels = 0;
  for (const tBasin& basin : basins_) labels = std::max<std::size_t>(labels, basin.label + 1u);
  // Every corner of the hull is the first or the last boundary pixel of its
  // row, so those are all the hull needs.
  std::vector<tPoint> ends;
  std::vector<std::array<tPoint, 4>> extremes(labels);  // least and most column, row
  std::vector<bool> seen(labels, false);
  for (std::size_t r = 0; r < height_; ++r) {
    const std::size_t first = boundary.rowStarts[r];
    const std::size_t last = boundary.rowStarts[r + 1];
    if (first == last) continue;
    ends.emplace_back(static_cast<long>(boundary.columns[first]), static_cast<long>(r));
    ends.emplace_back(static_cast<long>(boundary.columns[last - 1]), static_cast<long>(r));
    for (std::size_t p = first; p < last; ++p) {
      const tPoint point(static_cast<long>(boundary.columns[p]), static_cast<long>(r));
      std::array<tPoint, 4>& e = extremes[boundary.basins[p]];
      if (!seen[boundary.basins[p]]) e = {point, point, point, point};
      seen[boundary.basins[p]] = true;
      if (point.first < e[0].first) e[0] = point;
      if (point.first > e[1].first) e[1] = point;
      if (point.second < e[2].second) e[2] = point;
      if (point.second > e[3].second) e[3] = point;
    }
  }
  const std::vector<tPoint> hull = convexHull(ends);
  std::vector<std::pair<double, uint16_t>> bounds;
  for (const tBasin& basin : basins_) {
    double bound = std::numeric_limits<double>::infinity();
    if (seen[basin.label]) {
      for (const tPoint& q : extremes[basin.label]) {
        double farthest = 0.0;
        for (const tPoint& v : hull) {
          const double dc = static_cast<double>(v.first - q.first);
          const double dr = static_cast<double>(v.second - q.second);
          farthest = std::max(farthest, dc * dc + dr * dr);
        }
        bound = std::min(bound, farthest);
      }
    }
    bounds.emplace_back(bound, basin.label);
  }
  return bounds;
}

// The rows are swept upwards, in stripes, holding for each column the rows
// of the nearest boundary pixels of the basin at or below the row and at or
// above it: their distances in rows give each column's, and the row's
// pixels of other boundaries look for their nearest along the row as in a
// distance transform, without a pass over the whole picture.
double tBasinStatistics::farthestFromBoundary(const tBoundaryPixels& boundary, uint16_t label,
                                              double floor) const {
  const std::size_t n = width_;
  const std::vector<std::size_t>& starts = boundary.rowStarts;
  std::mutex mutex;
  double farthest = floor;
  inParallel(height_, threads_, [&](std::size_t begin, std::size_t end) {
    // A column without a boundary pixel of the basin on a side holds a row
    // at least kFar beyond the picture there, so that it reads as kFar.
    tRowsAway g{std::vector<int32_t>(n, -int32_t{kFar}),
                std::vector<int32_t>(n, static_cast<int32_t>(height_) + kFar)};
    // Without branches: which pixels are the basin's follows no pattern a
    // processor could guess.
    auto see = [&](std::size_t p, std::size_t r, std::vector<int32_t>& nearest) {
      const std::size_t c = boundary.columns[p];
      nearest[c] = boundary.basins[p] == label ? static_cast<int32_t>(r) : nearest[c];
    };
    // The stripe starts from the nearest rows outside it, found in one pass
    // over the boundary pixels below it and one over those above.
    for (std::size_t r = 0; r < begin; ++r) {
      for (std::size_t p = starts[r]; p < starts[r + 1]; ++p) see(p, r, g.below);
    }
    for (std::size_t r = height_; r-- > end;) {
      for (std::size_t p = starts[r]; p < starts[r + 1]; ++p) see(p, r, g.above);
    }
    // For each pixel of the stripe, the row of the basin's next boundary
    // pixel above it in its column.
    std::vector<int32_t> following(starts[end] - starts[begin]);
    for (std::size_t r = end; r-- > begin;) {
      for (std::size_t p = starts[r]; p < starts[r + 1]; ++p) {
        following[p - starts[begin]] = g.above[boundary.columns[p]];
        see(p, r, g.above);
      }
    }
    tEnvelope envelope(n);
    double own = floor;
    for (std::size_t r = begin; r < end; ++r) {
      // The basin's pixels of the row come first: they are the nearest in
      // their columns for every pixel of the row.
      g.row = static_cast<int32_t>(r);
      for (std::size_t p = starts[r]; p < starts[r + 1]; ++p) {
        if (boundary.basins[p] != label) continue;
        g.below[boundary.columns[p]] = g.row;
        g.above[boundary.columns[p]] = following[p - starts[begin]];
      }
      envelope.clear();
      for (std::size_t p = starts[r]; p < starts[r + 1]; ++p) {
        if (boundary.basins[p] == label) continue;
        // A pixel no farther than the farthest yet cannot change it, so its
        // distance is needed only that far.
        own = std::max(own, nearestInRow(g, n, boundary.columns[p], own, envelope));
      }
    }
    std::lock_guard<std::mutex> lock(mutex);
    farthest = std::max(farthest, own);
  });
  return farthest;
}
