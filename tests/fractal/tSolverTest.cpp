#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "expr/FunctionText.h"
#include "fractal/tAdamsBashforthSolver2.h"
#include "fractal/tHeunSolver.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tRefinedNewtonSolver.h"
#include "fractal/tRungeKuttaSolver2.h"
#include "fractal/tRungeKuttaSolver4.h"

namespace {

// F(x, y) = (x, y): root at the origin, inverse Jacobian the identity.
const char* const kIdentity = "f1 = x f2 = y f11 = 1 f12 = 0 f21 = 0 f22 = 1";
// F(x, y) = (x^2 - 1, y): roots (1, 0) and (-1, 0), singular on x = 0.
const char* const kFold = "f1 = x ^ 2 - 1 f2 = y f11 = 2 * x f12 = 0 f21 = 0 f22 = 1";
// z^2 - 1 in real coordinates.
const char* const kQuadratic =
    "f1 = x ^ 2 - y ^ 2 - 1 f2 = 2 * x * y f11 = 2 * x f12 = - 2 * y f21 = 2 * y f22 = 2 * x";

struct tKind {
  const char* name;
  std::function<std::unique_ptr<tIterativeSolver>(unsigned long, double)> make;
  unsigned extraPoints;  // points the path holds beyond one per iteration
};

template <typename T>
std::unique_ptr<tIterativeSolver> make(unsigned long maxIterations, double stepSize) {
  return std::make_unique<T>(maxIterations, stepSize);
}

const tKind kKinds[] = {
    {"NewtonSolver", make<tNewtonSolver>, 0},
    {"RefinedNewtonSolver", make<tRefinedNewtonSolver>, 0},
    {"HeunSolver", make<tHeunSolver>, 0},
    {"RungeKuttaSolver4", make<tRungeKuttaSolver4>, 0},
    {"tRungeKuttaSolver2", make<tRungeKuttaSolver2>, 0},
    {"AdamsBashforthSolver2", make<tAdamsBashforthSolver2>, 1},
};

tSolution solveWith(const tKind& kind, const char* function, const tVector2& start,
                    unsigned long maxIterations, double stepSize, bool fullPath = false) {
  auto f = functionFromText(function);
  return kind.make(maxIterations, stepSize)->solve(f.get(), start, fullPath);
}

}  // namespace

TEST(tSolverTest, NamesLimitsAndStepSizes) {
  for (const tKind& kind : kKinds) {
    auto solver = kind.make(25, 0.75);
    EXPECT_EQ(kind.name, solver->getName());
    EXPECT_EQ(25u, solver->getMaxIterations());
    EXPECT_EQ(0.75, solver->getStepSize());
  }
  if (sizeof(unsigned long) > sizeof(uint32_t)) {
    auto huge = kKinds[0].make(std::numeric_limits<unsigned long>::max(), 1.0);
    EXPECT_EQ(std::numeric_limits<uint32_t>::max(), huge->getMaxIterations());
  }
}

TEST(tSolverTest, ClosedFormsOnTheIdentity) {
  const tVector2 start(1, 0);
  // Newton lands on the root in one step.
  tSolution newton = solveWith(kKinds[0], kIdentity, start, 40, 1.0);
  EXPECT_EQ((std::vector<tVector2>{start, tVector2(0, 0)}), newton.path_);
  EXPECT_EQ(1u, newton.iterations_);
  EXPECT_FALSE(newton.singularJacobian_ || newton.noConvergence_);

  // The refined and Heun steps halve x: 2^-34 is the first power below 1e-10.
  for (const tKind* kind : {&kKinds[1], &kKinds[2]}) {
    tSolution halving = solveWith(*kind, kIdentity, start, 40, 1.0);
    EXPECT_EQ(34u, halving.iterations_) << kind->name;
    EXPECT_FALSE(halving.singularJacobian_ || halving.noConvergence_) << kind->name;
    ASSERT_EQ(35u, halving.path_.size()) << kind->name;
    for (unsigned k = 0; k < 35; ++k)
      EXPECT_EQ(tVector2(std::ldexp(1.0, -static_cast<int>(k)), 0), halving.path_[k]);
  }

  tSolution rk4 = solveWith(kKinds[3], kIdentity, start, 1, 1.0);
  EXPECT_EQ((std::vector<tVector2>{start}), rk4.path_);
  rk4 = solveWith(kKinds[3], kIdentity, start, 2, 1.0);
  EXPECT_EQ((std::vector<tVector2>{start, tVector2(0.375, 0)}), rk4.path_);
  EXPECT_TRUE(rk4.noConvergence_);
  EXPECT_EQ(2u, rk4.iterations_);

  tSolution rk2 = solveWith(kKinds[4], kIdentity, start, 2, 1.0);
  EXPECT_EQ((std::vector<tVector2>{start, tVector2(0.5, 0)}), rk2.path_);

  tSolution ab2 = solveWith(kKinds[5], kIdentity, start, 2, 1.0);
  EXPECT_EQ((std::vector<tVector2>{start, tVector2(0.5, 0), tVector2(0.375, 0)}), ab2.path_);
  EXPECT_TRUE(ab2.noConvergence_);

  // Every method reaches the root from there.
  for (const tKind& kind : kKinds) {
    tSolution s = solveWith(kind, kIdentity, tVector2(1, -2), 200, 1.0);
    EXPECT_FALSE(s.singularJacobian_ || s.noConvergence_) << kind.name;
    EXPECT_EQ(s.iterations_ + 1 + kind.extraPoints, s.path_.size()) << kind.name;
    EXPECT_GT(1e-10, s.path_.back().length()) << kind.name;
  }
}

TEST(tSolverTest, StoppingCasesForEverySolver) {
  const tVector2 root(1, 0);
  const tVector2 singular(0, 0.5);
  for (const tKind& kind : kKinds) {
    const unsigned extra = kind.extraPoints;

    tSolution none = solveWith(kind, kFold, tVector2(2, 0.5), 0, 1.0);
    EXPECT_EQ(extra, none.path_.size()) << kind.name;
    EXPECT_EQ(0u, none.iterations_) << kind.name;
    EXPECT_TRUE(none.noConvergence_) << kind.name;
    EXPECT_FALSE(none.singularJacobian_) << kind.name;

    tSolution atRoot = solveWith(kind, kFold, root, 10, 1.0);
    EXPECT_EQ(std::vector<tVector2>(1 + extra, root), atRoot.path_) << kind.name;
    EXPECT_EQ(0u, atRoot.iterations_) << kind.name;
    EXPECT_FALSE(atRoot.noConvergence_ || atRoot.singularJacobian_) << kind.name;

    tSolution atSingular = solveWith(kind, kFold, singular, 10, 1.0);
    EXPECT_EQ(std::vector<tVector2>(1 + extra, singular), atSingular.path_) << kind.name;
    EXPECT_EQ(0u, atSingular.iterations_) << kind.name;
    EXPECT_TRUE(atSingular.singularJacobian_) << kind.name;
    EXPECT_FALSE(atSingular.noConvergence_) << kind.name;

    for (const tVector2& start : {root, singular}) {
      tSolution full = solveWith(kind, kFold, start, 7, 1.0, true);
      EXPECT_EQ(7 + extra, full.path_.size()) << kind.name;
      EXPECT_EQ(7u, full.iterations_) << kind.name;
      EXPECT_TRUE(full.noConvergence_) << kind.name;
      EXPECT_FALSE(full.singularJacobian_) << kind.name;
    }

    tSolution whole = solveWith(kind, kFold, tVector2(2, 0.5), 200, 1.0);
    tSolution half = solveWith(kind, kFold, tVector2(2, 0.5), 200, 0.5);
    for (const tSolution* s : {&whole, &half}) {
      EXPECT_FALSE(s->singularJacobian_ || s->noConvergence_) << kind.name;
      EXPECT_GT(1e-9, (s->path_.back() - root).length()) << kind.name;
      EXPECT_EQ(s->iterations_ + 1 + extra, s->path_.size()) << kind.name;
    }
    EXPECT_GT(half.iterations_, whole.iterations_) << kind.name;
  }
}

TEST(tSolverTest, RefinedNewtonTakesNoStepFromASingularMidpoint) {
  // The derivative 2x - 1 vanishes at x = 0.5, halfway from 1 to the root 0.
  tSolution s = solveWith(kKinds[1], "f1 = x f2 = y f11 = 2 * x - 1 f12 = 0 f21 = 0 f22 = 1",
                          tVector2(1, 0), 5, 1.0);
  EXPECT_EQ(std::vector<tVector2>(5, tVector2(1, 0)), s.path_);
  EXPECT_TRUE(s.noConvergence_);
  EXPECT_EQ(5u, s.iterations_);
}

TEST(tSolverTest, HugeIterationLimitsReserveLittle) {
  EXPECT_LE(tSolution(1000000000ul).path_.capacity(), tSolution::MAX_RESERVED_POINTS);
  EXPECT_GE(tSolution(10).path_.capacity(), 10u);
  EXPECT_TRUE(tSolution().path_.empty());
  for (const tKind& kind : kKinds) {
    tSolution s = solveWith(kind, kFold, tVector2(2, 0.5), 1000000000ul, 1.0);
    EXPECT_FALSE(s.noConvergence_) << kind.name;
    EXPECT_LE(s.path_.capacity(), tSolution::MAX_RESERVED_POINTS) << kind.name;
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
  using tStep = std::function<tVector2(const tVector2&)>;

  auto ralston = [&](const tVector2& x, const tVector2& k1) {
    tVector2 x2 = x - (0.6666666666666666 * h) * k1;
    tVector2 f2 = F(x2);
    tVector2 t = (0.75 * M(x2)) * f2;
    return x - h * (0.25 * k1 + t);
  };
  const tStep steps[] = {
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
      tSolution s = kKinds[k].make(n, h)->solve(f.get(), start, true);
      EXPECT_EQ(expected, s.path_) << kKinds[k].name;
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
    tSolution s = tAdamsBashforthSolver2(n, h).solve(f.get(), start, true);
    EXPECT_EQ(expected, s.path_);
  }

  // The references are sharp enough to tell a regrouped step apart.
  std::vector<tVector2> grouped{tVector2(0.3, 0.9)};
  std::vector<tVector2> regrouped{tVector2(0.3, 0.9)};
  for (unsigned k = 0; k < n; ++k) {
    grouped.push_back(steps[0](grouped.back()));
    tVector2 x = regrouped.back();
    regrouped.push_back(x - h * (M(x) * F(x)));
  }
  EXPECT_NE(grouped, regrouped);
}
