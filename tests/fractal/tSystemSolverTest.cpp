#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "expr/FunctionText.h"
#include "fractal/tSolverOrder.h"

namespace {

const int kTraub = 17, kJarratt = 18, kChebyshev = 19, kHalley = 20, kBacktracking = 21;
// Roots (+-sqrt(2), +-sqrt(3)); each component in one variable.
const char* const kSplit = "f1 = x ^ 2 - 2 f2 = y ^ 2 - 3";
// The circle x^2 + y^2 = 4 meets the hyperbola x y = 1 at
// ((sqrt(6) + sqrt(2)) / 2, (sqrt(6) - sqrt(2)) / 2) among others.
const char* const kCoupled = "f1 = x ^ 2 + y ^ 2 - 4 f2 = x * y - 1";
const tVector2 kCoupledRoot((std::sqrt(6.0) + std::sqrt(2.0)) / 2,
                            (std::sqrt(6.0) - std::sqrt(2.0)) / 2);

}  // namespace

// One step of each, worked out by hand.
// Split map from (1, 1): F = (-1, -2), J = 2 I, s = J^-1 F = (-1/2, -1); the
// Hessians are 2 e1 e1^T and 2 e2 e2^T, so F''[s] = diag(-1, -2) and
// L = diag(-1/2, -1).
// Coupled map from (2, 1): F = (1, 1), J = [[4, 2], [1, 2]],
// J^-1 = [[2, -2], [-1, 4]] / 6, s = (0, 1/2); the Hessians are 2 I and
// [[0, 1], [1, 0]], so F''[s] = [[0, 1], [1/2, 0]] and
// L = [[-1, 2], [2, -1]] / 6, L s = (1/6, -1/12).
TEST(tSystemSolverTest, OneStepOfEachMethod) {
  const struct {
    int kind;
    tVector2 split;
    tVector2 coupled;
  } cases[] = {
      // y = x - s; x' = y - J^-1 F(y). Split: y = (3/2, 2), F(y) = (1/4, 1).
      // Coupled: y = (2, 1/2), F(y) = (1/4, 0), J^-1 F(y) = (1/12, -1/24).
      {kTraub, {1.375, 1.5}, {23.0 / 12, 13.0 / 24}},
      // y = x - 2s/3; c = (3 J(y) - J)^-1 (3 J(y) + J) s / 2. Split:
      // y = (4/3, 5/3), 3 J(y) = diag(8, 10), c = (10/6 (-1/2), 12/8 (-1)) / 2.
      // Coupled: y = (2, 2/3), 3 J(y) = [[12, 4], [2, 6]], the difference
      // [[8, 2], [1, 4]] with inverse [[4, -2], [-1, 8]] / 30, the sum
      // [[16, 6], [3, 8]] taking s to (3, 4); c = (4, 29) / 60.
      {kJarratt, {17.0 / 12, 1.75}, {29.0 / 15, 31.0 / 60}},
      // c = s + L s / 2. Split: (-1/2 + 1/8, -1 + 1/2). Coupled: (1/12, 11/24).
      {kChebyshev, {1.375, 1.5}, {23.0 / 12, 13.0 / 24}},
      // c = (I - L/2)^-1 s. Split: (-1/2 / (5/4), -1 / (3/2)). Coupled:
      // I - L/2 = [[13, -2], [-2, 13]] / 12 with inverse [[13, 2], [2, 13]] 4/55,
      // c = (4, 26) / 55.
      {kHalley, {1.4, 5.0 / 3}, {106.0 / 55, 29.0 / 55}},
      // Newton's full step lowers |F|: from sqrt(5) to |(1/4, 1)|, and from
      // sqrt(2) to 1/4.
      {kBacktracking, {1.5, 2}, {2, 0.5}},
  };
  for (const auto& c : cases) {
    expectNear(c.split, iterates(c.kind, kSplit, {1, 1}, 2).at(1), c.kind, 1e-15);
    expectNear(c.coupled, iterates(c.kind, kCoupled, {2, 1}, 2).at(1), c.kind, 1e-15);
  }
  // The step size scales the whole correction: Traub's (-3/8, -1/2) halved.
  expectNear({1.1875, 1.25}, iterates(kTraub, kSplit, {1, 1}, 2, 0.5).at(1), kTraub, 1e-15);
}

// Each converges at its order near a simple root of the coupled map; the
// fourth-order method starts farther off, or it reaches the root before three
// errors are seen.
TEST(tSystemSolverTest, OrderNearASimpleRoot) {
  const struct {
    int kind;
    double order;
    tVector2 start;
  } cases[] = {{kTraub, 3, {1.9, 0.3}},
               {kJarratt, 4, {2.3, 0.3}},
               {kChebyshev, 3, {1.9, 0.3}},
               {kHalley, 3, {1.9, 0.3}},
               {kBacktracking, 2, {1.9, 0.3}}};
  for (const auto& c : cases)
    EXPECT_NEAR(c.order, order(c.kind, kCoupled, c.start, kCoupledRoot), 0.2) << c.kind;
}

// On a map given as f(z), J is multiplication by f' and F''[s] by f'' s:
// Traub's and Halley's methods for systems are the complex ones.
TEST(tSystemSolverTest, OnAComplexMapTheyAreTheComplexMethods) {
  const char* const cube = "f ( z ) = z ^ 3 - 1";
  for (const tVector2& start : {tVector2(1.2, 0.4), tVector2(-0.7, 0.9), tVector2(0.3, -1.6)}) {
    const std::complex<double> z(start.x_, start.y_);
    const auto f = [](std::complex<double> w) { return w * w * w - 1.0; };
    const std::complex<double> d = 3.0 * z * z;
    const std::complex<double> y = z - f(z) / d;
    const std::complex<double> traub = y - f(y) / d;
    expectNear({traub.real(), traub.imag()}, iterates(kTraub, cube, start, 2).at(1), kTraub, 1e-14);
    expectNear(iterates(kFirstComplexKind, cube, start, 2).at(1),
               iterates(kHalley, cube, start, 2).at(1), kHalley, 1e-14);
  }
}

// When Newton's full step raises |F|, t is halved until |F| falls, at most
// ten times. On x^2 - 1 from 1/4: F = -15/16, d = -15/8; at 1/4 + 15/8,
// F = 3.515625; at 1/4 + 15/16, F = 0.41015625, below 15/16. With f11 given
// with the wrong sign from 2, every trial raises |F|: the tenth halving's,
// 2 + (3/4) / 1024, is taken.
TEST(tSystemSolverTest, BacktrackingHalvesTheStep) {
  EXPECT_EQ(tVector2(1.1875, 0),
            iterates(kBacktracking, "f1 = x ^ 2 - 1 f2 = y", {0.25, 0}, 2).at(1));
  EXPECT_EQ(tVector2(2 + 0.75 / 1024, 0),
            iterates(kBacktracking, "f1 = x ^ 2 - 1 f2 = y f11 = -2 * x", {2, 0}, 2).at(1));
}

// Each stops as Newton does: on a root, singular where J has no inverse, or
// giving up; and singular where another inverse it needs has none, a full
// path then staying where it stands. On (x^2 + 1, y) from (1, 0), Jarratt's
// 3 J(y) - J(x) is diag(0, 2); from (1/sqrt(3), 0), Halley's L is diag(2, 0).
TEST(tSystemSolverTest, StopsAsNewtonDoes) {
  auto f = functionFromText(kCoupled);
  for (int kind = kFirstSystemKind; kind < kFirstSystemKind + kSystemKinds; ++kind) {
    auto solver = makeSolver(kind, 30, 1.0);
    tSolution root = solver->solve(f.get(), {2, 1}, false);
    EXPECT_FALSE(root.singularJacobian_ || root.noConvergence_) << kind;
    expectNear(kCoupledRoot, root.path_.back(), kind, 1e-10);
    tSolution singular = solver->solve(f.get(), {1, 1}, false);
    EXPECT_TRUE(singular.singularJacobian_) << kind;
    EXPECT_EQ(0u, singular.iterations_) << kind;
    EXPECT_TRUE(makeSolver(kind, 1, 1.0)->solve(f.get(), {2, 1}, false).noConvergence_) << kind;
  }
  auto noRoot = functionFromText("f1 = x ^ 2 + 1 f2 = y");
  const struct {
    int kind;
    tVector2 start;
  } stuck[] = {{kJarratt, {1, 0}}, {kHalley, {1 / std::sqrt(3.0), 0}}};
  for (const auto& c : stuck) {
    auto solver = makeSolver(c.kind, 3, 1.0);
    tSolution singular = solver->solve(noRoot.get(), c.start, false);
    EXPECT_TRUE(singular.singularJacobian_) << c.kind;
    EXPECT_EQ(0u, singular.iterations_) << c.kind;
    EXPECT_EQ(std::vector<tVector2>(3, c.start), solver->solve(noRoot.get(), c.start, true).path_)
        << c.kind;
  }
}

// The methods with L need all six second derivatives: a map that lacks one
// is refused with why. The others refuse nothing.
TEST(tSystemSolverTest, RefusesAMapWithoutSecondDerivatives) {
  std::string deep = "f2 = y f1 =";
  for (int i = 0; i < 100; ++i) deep += " sin";
  const struct {
    std::string map;
    std::string why;  // after the solver's name
  } cases[] = {
      {kCoupled, ""},
      {"f ( z ) = z ^ 3 - 1", ""},
      {"f1 = x ^ 2", " needs the second derivatives of the map, which has no f21"},
      {deep + " x", " needs f1xx, which is too large to derive"},
  };
  for (const auto& c : cases) {
    auto f = functionFromText(c.map);
    for (int kind = kFirstSystemKind; kind < kFirstSystemKind + kSystemKinds; ++kind) {
      auto solver = makeSolver(kind, 10, 1.0);
      const bool needsL = kind == kChebyshev || kind == kHalley;
      EXPECT_EQ(needsL && !c.why.empty() ? solver->getName() + c.why : "", solver->refusalFor(*f))
          << kind << " " << c.map.substr(0, 20);
    }
  }
}
