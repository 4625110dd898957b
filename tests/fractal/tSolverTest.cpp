#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

#include "expr/FunctionText.h"
#include "fractal/tSolverKinds.h"

namespace {

// F(x, y) = (x^2 - 1, y): roots (1, 0) and (-1, 0), singular on x = 0.
const char* const kFold = "f1 = x ^ 2 - 1 f2 = y f11 = 2 * x f12 = 0 f21 = 0 f22 = 1";
const char* const kIdentity = "f1 = x f2 = y f11 = 1 f12 = 0 f21 = 0 f22 = 1";
// z^2 - 1 in real coordinates.
const char* const kQuadratic =
    "f1 = x ^ 2 - y ^ 2 - 1 f2 = 2 * x * y f11 = 2 * x f12 = - 2 * y f21 = 2 * y f22 = 2 * x";

tSolution solveWith(int kind, const char* function, const tVector2& start,
                    unsigned long maxIterations, double stepSize, bool fullPath = false) {
  auto f = functionFromText(function);
  return makeSolver(kind, maxIterations, stepSize)->solve(f.get(), start, fullPath);
}

}  // namespace

// Newton's and the halving methods' iterates on F(x, y) = (x, y) from
// (1, 0), in closed form, until the tolerance stops them; every step's
// operations are in StepsFollowTheirExactOperationOrder.
TEST(tSolverTest, ClosedFormsOnTheIdentity) {
  const tVector2 start(1, 0);
  // Newton lands on the root in one step.
  tSolution newton = solveWith(0, kIdentity, start, 40, 1.0);
  EXPECT_EQ((std::vector<tVector2>{start, tVector2(0, 0)}), newton.path_);
  EXPECT_EQ(1u, newton.iterations_);
  // The refined and Heun steps halve x: 2^-34 is the first power below 1e-10.
  for (int kind : {1, 2}) {
    tSolution halving = solveWith(kind, kIdentity, start, 40, 1.0);
    EXPECT_EQ(34u, halving.iterations_) << kSolverNames[kind];
    ASSERT_EQ(35u, halving.path_.size()) << kSolverNames[kind];
    for (unsigned k = 0; k < 35; ++k)
      EXPECT_EQ(tVector2(std::ldexp(1.0, -static_cast<int>(k)), 0), halving.path_[k]);
  }
}

// Flags, iteration counts and paths when the limit is 0, the start is a root
// or singular, the full path is asked for, and when the root is reached.
TEST(tSolverTest, StoppingCasesForEverySolver) {
  const tVector2 root(1, 0), singular(0, 0.5), away(2, 0.5);
  const struct {
    tVector2 start;
    unsigned long limit;
    bool fullPath;
    unsigned iterations;  // ~0u: until the root is reached
    bool singular, gaveUp;
  } cases[] = {{away, 0, false, 0, false, true},      {root, 10, false, 0, false, false},
               {singular, 10, false, 0, true, false}, {root, 7, true, 7, false, true},
               {singular, 7, true, 7, false, true},   {away, 200, false, ~0u, false, false}};
  for (int kind = 0; kind < kSolverKinds; ++kind) {
    const unsigned extra = kind == kAdamsBashforth ? 1 : 0;
    EXPECT_EQ(kSolverNames[kind], makeSolver(kind, 1, 1.0)->getName());
    for (const auto& c : cases) {
      tSolution s = solveWith(kind, kFold, c.start, c.limit, 0.5, c.fullPath);
      const unsigned iterations = c.iterations == ~0u ? s.iterations_ : c.iterations;
      EXPECT_EQ(std::make_tuple(iterations, c.singular, c.gaveUp),
                std::make_tuple(s.iterations_, s.singularJacobian_, s.noConvergence_))
          << kind << " from " << c.start;
      const unsigned points = c.limit == 0 ? extra : iterations + (c.fullPath ? 0 : 1) + extra;
      ASSERT_EQ(points, s.path_.size()) << kind << " from " << c.start;
      if (c.iterations == ~0u) {
        EXPECT_GT(1e-9, (s.path_.back() - root).length()) << kind;
      } else if (c.limit > 0) {
        EXPECT_EQ(std::vector<tVector2>(points, c.start), s.path_) << kind << " from " << c.start;
      }
    }
  }
}

// A Jacobian whose determinant overflows is not singular: the solve ends as
// no convergence, after every iteration, for every solver.
TEST(tSolverTest, AnOverflowingJacobianIsNoConvergence) {
  auto f = functionFromText("f ( z ) = exp z - 1");
  for (int kind = 0; kind < kSolverKinds; ++kind) {
    for (const tVector2 start : {tVector2(400, 0), tVector2(710, 1)}) {
      tSolution s = makeSolver(kind, 20, 1.0)->solve(f.get(), start, false);
      EXPECT_EQ(std::make_tuple(20u, false, true),
                std::make_tuple(s.iterations_, s.singularJacobian_, s.noConvergence_))
          << kind << " from " << start;
    }
  }
}

TEST(tSolverTest, RefinedNewtonTakesNoStepFromASingularMidpoint) {
  // The derivative 2x - 1 vanishes at x = 0.5, halfway from 1 to the root 0.
  tSolution s = solveWith(1, "f1 = x f2 = y f11 = 2 * x - 1 f12 = 0 f21 = 0 f22 = 1",
                          tVector2(1, 0), 5, 1.0);
  EXPECT_EQ(std::vector<tVector2>(5, tVector2(1, 0)), s.path_);
  EXPECT_TRUE(s.noConvergence_);
  EXPECT_EQ(5u, s.iterations_);
}

// Limits beyond 32 bits are clamped, and a huge limit reserves no huge path.
TEST(tSolverTest, HugeIterationLimitsReserveLittle) {
  if (sizeof(unsigned long) > sizeof(uint32_t)) {
    EXPECT_EQ(std::numeric_limits<uint32_t>::max(),
              makeSolver(0, std::numeric_limits<unsigned long>::max(), 1.0)->getMaxIterations());
  }
  for (int kind = 0; kind < kSolverKinds; ++kind) {
    tSolution s = solveWith(kind, kFold, tVector2(2, 0.5), 1000000000ul, 1.0);
    EXPECT_FALSE(s.noConvergence_) << kind;
    EXPECT_LE(s.path_.capacity(), tSolution::MAX_RESERVED_POINTS) << kind;
  }
}

// The iterates must come out bit for bit as the steps are written, with the
// products and sums grouped exactly so and the function evaluated at the same
// points; these references spell each step out.
TEST(tSolverTest, StepsFollowTheirExactOperationOrder) {
  auto f = functionFromText(kQuadratic);
  auto F = [&](const tVector2& p) { return f->value(p); };
  auto M = [&](const tVector2& p) { return f->jacobianInverse(p); };
  const double h = 0.7;
  const unsigned n = 8;

  auto ralston = [&](const tVector2& x, const tVector2& k1) {
    tVector2 x2 = x - (0.6666666666666666 * h) * k1;
    tVector2 f2 = F(x2);
    tVector2 t = (0.75 * M(x2)) * f2;
    return x - h * (0.25 * k1 + t);
  };
  const std::function<tVector2(const tVector2&)> steps[] = {
      [&](const tVector2& x) { return x - (h * M(x)) * F(x); },
      [&](const tVector2& x) {
        tVector2 mid = x - ((0.5 * h) * M(x)) * F(x);
        return x - h * (M(mid) * F(mid));
      },
      [&](const tVector2& x) {
        tVector2 k1 = M(x) * F(x);
        tVector2 p = x - h * k1;
        return x - (0.5 * h) * (M(p) * F(p) + k1);
      },
      [&](const tVector2& x) {
        tVector2 k1 = (-M(x)) * F(x);
        tVector2 x2 = (0.5 * h) * k1 + x;
        tVector2 k2 = (-M(x2)) * F(x2);
        tVector2 x3 = (0.5 * h) * k2 + x;
        tVector2 k3 = (-M(x3)) * F(x3);
        tVector2 x4 = h * k3 + x;
        tVector2 k4 = (-M(x4)) * F(x4);
        return x + (h * (k4 + (2.0 * k3 + (2.0 * k2 + k1)))) / 6.0;
      },
      [&](const tVector2& x) { return ralston(x, M(x) * F(x)); },
  };

  for (const tVector2& start : {tVector2(0.3, 0.9), tVector2(-1.7, 0.2)}) {
    for (unsigned k = 0; k < 5; ++k) {
      std::vector<tVector2> expected{start};
      while (expected.size() < n) expected.push_back(steps[k](expected.back()));
      EXPECT_EQ(expected, makeSolver(k, n, h)->solve(f.get(), start, true).path_) << k;
    }

    std::vector<tVector2> expected{start};
    tVector2 previous = M(start) * F(start);
    expected.push_back(ralston(start, previous));
    while (expected.size() < n + 1) {
      tVector2 x = expected.back();
      tVector2 slope = M(x) * F(x);
      expected.push_back(x - h * (0.75 * slope - 0.25 * previous));
      previous = slope;
    }
    EXPECT_EQ(expected, tAdamsBashforthSolver2(n, h).solve(f.get(), start, true).path_);
  }
}

// The solvers' singular test is exactly invertJacobian's zero matrix: at the
// cutoff and beside it, where the determinant underflows, overflows or is
// not a number, and over random entries of every size.
TEST(tSolverTest, SingularJacobianIsInvertJacobiansZeroMatrix) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double cutoff = tFunction::INVERTIBLE_CUTOFF;
  std::vector<std::vector<double>> cases = {{0, 0, 0, 0},
                                            {1, 0, 0, 1},
                                            {1, 1, 1, 1},
                                            {cutoff, 0, 0, 1},
                                            {std::nextafter(cutoff, 0.0), 0, 0, 1},
                                            {1e-5, 0, 0, 1e-5},
                                            {1e-200, 0, 0, 1e-200},
                                            {1e-300, 1e300, -1e-300, 1e-300},
                                            {1e300, 0, 0, 1e-300},
                                            {1e200, 0, 0, 1e200},
                                            {1e200, 1e200, 1e200, 1e200},
                                            {5e-324, 0, 0, 1e308},
                                            {inf, 0, 0, 1},
                                            {nan, 0, 0, 1},
                                            {1, -inf, inf, 1},
                                            {1e154, 1e154, -1e154, 1e154}};
  std::mt19937 random(3);
  std::uniform_int_distribution<int> exponent(-700, 700);
  std::uniform_real_distribution<double> mantissa(-1, 1);
  for (int k = 0; k < 20000; ++k) {
    std::vector<double> entries;
    for (int e = 0; e < 4; ++e)
      entries.push_back(std::ldexp(mantissa(random), exponent(random) / 2));
    cases.push_back(entries);
  }
  for (const auto& j : cases) {
    EXPECT_EQ(tFunction::invertJacobian(j[0], j[1], j[2], j[3]) == tMatrix2(),
              tIterativeSolver::singularJacobian(j[0], j[1], j[2], j[3]))
        << j[0] << " " << j[1] << " " << j[2] << " " << j[3];
  }
}
