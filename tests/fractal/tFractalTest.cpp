#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "expr/FunctionText.h"
#include "fractal/tFractal.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tPictureContext.h"
#include "fractal/tQuadTree.h"
#include "fractal/tRandom.h"
#include "fractal/tRootManager.h"
#include "fractal/tSolverKinds.h"
#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tTGALoader.h"

namespace {

// The registry and random sequence this file's pictures share.
tPictureContext& context() {
  static tPictureContext shared;
  return shared;
}

const double kInfinity = std::numeric_limits<double>::infinity();
const tPixel kPurple(159, 66, 238, 255);  // first preset
const tPixel kGreen(92, 245, 60, 255);    // second preset
const tPixel kYellow(255, 255, 0, 255);   // singular Jacobian
const tPixel kGrey(50, 50, 50, 255);      // no convergence

// F(x, y) = (x^2 - 1, y): Newton goes to (-1, 0) from x < 0, to (1, 0) from
// x > 0, and stops on a singular Jacobian at x = 0, its singular set.
const char* const kFold = "f1 = x ^ 2 - 1 f2 = y f11 = 2 * x f12 = 0 f21 = 0 f22 = 1";

const tPixel kOff(200, 200, 200, 255);  // singular-set pictures
const tPixel kOn(0, 0, 0, 255);
const char* const kNowhereInvertible = "f1 = x f2 = y f11 = 0 f12 = 0 f21 = 0 f22 = 0";
// det J = (x - 3/8)^2 + (y - 3/8)^2: singular at one point only, the corner
// that pixels (5, 5), (5, 6), (6, 5) and (6, 6) share below.
const char* const kOnePoint =
    "f1 = x f2 = y f11 = x - 0.375 f12 = 0.375 - y f21 = y - 0.375 f22 = x - 0.375";

// Counts 1, ratio, ratio^2, ... over the given number of levels.
std::vector<int> geometric(int levels, int ratio) {
  std::vector<int> counts{1};
  while (static_cast<int>(counts.size()) < levels) counts.push_back(counts.back() * ratio);
  return counts;
}

// The registry with (-1, 0) purple and (1, 0) green.
void presetTwoRoots() {
  tRootManager& roots = context().getRoots();
  roots.useRandomColors(false);
  roots.clearRoots();
  roots.getColorForRoot(tVector2(-1, 0));
  roots.getColorForRoot(tVector2(1, 0));
}

}  // namespace

// z^2 - 1 over [-2, 2]^2: Newton from z reaches the root of z's half-plane
// (left purple, right green) and stays on the imaginary axis, grey but for
// the three rows from which it lands on the origin (yellow).
TEST(tFractalTest, GoldenQuadraticNewton64) {
  auto f = functionFromFile("quadratic.func");
  tNewtonSolver solver(50, 1.0);
  context().getRoots().useRandomColors(false);
  context().getRoots().clearRoots();
  std::unique_ptr<tFractal> fractal(tFractal::create(64, -2, 2, -2, 2, context()));
  ASSERT_NE(nullptr, fractal);
  for (unsigned int r = 0; r < 64; ++r) {
    for (unsigned int c = 0; c < 64; ++c) fractal->computate(f.get(), &solver, r, c);
  }

  // Pixel (0, 0) samples (-2, -2), in the left half-plane: -1 is met first.
  ASSERT_EQ(2u, context().getRoots().getRoots().size());
  EXPECT_GT(1e-10, (context().getRoots().getRoots()[0].first - tVector2(-1, 0)).length());
  // Column 32 samples x = 0 and row r samples y = -2 + r / 16: from y = -1
  // and y = 1 the first step lands on the origin, and the origin is row 32,
  // where the real axis splits.
  for (unsigned int i = 0; i < 64; ++i) {
    EXPECT_EQ(i == 16 || i == 32 || i == 48 ? kYellow : kGrey, fractal->getPixel(i, 32)) << i;
    const tPixel axis = i < 32 ? kPurple : i > 32 ? kGreen : kYellow;
    EXPECT_EQ(axis, fractal->getPixel(32, i)) << i;
  }

  const std::string golden = ROOTWEAVER_SOURCE_DIR "/tests/data/quadratic-newton-64.tga";
  const char* regenerate = std::getenv("ROOTWEAVER_REGENERATE_GOLDEN");
  if (regenerate != nullptr && std::string(regenerate) == "1") {
    ASSERT_TRUE(tTGALoader().write(golden, fractal->getImage(), 24, false));
    return;
  }
  tScratchDirectory dir;
  ASSERT_TRUE(tTGALoader().write(dir / "quadratic.tga", fractal->getImage(), 24, false));
  const std::string expected = readRaw(golden);
  ASSERT_EQ(18u + 64 * 64 * 3, expected.size()) << golden;
  EXPECT_TRUE(expected == readRaw(dir / "quadratic.tga"));
}

TEST(tFractalTest, CreateRefusesZeroAndOversizedPictures) {
  const struct {
    unsigned int dimension;
    unsigned int side;  // 0 for refused
  } cases[] = {{0, 0}, {23171, 0}, {500, 512}, {300, 256}, {1, 1}};
  for (const auto& c : cases) {
    std::unique_ptr<tFractal> fractal(tFractal::create(c.dimension, -1, 1, -1, 1, context()));
    ASSERT_EQ(c.side == 0, fractal == nullptr) << c.dimension;
    if (c.side == 0) continue;
    EXPECT_EQ(c.side, fractal->getWidth());
    EXPECT_EQ(c.side, fractal->getHeight());
    // Black to start with (resampling may take a little off the alpha).
    tPixel last = fractal->getPixel(c.side - 1, c.side - 1);
    EXPECT_EQ(tPixel(0, 0, 0, last[3]), last) << c.dimension;
  }
}

// A 2 x 2 picture over [0, 2]^2: pixel (0, 0) samples exactly (dx, dy).
TEST(tFractalTest, JitteredSamplesAverageByIntegerDivision) {
  const tPixel expected[5] = {kGreen, tPixel(108, 200, 104, 255), tPixel(125, 155, 149, 255),
                              tPixel(142, 110, 193, 255), kPurple};
  auto f = functionFromText(kFold);
  tNewtonSolver solver(100, 1.0);
  std::unique_ptr<tFractal> fractal(tFractal::create(2, 0, 2, 0, 2, context()));
  fractal->setJitter(4);
  fractal->setJitterFirst(true);
  for (int negatives = 0; negatives <= 4; ++negatives) {
    // A seed whose dx draws give that many samples left of x = 0 while the dy
    // draws would not: drawing dy first would show.
    unsigned int seed = 0;
    int left, below;
    do {
      context().getRandom().seed(++seed);
      left = below = 0;
      for (int k = 0; k < 4; ++k) {
        left += context().getRandom().randInRange(-0.5f, 0.5f) < 0;
        below += context().getRandom().randInRange(-0.5f, 0.5f) < 0;
      }
    } while (left != negatives || below == negatives);
    presetTwoRoots();
    context().getRandom().seed(seed);
    fractal->computatePixel(0, 0, &solver, f.get());
    EXPECT_EQ(expected[negatives], fractal->getPixel(0, 0)) << negatives << " samples left";
  }
}

// One failed sample decides the pixel, and the samples after it are never
// drawn; a count of 0 takes one unjittered sample. The label is the first
// sample's outcome whatever the later samples do: the picture's first root,
// (1, 0), is the registry's second.
TEST(tFractalTest, FailedSamplesAndSampleCounts) {
  const uint16_t kFirstRoot = 0;
  const struct {
    const char* name;
    double minX;  // pixel (0, 0) samples (minX + dx, dy)
    uint32_t jitter;
    unsigned long limit;  // iteration limit
    tPixel expected;
    int draws;  // rand() values used
    uint16_t label;
  } cases[] = {
      {"first sample singular", 0, 4, 100, tPixel(255, 255, 0, 255), 0, tBasinLabels::SINGULAR},
      {"second sample gives up", 1, 4, 1, tPixel(50, 50, 50, 255), 2, kFirstRoot},
      {"no samples taken as one", 1, 0, 1, kGreen, 0, kFirstRoot},
  };
  auto f = functionFromText(kFold);
  for (const auto& c : cases) {
    std::unique_ptr<tFractal> fractal(tFractal::create(2, c.minX, c.minX + 2, 0, 2, context()));
    fractal->setJitter(c.jitter);
    tNewtonSolver solver(c.limit, 1.0);
    presetTwoRoots();
    context().getRandom().seed(7);
    fractal->computatePixel(0, 0, &solver, f.get());
    const float next = context().getRandom().randInRange(0.0f, 1.0f);
    EXPECT_EQ(c.expected, fractal->getPixel(0, 0)) << c.name;
    tRandom model;
    model.seed(7);
    for (int k = 0; k < c.draws; ++k) model.randInRange(0.0f, 1.0f);
    EXPECT_EQ(model.randInRange(0.0f, 1.0f), next) << c.name;
    const tBasinLabels& labels = fractal->getBasinLabels();
    EXPECT_EQ(c.label, labels.getLabel(0, 0)) << c.name;
    EXPECT_EQ(0u, labels.getIterationCount(0, 0)) << c.name;
    ASSERT_EQ(c.label == kFirstRoot ? 1u : 0u, labels.getRootCount()) << c.name;
    if (c.label == kFirstRoot) {
      EXPECT_EQ(1u, labels.getRegistryIndex(kFirstRoot)) << c.name;
    }
  }
}

// 16 x 16 pixels over [-1, 3]^2: pixel (r, c) samples (-1 + c/4, -1 + r/4),
// so column 4 sits on x = 0 and its corners lie at x = -1/8 and 1/8.
TEST(tSingularSetTest, PicturesOfTheSingularSet) {
  const struct {
    const char* name;
    const char* function;
    unsigned long limit;
    std::function<bool(int row, int column)> black;
  } cases[] = {
      {"fold", kFold, 20, [](int, int c) { return c == 4; }},
      {"nowhere invertible", kNowhereInvertible, 20, [](int, int) { return true; }},
      {"no iterations", kNowhereInvertible, 0, [](int, int) { return false; }},
      {"one point", kOnePoint, 1,
       [](int r, int c) { return (r == 5 || r == 6) && (c == 5 || c == 6); }},
  };
  for (const auto& c : cases) {
    auto f = functionFromText(c.function);
    tNewtonSolver solver(c.limit, 1.0);
    std::unique_ptr<tFractal> fractal(tFractal::create(16, -1, 3, -1, 3, context()));
    fractal->setSingularSet(true);
    context().getRoots().clearRoots();
    for (unsigned int r = 0; r < 16; ++r) {
      for (unsigned int col = 0; col < 16; ++col) fractal->computate(f.get(), &solver, r, col);
    }
    for (unsigned int r = 0; r < 16; ++r) {
      for (unsigned int col = 0; col < 16; ++col) {
        EXPECT_EQ(c.black(r, col) ? kOn : kOff, fractal->getPixel(r, col))
            << c.name << " at " << r << ", " << col;
      }
    }
    EXPECT_TRUE(context().getRoots().getRoots().empty()) << c.name;
  }
}

TEST(tQuadTreeTest, MottledBoxCountsAndDimension) {
  const tPixel a(10, 20, 30, 255);
  const tPixel b(10, 20, 30, 254);  // differs in alpha only
  std::vector<int> straddling(9, 0);
  straddling[0] = 1;
  const struct {
    const char* name;
    unsigned int side;
    std::function<bool(int row, int column)> isB;
    std::vector<int> counts;  // per level of the picture
    double dimension;
    unsigned int height = 0;  // rows of a picture side wide; 0 for a square
  } cases[] = {
      {"boundary on a box edge", 512, [](int, int c) { return c >= 256; }, straddling, -kInfinity},
      {"boundary inside boxes", 512, [](int, int c) { return c >= 257; }, geometric(9, 2), 1.0},
      {"checkerboard", 512, [](int r, int c) { return (r + c) % 2 == 1; }, geometric(9, 4), 2.0},
      {"one odd pixel", 512, [](int r, int c) { return r == 300 && c == 77; }, geometric(9, 1),
       0.0},
      {"one colour", 512, [](int, int) { return false; }, std::vector<int>(9, 0), -kInfinity},
      // No box smaller than the picture: no scale to measure a boundary at.
      {"side 2 mottled", 2, [](int, int c) { return c == 1; }, {1}, -kInfinity},
      {"side 2 one colour", 2, [](int, int) { return false; }, {0}, -kInfinity},
      {"side 1", 1, [](int, int) { return false; }, {0}, -kInfinity},
      // Not square: the tree covers the 512 x 512 square in the middle,
      // rows 4 to 515 and columns 44 to 555, and nothing outside it.
      {"boundary inside the middle square", 600, [](int, int c) { return c >= 44 + 257; },
       geometric(9, 2), 1.0, 520},
      {"boundary beside the middle square", 600, [](int r, int c) { return c < 44 || r < 4; },
       std::vector<int>(9, 0), -kInfinity, 520},
      {"odd sides", 3, [](int r, int c) { return r == 1 && c == 1; }, {1}, -kInfinity, 5},
  };
  for (const auto& c : cases) {
    const unsigned int rows = c.height == 0 ? c.side : c.height;
    std::unique_ptr<tFractal> fractal(
        c.height == 0 ? tFractal::create(c.side, -1, 1, -1, 1, context())
                      : tFractal::create(c.side, c.height, -1, 1, -1, 1, context()));
    for (unsigned int r = 0; r < rows; ++r) {
      for (unsigned int col = 0; col < c.side; ++col)
        fractal->getImage()->setPixel(r, col, c.isB(r, col) ? b : a);
    }
    tQuadTree tree(fractal.get(), 2);
    std::vector<int> counts(static_cast<std::size_t>(tree.getMaxDepth()), 0);
    tree.countMottledBoxes(0, counts.data());
    EXPECT_EQ(c.counts, counts) << c.name;
    EXPECT_EQ(c.dimension, fractal->calculateDimension()) << c.name;
  }
}

TEST(tSingularSetTest, PointInSingularSetLooksAtTheNearestCorner) {
  const struct {
    double x, y;
    bool expected;
  } cases[] = {
      {0, 0, true},  {-0.1, 1, true},   {0.12, 2.9, true},    {0.2, 0, false},
      {2, 2, false}, {-1e30, 0, false}, {1e30, -1e30, false}, {NAN, NAN, false},
  };
  auto fold = functionFromText(kFold);
  auto nowhere = functionFromText(kNowhereInvertible);
  std::unique_ptr<tFractal> fractal(tFractal::create(16, -1, 3, -1, 3, context()));
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, fractal->pointInSingularSet(c.x, c.y, fold.get())) << c.x;
    EXPECT_TRUE(fractal->pointInSingularSet(c.x, c.y, nowhere.get())) << c.x;
  }
}

// The Newton-type solvers share plain damped Newton steps; the integrators
// evaluate nothing and say no.
TEST(tSingularSetTest, IterateInSingularSetOfEverySolver) {
  // No root; Newton maps x to (x - 1/x) / 2, so 1 goes to 0 on the set.
  const char* const noRoot = "f1 = x ^ 2 + 1 f2 = y f11 = 2 * x f12 = 0 f21 = 0 f22 = 1";
  const struct {
    const char* function;
    tVector2 start;
    unsigned long limit;
    double h;
    bool expected;
  } walks[] = {
      {noRoot, tVector2(1, 0), 2, 1.0, true},      // one step lands on x = 0
      {noRoot, tVector2(1, 0), 1, 1.0, false},     // the limit comes first
      {noRoot, tVector2(1, 0), 2, 0.5, false},     // a half step stops at x = 1/2
      {kFold, tVector2(0.05, 0.5), 1, 1.0, true},  // starts beside the set
      {kFold, tVector2(2, 0.5), 50, 1.0, false},   // reaches the root (1, 0)
      {kFold, tVector2(0.05, 0.5), 0, 1.0, false},
  };
  std::unique_ptr<tFractal> fractal(tFractal::create(16, -1, 3, -1, 3, context()));
  for (const auto& w : walks) {
    auto f = functionFromText(w.function);
    for (int kind = 0; kind < kSolverKinds; ++kind) {
      const bool newtonType = kind < 3;
      EXPECT_EQ(newtonType && w.expected,
                makeSolver(kind, w.limit, w.h)
                    ->iterateInSingularSet(newtonType ? f.get() : nullptr,
                                           newtonType ? fractal.get() : nullptr, w.start))
          << kSolverNames[kind] << " from " << w.start << " limit " << w.limit << " h " << w.h;
    }
  }
}
