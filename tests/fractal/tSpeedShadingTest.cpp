#include <gtest/gtest.h>

#include "fractal/tBasinLabels.h"
#include "fractal/tSpeedShading.h"
#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"

namespace {

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

  // A picture without labels, as a singular-set picture is, and one whose
  // pixels all converged at once stay as they are.
  tBasinLabels instant(3);
  for (int i = 0; i < 9; ++i)
    instant.record(i / 3, i % 3, {tVector2(), tPacketSolver::OUTCOME_CONVERGED, 0}, 0);
  const tImage before = image;
  for (const tBasinLabels& unshaded : {tBasinLabels(3), instant}) {
    tSpeedShading::shade(&image, unshaded);
    EXPECT_TRUE(imagesEqual(before, image));
  }
}

}  // namespace
