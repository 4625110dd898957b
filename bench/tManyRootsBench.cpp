#include "bench/tManyRootsBench.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "expr/tFunction.h"
#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tPictureContext.h"
#include "fractal/tRootManager.h"

namespace {

const unsigned kSide = 200;
const unsigned kIterations = 40;
const double kPi = 3.14159265358979323846;
const int kFrequencies[] = {5, 10, 23, 37};

std::string formulas(int k) {
  std::ostringstream text;
  text << "k = " << k << "\n"
       << "f1 = sin(k*x)\nf2 = sin(k*y)\n"
       << "f11 = k*cos(k*x)\nf12 = 0\nf21 = 0\nf22 = k*cos(k*y)\n";
  return text.str();
}

// The processor time the process took: the picture is computed on one
// thread, and on a machine shared with other work the clock on the wall
// counts theirs too.
double processSeconds() {
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

struct tRow {
  std::vector<double> seconds;  // one per run
  std::size_t roots = 0;
  double iterations = 0;  // made by all pixels together
};

void measure(tFunction& f, tRow& row) {
  tPictureContext context;
  tNewtonSolver solver(kIterations, 1.0);
  std::unique_ptr<tFractal> fractal(tFractal::create(kSide, -kPi, kPi, -kPi, kPi, context));
  const double begin = processSeconds();
  tFractalComputation(fractal.get(), &f, &solver, 1).run();
  row.seconds.push_back(processSeconds() - begin);
  row.roots = context.getRoots().getRoots().size();
  const auto& counts = fractal->getBasinLabels().getIterations();
  row.iterations = std::accumulate(counts.begin(), counts.end(), 0.0);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

void tManyRootsBench::run(int runs) {
  std::printf(
      "Many roots: f1 = sin(Kx), f2 = sin(Ky) over [-pi, pi]^2, Newton, %u x %u, %u iterations, "
      "random colours, 1 thread, processor seconds, median of %d runs\n",
      kSide, kSide, kIterations, runs);
  std::printf("  %4s %7s %10s %13s %13s\n", "K", "roots", "seconds", "ns/iteration",
              "per-it ratio");
  std::fflush(stdout);
  const std::size_t count = sizeof kFrequencies / sizeof kFrequencies[0];
  std::ostringstream quiet;
  std::vector<tFunction> functions(count);
  for (std::size_t i = 0; i < count; ++i) {
    functions[i].setStreams(quiet, quiet);
    functions[i].readText(formulas(kFrequencies[i]));
  }
  // The pictures take turns, run after run, so that a machine that slows
  // down or speeds up meanwhile shifts all of them alike and the ratios hold.
  std::vector<tRow> rows(count);
  for (int run = 0; run < runs; ++run) {
    for (std::size_t i = 0; i < count; ++i) measure(functions[i], rows[i]);
  }
  double first = 0.0;
  for (std::size_t i = 0; i < count; ++i) {
    const double seconds = median(rows[i].seconds);
    const double perIteration = 1e9 * seconds / rows[i].iterations;
    if (first == 0.0) first = perIteration;
    std::printf("  %4d %7zu %10.3f %13.1f %13.2f\n", kFrequencies[i], rows[i].roots, seconds,
                perIteration, perIteration / first);
  }
  std::printf("\n");
}
