#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "expr/FunctionText.h"
#include "fractal/tSolverOrder.h"

namespace {

const int kHalley = 6, kChebyshev = 7, kSuperHalley = 8, kFamily = 9, kSchroder = 10;
const int kTraub = 11, kOstrowski = 12, kKing = 13, kJarratt = 14, kSteffensen = 15, kLaguerre = 16;
const char* const kSquare = "f ( z ) = z ^ 2 - 2";
// Roots 1, w and w^2 of z^3 = 1.
const char* const kCube = "f ( z ) = z ^ 3 - 1";
// A double root at 1, a simple one at -2.
const char* const kDoubleRoot = "f ( z ) = ( z - 1 ) ^ 2 * ( z + 2 )";

}  // namespace

// One step on z^2 - 2, worked out by hand. From z = 1: f = -1, f' = 2,
// f'' = 2, L = -1/2, and the Newton point y = 3/2 has f(y) = 1/4. From
// z = 1 + i: f = -2 + 2i, f' = 2 + 2i, f'' = 2, f / f' = i,
// L = (1 + i) / 2, y = 1 and f(y) = -1.
TEST(tComplexMapSolverTest, OneStepOfEachMethodOnTheSquare) {
  const struct {
    int kind;
    tVector2 fromOne;       // 1 - c
    tVector2 fromOnePlusI;  // 1 + i - c
  } cases[] = {
      // c = 2 f f' / (2 f'^2 - f f''): -4 / 10; -16 / (4 + 12i).
      {kHalley, {1.4, 0}, {1.4, -0.2}},
      // c = (1 + L / 2) f / f': (3/4) (-1/2); (5/4 + i/4) i.
      {kChebyshev, {1.375, 0}, {1.25, -0.25}},
      // c = (1 + L / (2 (1 - L))) f / f': (5/6) (-1/2); (1 + i/2) i.
      {kSuperHalley, {17.0 / 12.0, 0}, {1.5, 0}},
      // With a = 1/4: (1 - (1/2) / (9/4)) (-1/2); (1.24 + 0.32i) i.
      {kFamily, {1.0 + 7.0 / 18.0, 0}, {1.32, -0.24}},
      // c = f f' / (f'^2 - f f''): -2 / 6; -8 / (4 + 4i).
      {kSchroder, {4.0 / 3.0, 0}, {2, 0}},
      // z' = y - f(y) / f': 3/2 - 1/8; 1 + (1 - i) / 4.
      {kTraub, {1.375, 0}, {1.25, -0.25}},
      // Traub's f(y) / f' times f / (f - 2 f(y)) = 2/3; 1 + i.
      {kOstrowski, {17.0 / 12.0, 0}, {1.5, 0}},
      // With b = 1, times (f + f(y)) / (f - f(y)) = 3/5; (7 + 4i) / 5.
      {kKing, {1.425, 0}, {1.55, -0.15}},
      // y = 4/3: (3 f'(y) + f') / (3 f'(y) - f') = 10 / 6, c = (5/6) (-1/2);
      // y = 1 + i/3: (8 + 4i) / 4, c = (1 + i/2) i.
      {kJarratt, {17.0 / 12.0, 0}, {1.5, 0}},
      // c = f^2 / (f(z + f) - f): 1 / (-2 + 1); -8i / (-10 - 6i + 2 - 2i).
      {kSteffensen, {2, 0}, {0.5, 0.5}},
      // n = 2 is exact on a quadratic. From 1: G = -2, H = 6, the root's
      // argument 8, c = 2 / (-2 - 2 sqrt 2). From 1 + i: G = -i,
      // H = (-1 + i) / 2, the argument i, c = 2 / (-i - (1 + i) / sqrt 2).
      {kLaguerre, {std::sqrt(2.0), 0}, {std::sqrt(2.0), 0}},
  };
  for (const auto& c : cases) {
    expectNear(c.fromOne, iterates(c.kind, kSquare, {1, 0}, 2).at(1), c.kind);
    expectNear(c.fromOnePlusI, iterates(c.kind, kSquare, {1, 1}, 2).at(1), c.kind);
  }
  // The step size scales the correction, as Newton's: 1 - (-0.4) / 2.
  expectNear({1.2, 0}, iterates(kHalley, kSquare, {1, 0}, 2, 0.5).at(1), kHalley);
}

// The stated order near a simple root of z^3 - 1, from a complex start.
TEST(tComplexMapSolverTest, OrderNearASimpleRoot) {
  const struct {
    int kind;
    double order;
  } cases[] = {
      {kHalley, 3},    {kChebyshev, 3}, {kSuperHalley, 3}, {kFamily, 3},     {kTraub, 3},
      {kOstrowski, 4}, {kKing, 4},      {kJarratt, 4},     {kSteffensen, 2}, {kLaguerre, 3},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(c.order, order(c.kind, kCube, {1, 0.2}, {1, 0}), 0.2) << c.kind;
}

// Schroder's method is quadratic at a simple root and stays so at a double
// one, where Newton's slows to linear.
TEST(tComplexMapSolverTest, SchroderIsQuadraticAtADoubleRoot) {
  EXPECT_NEAR(2.0, order(kSchroder, kDoubleRoot, {-2.4, 0.3}, {-2, 0}), 0.2);
  EXPECT_NEAR(2.0, order(kSchroder, kDoubleRoot, {1.3, 0.2}, {1, 0}), 0.2);
}

// Each stops as Newton does: on a root, singular where f' = 0, or giving up.
TEST(tComplexMapSolverTest, StopsAsNewtonDoes) {
  auto f = functionFromText(kSquare);
  for (int kind = kFirstComplexKind; kind < kFirstComplexKind + kComplexKinds; ++kind) {
    auto solver = makeSolver(kind, 30, 1.0);
    tSolution root = solver->solve(f.get(), {1, 1}, false);
    EXPECT_FALSE(root.singularJacobian_ || root.noConvergence_) << kind;
    const tVector2 z = root.path_.back();
    EXPECT_GT(1e-9, std::hypot(std::fabs(z.x_) - std::sqrt(2.0), z.y_)) << kind;
    tSolution singular = solver->solve(f.get(), {0, 0}, false);
    EXPECT_TRUE(singular.singularJacobian_) << kind;
    EXPECT_EQ(0u, singular.iterations_) << kind;
    tSolution gaveUp = makeSolver(kind, 1, 1.0)->solve(f.get(), {1, 1}, false);
    EXPECT_TRUE(gaveUp.noConvergence_) << kind;
  }
}

// A map given by real formulas is no complex f: it is refused, with the
// solver's name and what it needs of f(z); one given as f(z) is not, and
// Newton refuses neither.
TEST(tComplexMapSolverTest, RefusesARealMap) {
  auto real = functionFromText("f1 = x ^ 2 - y ^ 2 - 2 f2 = 2 * x * y");
  auto complex = functionFromText(kSquare);
  const char* const needs[kComplexKinds] = {"f'' of ", "f'' of ", "f'' of ", "f'' of ",
                                            "f'' of ", "f' of ",  "f' of ",  "f' of ",
                                            "f' of ",  "",        "f'' of "};
  for (int kind = kFirstComplexKind; kind < kFirstComplexKind + kComplexKinds; ++kind) {
    auto solver = makeSolver(kind, 10, 1.0);
    EXPECT_EQ(solver->getName() + " needs " + needs[kind - kFirstComplexKind] +
                  "a map given as f(z), not a map given by real formulas",
              solver->refusalFor(*real));
    EXPECT_EQ("", solver->refusalFor(*complex));
  }
  EXPECT_EQ("", makeSolver(0, 10, 1.0)->refusalFor(*real));
}

// Laguerre's n, unless given, is the degree of f(z) as written; a map
// without one is refused, and a whole parameter from 1 is n for any map.
TEST(tComplexMapSolverTest, LaguerreFindsTheDegreeOrRefuses) {
  const struct {
    const char* formula;
    double degree;  // -1: no polynomial
  } cases[] = {
      {"z", 1},
      {"z ^ 3 - a", 3},
      {"2 * z ^ 2 + i * z - 1", 2},
      {"( z - 1 ) ^ 2 * ( z + 2 )", 3},
      {"- z ^ 4 / ( 2 * a )", 4},
      {"( z ^ 2 + 1 ) ^ 3", 6},
      {"z ^ 2 - z ^ 2", 2},
      {"sqrt ( 2 ) * z ^ 5", 5},
      {"z ^ 0 + 5", 0},
      {"sin ( z )", -1},
      {"exp ( z ) * z", -1},
      {"1 / z", -1},
      {"z / ( z + 1 )", -1},
      {"z ^ 0.5", -1},
      {"z ^ a", -1},
      {"2 ^ z", -1},
  };
  for (const auto& c : cases) {
    auto tree = parsedTree(c.formula);
    EXPECT_EQ(c.degree, tLaguerreSolver::degreeOf(*tree->getRoot())) << c.formula;
  }
  auto sine = functionFromText("f ( z ) = sin ( z )");
  auto constant = functionFromText("f ( z ) = 2");
  const std::string why =
      "LaguerreSolver needs the degree of f, and f(z) is no polynomial in z of degree 1 or more; "
      "a script may give it as _methodParameter";
  EXPECT_EQ(why, tLaguerreSolver(10, 1.0, kDegreeOfF).refusalFor(*sine));
  EXPECT_EQ(why, tLaguerreSolver(10, 1.0, 2.5).refusalFor(*sine));
  EXPECT_EQ(why, tLaguerreSolver(10, 1.0, kDegreeOfF).refusalFor(*constant));
  EXPECT_EQ("", tLaguerreSolver(10, 1.0, 3).refusalFor(*sine));
  EXPECT_EQ("", tLaguerreSolver(10, 1.0, kDegreeOfF).refusalFor(*functionFromText(kCube)));
}
