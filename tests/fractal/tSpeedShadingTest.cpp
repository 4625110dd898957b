#include <gtest/gtest.h>

#include <cmath>

#include "fractal/tBasinLabels.h"
#include "fractal/tSpeedShading.h"
#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"

namespace {

TEST(tSpeedShadingTest, FactorRunsFromOneAtTheRootsToOneLessTheDarkening) {
  const struct {
    uint32_t k, K;
    double factor;
  } rows[] = {
      {0, 50, 1.0},
      {50, 50, 1.0 - tSpeedShading::DARKENING},
      {3, 15, 1.0 - tSpeedShading::DARKENING / 2.0},  // ln 4 / ln 16
      {0, 0, 1.0},                                     // no iterations anywhere
  };
  for (const auto& row : rows) {
    EXPECT_NEAR(row.factor, tSpeedShading::factor(row.k, row.K), 1e-12) << row.k << "/" << row.K;
  }
}

// A 3 x 3 picture: the slowest converged pixel (15 iterations) sets K,
// however slow the failures; pixels whose first sample failed, and a
// converged one that a later sample painted a failure's colour, keep their
// colours.
TEST(tSpeedShadingTest, DarkensConvergedPixelsOnly) {
  const tPixel grey(50, 50, 50, 255), yellow(255, 255, 0, 255);
  const struct {
    tPacketSolver::OUTCOME kind;
    uint32_t iterations;
    tPixel flat, shaded;
  } pixels[9] = {
      {tPacketSolver::OUTCOME_CONVERGED, 0, {100, 100, 100, 255}, {100, 100, 100, 255}},
      {tPacketSolver::OUTCOME_CONVERGED, 15, {200, 101, 50, 255}, {80, 40, 20, 255}},
      {tPacketSolver::OUTCOME_CONVERGED, 3, {100, 201, 0, 255}, {70, 141, 0, 255}},
      {tPacketSolver::OUTCOME_CONVERGED, 3, grey, grey},
      {tPacketSolver::OUTCOME_CONVERGED, 3, yellow, yellow},
      {tPacketSolver::OUTCOME_GAVE_UP, 50, grey, grey},
      {tPacketSolver::OUTCOME_GAVE_UP, 50, {1, 2, 3, 255}, {1, 2, 3, 255}},
      {tPacketSolver::OUTCOME_SINGULAR, 20, yellow, yellow},
      {tPacketSolver::OUTCOME_CONVERGED, 1, {255, 255, 255, 255}, {217, 217, 217, 255}},
  };
  tBasinLabels labels(3);
  tImage image(3, 3), expected(3, 3);
  for (int i = 0; i < 9; ++i) {
    labels.record(i / 3, i % 3, {tVector2(), pixels[i].kind, pixels[i].iterations}, 0);
    image.setPixel(i / 3, i % 3, pixels[i].flat);
    expected.setPixel(i / 3, i % 3, pixels[i].shaded);
  }
  tSpeedShading::shade(&image, labels);
  EXPECT_TRUE(imagesEqual(expected, image));

  // A picture without labels, as a singular-set picture is, stays as it is.
  const tImage before = image;
  tSpeedShading::shade(&image, tBasinLabels(3));
  EXPECT_TRUE(imagesEqual(before, image));
}

}  // namespace
