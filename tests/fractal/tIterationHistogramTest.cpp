#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "expr/FunctionText.h"
#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tIterationHistogram.h"
#include "fractal/tPictureContext.h"
#include "fractal/tSolution.h"
#include "fractal/tSolverKinds.h"

namespace {

// The engine's pictures measured against each pixel's unjittered start
// solved on its own by the solver's solve(): the whole histogram, the
// failures, and the three measures worked from those counts. Jitter leaves
// one start a pixel; a short iteration limit and the fold's singular
// Jacobian make failures of both kinds.
TEST(tIterationHistogramTest, MeasuresTheFirstSampleOfEveryPixel) {
  const struct {
    const char* function;
    int solver;  // makeSolver's kind
    unsigned long limit;
    uint32_t jitter;
  } setups[] = {
      {"cubic.func", 0, 12, 1},
      {"cubic.func", 3, 30, 4},
      {"fold.func", 0, 20, 1},
  };
  for (const auto& setup : setups) {
    SCOPED_TRACE(setup.function);
    tPictureContext context;
    context.getRandom().seed(5);
    auto function = functionFromFile(setup.function);
    auto solver = makeSolver(setup.solver, setup.limit, 1.0);
    std::unique_ptr<tFractal> fractal(tFractal::create(24, -2, 2, -2, 2, context));
    fractal->setJitter(setup.jitter);
    tFractalComputation(fractal.get(), function.get(), solver.get()).run();

    std::vector<std::size_t> counts;
    std::size_t failures = 0;
    const unsigned side = static_cast<unsigned>(fractal->getWidth());
    for (unsigned row = 0; row < side; ++row) {
      for (unsigned column = 0; column < side; ++column) {
        const tSolution solution =
            solver->solve(function.get(), fractal->pointAt(row, column), false);
        if (solution.noConvergence_ || solution.singularJacobian_) {
          ++failures;
          continue;
        }
        if (solution.iterations_ >= counts.size()) counts.resize(solution.iterations_ + 1);
        ++counts[solution.iterations_];
      }
    }
    double sum = 0.0, converged = 0.0;
    std::size_t mode = 0;
    for (std::size_t k = 0; k < counts.size(); ++k) {
      sum += double(k) * counts[k];
      converged += counts[k];
      if (counts[k] > counts[mode]) mode = k;
    }
    ASSERT_GT(failures, 0u);
    ASSERT_GT(converged, 0.0);

    const tIterationHistogram histogram(fractal->getBasinLabels());
    EXPECT_EQ(counts, histogram.getCounts());
    EXPECT_EQ(failures, histogram.getFailures());
    EXPECT_EQ(sum / converged, histogram.getMeanIterations());
    EXPECT_EQ(double(mode), histogram.getMostProbableIterations());
    EXPECT_EQ(double(failures) / (side * side), histogram.getFailureFraction());
  }
}

// Ties go to the smaller count; without a converged start the mean and N*
// are not defined, and without labels (a singular-set picture) nothing is.
TEST(tIterationHistogramTest, TiesAndUndefinedMeasures) {
  tBasinLabels tied(2), failed(2);
  const uint32_t iterations[] = {7, 3, 7, 3};
  for (int i = 0; i < 4; ++i) {
    tied.record(i / 2, i % 2, {tVector2(), tPacketSolver::OUTCOME_CONVERGED, iterations[i]}, 0);
    failed.record(
        i / 2, i % 2,
        {tVector2(), i ? tPacketSolver::OUTCOME_GAVE_UP : tPacketSolver::OUTCOME_SINGULAR, 9}, 0);
  }
  EXPECT_EQ(3.0, tIterationHistogram(tied).getMostProbableIterations());
  EXPECT_EQ(5.0, tIterationHistogram(tied).getMeanIterations());
  const tIterationHistogram none(failed), unlabelled{tBasinLabels(2)};
  EXPECT_TRUE(std::isnan(none.getMeanIterations()));
  EXPECT_TRUE(std::isnan(none.getMostProbableIterations()));
  EXPECT_EQ(1.0, none.getFailureFraction());
  EXPECT_TRUE(std::isnan(unlabelled.getFailureFraction()));
}

}  // namespace
