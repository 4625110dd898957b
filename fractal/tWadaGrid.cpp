#include "fractal/tWadaGrid.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <system_error>
#include <thread>

#include "fractal/tBasinLabels.h"
#include "fractal/tFractal.h"
#include "fractal/tIterativeSolver.h"
#include "fractal/tPictureContext.h"
#include "fractal/tRootManager.h"
#include "fractal/tThreadCount.h"

namespace {

// A root that is no basin of the picture; above every 16-bit label.
const uint32_t kNoBasin = 0x10000;
// The length of an edge in the units of its points' positions.
const uint32_t kEdgeLength = uint32_t{1} << tWadaGrid::MAX_DEPTH;
// Boundary boxes measured together, at least: rows of boxes are taken until
// there are as many, which bounds the memory on the largest pictures.
const std::size_t kBandBoxes = std::size_t{1} << 14;
// Starts a thread takes at a time.
const std::size_t kTaskStarts = 256;

bool isRootLabel(uint32_t outcome) { return outcome < tBasinLabels::MAX_ROOTS; }

// Edges are keyed so that sorting the keys sorts the edges: the horizontal
// edges of a picture row by row, then the vertical ones.
uint64_t horizontalKey(std::size_t width, std::size_t row, std::size_t column) {
  return static_cast<uint64_t>(row) * (width - 1) + column;
}

uint64_t verticalKey(std::size_t width, std::size_t height, std::size_t row, std::size_t column) {
  return static_cast<uint64_t>(height) * (width - 1) + static_cast<uint64_t>(row) * width + column;
}

}  // namespace

double tWadaGrid::tResult::getShare(std::size_t j) const {
  if (!measured || boundaryBoxes == 0) return std::numeric_limits<double>::quiet_NaN();
  if (j == 0 || j > basins) return 0.0;
  return static_cast<double>(boxesShowing[j - 1]) / static_cast<double>(boundaryBoxes);
}

bool tWadaGrid::tResult::isWada() const { return basins >= 3 && getShare(basins) >= WADA_SHARE; }

tWadaGrid::tResult tWadaGrid::measure(const tFractal& fractal, const tFunction& f,
                                      const tIterativeSolver& solver, unsigned threads,
                                      const std::atomic<bool>* cancel) {
  return tWadaGrid(fractal, f, solver, threads, cancel).run();
}

tWadaGrid::tWadaGrid(const tFractal& fractal, const tFunction& f, const tIterativeSolver& solver,
                     unsigned threads, const std::atomic<bool>* cancel)
    : fractal_(fractal),
      function_(f),
      solver_(solver),
      threads_(threads != 0 ? threads : tThreadCount::get()),
      cancel_(cancel),
      width_(fractal.getBasinLabels().getWidth()),
      height_(fractal.getBasinLabels().getHeight()),
      basins_(0),
      sameRootLimit_(tIterativeSolver::squaredLimit(tIterativeSolver::ROOT_EQUALITY_EPSILON)),
      seenMark_(0) {}

tWadaGrid::tResult tWadaGrid::run() {
  const auto begin = std::chrono::steady_clock::now();
  const tBasinLabels& labels = fractal_.getBasinLabels();
  if (labels.empty() || !readRegistry(labels, fractal_.getContext().getRoots())) return tResult();
  tResult result;
  result.basins = basins_;
  result.boxesShowing.assign(basins_, 0);
  result.completeAfter.assign(MAX_DEPTH + 1, 0);
  for (std::size_t row = 0; row + 1 < height_;) {
    row = findBoundaryBoxes(labels, row);
    if (!measureBand(result)) return tResult();
  }
  result.measured = true;
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
  result.milliseconds = took.count();
  return result;
}

bool tWadaGrid::readRegistry(const tBasinLabels& labels, const tRootManager& roots) {
  for (const auto& entry : roots.getRoots()) registry_.push_back(entry.first);
  labelOfRegistered_.assign(registry_.size(), kNoBasin);
  std::vector<bool> labelsSomePixel(labels.getRootCount(), false);
  for (uint16_t label : labels.getLabels()) {
    if (isRootLabel(label)) labelsSomePixel[label] = true;
  }
  for (std::size_t label = 0; label < labels.getRootCount(); ++label) {
    if (!labelsSomePixel[label]) continue;
    const std::size_t place = labels.getRegistryIndex(static_cast<uint16_t>(label));
    if (place >= registry_.size()) return false;
    labelOfRegistered_[place] = static_cast<tOutcomeLabel>(label);
    ++basins_;
  }
  seen_.assign(labels.getRootCount(), 0);
  return true;
}

std::size_t tWadaGrid::findBoundaryBoxes(const tBasinLabels& labels, std::size_t firstRow) {
  const std::size_t n = width_;
  const std::size_t h = height_;
  const std::vector<uint16_t>& grid = labels.getLabels();
  boxes_.clear();
  std::vector<uint64_t> keys;
  std::vector<std::size_t> corners;  // the first corner of each boundary box
  std::size_t r = firstRow;
  for (; r + 1 < h && corners.size() < kBandBoxes; ++r) {
    for (std::size_t c = 0; c + 1 < n; ++c) {
      const std::size_t p = r * n + c;
      const uint16_t a = grid[p], b = grid[p + 1], d = grid[p + n], e = grid[p + n + 1];
      if (a == b && a == d && a == e) continue;
      if (!isRootLabel(a) && !isRootLabel(b) && !isRootLabel(d) && !isRootLabel(e)) continue;
      corners.push_back(p);
      keys.push_back(horizontalKey(n, r, c));
      keys.push_back(horizontalKey(n, r + 1, c));
      keys.push_back(verticalKey(n, h, r, c));
      keys.push_back(verticalKey(n, h, r, c + 1));
    }
  }
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  const uint64_t firstVertical = verticalKey(n, h, 0, 0);
  edges_.resize(keys.size());
  for (std::size_t k = 0; k < keys.size(); ++k) {
    tEdge& edge = edges_[k];
    edge.vertical = keys[k] >= firstVertical;
    const uint64_t place = edge.vertical ? keys[k] - firstVertical : keys[k];
    const uint64_t across = edge.vertical ? n : n - 1;
    edge.row = static_cast<uint32_t>(place / across);
    edge.column = static_cast<uint32_t>(place % across);
    edge.depth = 0;
    edge.points = 2;
    const std::size_t first = edge.row * n + edge.column;
    const std::size_t second = first + (edge.vertical ? n : 1);
    edge.differing.clear();
    if (grid[first] != grid[second]) edge.differing.push_back({0, grid[first], grid[second]});
    edge.basins.clear();
    addOutcome(edge, grid[first]);
    addOutcome(edge, grid[second]);
  }
  auto placeOf = [&](uint64_t key) {
    return static_cast<std::size_t>(std::lower_bound(keys.begin(), keys.end(), key) - keys.begin());
  };
  for (std::size_t p : corners) {
    const std::size_t row = p / n, column = p % n;
    boxes_.push_back(
        {{placeOf(horizontalKey(n, row, column)), placeOf(horizontalKey(n, row + 1, column)),
          placeOf(verticalKey(n, h, row, column)), placeOf(verticalKey(n, h, row, column + 1))},
         0});
  }
  return r;
}

bool tWadaGrid::measureBand(tResult& result) {
  open_.resize(boxes_.size());
  for (std::size_t b = 0; b < boxes_.size(); ++b) open_[b] = b;
  for (unsigned depth = 0; depth <= MAX_DEPTH; ++depth) {
    if (depth > 0) {
      if (!halve(depth)) return false;
      result.newStarts += starts_.size();
    }
    std::size_t kept = 0;
    for (std::size_t b : open_) {
      boxes_[b].shown = basinsShownBy(boxes_[b]);
      if (boxes_[b].shown < basins_) open_[kept++] = b;
    }
    open_.resize(kept);
    result.completeAfter[depth] += boxes_.size() - open_.size();
  }
  for (const tBox& box : boxes_) ++result.boxesShowing[box.shown - 1];
  result.boundaryBoxes += boxes_.size();
  return true;
}

bool tWadaGrid::halve(unsigned depth) {
  // Segments are 2^(MAX_DEPTH - depth + 1) units long before this halving.
  const uint32_t half = kEdgeLength >> depth;
  refined_.clear();
  starts_.clear();
  for (std::size_t b : open_) {
    for (std::size_t place : boxes_[b].edges) {
      tEdge& edge = edges_[place];
      if (edge.depth + 1 != depth || edge.points > MAX_EDGE_POINTS) continue;
      edge.depth = depth;
      if (edge.differing.empty()) continue;
      edge.firstStart = starts_.size();
      for (const tSegment& segment : edge.differing) {
        const double along = static_cast<double>(segment.from + half) / kEdgeLength;
        const double row = edge.row + (edge.vertical ? along : 0.0);
        const double column = edge.column + (edge.vertical ? 0.0 : along);
        starts_.push_back(fractal_.pointAt(row, column));
      }
      refined_.push_back(place);
    }
  }
  if (!solveStarts()) return false;
  // A halved segment leaves the halves whose ends still differ.
  for (std::size_t place : refined_) {
    tEdge& edge = edges_[place];
    halves_.clear();
    const tOutcomeLabel* middle = &outcomes_[edge.firstStart];
    for (const tSegment& segment : edge.differing) {
      if (segment.first != *middle) halves_.push_back({segment.from, segment.first, *middle});
      if (*middle != segment.second) {
        halves_.push_back({segment.from + half, *middle, segment.second});
      }
      addOutcome(edge, *middle++);
    }
    edge.points += edge.differing.size();
    edge.differing.swap(halves_);
  }
  return true;
}

bool tWadaGrid::solveStarts() {
  outcomes_.resize(starts_.size());
  const std::size_t tasks = (starts_.size() + kTaskStarts - 1) / kTaskStarts;
  std::atomic<std::size_t> nextTask{0};
  std::atomic<bool> cancelled{false};
  auto work = [&] {
    tPacketSolver packets(solver_, function_);
    tPacketSolver::tOutcome solved[kTaskStarts];
    for (std::size_t task = nextTask++; task < tasks; task = nextTask++) {
      const std::size_t first = task * kTaskStarts;
      const std::size_t count = std::min(kTaskStarts, starts_.size() - first);
      if (!packets.solve(&starts_[first], count, solved, cancel_)) {
        cancelled = true;
        return;
      }
      for (std::size_t i = 0; i < count; ++i) outcomes_[first + i] = outcomeOf(solved[i]);
    }
  };
  std::vector<std::thread> helpers;
  const std::size_t threads = std::min<std::size_t>(threads_, tasks);
  for (std::size_t t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // fewer threads share the starts
    }
  }
  if (tasks != 0) work();
  for (std::thread& helper : helpers) helper.join();
  return !cancelled;
}

tWadaGrid::tOutcomeLabel tWadaGrid::outcomeOf(const tPacketSolver::tOutcome& outcome) const {
  if (outcome.kind == tPacketSolver::OUTCOME_SINGULAR) return tBasinLabels::SINGULAR;
  if (outcome.kind == tPacketSolver::OUTCOME_GAVE_UP) return tBasinLabels::NO_CONVERGENCE;
  // The registry's own rule: the first root registered within the tolerance.
  for (std::size_t place = 0; place < registry_.size(); ++place) {
    if ((registry_[place] - outcome.root).lengthSquared() < sameRootLimit_) {
      return labelOfRegistered_[place];
    }
  }
  return kNoBasin;
}

std::size_t tWadaGrid::basinsShownBy(const tBox& box) {
  ++seenMark_;
  std::size_t shown = 0;
  for (std::size_t place : box.edges) {
    for (tOutcomeLabel basin : edges_[place].basins) {
      if (seen_[basin] == seenMark_) continue;
      seen_[basin] = seenMark_;
      ++shown;
    }
  }
  return shown;
}

void tWadaGrid::addOutcome(tEdge& edge, tOutcomeLabel outcome) {
  if (!isRootLabel(outcome)) return;
  if (std::find(edge.basins.begin(), edge.basins.end(), outcome) != edge.basins.end()) return;
  edge.basins.push_back(outcome);
}
