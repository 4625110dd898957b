#include <gtest/gtest.h>

#include <memory>

#include "expr/FunctionText.h"
#include "expr/tVariableEnv.h"
#include "fractal/tFractal.h"
#include "fractal/tParameterPlane.h"
#include "fractal/tPictureContext.h"
#include "fractal/tPlaneComputation.h"
#include "fractal/tSolverKinds.h"
#include "graphics/tImage.h"

namespace {

// z^3 + (c - 1) z - c over c = a + b i, Newton's free critical point 0 as
// the start.
const char* const kFamily = "f ( z ) = z ^ 3 + ( a + b * i - 1 ) * z - ( a + b * i )";
const char* const kStart = "f1 = 0 f2 = 0 f11 = 0 f12 = 0 f21 = 0 f22 = 0";
// Around the island of failing c near 0.32 + 1.64i.
const double kIsland[4] = {0.2, 0.45, 1.52, 1.77};

// With threads given, computed in the background and waited for; with a
// height, side x height pixels.
std::unique_ptr<tFractal> plane(const tIterativeSolver& solver, unsigned side,
                                const double bounds[4], tPictureContext& context,
                                unsigned threads = 0, unsigned height = 0) {
  auto f = functionFromText(kFamily);
  auto start = functionFromText(kStart);
  std::unique_ptr<tFractal> picture(
      height == 0
          ? tFractal::create(side, bounds[0], bounds[1], bounds[2], bounds[3], context)
          : tFractal::create(side, height, bounds[0], bounds[1], bounds[2], bounds[3], context));
  const tParameterPlane plane(*f, *start, "a", "b", tParameterPlane::BY_ITERATIONS);
  tPlaneComputation computation(picture.get(), plane, solver, threads);
  if (threads == 0) {
    computation.run();
  } else {
    computation.start();
    while (!computation.waitUntilDone(50.0)) {
    }
    EXPECT_EQ(computation.getPixelCount(), computation.getPaintedCount());
  }
  return picture;
}

unsigned blackPixels(const tImage& image) {
  unsigned black = 0;
  for (unsigned row = 0; row < image.getHeight(); ++row)
    for (unsigned column = 0; column < image.getWidth(); ++column)
      black += image.getPixel(row, column) == tPixel(0, 0, 0, 255);
  return black;
}

}  // namespace

// Every pixel is what solving the map with its c put in as numbers gives,
// bit for bit, on three threads in the background: the parameters' programs compute
// what folding them as constants computes. Newton, and Halley, whose second
// derivatives take the parameters too; and on a picture that is not square.
TEST(tParameterPlaneTest, PixelsAreTheMapsWithTheirParametersPutIn) {
  const struct {
    int kind;
    unsigned width, height;
  } cases[] = {{0, 16, 16}, {6, 16, 16}, {0, 23, 9}};
  for (const auto& size : cases) {
    const int kind = size.kind;
    auto solver = makeSolver(kind, 40, 1.0);
    tPictureContext context;
    auto picture = plane(*solver, size.width, kIsland, context, 3, size.height);
    ASSERT_EQ(size.height, picture->getImage()->getHeight());
    auto f = functionFromText(kFamily);
    for (unsigned row = 0; row < size.height; ++row) {
      for (unsigned column = 0; column < size.width; ++column) {
        const tVector2 c = picture->pointAt(row, column);
        tVariableEnv env;
        env.extend("a", c.x_);
        env.extend("b", c.y_);
        f->substituteVars(&env);
        const tPixel expected = tParameterPlane::colorOf(
            solver->solve(f.get(), tVector2(0, 0), false), tParameterPlane::BY_ITERATIONS, 40);
        ASSERT_EQ(expected, picture->getPixel(row, column)) << kind << " " << row << " " << column;
      }
    }
  }
}

// The island of Curry, Garnett and Sullivan: Newton fails on an open set of
// c, a black body covering about a tenth of this square, while the c that
// lie well inside the main disc all converge.
TEST(tParameterPlaneTest, NewtonFailsOnTheIslandOfTheCubicFamily) {
  auto newton = makeSolver(0, 100, 1.0);
  tPictureContext context;
  const unsigned island = blackPixels(*plane(*newton, 64, kIsland, context)->getImage());
  EXPECT_LT(64u * 64u / 20u, island);
  EXPECT_GT(64u * 64u / 4u, island);
  const double disc[4] = {-0.5, 0.5, -0.5, 0.5};
  EXPECT_EQ(0u, blackPixels(*plane(*newton, 32, disc, context)->getImage()));
}
