#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "expr/FunctionText.h"
#include "expr/InstructionSets.h"
#include "fractal/tBasinLabels.h"
#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tPictureContext.h"
#include "fractal/tRootManager.h"
#include "fractal/tSolverKinds.h"
#include "fractal/tWadaGrid.h"

namespace {

// The registry and random sequence this file's pictures share.
tPictureContext& context() {
  static tPictureContext shared;
  return shared;
}

const int kNewton = 0;
const int kRungeKutta4 = 3;
// A root the picture's pixels never reached.
const uint32_t kOtherRoot = 0x10000;

std::shared_ptr<tFunction> load(const char* function) {
  return std::strchr(function, '=') ? functionFromText(function) : functionFromFile(function);
}

// The basin picture over [-extent, extent]^2, computed from a clear registry;
// with a height, side x height pixels over as much of y as keeps them square.
std::unique_ptr<tFractal> pictureOf(tFunction& f, tIterativeSolver& solver, unsigned side,
                                    double extent, unsigned height = 0) {
  const double y = extent * height / side;
  std::unique_ptr<tFractal> fractal(
      height == 0 ? tFractal::create(side, -extent, extent, -extent, extent, context())
                  : tFractal::create(side, height, -extent, extent, -y, y, context()));
  context().getRoots().clearRoots();
  tFractalComputation computation(fractal.get(), &f, &solver);
  EXPECT_TRUE(computation.run());
  return fractal;
}

bool sameResult(const tWadaGrid::tResult& a, const tWadaGrid::tResult& b) {
  return a.measured == b.measured && a.basins == b.basins && a.boundaryBoxes == b.boundaryBoxes &&
         a.boxesShowing == b.boxesShowing && a.completeAfter == b.completeAfter;
}

std::string describe(const tWadaGrid::tResult& r) {
  std::string text = std::to_string(r.boundaryBoxes) + " boxes, W =";
  for (std::size_t j = 1; j <= r.basins; ++j) text += " " + std::to_string(r.getShare(j));
  return text;
}

// Boxes of four neighbouring pixels that differ, one of them a root basin,
// counted straight from the labels.
std::size_t boundaryBoxesOf(const tBasinLabels& labels) {
  const std::size_t n = labels.getWidth();
  std::size_t boxes = 0;
  for (std::size_t r = 0; r + 1 < n; ++r) {
    for (std::size_t c = 0; c + 1 < n; ++c) {
      const uint16_t corners[4] = {labels.getLabel(r, c), labels.getLabel(r, c + 1),
                                   labels.getLabel(r + 1, c), labels.getLabel(r + 1, c + 1)};
      bool differ = false;
      bool root = false;
      for (uint16_t l : corners) {
        differ |= l != corners[0];
        root |= l < tBasinLabels::MAX_ROOTS;
      }
      boxes += differ && root;
    }
  }
  return boxes;
}

// The grid method as written, box by box: each boundary box refines its own
// four edges, one start at a time through solve() and the formulas' tree
// walk, and each converged start is matched by the registry itself
// (registerRoot; a root it adds is none of the picture's). newStarts and
// milliseconds are left out.
tWadaGrid::tResult referenceOf(const tFractal& fractal, tFunction& f,
                               const tIterativeSolver& solver) {
  const tBasinLabels& labels = fractal.getBasinLabels();
  const std::size_t n = labels.getWidth();
  const std::size_t rows = labels.getHeight();
  std::set<uint16_t> basins;
  for (uint16_t l : labels.getLabels()) {
    if (l < tBasinLabels::MAX_ROOTS) basins.insert(l);
  }
  std::map<std::size_t, uint32_t> basinAt;  // registry place -> root label
  for (uint16_t l : basins) basinAt[labels.getRegistryIndex(l)] = l;
  f.setTreeWalk(true);
  auto outcomeAt = [&](double row, double column) -> uint32_t {
    const tSolution s = solver.solve(&f, fractal.pointAt(row, column), false);
    if (s.singularJacobian_) return tBasinLabels::SINGULAR;
    if (s.noConvergence_) return tBasinLabels::NO_CONVERGENCE;
    const auto found = basinAt.find(context().getRoots().registerRoot(s.path_.back()));
    return found == basinAt.end() ? kOtherRoot : found->second;
  };
  const uint32_t length = 1u << tWadaGrid::MAX_DEPTH;
  struct tEdge {
    double row, column;  // the first corner
    bool vertical;
    std::vector<std::pair<uint32_t, uint32_t>> points;  // (position, outcome)
  };
  tWadaGrid::tResult result;
  result.measured = true;
  result.basins = basins.size();
  result.boxesShowing.assign(basins.size(), 0);
  result.completeAfter.assign(tWadaGrid::MAX_DEPTH + 1, 0);
  for (std::size_t r = 0; r + 1 < rows; ++r) {
    for (std::size_t c = 0; c + 1 < n; ++c) {
      auto at = [&](std::size_t dr, std::size_t dc) -> uint32_t {
        return labels.getLabel(r + dr, c + dc);
      };
      const double row = static_cast<double>(r), column = static_cast<double>(c);
      tEdge edges[4] = {{row, column, false, {{0, at(0, 0)}, {length, at(0, 1)}}},
                        {row + 1, column, false, {{0, at(1, 0)}, {length, at(1, 1)}}},
                        {row, column, true, {{0, at(0, 0)}, {length, at(1, 0)}}},
                        {row, column + 1, true, {{0, at(0, 1)}, {length, at(1, 1)}}}};
      std::set<uint32_t> corners = {at(0, 0), at(0, 1), at(1, 0), at(1, 1)};
      if (corners.size() == 1 || *corners.begin() >= tBasinLabels::MAX_ROOTS) continue;
      auto shown = [&] {
        std::set<uint32_t> seen;
        for (const tEdge& e : edges) {
          for (const auto& p : e.points) {
            if (p.second < tBasinLabels::MAX_ROOTS) seen.insert(p.second);
          }
        }
        return seen.size();
      };
      std::size_t count = shown();
      for (unsigned depth = 0; depth <= tWadaGrid::MAX_DEPTH; ++depth) {
        if (depth > 0 && count < basins.size()) {
          for (tEdge& e : edges) {
            if (e.points.size() > tWadaGrid::MAX_EDGE_POINTS) continue;
            std::vector<std::pair<uint32_t, uint32_t>> halved;
            for (std::size_t i = 0; i < e.points.size(); ++i) {
              halved.push_back(e.points[i]);
              if (i + 1 == e.points.size() || e.points[i].second == e.points[i + 1].second) continue;
              const uint32_t middle = e.points[i].first + (length >> depth);
              const double along = static_cast<double>(middle) / length;
              halved.push_back({middle, outcomeAt(e.row + (e.vertical ? along : 0.0),
                                                  e.column + (e.vertical ? 0.0 : along))});
            }
            e.points = halved;
          }
          count = shown();
        }
        result.completeAfter[depth] += count == basins.size();
      }
      ++result.boxesShowing[count - 1];
      ++result.boundaryBoxes;
    }
  }
  f.setTreeWalk(false);
  return result;
}

}  // namespace

// Newton's basins of polynomials are Wada: every basin boundary of a rational
// map's attracting cycles is its Julia set, z^3 - 2z + 2's grey cycle
// included. Three strips (tan x has its roots -pi, 0 and pi in the picture,
// and Newton's step for it, sin x cos x, never leaves a strip) meet two at a
// time, under Newton and under a Runge-Kutta flow alike. The shares make 1
// and every boundary box is counted once, the bands of boxes measured
// separately included (z^8 + 15z^4 - 16 has more boxes than one band).
TEST(tWadaGridTest, VerdictsOnPicturesWithKnownAnswers) {
  const struct {
    const char* name;
    const char* function;
    int solver;
    unsigned long limit;
    double h;
    double extent;
    std::size_t basins;
    bool wada;
  } cases[] = {
      {"z^3 - 1", "cubicz.func", kNewton, 100, 1.0, 2.0, 3, true},
      {"z^5 - 1", "quinticz.func", kNewton, 100, 1.0, 2.0, 5, true},
      {"z^8 + 15z^4 - 16", "f ( z ) = z ^ 8 + 15 * z ^ 4 - 16", kNewton, 100, 1.0, 2.0, 8, true},
      {"z^3 - 2z + 2", "cycle.func", kNewton, 100, 1.0, 2.0, 3, true},
      {"tan x strips, Newton", "f1 = tan ( x ) f2 = y", kNewton, 100, 1.0, 4.0, 3, false},
      {"tan x strips, RK4", "f1 = tan ( x ) f2 = y", kRungeKutta4, 100, 0.5, 4.0, 3, false},
  };
  for (const auto& c : cases) {
    auto f = load(c.function);
    auto solver = makeSolver(c.solver, c.limit, c.h);
    auto fractal = pictureOf(*f, *solver, 256, c.extent);
    const tWadaGrid::tResult result = tWadaGrid::measure(*fractal, *f, *solver);
    ASSERT_TRUE(result.measured) << c.name;
    EXPECT_EQ(c.basins, result.basins) << c.name;
    EXPECT_EQ(boundaryBoxesOf(fractal->getBasinLabels()), result.boundaryBoxes) << c.name;
    EXPECT_EQ(c.wada, result.isWada()) << c.name << ": " << describe(result);
    double sum = 0.0;
    std::size_t boxes = 0;
    for (std::size_t j = 1; j <= result.basins; ++j) {
      sum += result.getShare(j);
      boxes += result.boxesShowing[j - 1];
    }
    EXPECT_EQ(result.boundaryBoxes, boxes) << c.name;
    EXPECT_NEAR(1.0, sum, 1e-12) << c.name;
    EXPECT_EQ(result.boxesShowing.back(), result.completeAfter.back()) << c.name;
    if (!c.wada) {
      EXPECT_EQ(0.0, result.getShare(c.basins)) << c.name;
    }
    RecordProperty(c.name, describe(result));
  }
}

// The new starts' outcomes, so the result, are the same on any number of
// threads and on either instruction set, and they are the outcomes of
// solving each start alone: the result is the reference's, box by box. The
// cycle's grey region puts failures among the outcomes; in the cubic's
// picture one root's pixels are relabelled as failures, so that starts
// reaching that root find no basin of the picture.
class tWadaGridEngineTest : public tOnEachInstructionSet {};

TEST_P(tWadaGridEngineTest, EveryStartTakesItsOwnOutcome) {
  const struct {
    const char* function;
    bool dropOneBasin;
    unsigned width, height;  // a height of 0 for a square picture
  } cases[] = {
      {"cycle.func", false, 64, 0}, {"cubicz.func", true, 64, 0}, {"cubicz.func", false, 72, 37}};
  for (const auto& c : cases) {
    auto f = load(c.function);
    auto solver = makeSolver(kNewton, 100, 1.0);
    auto fractal = pictureOf(*f, *solver, c.width, 2.0, c.height);
    if (c.dropOneBasin) {
      tBasinLabels& labels = fractal->getBasinLabels();
      const tPacketSolver::tOutcome gaveUp{tVector2(), tPacketSolver::OUTCOME_GAVE_UP, 0};
      for (std::size_t r = 0; r < labels.getHeight(); ++r) {
        for (std::size_t col = 0; col < labels.getWidth(); ++col) {
          if (labels.getLabel(r, col) == 1) labels.record(r, col, gaveUp, 0);
        }
      }
    }
    const tWadaGrid::tResult one = tWadaGrid::measure(*fractal, *f, *solver, 1);
    const tWadaGrid::tResult three = tWadaGrid::measure(*fractal, *f, *solver, 3);
    const tWadaGrid::tResult reference = referenceOf(*fractal, *f, *solver);
    ASSERT_TRUE(one.measured) << c.function;
    EXPECT_EQ(c.dropOneBasin ? 2u : 3u, one.basins) << c.function;
    EXPECT_GT(one.newStarts, one.boundaryBoxes) << c.function;
    EXPECT_TRUE(sameResult(reference, one)) << c.function << ": " << describe(reference) << " vs "
                                            << describe(one);
    EXPECT_TRUE(sameResult(one, three)) << c.function;
    EXPECT_EQ(one.newStarts, three.newStarts) << c.function;
  }
}

RUN_ON_EACH_INSTRUCTION_SET(tWadaGridEngineTest);

// What cannot be measured: a singular-set picture has no labels; a picture
// whose roots the registry no longer holds cannot be matched; a cancelled
// measure stops. None is Wada, and its shares are not defined.
TEST(tWadaGridTest, PicturesThatAreNotMeasured) {
  auto f = load("cubicz.func");
  auto solver = makeSolver(kNewton, 50, 1.0);
  auto basins = pictureOf(*f, *solver, 32, 2.0);
  std::unique_ptr<tFractal> singular(tFractal::create(32, -2, 2, -2, 2, context()));
  singular->setSingularSet(true);
  ASSERT_TRUE(tFractalComputation(singular.get(), f.get(), solver.get()).run());
  std::atomic<bool> cancel{true};

  const tWadaGrid::tResult measured = tWadaGrid::measure(*basins, *f, *solver);
  const tWadaGrid::tResult withoutLabels = tWadaGrid::measure(*singular, *f, *solver);
  const tWadaGrid::tResult cancelled = tWadaGrid::measure(*basins, *f, *solver, 0, &cancel);
  context().getRoots().clearRoots();
  const tWadaGrid::tResult withoutRoots = tWadaGrid::measure(*basins, *f, *solver);
  EXPECT_TRUE(measured.measured);
  for (const tWadaGrid::tResult& result : {withoutLabels, cancelled, withoutRoots}) {
    EXPECT_FALSE(result.measured);
    EXPECT_FALSE(result.isWada());
    EXPECT_TRUE(std::isnan(result.getShare(1)));
  }
}

// A registry that holds roots from earlier pictures (a zoom, kept colours)
// numbers the picture's roots otherwise than its labels do; the result is
// the same.
TEST(tWadaGridTest, RootsKeptFromEarlierPictures) {
  auto f = load("quinticz.func");
  auto solver = makeSolver(kNewton, 100, 1.0);
  auto fresh = pictureOf(*f, *solver, 64, 2.0);
  const tWadaGrid::tResult expected = tWadaGrid::measure(*fresh, *f, *solver);

  std::unique_ptr<tFractal> kept(tFractal::create(64, -2, 2, -2, 2, context()));
  context().getRoots().clearRoots();
  for (const tVector2& earlier : {tVector2(7, 7), tVector2(-1, 0.5)}) {
    context().getRoots().registerRoot(earlier);
  }
  ASSERT_TRUE(tFractalComputation(kept.get(), f.get(), solver.get()).run());
  ASSERT_NE(0u, kept->getBasinLabels().getRegistryIndex(0));
  EXPECT_TRUE(sameResult(expected, tWadaGrid::measure(*kept, *f, *solver)))
      << describe(expected);
}
