#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "expr/FunctionText.h"
#include "fractal/tAdamsBashforthSolver2.h"
#include "fractal/tFractal.h"
#include "fractal/tHeunSolver.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tRefinedNewtonSolver.h"
#include "fractal/tRootManager.h"
#include "fractal/tRungeKuttaSolver2.h"
#include "fractal/tRungeKuttaSolver4.h"

namespace {

const tPixel kOff(200, 200, 200, 255);
const tPixel kOn(0, 0, 0, 255);

// Singular on x = 0, roots (+-1, 0); Newton never changes the sign of x.
const char* const kFold = "f1 = x ^ 2 - 1 f2 = y f11 = 2 * x f12 = 0 f21 = 0 f22 = 1";
// Singular on x = 0, no root; Newton maps x to (x - 1/x) / 2, so 1 goes to 0.
const char* const kNoRoot = "f1 = x ^ 2 + 1 f2 = y f11 = 2 * x f12 = 0 f21 = 0 f22 = 1";
const char* const kIdentity = "f1 = x f2 = y f11 = 1 f12 = 0 f21 = 0 f22 = 1";
const char* const kNowhereInvertible = "f1 = x f2 = y f11 = 0 f12 = 0 f21 = 0 f22 = 0";
// det J = (x - 3/8)^2 + (y - 3/8)^2: singular at one point only, the corner
// that pixels (5, 5), (5, 6), (6, 5) and (6, 6) share below.
const char* const kOnePoint =
    "f1 = x f2 = y f11 = x - 0.375 f12 = 0.375 - y f21 = y - 0.375 f22 = x - 0.375";

// 16 x 16 pixels over [-1, 3]^2: pixel (r, c) samples (-1 + c/4, -1 + r/4),
// so column 4 sits on x = 0 and its corners lie at x = -1/8 and 1/8.
std::unique_ptr<tFractal> quarterGrid() {
  return std::unique_ptr<tFractal>(tFractal::create(16, -1, 3, -1, 3));
}

}  // namespace

TEST(tSingularSetTest, PicturesOfTheSingularSet) {
  const struct {
    const char* name;
    const char* function;
    unsigned long limit;
    std::function<bool(int row, int column)> black;
  } cases[] = {
      {"fold", kFold, 20, [](int, int c) { return c == 4; }},
      {"identity", kIdentity, 20, [](int, int) { return false; }},
      {"nowhere invertible", kNowhereInvertible, 20, [](int, int) { return true; }},
      {"no iterations", kNowhereInvertible, 0, [](int, int) { return false; }},
      {"one point", kOnePoint, 1,
       [](int r, int c) { return (r == 5 || r == 6) && (c == 5 || c == 6); }},
  };
  for (const auto& c : cases) {
    auto f = functionFromText(c.function);
    tNewtonSolver solver(c.limit, 1.0);
    auto fractal = quarterGrid();
    fractal->singularSet_ = true;
    tRootManager::instance().clearRoots();
    for (unsigned int r = 0; r < 16; ++r) {
      for (unsigned int col = 0; col < 16; ++col) fractal->computate(f.get(), &solver, r, col);
    }
    for (unsigned int r = 0; r < 16; ++r) {
      for (unsigned int col = 0; col < 16; ++col) {
        EXPECT_EQ(c.black(r, col) ? kOn : kOff, fractal->getPixel(r, col))
            << c.name << " at " << r << ", " << col;
      }
    }
    EXPECT_TRUE(tRootManager::instance().getRoots().empty()) << c.name;
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
  auto fractal = quarterGrid();
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, fractal->pointInSingularSet(c.x, c.y, fold.get())) << c.x;
    EXPECT_TRUE(fractal->pointInSingularSet(c.x, c.y, nowhere.get())) << c.x;
  }
}

TEST(tSingularSetTest, IterateInSingularSetOfEverySolver) {
  // The Newton-type solvers share plain damped Newton steps; the rest say no.
  const struct {
    const char* function;
    tVector2 start;
    unsigned long limit;
    double h;
    bool expected;
  } walks[] = {
      {kNoRoot, tVector2(1, 0), 2, 1.0, true},     // one step lands on x = 0
      {kNoRoot, tVector2(1, 0), 1, 1.0, false},    // the limit comes first
      {kNoRoot, tVector2(1, 0), 2, 0.5, false},    // a half step stops at x = 1/2
      {kFold, tVector2(0.05, 0.5), 1, 1.0, true},  // starts beside the set
      {kFold, tVector2(2, 0.5), 50, 1.0, false},   // reaches the root (1, 0)
      {kFold, tVector2(0.05, 0.5), 0, 1.0, false},
  };
  auto fractal = quarterGrid();
  for (const auto& w : walks) {
    auto f = functionFromText(w.function);
    const std::unique_ptr<tIterativeSolver> solvers[] = {
        std::make_unique<tNewtonSolver>(w.limit, w.h),
        std::make_unique<tRefinedNewtonSolver>(w.limit, w.h),
        std::make_unique<tHeunSolver>(w.limit, w.h),
        std::make_unique<tRungeKuttaSolver4>(w.limit, w.h),
        std::make_unique<tRungeKuttaSolver2>(w.limit, w.h),
        std::make_unique<tAdamsBashforthSolver2>(w.limit, w.h)};
    for (int k = 0; k < 6; ++k) {
      // The integrators evaluate nothing: they need neither function nor picture.
      bool newtonType = k < 3;
      EXPECT_EQ(newtonType && w.expected,
                solvers[k]->iterateInSingularSet(newtonType ? f.get() : nullptr,
                                                 newtonType ? fractal.get() : nullptr, w.start))
          << solvers[k]->getName() << " from " << w.start << " limit " << w.limit << " h " << w.h;
    }
  }
}
