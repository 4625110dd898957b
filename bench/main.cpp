// The engine's benchmark (make bench): pictures of "cubic.func" (z^3 - 1) over
// [-2, 2]^2 with 100 iterations, step 1 and random colours off, each computed
// four ways in one process: the engine on one thread and on all threads, the
// tree walk (the one-by-one pixel loop evaluating the formulas' trees) and a
// hand-written C++ program for the same map and solver. Each time is the
// median of several runs, the ways taking turns (on the 2048 x 2048 pictures
// the slow tree walk and pow program are timed once, the engine and the
// products-only program several times, as one run is at the mercy of a shared
// machine's load); every picture is compared byte for byte with the tree walk's.
// The hand-written program keeps the file's pow calls; the basin pictures are
// also timed against the one a C++ programmer would type, with products for
// the powers, and the engine on "cubic-products.func", which writes the same
// products in the same order, so that both make the same operations and
// their pictures are compared byte for byte too.
// The basin statistics of each basin picture (tBasinStatistics) and its grid
// Wada test (tWadaGrid) are timed too, against the picture's own time on all
// threads. Last, methods on "cubicz.func" (the same z^3 - 1 given as f(z)),
// whose steps are made in packets as Newton's are (Halley's, Laguerre's, and
// the two-point methods of Traub, Ostrowski, King, Jarratt and Steffensen),
// are timed against the solves one after the other that such methods ran as
// before.
//
// threads.
//
// The methods section (`rootweaver_bench methods`, which runs it alone, or
// `methods NAME ...` for some of its methods) times the methods for f(z) and
// for any map on "cubicz.func" (z^3 - 1 given as f(z)) over [-2, 2]^2,
// 1024 x 1024, the engine on one thread against each method written by hand
// for this one map (tHandWrittenMethods), and counts the pixels whose root
// or failure differs between the two pictures: the engine evaluates formulas
// expanded from f(z), which round otherwise than z^3 - 1 written in complex
// arithmetic, so a few boundary pixels may differ, and more means a bug.
//
// The lean section (`rootweaver_bench lean`, also first in the whole run)
// times a lean hand-written program for Newton and Runge-Kutta 4 on
// "cubic-products.func" (the roots in a local array, the bytes straight into
// a buffer, no registry and no call into the engine per pixel) against the
// engine on one and on two threads, and on one thread with its formulas
// interpreted instead of run as machine code, with the registry programs
// above as extra lines, and checks that every picture is the same. The roots section
// (`roots [RUNS]`, also in the whole run) times pictures with hundreds to
// thousands of roots (tManyRootsBench). The footprint section (`footprint`,
// alone, as it reads the process's peak memory) times the basin statistics
// of a 2048 x 2048 Newton picture against the picture on two threads, and
// compares the peak memory of an 8192 x 8192 picture with its image and
// labels.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/tHandWrittenCubic.h"
#include "bench/tHandWrittenMethods.h"
#include "bench/tManyRootsBench.h"
#include "expr/tFunction.h"
#include "expr/tInstructionSet.h"
#include "expr/tNativeProgram.h"
#include "fractal/tBacktrackingNewtonSolver.h"
#include "fractal/tBasinStatistics.h"
#include "fractal/tChebyshevHalleySolver.h"
#include "fractal/tChebyshevSystemSolver.h"
#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tHalleySolver.h"
#include "fractal/tHalleySystemSolver.h"
#include "fractal/tJarrattSolver.h"
#include "fractal/tJarrattSystemSolver.h"
#include "fractal/tKingSolver.h"
#include "fractal/tLaguerreSolver.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tPictureContext.h"
#include "fractal/tRootManager.h"
#include "fractal/tRungeKuttaSolver4.h"
#include "fractal/tSchroderSolver.h"
#include "fractal/tSteffensenSolver.h"
#include "fractal/tTraubSolver.h"
#include "fractal/tTraubSystemSolver.h"
#include "fractal/tWadaGrid.h"
#include "graphics/tImage.h"

namespace {

const double kLow = -2.0;
const double kHigh = 2.0;
const unsigned kIterations = 100;
const double kStep = 1.0;

struct tCase {
  const char* solver;  // "Newton" or "RK4"
  unsigned side;       // pixels per side
  bool singularSet;    // the singular set instead of the basins
  int runs;            // runs per way, of which the median counts
  int fastRuns;        // runs of the engine and the products-only program
};

// One way of computing a picture, from a fresh fractal and a clear registry.
using tWay = std::function<void(tFractal&)>;

struct tTiming {
  std::vector<double> seconds;       // one per run
  std::vector<unsigned char> bytes;  // the picture of the last run
  std::vector<double> statistics;    // seconds its basin statistics took, one per run
  double median() {
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
  }
};

// The processor time the process took: both ways run on this thread alone,
// and on a machine shared with other work the clock on the wall counts theirs
// too.
double processSeconds() {
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

double median(std::vector<double> seconds) {
  std::sort(seconds.begin(), seconds.end());
  return seconds[seconds.size() / 2];
}

double wallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Times `way` by `clock`: the wall clock, or the processor time for a way on
// one thread.
void measure(const tCase& c, const tWay& way, tTiming& timing, double (*clock)() = wallSeconds) {
  tPictureContext context;
  context.getRoots().useRandomColors(false);
  std::unique_ptr<tFractal> fractal(tFractal::create(c.side, kLow, kHigh, kLow, kHigh, context));
  fractal->setSingularSet(c.singularSet);
  double begin = clock();
  way(*fractal);
  timing.seconds.push_back(clock() - begin);
  if (!c.singularSet) {
    begin = clock();
    tBasinStatistics statistics(fractal->getBasinLabels());
    timing.statistics.push_back(clock() - begin);
  }
  const tImage& image = *fractal->getImage();
  const unsigned char* raw = image.getRawData();
  timing.bytes.assign(raw, raw + 4 * image.getWidth() * image.getHeight());
}

// The basin picture of the products file against the products-only
// hand-written program; the ways take turns as above.
void runProductsCase(const tCase& c, tFunction& products, tIterativeSolver& solver,
                     unsigned threads) {
  auto engine = [&](unsigned n) {
    return [&, n](tFractal& fractal) {
      tFractalComputation(&fractal, &products, &solver, n).run();
    };
  };
  tWay handWritten = [&](tFractal& fractal) {
    if (std::string(c.solver) == "Newton") {
      tHandWrittenCubic::newtonPicture(*fractal.getImage(), fractal.getContext().getRoots(), kLow,
                                       kHigh, kIterations, kStep,
                                       tHandWrittenCubic::POWERS_BY_PRODUCTS);
    } else {
      tHandWrittenCubic::rungeKutta4Picture(*fractal.getImage(), fractal.getContext().getRoots(),
                                            kLow, kHigh, kIterations, kStep,
                                            tHandWrittenCubic::POWERS_BY_PRODUCTS);
    }
  };
  tTiming one;
  tTiming all;
  tTiming hand;
  for (int run = 0; run < c.fastRuns; ++run) {
    measure(c, engine(1), one);
    measure(c, engine(threads), all);
    measure(c, handWritten, hand);
  }
  std::printf("  products: engine, 1 thread %9.3f s\n", one.median());
  std::printf("  products: engine, %u threads%9.3f s\n", threads, all.median());
  std::printf("  products-only hand-written %9.3f s\n", hand.median());
  std::printf("  engine(1) / products-only  %9.2f\n", one.median() / hand.median());
  bool identical = one.bytes == hand.bytes && all.bytes == hand.bytes;
  std::printf("  products byte-identical    %9s\n", identical ? "yes" : "NO");
}

// The lean table: per solver and size the lean program, the engine on
// cubic-products.func on one and on two threads, and the hand-written
// programs through the registry (products, and cubic.func's pow calls,
// timed once), medians of `runs` runs taking turns.
void runLeanCase(const char* solverName, unsigned side, int runs, tFunction& products) {
  const tCase c = {solverName, side, false, runs, runs};
  const bool newton = std::string(solverName) == "Newton";
  std::unique_ptr<tIterativeSolver> solver;
  if (newton) {
    solver = std::make_unique<tNewtonSolver>(kIterations, kStep);
  } else {
    solver = std::make_unique<tRungeKuttaSolver4>(kIterations, kStep);
  }
  auto engine = [&](unsigned n) {
    return [&, n](tFractal& fractal) {
      tFractalComputation(&fractal, &products, solver.get(), n).run();
    };
  };
  auto registry = [&](tHandWrittenCubic::POWERS powers) {
    return [&, powers](tFractal& fractal) {
      tImage& image = *fractal.getImage();
      tRootManager& roots = fractal.getContext().getRoots();
      if (newton) {
        tHandWrittenCubic::newtonPicture(image, roots, kLow, kHigh, kIterations, kStep, powers);
      } else {
        tHandWrittenCubic::rungeKutta4Picture(image, roots, kLow, kHigh, kIterations, kStep,
                                              powers);
      }
    };
  };
  tTiming lean;
  tTiming one;
  tTiming interpreted;
  tTiming two;
  tTiming byProducts;
  tTiming byPow;
  for (int run = 0; run < runs; ++run) {
    std::vector<unsigned char> bytes(4 * static_cast<std::size_t>(side) * side);
    const double begin = processSeconds();
    if (newton) {
      tHandWrittenCubic::leanNewtonPicture(bytes, side, kLow, kHigh, kIterations, kStep);
    } else {
      tHandWrittenCubic::leanRungeKutta4Picture(bytes, side, kLow, kHigh, kIterations, kStep);
    }
    lean.seconds.push_back(processSeconds() - begin);
    lean.bytes = std::move(bytes);
    measure(c, engine(1), one, processSeconds);
    tNativeProgram::setEnabled(false);
    measure(c, engine(1), interpreted, processSeconds);
    tNativeProgram::setEnabled(true);
    measure(c, engine(2), two);
    measure(c, registry(tHandWrittenCubic::POWERS_BY_PRODUCTS), byProducts, processSeconds);
  }
  // The pow program takes minutes at 2048: it is timed at 1024 alone.
  if (side <= 1024) measure(c, registry(tHandWrittenCubic::POWERS_BY_POW), byPow, processSeconds);
  const bool identical = one.bytes == lean.bytes && interpreted.bytes == lean.bytes &&
                         two.bytes == lean.bytes && byProducts.bytes == lean.bytes;
  char pow[16] = "-";
  if (!byPow.seconds.empty()) std::snprintf(pow, sizeof pow, "%.3f", byPow.median());
  std::printf("  %-7s %5u %8.3f %8.3f %8.3f %8.3f %9.3f %8s %7.2f %7.2f %7.2f %7.2f %5s\n",
              solverName, side, lean.median(), one.median(), interpreted.median(), two.median(),
              byProducts.median(), pow, one.median() / lean.median(),
              interpreted.median() / lean.median(), two.median() / lean.median(),
              one.median() / two.median(), identical ? "yes" : "NO");
  std::fflush(stdout);
}

void runLeanTable(tFunction& products) {
  std::printf(
      "Lean baseline: cubic-products.func over [-2, 2]^2, %u iterations, medians of 5 runs (3 at "
      "2048; the pow program once, at 1024); processor seconds on one thread, wall seconds on "
      "two (eng(2)); interp: the engine on one thread with its formulas interpreted, not run "
      "as machine code; same bytes: lean, engine and registry programs\n",
      kIterations);
  std::printf("  %-7s %5s %8s %8s %8s %8s %9s %8s %7s %7s %7s %7s %5s\n", "solver", "side", "lean",
              "eng(1)", "interp", "eng(2)", "products", "pow", "e1/lean", "in/lean", "e2/lean",
              "e1/e2", "same");
  std::fflush(stdout);
  for (const char* solver : {"Newton", "RK4"}) {
    runLeanCase(solver, 1024, 5, products);
    runLeanCase(solver, 2048, 3, products);
  }
  std::printf("\n");
}

// The basin statistics of a 2048 x 2048 Newton picture against the
// picture's own time on two threads (wall clock, medians of three), and the
// process's peak memory after an 8192 x 8192 picture against what the
// picture must hold: four bytes a pixel of image and four of labels.
void runFootprint(tFunction& f) {
  tNewtonSolver solver(kIterations, kStep);
  const tCase c = {"Newton", 2048, false, 3, 3};
  tTiming two;
  for (int run = 0; run < c.runs; ++run) {
    measure(
        c, [&](tFractal& fractal) { tFractalComputation(&fractal, &f, &solver, 2).run(); }, two);
  }
  const double statistics = median(two.statistics);
  std::printf("Footprint: cubic.func, Newton, %u iterations\n", kIterations);
  std::printf("  2048 x 2048 on 2 threads    %9.3f s, basin statistics %.3f s, share %.3f\n",
              two.median(), statistics, statistics / two.median());
  std::fflush(stdout);
  const unsigned side = 8192;
  {
    tPictureContext context;
    context.getRoots().useRandomColors(false);
    std::unique_ptr<tFractal> fractal(tFractal::create(side, kLow, kHigh, kLow, kHigh, context));
    tFractalComputation(fractal.get(), &f, &solver, 2).run();
  }
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  const double peak = static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes to MiB
  const double own = 8.0 * side * side / (1024.0 * 1024.0);
  std::printf(
      "  8192 x 8192 peak memory     %9.0f MiB, picture and labels %.0f MiB, ratio %.2f\n\n", peak,
      own, peak / own);
  std::fflush(stdout);
}

// The grid Wada test of the basin picture on all threads, the median of the
// case's runs, each on a picture of its own.
void timeWadaGrid(const tCase& c, tFunction& f, tIterativeSolver& solver, unsigned threads,
                  double pictureSeconds) {
  std::vector<double> seconds;
  tWadaGrid::tResult result;
  for (int run = 0; run < c.runs; ++run) {
    tPictureContext context;
    context.getRoots().useRandomColors(false);
    std::unique_ptr<tFractal> fractal(tFractal::create(c.side, kLow, kHigh, kLow, kHigh, context));
    tFractalComputation(fractal.get(), &f, &solver, threads).run();
    result = tWadaGrid::measure(*fractal, f, solver, threads);
    seconds.push_back(result.milliseconds / 1000.0);
  }
  std::sort(seconds.begin(), seconds.end());
  const double median = seconds[seconds.size() / 2];
  std::printf("  Wada grid                  %9.3f s (%zu new starts, W_%zu = %.4f)\n", median,
              result.newStarts, result.basins, result.getShare(result.basins));
  std::printf("  Wada grid / engine(%u)      %9.3f\n", threads, median / pictureSeconds);
}

void runCase(const tCase& c, tFunction& f, tFunction& products, unsigned threads) {
  std::unique_ptr<tIterativeSolver> solver;
  if (std::string(c.solver) == "Newton") {
    solver = std::make_unique<tNewtonSolver>(kIterations, kStep);
  } else {
    solver = std::make_unique<tRungeKuttaSolver4>(kIterations, kStep);
  }
  auto engine = [&](unsigned n) {
    return [&, n](tFractal& fractal) { tFractalComputation(&fractal, &f, solver.get(), n).run(); };
  };
  tWay treeWalk = [&](tFractal& fractal) {
    f.setTreeWalk(true);
    const unsigned side = static_cast<unsigned>(fractal.getWidth());
    for (unsigned row = 0; row < side; ++row) {
      for (unsigned column = 0; column < side; ++column) {
        fractal.computate(&f, solver.get(), row, column);
      }
    }
    f.setTreeWalk(false);
  };
  tWay handWritten = [&](tFractal& fractal) {
    if (c.singularSet) {
      tHandWrittenCubic::newtonSingularSetPicture(*fractal.getImage(), kLow, kHigh, kIterations,
                                                  kStep);
    } else if (std::string(c.solver) == "Newton") {
      tHandWrittenCubic::newtonPicture(*fractal.getImage(), fractal.getContext().getRoots(), kLow,
                                       kHigh, kIterations, kStep);
    } else {
      tHandWrittenCubic::rungeKutta4Picture(*fractal.getImage(), fractal.getContext().getRoots(),
                                            kLow, kHigh, kIterations, kStep);
    }
  };

  std::printf("%s %s, %u x %u, median of %d run%s", solver->getName().c_str(),
              c.singularSet ? "singular set" : "basins", c.side, c.side, c.runs,
              c.runs == 1 ? "" : "s");
  if (c.fastRuns != c.runs) std::printf(" (engine and products-only: %d)", c.fastRuns);
  std::printf("\n");
  std::fflush(stdout);
  // The ways take turns, so that a change in the machine's load falls on all.
  tTiming one;
  tTiming all;
  tTiming tree;
  tTiming hand;
  for (int run = 0; run < c.fastRuns; ++run) {
    measure(c, engine(1), one);
    measure(c, engine(threads), all);
    if (run >= c.runs) continue;
    measure(c, treeWalk, tree);
    measure(c, handWritten, hand);
  }
  std::printf("  engine, 1 thread           %9.3f s\n", one.median());
  std::printf("  engine, %u threads          %9.3f s\n", threads, all.median());
  std::printf("  tree walk                  %9.3f s\n", tree.median());
  std::printf("  hand-written               %9.3f s\n", hand.median());
  std::printf("  engine(1) / hand-written   %9.2f\n", one.median() / hand.median());
  std::printf("  tree walk / engine(1)      %9.2f\n", tree.median() / one.median());
  std::printf("  engine(1) / engine(%u)      %9.2f\n", threads, one.median() / all.median());
  if (!c.singularSet) {
    std::sort(all.statistics.begin(), all.statistics.end());
    const double statistics = all.statistics[all.statistics.size() / 2];
    std::printf("  basin statistics           %9.3f s\n", statistics);
    std::printf("  statistics / engine(%u)     %9.3f\n", threads, statistics / all.median());
    timeWadaGrid(c, f, *solver, threads, all.median());
    runProductsCase(c, products, *solver, threads);
  }
  bool identical = one.bytes == tree.bytes && all.bytes == tree.bytes && hand.bytes == tree.bytes;
  std::printf("  outputs byte-identical     %9s\n\n", identical ? "yes" : "NO");
  std::fflush(stdout);
}

// The picture of z^3 - 1 given as f(z) by a method for such maps: the
// engine, and every start solved whole by solve() in row-major order.
void runComplexMapCase(tFunction& cubicz, tIterativeSolver& solver, unsigned threads) {
  const tCase c = {"f(z)", 1024, false, 3, 3};
  auto engine = [&](unsigned n) {
    return [&, n](tFractal& fractal) { tFractalComputation(&fractal, &cubicz, &solver, n).run(); };
  };
  tWay whole = [&](tFractal& fractal) {
    const unsigned side = static_cast<unsigned>(fractal.getWidth());
    for (unsigned row = 0; row < side; ++row) {
      for (unsigned column = 0; column < side; ++column) {
        fractal.computate(&cubicz, &solver, row, column);
      }
    }
  };
  std::printf("%s basins of cubicz.func, %u x %u, median of %d runs\n", solver.getName().c_str(),
              c.side, c.side, c.runs);
  std::fflush(stdout);
  tTiming one;
  tTiming all;
  tTiming solves;
  for (int run = 0; run < c.runs; ++run) {
    measure(c, engine(1), one);
    measure(c, engine(threads), all);
    measure(c, whole, solves);
  }
  std::printf("  engine, 1 thread           %9.3f s\n", one.median());
  std::printf("  engine, %u threads          %9.3f s\n", threads, all.median());
  std::printf("  whole solves, one by one   %9.3f s\n", solves.median());
  std::printf("  whole solves / engine(1)   %9.2f\n", solves.median() / one.median());
  bool identical = one.bytes == solves.bytes && all.bytes == solves.bytes;
  std::printf("  outputs byte-identical     %9s\n\n", identical ? "yes" : "NO");
  std::fflush(stdout);
}

const unsigned kMethodSide = 1024;
const int kManyRootsRuns = 3;
const int kMethodRuns = 3;

// The engine's solver of that name at the section's settings (step 1,
// King's b = 0.5, Laguerre's n = 3); null for another name.
std::unique_ptr<tIterativeSolver> makeMethod(const std::string& name) {
  const unsigned long n = kIterations;
  if (name == "HalleySolver") return std::make_unique<tHalleySolver>(n, kStep);
  if (name == "ChebyshevSolver")
    return std::unique_ptr<tIterativeSolver>(tChebyshevHalleySolver::makeChebyshev(n, kStep));
  if (name == "SuperHalleySolver")
    return std::unique_ptr<tIterativeSolver>(tChebyshevHalleySolver::makeSuperHalley(n, kStep));
  if (name == "SchroderSolver") return std::make_unique<tSchroderSolver>(n, kStep);
  if (name == "TraubSolver") return std::make_unique<tTraubSolver>(n, kStep);
  if (name == "OstrowskiSolver")
    return std::unique_ptr<tIterativeSolver>(tKingSolver::makeOstrowski(n, kStep));
  if (name == "KingSolver") return std::make_unique<tKingSolver>(n, kStep, 0.5);
  if (name == "JarrattSolver") return std::make_unique<tJarrattSolver>(n, kStep);
  if (name == "SteffensenSolver") return std::make_unique<tSteffensenSolver>(n, kStep);
  if (name == "LaguerreSolver") return std::make_unique<tLaguerreSolver>(n, kStep, 3.0);
  if (name == "TraubSystemSolver") return std::make_unique<tTraubSystemSolver>(n, kStep);
  if (name == "JarrattSystemSolver") return std::make_unique<tJarrattSystemSolver>(n, kStep);
  if (name == "ChebyshevSystemSolver") return std::make_unique<tChebyshevSystemSolver>(n, kStep);
  if (name == "HalleySystemSolver") return std::make_unique<tHalleySystemSolver>(n, kStep);
  if (name == "BacktrackingNewtonSolver")
    return std::make_unique<tBacktrackingNewtonSolver>(n, kStep);
  return nullptr;
}

// The engine's picture on one thread, as the hand-written outcomes: each
// pixel's first-sample label, its root named by the cube root it lies at.
double engineMethodPicture(tFunction& f, tIterativeSolver& solver, std::vector<uint8_t>& outcomes) {
  tPictureContext context;
  context.getRoots().useRandomColors(false);
  std::unique_ptr<tFractal> fractal(
      tFractal::create(kMethodSide, kLow, kHigh, kLow, kHigh, context));
  const double begin = processSeconds();
  tFractalComputation(fractal.get(), &f, &solver, 1).run();
  const double end = processSeconds();
  const tBasinLabels& labels = fractal->getBasinLabels();
  const auto& roots = context.getRoots().getRoots();
  outcomes.clear();
  for (uint16_t label : labels.getLabels()) {
    if (label == tBasinLabels::SINGULAR) {
      outcomes.push_back(tHandWrittenMethods::SINGULAR);
    } else if (label == tBasinLabels::NO_CONVERGENCE) {
      outcomes.push_back(tHandWrittenMethods::GAVE_UP);
    } else {
      const tVector2& root = roots[labels.getRegistryIndex(label)].first;
      outcomes.push_back(tHandWrittenMethods::rootNear(root.x_, root.y_));
    }
  }
  return end - begin;
}

double handWrittenMethodPicture(const char* method, std::vector<uint8_t>& outcomes) {
  const double begin = processSeconds();
  tHandWrittenMethods::picture(method, kMethodSide, kLow, kHigh, kIterations, outcomes);
  return processSeconds() - begin;
}

// The methods section for the methods named (all when none is).
int runMethods(const std::vector<std::string>& chosen) {
  for (const std::string& name : chosen) {
    if (!makeMethod(name)) {
      std::fprintf(stderr, "rootweaver_bench: '%s' is not a method of the methods section\n",
                   name.c_str());
      return 2;
    }
  }
  std::ostringstream trace;
  std::streambuf* out = std::cout.rdbuf(trace.rdbuf());
  tFunction f(ROOTWEAVER_SOURCE_DIR "/Shared Functions/cubicz.func");
  std::cout.rdbuf(out);
  std::printf(
      "Methods on cubicz.func (z^3 - 1 given as f(z)), %u x %u, %u iterations, engine on "
      "1 thread against hand-written, processor seconds, medians of %d runs\n",
      kMethodSide, kMethodSide, kIterations, kMethodRuns);
  std::printf("  %-26s %12s %15s %7s %19s\n", "method", "engine(1) s", "hand-written s", "ratio",
              "pixels differing");
  std::fflush(stdout);
  for (const char* method : tHandWrittenMethods::names()) {
    if (!chosen.empty() && std::find(chosen.begin(), chosen.end(), method) == chosen.end())
      continue;
    std::unique_ptr<tIterativeSolver> solver = makeMethod(method);
    std::vector<double> engine;
    std::vector<double> hand;
    std::vector<uint8_t> engineOutcomes;
    std::vector<uint8_t> handOutcomes;
    // The two take turns, so that a change in the machine's load falls on both.
    for (int run = 0; run < kMethodRuns; ++run) {
      engine.push_back(engineMethodPicture(f, *solver, engineOutcomes));
      hand.push_back(handWrittenMethodPicture(method, handOutcomes));
    }
    std::size_t differing = 0;
    for (std::size_t p = 0; p < handOutcomes.size(); ++p)
      differing += p >= engineOutcomes.size() || engineOutcomes[p] != handOutcomes[p];
    std::printf("  %-26s %12.3f %15.3f %7.2f %19zu\n", method, median(engine), median(hand),
                median(engine) / median(hand), differing);
    std::fflush(stdout);
  }
  std::printf("\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::printf("Instruction sets: packets use %s (the processor %s AVX2), libm's %s build\n\n",
              tInstructionSet::name(tInstructionSet::current()),
              tInstructionSet::supports(tInstructionSet::AVX2) ? "has" : "lacks",
              tInstructionSet::mathLibrary());
  if (argc > 1) {
    const std::string section = argv[1];
    if (section == "roots" && argc <= 3) {
      const int runs = argc == 3 ? std::atoi(argv[2]) : kManyRootsRuns;
      if (runs < 1) {
        std::fprintf(stderr, "rootweaver_bench: roots takes a number of runs, not '%s'\n", argv[2]);
        return 2;
      }
      tManyRootsBench::run(runs);
      return 0;
    }
    if (section == "footprint" && argc == 2) {
      std::ostringstream trace;
      tFunction f(ROOTWEAVER_SOURCE_DIR "/Shared Functions/cubic.func", trace, std::cerr);
      runFootprint(f);
      return 0;
    }
    if (section == "lean" && argc == 2) {
      std::ostringstream trace;
      tFunction products(ROOTWEAVER_SOURCE_DIR "/bench/cubic-products.func", trace, std::cerr);
      runLeanTable(products);
      return 0;
    }
    if (section != "methods") {
      std::fprintf(stderr,
                   "rootweaver_bench: '%s' is no section; give none, footprint, lean, roots "
                   "[RUNS], or methods [NAME "
                   "...]\n",
                   argv[1]);
      return 2;
    }
    return runMethods(std::vector<std::string>(argv + 2, argv + argc));
  }
  std::ostringstream trace;
  std::streambuf* out = std::cout.rdbuf(trace.rdbuf());
  tFunction f(ROOTWEAVER_SOURCE_DIR "/Shared Functions/cubic.func");
  tFunction products(ROOTWEAVER_SOURCE_DIR "/bench/cubic-products.func");
  tFunction cubicz(ROOTWEAVER_SOURCE_DIR "/Shared Functions/cubicz.func");
  std::cout.rdbuf(out);
  const unsigned threads = std::max(1u, std::thread::hardware_concurrency());

  std::printf(
      "Rootweaver engine benchmark: cubic.func (z^3 - 1) over [-2, 2]^2, "
      "%u iterations, step %g, random colours off, %u hardware threads\n\n",
      kIterations, kStep, threads);
  runLeanTable(products);
  // The large pictures take minutes by the tree walk: it runs once on them.
  const tCase cases[] = {
      {"Newton", 512, false, 9, 9}, {"RK4", 512, false, 5, 5},   {"Newton", 2048, false, 1, 7},
      {"RK4", 2048, false, 1, 3},   {"Newton", 256, true, 3, 3},
  };
  for (const tCase& c : cases) runCase(c, f, products, threads);
  // Laguerre's n is the degree of f(z); King's b the window's.
  const std::unique_ptr<tIterativeSolver> complexMapSolvers[] = {
      std::make_unique<tHalleySolver>(kIterations, kStep),
      std::make_unique<tLaguerreSolver>(kIterations, kStep, 0.5),
      std::make_unique<tTraubSolver>(kIterations, kStep),
      std::unique_ptr<tIterativeSolver>(tKingSolver::makeOstrowski(kIterations, kStep)),
      std::make_unique<tKingSolver>(kIterations, kStep, 0.5),
      std::make_unique<tJarrattSolver>(kIterations, kStep),
      std::make_unique<tSteffensenSolver>(kIterations, kStep)};
  for (const auto& solver : complexMapSolvers) runComplexMapCase(cubicz, *solver, threads);
  tManyRootsBench::run(kManyRootsRuns);
  return runMethods({});
}
