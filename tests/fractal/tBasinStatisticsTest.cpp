#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "expr/FunctionText.h"
#include "fractal/tBasinLabels.h"
#include "fractal/tBasinStatistics.h"
#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tPictureContext.h"
#include "fractal/tRootManager.h"

namespace {

// The registry and random sequence this file's pictures share.
tPictureContext& context() {
  static tPictureContext shared;
  return shared;
}

const double kPi = 3.14159265358979323846;
const uint16_t kGaveUp = tBasinLabels::NO_CONVERGENCE;
const uint16_t kSingular = tBasinLabels::SINGULAR;

// Labels of a width x height picture: root label k is recorded as the root
// at registry place registry[k] (k itself when none are given).
tBasinLabels labelsOf(std::size_t width, std::size_t height,
                      const std::function<uint16_t(int row, int column)>& label,
                      const std::vector<std::size_t>& registry = {}) {
  tBasinLabels labels(width, height);
  for (std::size_t r = 0; r < height; ++r) {
    for (std::size_t c = 0; c < width; ++c) {
      const uint16_t l = label(static_cast<int>(r), static_cast<int>(c));
      tPacketSolver::tOutcome outcome{tVector2(), tPacketSolver::OUTCOME_CONVERGED, 0};
      if (l == kGaveUp) outcome.kind = tPacketSolver::OUTCOME_GAVE_UP;
      if (l == kSingular) outcome.kind = tPacketSolver::OUTCOME_SINGULAR;
      const bool root = outcome.kind == tPacketSolver::OUTCOME_CONVERGED;
      labels.record(r, c, outcome, root && !registry.empty() ? registry[l] : l);
    }
  }
  return labels;
}

// Entropy of a box whose 25 pixels split as these counts.
double boxEntropy(std::vector<double> counts) {
  double s = 0.0;
  for (double n : counts) s -= n / 25.0 * std::log(n / 25.0);
  return s;
}

// Expected values, NaN for "not defined".
void expectMeasure(double expected, double actual, const char* what, const char* name) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(actual)) << name << ": " << what << " " << actual;
  } else {
    EXPECT_NEAR(expected, actual, 1e-5) << name << ": " << what;
  }
}

// The Wada distance as the definition walks it, pixel by pixel.
double wadaDistanceByDefinition(const tBasinLabels& labels) {
  const int width = static_cast<int>(labels.getWidth());
  const int height = static_cast<int>(labels.getHeight());
  std::vector<std::vector<std::pair<int, int>>> boundaries(labels.getRootCount());
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c) {
      const uint16_t l = labels.getLabel(r, c);
      if (l >= tBasinLabels::MAX_ROOTS) continue;
      const bool edge = (c > 0 && labels.getLabel(r, c - 1) != l) ||
                        (c + 1 < width && labels.getLabel(r, c + 1) != l) ||
                        (r > 0 && labels.getLabel(r - 1, c) != l) ||
                        (r + 1 < height && labels.getLabel(r + 1, c) != l);
      if (edge) boundaries[l].push_back({r, c});
    }
  }
  int farthest = 0;
  for (const auto& from : boundaries) {
    for (const auto& to : boundaries) {
      for (const auto& a : from) {
        int nearest = 1 << 30;
        for (const auto& b : to) {
          const int dr = a.first - b.first, dc = a.second - b.second;
          nearest = std::min(nearest, dr * dr + dc * dc);
        }
        farthest = std::max(farthest, nearest);
      }
    }
  }
  return std::sqrt(static_cast<double>(farthest));
}

// Three sectors of a square meeting at its centre; of a width x height
// rectangle.
uint16_t sector(int width, int height, int r, int c) {
  const double angle = std::atan2(r - (height - 1) / 2.0, c - (width - 1) / 2.0) + kPi;
  return static_cast<uint16_t>(std::min(2.0, std::floor(angle / (2 * kPi / 3))));
}

}  // namespace

// Pictures whose measures are known. The straight boundary runs between
// columns 201 and 202: one 5 x 5 box in each row of boxes holds 2 + 3
// columns, and the 2 x 2 boxes never straddle it, so the uncertainty
// exponent is fitted from s = 4 on. Three labels repeating along diagonals
// put a boundary at every pixel; the nearest pixel of another basin's
// boundary is a neighbour, or a diagonal one in two corners.
TEST(tBasinStatisticsTest, SyntheticPicturesWithKnownMeasures) {
  const double nan = std::nan("");
  const double diagonal = boxEntropy({8, 8, 9});
  const struct {
    const char* name;
    std::size_t side;
    std::function<uint16_t(int, int)> label;
    double basinEntropy, boundaryEntropy, dimension, error, alpha, wada;
    bool fractal;
    std::size_t height = 0;  // rows of a picture side wide; 0 for a square
  } cases[] = {
      {"straight boundary", 512, [](int, int c) { return uint16_t{c >= 202}; },
       boxEntropy({10, 15}) / 102, boxEntropy({10, 15}), 1.0, 0.0, 1.0, nan, false},
      {"three diagonal labels", 512, [](int r, int c) { return uint16_t((r + c) % 3); }, diagonal,
       diagonal, 2.0, 0.0, 0.0, std::sqrt(2.0), true},
      {"single basin", 512, [](int, int) { return uint16_t{0}; }, 0.0, nan, nan, nan, nan, nan,
       false},
      // Two sides to fit (1 and 2) and two distances, so no errors.
      {"side 32", 32, [](int, int c) { return uint16_t{c >= 7}; }, boxEntropy({10, 15}) / 6,
       boxEntropy({10, 15}), 1.0, nan, 1.0, nan, false},
      {"smaller than a box", 4, [](int, int c) { return uint16_t{c >= 2}; }, nan, nan, nan, nan,
       nan, nan, false},
      // Not square: the boundary between columns 251 and 252 crosses one box
      // in each of the 19 rows of 104 boxes, and the box dimension's 64 x 64
      // square in the middle (columns 228 to 291).
      {"straight boundary, 520 x 96", 520, [](int, int c) { return uint16_t{c >= 252}; },
       boxEntropy({10, 15}) / 104, boxEntropy({10, 15}), 1.0, 0.0, 1.0, nan, false, 96},
      {"three diagonal labels, 600 x 520", 600, [](int r, int c) { return uint16_t((r + c) % 3); },
       diagonal, diagonal, 2.0, 0.0, 0.0, std::sqrt(2.0), true, 520},
      {"a boundary outside the square", 300, [](int, int c) { return uint16_t{c >= 10}; }, 0.0, nan,
       nan, nan, 1.0, nan, false, 40},
  };
  for (const auto& c : cases) {
    tBasinStatistics statistics(labelsOf(c.side, c.height == 0 ? c.side : c.height, c.label));
    ASSERT_TRUE(statistics.isMeasured()) << c.name;
    expectMeasure(c.basinEntropy, statistics.getBasinEntropy(), "S_b", c.name);
    expectMeasure(c.boundaryEntropy, statistics.getBoundaryBasinEntropy(), "S_bb", c.name);
    expectMeasure(c.dimension, statistics.getBoxDimension(), "dimension", c.name);
    expectMeasure(c.error, statistics.getBoxDimensionError(), "error", c.name);
    expectMeasure(c.alpha, statistics.getUncertaintyExponent(), "alpha", c.name);
    expectMeasure(c.wada, statistics.getWadaDistance(), "Wada distance", c.name);
    EXPECT_EQ(c.fractal, statistics.hasFractalBoundary()) << c.name;
  }
}

// One pixel of a second basin at row 2, column 2 of 64: the boundary is that
// pixel, the one left of it and the one below, in 3 boxes of side 1, 3 of
// side 2 and 1 of side 4. With L = ln 2 the fit of ln N(s) against ln(1/s)
// runs through (0, ln 3), (-L, ln 3) and (-2L, 0): its slope is ln 3 / 2L,
// its residuals are ln 3 times -1/6, 1/3 and -1/6, so their squares sum to
// (ln 3)^2 / 6, and with n - 2 = 1 and sum (x - mean x)^2 = 2 L^2 its
// standard error is ln 3 / (2 sqrt(3) L).
TEST(tBasinStatisticsTest, BoxDimensionErrorOfOneOddPixel) {
  tBasinStatistics statistics(
      labelsOf(64, 64, [](int r, int c) { return uint16_t{r == 2 && c == 2}; }));
  const double log3 = std::log(3.0);
  const double log2 = std::log(2.0);
  EXPECT_DOUBLE_EQ(log3 / (2.0 * log2), statistics.getBoxDimension());
  EXPECT_DOUBLE_EQ(log3 / (2.0 * std::sqrt(3.0) * log2), statistics.getBoxDimensionError());
}

// The Wada distance by the distance transform against the definition: blobs
// of four basins and a failure from a fixed sequence, whose boundaries lie a
// few pixels apart, and three sectors, whose boundaries lie farther apart than
// the columns searched before a row's envelope is built and too far apart for
// Wada basins.
TEST(tBasinStatisticsTest, WadaDistanceMatchesTheDefinition) {
  const int side = 48;
  std::vector<uint16_t> grid(side * side);
  unsigned state = 12345;
  for (uint16_t& label : grid) {
    state = state * 1103515245u + 12345u;
    label = static_cast<uint16_t>((state >> 16) % 5);
  }
  // Each pixel takes the label of the majority of its 3 x 3 block.
  auto blob = [&](int r, int c) {
    int votes[5] = {};
    for (int dr = -1; dr <= 1; ++dr)
      for (int dc = -1; dc <= 1; ++dc)
        ++votes[grid[std::clamp(r + dr, 0, side - 1) * side + std::clamp(c + dc, 0, side - 1)]];
    const int most = static_cast<int>(std::max_element(votes, votes + 5) - votes);
    return most == 4 ? kGaveUp : static_cast<uint16_t>(most);
  };
  const tBasinLabels pictures[] = {
      labelsOf(side, side, blob),
      labelsOf(96, 96, [](int r, int c) { return sector(96, 96, r, c); }),
      labelsOf(90, 50, [](int r, int c) { return sector(90, 50, r, c); }), labelsOf(40, 72, blob)};
  for (const tBasinLabels& labels : pictures) {
    const double expected = wadaDistanceByDefinition(labels);
    for (unsigned threads : {1u, 3u}) {
      EXPECT_DOUBLE_EQ(expected, tBasinStatistics(labels, threads).getWadaDistance())
          << labels.getWidth() << " px, " << threads << " threads";
    }
  }
  // Three sectors meet only at the centre: their boundaries lie far apart.
  tBasinStatistics sectors(pictures[1]);
  EXPECT_GT(sectors.getWadaDistance(), 20.0);
  EXPECT_LT(sectors.getBoundaryBasinEntropy(), std::log(2.0));
}

// Every label's share, the failures included, with the basins in the
// registry's order and only the roots that label a pixel; a picture without
// labels (a singular-set picture) measures nothing.
TEST(tBasinStatisticsTest, FractionsPerRootAndFailure) {
  tBasinStatistics statistics(
      labelsOf(64, 64,
               [](int, int c) {
                 return c < 16 ? uint16_t{0} : c < 32 ? kGaveUp : c < 40 ? kSingular : uint16_t{1};
               },
               {5, 2}));
  ASSERT_EQ(2u, statistics.getBasins().size());
  EXPECT_EQ(2u, statistics.getBasins()[0].registryIndex);
  EXPECT_EQ(1u, statistics.getBasins()[0].label);
  EXPECT_EQ(0.375, statistics.getBasins()[0].fraction);
  EXPECT_EQ(5u, statistics.getBasins()[1].registryIndex);
  EXPECT_EQ(0.25, statistics.getBasins()[1].fraction);
  EXPECT_EQ(0.25, statistics.getNoConvergenceFraction());
  EXPECT_EQ(0.125, statistics.getSingularFraction());
  EXPECT_EQ(0.625, statistics.getConvergedFraction());

  tBasinStatistics none{tBasinLabels(64)};
  EXPECT_FALSE(none.isMeasured());
  EXPECT_TRUE(none.getBasins().empty());
  EXPECT_TRUE(std::isnan(none.getConvergedFraction()));
  EXPECT_TRUE(std::isnan(none.getBasinEntropy()));
}

// z^3 - 1 under Newton over [-2, 2]^2 at 512 x 512: the two complex roots'
// basins mirror each other, and the three basins share one fractal boundary.
TEST(tBasinStatisticsTest, CubicUnderNewtonIsWada) {
  auto f = functionFromFile("cubic.func");
  tNewtonSolver solver(100, 1.0);
  std::unique_ptr<tFractal> fractal(tFractal::create(512, -2, 2, -2, 2, context()));
  context().getRoots().clearRoots();
  tFractalComputation computation(fractal.get(), f.get(), &solver);
  ASSERT_TRUE(computation.run());
  tBasinStatistics statistics(fractal->getBasinLabels());

  const auto& roots = context().getRoots().getRoots();
  std::vector<double> complexFractions;
  for (const tBasinStatistics::tBasin& basin : statistics.getBasins()) {
    const bool complex = std::fabs(roots[basin.registryIndex].first.y_) > 0.5;
    if (complex) complexFractions.push_back(basin.fraction);
  }
  ASSERT_EQ(3u, statistics.getBasins().size());
  ASSERT_EQ(2u, complexFractions.size());
  EXPECT_NEAR(complexFractions[0], complexFractions[1], 0.01 * complexFractions[0]);
  EXPECT_GT(statistics.getBoundaryBasinEntropy(), std::log(2.0));
  EXPECT_TRUE(statistics.hasFractalBoundary());
  EXPECT_GE(statistics.getBoxDimension(), 1.3);
  EXPECT_LE(statistics.getBoxDimension(), 1.55);
  EXPECT_GT(statistics.getBoxDimensionError(), 0.0);
  // The boundaries meet, up to the few pixels (1% of the side) that thin
  // filaments leave between them on a grid.
  EXPECT_LE(statistics.getWadaDistance(), 0.01 * 512);
  // Every measure is the same however many threads share the work.
  for (unsigned threads : {1u, 3u}) {
    const tBasinStatistics other(fractal->getBasinLabels(), threads);
    double (tBasinStatistics::*const measures[])() const = {
        &tBasinStatistics::getConvergedFraction,        &tBasinStatistics::getBasinEntropy,
        &tBasinStatistics::getBoundaryBasinEntropy,     &tBasinStatistics::getBoxDimension,
        &tBasinStatistics::getBoxDimensionError,        &tBasinStatistics::getUncertaintyExponent,
        &tBasinStatistics::getUncertaintyExponentError, &tBasinStatistics::getWadaDistance};
    for (auto measure : measures) {
      EXPECT_EQ((statistics.*measure)(), (other.*measure)()) << threads;
    }
  }
}

// The uncertainty exponent by its definition (f(e), the share of uncertain
// pixels, going as e^alpha) against the box dimension, on Newton pictures
// whose basin boundary is a Julia set: 2 - alpha lies within two standard
// errors (the dimension's and alpha's together) of the fitted dimension.
TEST(tBasinStatisticsTest, UncertaintyExponentAgreesWithTheDimension) {
  for (const char* map : {"f ( z ) = z ^ 5 - 1", "f ( z ) = z ^ 8 + 15 * z ^ 4 - 16"}) {
    auto f = functionFromText(map);
    tNewtonSolver solver(100, 1.0);
    std::unique_ptr<tFractal> fractal(tFractal::create(256, -2, 2, -2, 2, context()));
    context().getRoots().clearRoots();
    tFractalComputation computation(fractal.get(), f.get(), &solver);
    ASSERT_TRUE(computation.run());
    tBasinStatistics s(fractal->getBasinLabels());
    const double apart = std::fabs(2.0 - s.getUncertaintyExponent() - s.getBoxDimension());
    EXPECT_LE(apart, 2.0 * (s.getBoxDimensionError() + s.getUncertaintyExponentError())) << map;
    EXPECT_GT(s.getUncertaintyExponentError(), 0.0) << map;
  }
}
