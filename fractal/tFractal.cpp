#include "fractal/tFractal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "expr/tFunction.h"
#include "fractal/tIterativeSolver.h"
#include "fractal/tPictureContext.h"
#include "fractal/tQuadTree.h"
#include "fractal/tRandom.h"
#include "fractal/tRootManager.h"
#include "graphics/tImage.h"
#include "graphics/tMatrix2.h"

namespace {

const tPixel kOffSingularSet(200, 200, 200, 255);
const tPixel kOnSingularSet(0, 0, 0, 255);

// Pixels painted from outcomes before their labels are recorded.
const std::size_t kPaintPiece = 512;

// Boxes of the finest level of the quad tree are this many pixels wide.
const int kMinBoxSize = 2;

// The side the texture gives a picture of this dimension: of lo <= side < hi
// = 2 lo, hi when side / lo > hi / side in single precision. It must agree
// with the image's own rule, since the picture is refused on this answer
// before the image is made.
std::uint64_t pictureSide(unsigned int dimension) {
  std::uint64_t hi = 1;
  while (hi <= dimension) hi <<= 1;
  std::uint64_t lo = hi / 2;
  if (hi > 0x80000000u) return lo;
  float s = static_cast<float>(dimension);
  bool up = s / static_cast<float>(lo) > static_cast<float>(hi) / s;
  return up ? hi : lo;
}

// A pixel index from a fractional one, truncated; points off the picture
// (or not a number) give the nearest index that exists.
uint32_t truncateToIndex(double index) {
  if (!(index > 0.0)) return 0;
  if (index >= static_cast<double>(std::numeric_limits<uint32_t>::max())) {
    return std::numeric_limits<uint32_t>::max();
  }
  return static_cast<uint32_t>(index);
}

// Whether the four points do not all lie strictly on one side of the
// singular set: one of them on it, or two with Jacobians of opposite sign.
// The sign of the inverse's determinant is the sign of the Jacobian's.
tPixel opaque(tPixel color) {
  color[3] = 255;
  return color;
}

}  // namespace

tFractal* tFractal::create(unsigned int dimension, double minX, double maxX, double minY,
                           double maxY, tPictureContext& context) {
  if (!acceptsDimension(dimension)) return nullptr;
  const auto side = static_cast<unsigned int>(pictureSide(dimension));
  tFractal* fractal = new tFractal(side, side, minX, maxX, minY, maxY, context);
  // Black brought to its side as a texture brings it, resampling and all, so
  // that what shows before the pixels are painted stays as it was.
  tImage black(dimension, dimension);
  black.makeUseableAsTexture();
  fractal->image_->swap(black);
  return fractal;
}

bool tFractal::acceptsDimension(unsigned int dimension) {
  return dimension != 0 && pictureSide(dimension) <= MAX_PICTURE_SIDE;
}

tFractal* tFractal::create(unsigned int width, unsigned int height, double minX, double maxX,
                           double minY, double maxY, tPictureContext& context) {
  if (!acceptsSize(width, height)) return nullptr;
  return new tFractal(width, height, minX, maxX, minY, maxY, context);
}

bool tFractal::acceptsSize(unsigned int width, unsigned int height) {
  return width != 0 && height != 0 && width <= MAX_PICTURE_SIDE && height <= MAX_PICTURE_SIDE;
}

tFractal::tFractal(unsigned int width, unsigned int height, double minX, double maxX, double minY,
                   double maxY, tPictureContext& context)
    : jitter_(1),
      jitterFirst_(false),
      singularSet_(false),
      dimension_(0.0),
      minX_(minX),
      maxX_(maxX),
      minY_(minY),
      maxY_(maxY),
      image_(std::make_unique<tImage>(width, height)),
      labels_(width, height),
      context_(context) {}

tFractal::~tFractal() = default;

void tFractal::setBounds(double minX, double maxX, double minY, double maxY) {
  minX_ = minX;
  maxX_ = maxX;
  minY_ = minY;
  maxY_ = maxY;
}

void tFractal::computate(tFunction* f, tIterativeSolver* solver, unsigned int row,
                         unsigned int column) {
  if (singularSet_) {
    computateSingularSetPixel(static_cast<int>(row), static_cast<int>(column), solver, f);
  } else {
    computatePixel(static_cast<int>(row), static_cast<int>(column), solver, f);
  }
}

tPixel tFractal::singularSetColor(bool on) { return on ? kOnSingularSet : kOffSingularSet; }

bool tFractal::straddles(const tMatrix2 inverses[4]) {
  bool firstPositive = false;
  for (int k = 0; k < 4; ++k) {
    if (inverses[k] == tMatrix2()) return true;
    bool positive = inverses[k].determinant() > 0;
    if (k == 0) {
      firstPositive = positive;
    } else if (positive != firstPositive) {
      return true;
    }
  }
  return false;
}

void tFractal::computatePixel(int row, int column, tIterativeSolver* solver, tFunction* f) {
  paintPixel(row, column, [&](uint32_t, double dx, double dy) {
    return tPacketSolver::outcomeOf(solver->solve(f, pointAt(row + dy, column + dx), false));
  });
}

void tFractal::drawOffsets(double& dx, double& dy) {
  tRandom& random = context_.getRandom();
  dx = random.randInRange(-0.5f, 0.5f);
  dy = random.randInRange(-0.5f, 0.5f);
}

bool tFractal::addSample(int row, int column, const tPacketSolver::tOutcome& outcome, bool first,
                         tColorSum& sum) {
  tRootManager& roots = context_.getRoots();
  const bool converged = outcome.kind == tPacketSolver::OUTCOME_CONVERGED;
  const std::size_t root = converged ? roots.registerRoot(outcome.root) : 0;
  if (first) {
    labels_.record(static_cast<std::size_t>(row), static_cast<std::size_t>(column), outcome, root);
  }
  // One failed sample decides the pixel: the samples taken are dropped and
  // no more are drawn.
  if (outcome.kind == tPacketSolver::OUTCOME_SINGULAR) {
    image_->setPixel(row, column, opaque(roots.getSingularJacobianColor()));
    return false;
  }
  if (outcome.kind == tPacketSolver::OUTCOME_GAVE_UP) {
    image_->setPixel(row, column, opaque(roots.getNoConvergenceColor()));
    return false;
  }
  const tPixel color = roots.getRoots()[root].second;
  sum.red += color[0];
  sum.green += color[1];
  sum.blue += color[2];
  return true;
}

void tFractal::paintOutcomes(std::size_t pixel, const tPacketSolver::tOutcome* outcomes,
                             std::size_t count) {
  tRootManager& roots = context_.getRoots();
  const tPixel singular = opaque(roots.getSingularJacobianColor());
  const tPixel gaveUp = opaque(roots.getNoConvergenceColor());
  unsigned char* bytes = image_->getRawData() + 4 * pixel;
  // The labels are recorded a piece at a time: they take no part in the
  // registry's order.
  std::size_t registryIndices[kPaintPiece];
  for (std::size_t begin = 0; begin < count; begin += kPaintPiece) {
    const std::size_t end = std::min(count, begin + kPaintPiece);
    for (std::size_t i = begin; i < end; ++i) {
      const tPacketSolver::tOutcome& outcome = outcomes[i];
      tPixel color = gaveUp;
      std::size_t root = 0;
      if (outcome.kind == tPacketSolver::OUTCOME_CONVERGED) {
        root = roots.registerRoot(outcome.root);
        color = opaque(roots.getRoots()[root].second);
      } else if (outcome.kind == tPacketSolver::OUTCOME_SINGULAR) {
        color = singular;
      }
      registryIndices[i - begin] = root;
      std::memcpy(bytes + 4 * i, &color, sizeof color);
    }
    labels_.recordRun(pixel + begin, outcomes + begin, registryIndices, end - begin);
  }
}

void tFractal::paintAverage(int row, int column, const tColorSum& sum, uint32_t samples) {
  // One sample is its own average, without three divisions.
  if (samples == 1) {
    image_->setPixel(row, column,
                     tPixel(static_cast<unsigned char>(sum.red), static_cast<unsigned char>(sum.green),
                            static_cast<unsigned char>(sum.blue), 255));
    return;
  }
  image_->setPixel(row, column,
                   tPixel(static_cast<unsigned char>(sum.red / samples),
                          static_cast<unsigned char>(sum.green / samples),
                          static_cast<unsigned char>(sum.blue / samples), 255));
}

void tFractal::computateSingularSetPixel(int row, int column, tIterativeSolver* solver,
                                         tFunction* f) {
  tVector2 corners[4];
  cornersOf(static_cast<float>(row), static_cast<float>(column), corners);
  image_->setPixel(row, column, pathsStraddle(*solver, f, corners) ? kOnSingularSet
                                                                   : kOffSingularSet);
}

bool tFractal::pathsStraddle(const tIterativeSolver& solver, tFunction* f,
                             const tVector2 corners[4]) {
  std::vector<tVector2> paths[4];
  std::size_t steps = solver.getMaxIterations();
  for (int k = 0; k < 4; ++k) {
    paths[k] = solver.solve(f, corners[k], true).path_;
    steps = std::min(steps, paths[k].size());
  }
  // The four trajectories are compared at equal iteration counts.
  for (std::size_t i = 0; i < steps; ++i) {
    tMatrix2 inverses[4];
    for (int k = 0; k < 4; ++k) inverses[k] = f->jacobianInverse(paths[k][i]);
    if (straddles(inverses)) return true;
  }
  return false;
}

double tFractal::getWidth() const { return image_->getWidth(); }

double tFractal::getHeight() const { return image_->getHeight(); }

tPixel tFractal::getPixel(unsigned int row, unsigned int column) const {
  return image_->getPixel(static_cast<int>(row), static_cast<int>(column));
}

double tFractal::calculateDimension() {
  quadTree_.reset();
  quadTree_ = std::make_unique<tQuadTree>(this, kMinBoxSize);
  const int levels = quadTree_->getMaxDepth();
  std::vector<int> counts(static_cast<std::size_t>(levels), 0);
  quadTree_->countMottledBoxes(0, counts.data());
  // A picture of side 1 or 2 has no box smaller than itself, so no scale to
  // measure a boundary at: it reads as a picture without one, not as 0 / 0.
  if (levels < 2) {
    dimension_ = -std::numeric_limits<double>::infinity();
    return dimension_;
  }
  // Boxes of side 2^-k of the picture, N of them mottled: ln N / ln 2^k.
  float mottled = static_cast<float>(counts[levels - 1]);
  float k = static_cast<float>(levels - 1);
  dimension_ = std::log(static_cast<double>(mottled)) / std::log(std::pow(2.0, k));
  return dimension_;
}

bool tFractal::pointInSingularSet(double x, double y, tFunction* f) const {
  uint32_t column = truncateToIndex((x - minX_) / (maxX_ - minX_) * getWidth() + 0.5);
  uint32_t row = truncateToIndex((y - minY_) / (maxY_ - minY_) * getHeight() + 0.5);
  tVector2 corners[4];
  cornersOf(static_cast<float>(row), static_cast<float>(column), corners);
  tMatrix2 inverses[4];
  for (int k = 0; k < 4; ++k) inverses[k] = f->jacobianInverse(corners[k]);
  return straddles(inverses);
}

tVector2 tFractal::pointAt(double row, double column) const {
  return tVector2(xAt(column), yAt(row));
}

double tFractal::xAt(double column) const { return minX_ + column / getWidth() * (maxX_ - minX_); }

double tFractal::yAt(double row) const { return minY_ + row / getHeight() * (maxY_ - minY_); }

void tFractal::cornersOf(float row, float column, tVector2 corners[4]) const {
  corners[0] = pointAt(row - 0.5, column - 0.5);
  corners[1] = pointAt(row - 0.5, column + 0.5);
  corners[2] = pointAt(row + 0.5, column - 0.5);
  corners[3] = pointAt(row + 0.5, column + 0.5);
}
