#ifndef ROOTWEAVER_TESTS_FRACTAL_TSOLVERORDER_H
#define ROOTWEAVER_TESTS_FRACTAL_TSOLVERORDER_H

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "expr/FunctionText.h"
#include "fractal/tSolverKinds.h"

// The first iterates of a solver kind from start, no test stopping them.
inline std::vector<tVector2> iterates(int kind, const char* map, const tVector2& start,
                                      unsigned count, double h = 1.0) {
  auto f = functionFromText(map);
  return makeSolver(kind, count, h)->solve(f.get(), start, true).path_;
}

// An iterate within tolerance of the expected one, coordinate by coordinate.
inline void expectNear(const tVector2& expected, const tVector2& actual, int kind,
                       double tolerance = 1e-15) {
  EXPECT_NEAR(expected.x_, actual.x_, tolerance) << kind;
  EXPECT_NEAR(expected.y_, actual.y_, tolerance) << kind;
}

// The computational order of convergence towards root from the last three
// errors above the noise of doubles.
inline double order(int kind, const char* map, const tVector2& start, const tVector2& root) {
  std::vector<double> errors;
  for (const tVector2& z : iterates(kind, map, start, 12)) {
    const double error = std::hypot(z.x_ - root.x_, z.y_ - root.y_);
    if (error < 1e-14) break;
    errors.push_back(error);
  }
  EXPECT_LE(3u, errors.size()) << kind;
  if (errors.size() < 3) return 0.0;
  const std::size_t k = errors.size() - 2;
  return std::log(errors[k + 1] / errors[k]) / std::log(errors[k] / errors[k - 1]);
}

#endif
