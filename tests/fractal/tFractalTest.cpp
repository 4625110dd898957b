#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "expr/FunctionText.h"
#include "fractal/tFractal.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tRandom.h"
#include "fractal/tRootManager.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tTGALoader.h"

namespace {

const tPixel kPurple(159, 66, 238, 255);  // first preset
const tPixel kGreen(92, 245, 60, 255);    // second preset
const tPixel kYellow(255, 255, 0, 255);   // singular Jacobian
const tPixel kGrey(50, 50, 50, 255);      // no convergence

// F(x, y) = (x^2 - 1, y): Newton goes to (-1, 0) from x < 0, to (1, 0) from
// x > 0, and stops on a singular Jacobian at x = 0.
const char* const kFold = "f1 = x ^ 2 - 1 f2 = y f11 = 2 * x f12 = 0 f21 = 0 f22 = 1";

// The registry with (-1, 0) purple and (1, 0) green.
void presetTwoRoots() {
  tRootManager& roots = tRootManager::instance();
  roots.useRandomColors(false);
  roots.clearRoots();
  roots.getColorForRoot(tVector2(-1, 0));
  roots.getColorForRoot(tVector2(1, 0));
}

// The (dx, dy) jitter pairs of n jittered samples after srand(seed).
std::vector<tVector2> replayJitter(unsigned int seed, int n) {
  std::srand(seed);
  std::vector<tVector2> jitter;
  for (int k = 0; k < n; ++k) {
    double dx = tRandom::randInRange(-0.5f, 0.5f);
    double dy = tRandom::randInRange(-0.5f, 0.5f);
    jitter.emplace_back(dx, dy);
  }
  return jitter;
}

}  // namespace

// z^2 - 1 over [-2, 2]^2: Newton from z reaches the root of z's half-plane
// and stays on the imaginary axis, where z = iy moves to i(y - 1/y)/2.
TEST(tFractalTest, GoldenQuadraticNewton64) {
  testing::internal::CaptureStdout();
  tFunction f("quadratic.func");
  testing::internal::GetCapturedStdout();
  tNewtonSolver solver(50, 1.0);
  tRootManager::instance().useRandomColors(false);
  tRootManager::instance().clearRoots();
  std::unique_ptr<tFractal> fractal(tFractal::create(64, -2, 2, -2, 2));
  ASSERT_NE(nullptr, fractal);
  for (unsigned int r = 0; r < 64; ++r) {
    for (unsigned int c = 0; c < 64; ++c) fractal->computate(&f, &solver, r, c);
  }

  // Pixel (0, 0) samples (-2, -2), in the left half-plane: -1 is met first.
  ASSERT_EQ(2u, tRootManager::instance().getRoots().size());
  EXPECT_GT(1e-10, (tRootManager::instance().getRoots()[0].first - tVector2(-1, 0)).length());
  // Column 32 samples x = 0 and row r samples y = -2 + r / 16: from y = -1
  // and y = 1 the first step lands on the origin, and the origin is row 32.
  for (unsigned int r = 0; r < 64; ++r) {
    bool singular = r == 16 || r == 32 || r == 48;
    EXPECT_EQ(singular ? kYellow : kGrey, fractal->getPixel(r, 32)) << "row " << r;
  }
  // The real axis (row 32) splits at the origin.
  for (unsigned int c = 0; c < 64; ++c) {
    if (c == 32) continue;
    EXPECT_EQ(c < 32 ? kPurple : kGreen, fractal->getPixel(32, c)) << "column " << c;
  }
  EXPECT_EQ(kPurple, fractal->getPixel(0, 0));
  EXPECT_EQ(kGreen, fractal->getPixel(63, 63));

  const std::string golden = ROOTWEAVER_SOURCE_DIR "/tests/data/quadratic-newton-64.tga";
  const char* regenerate = std::getenv("ROOTWEAVER_REGENERATE_GOLDEN");
  if (regenerate != nullptr && std::string(regenerate) == "1") {
    ASSERT_TRUE(tTGALoader::instance().write(golden, fractal->image_, 24, false));
    return;
  }
  tScratchDir dir;
  ASSERT_TRUE(tTGALoader::instance().write(dir.path("quadratic.tga"), fractal->image_, 24, false));
  tBytes expected = readFileBytes(golden);
  ASSERT_EQ(18u + 64 * 64 * 3, expected.size()) << golden;
  EXPECT_TRUE(expected == readFileBytes(dir.path("quadratic.tga")));
}

TEST(tFractalTest, CreateRefusesZeroAndOversizedPictures) {
  const struct {
    unsigned int dimension;
    unsigned int side;  // 0 for refused
  } cases[] = {{0, 0}, {1u << 20, 0}, {23171, 0}, {500, 512}, {300, 256}, {64, 64}, {1, 1}};
  for (const auto& c : cases) {
    std::unique_ptr<tFractal> fractal(tFractal::create(c.dimension, -1, 1, -1, 1));
    if (c.side == 0) {
      EXPECT_EQ(nullptr, fractal) << c.dimension;
      continue;
    }
    ASSERT_NE(nullptr, fractal) << c.dimension;
    EXPECT_EQ(c.side, fractal->getWidth());
    EXPECT_EQ(c.side, fractal->getHeight());
    EXPECT_EQ(1u, fractal->jitter_);
    EXPECT_FALSE(fractal->jitterFirst_ || fractal->singularSet_);
    EXPECT_EQ(nullptr, fractal->quadTree_);
    // A resized picture is black, but the resampling may take a little off
    // its alpha; one made at its own side is untouched.
    bool resized = c.side != c.dimension;
    for (unsigned int r = 0; r < c.side; ++r) {
      for (unsigned int col = 0; col < c.side; ++col) {
        tPixel p = fractal->getPixel(r, col);
        if (resized) p[3] = 255;
        ASSERT_EQ(tPixel(0, 0, 0, 255), p) << c.dimension;
      }
    }
  }
}

// A 2 x 2 picture over [0, 2]^2: pixel (0, 0) samples exactly (dx, dy).
TEST(tFractalTest, JitteredSamplesAverageByIntegerDivision) {
  const tPixel expected[5] = {kGreen, tPixel(108, 200, 104, 255), tPixel(125, 155, 149, 255),
                              tPixel(142, 110, 193, 255), kPurple};
  auto f = functionFromText(kFold);
  tNewtonSolver solver(100, 1.0);
  std::unique_ptr<tFractal> fractal(tFractal::create(2, 0, 2, 0, 2));
  fractal->jitter_ = 4;
  fractal->jitterFirst_ = true;
  for (int negatives = 0; negatives <= 4; ++negatives) {
    // A seed whose dx draws give that many samples left of x = 0 while the dy
    // draws would not: drawing dy first would show.
    unsigned int seed = 1;
    for (;; ++seed) {
      int left = 0;
      int below = 0;
      for (const tVector2& d : replayJitter(seed, 4)) {
        left += d.x_ < 0;
        below += d.y_ < 0;
      }
      if (left == negatives && below != negatives) break;
    }
    presetTwoRoots();
    std::srand(seed);
    fractal->computatePixel(0, 0, &solver, f.get());
    EXPECT_EQ(expected[negatives], fractal->getPixel(0, 0)) << negatives << " samples left";
  }
}

// One failed sample decides the pixel, and the samples after it are never
// drawn; a count of 0 takes one unjittered sample.
TEST(tFractalTest, FailedSamplesAndSampleCounts) {
  const struct {
    const char* name;
    double minX;  // pixel (0, 0) samples (minX + dx, dy)
    uint32_t jitter;
    unsigned long limit;  // iteration limit
    tPixel expected;
    int draws;  // rand() values used
  } cases[] = {
      {"first sample singular", 0, 4, 100, kYellow, 0},
      {"second sample gives up", 1, 4, 1, kGrey, 2},
      {"no samples taken as one", 1, 0, 1, kGreen, 0},
      {"one sample", -1, 1, 1, kPurple, 0},
  };
  auto f = functionFromText(kFold);
  for (const auto& c : cases) {
    std::unique_ptr<tFractal> fractal(tFractal::create(2, c.minX, c.minX + 2, 0, 2));
    fractal->jitter_ = c.jitter;
    tNewtonSolver solver(c.limit, 1.0);
    presetTwoRoots();
    std::srand(7);
    fractal->computatePixel(0, 0, &solver, f.get());
    int next = std::rand();
    EXPECT_EQ(c.expected, fractal->getPixel(0, 0)) << c.name;
    std::srand(7);
    for (int k = 0; k < c.draws; ++k) std::rand();
    EXPECT_EQ(std::rand(), next) << c.name;
  }
}
