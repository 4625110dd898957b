// What a zoom costs the view, coarse first against row by row; run by hand.
// A 1024 x 1024 Newton picture of "cubic.func" (z^3 - 1) over [-2, 2]^2,
// 100 iterations, random colours with a seed, is computed, then zoomed in by
// a tenth about its centre (the old picture resampled, as the view does) and
// computed again, in the two ways the view could: by tFractalComputation,
// whose rows grow from the first, and by tCoarseToFineComputation, which
// shows the whole picture in blocks of 8 first. Times are from the zoom to
// the first whole picture and to the finished one, medians of several runs,
// the ways taking turns on every thread the process may use, with the
// processor time of all threads (less at the mercy of a shared machine's
// load); the finished pictures are compared byte for byte.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

#include "expr/tFunction.h"
#include "fractal/tCoarseToFineComputation.h"
#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tPictureContext.h"
#include "fractal/tRandom.h"
#include "fractal/tRootManager.h"
#include "fractal/tThreadCount.h"
#include "fractal/tZoomPreview.h"
#include "graphics/tImage.h"

namespace {

const unsigned kSide = 1024;
const unsigned kSeed = 17;
const int kRuns = 11;

using tClock = std::chrono::steady_clock;

double millisecondsSince(tClock::time_point begin) {
  return std::chrono::duration<double, std::milli>(tClock::now() - begin).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct tZoomTimes {
  double firstWhole;  // ms from the zoom to the first picture without a gap
  double finished;    // ms from the zoom to the last pixel
  double cpu;         // ms of processor time of all threads meanwhile
  std::vector<unsigned char> bytes;
};

// A fresh view's picture, then a zoom computed by `coarse` or not.
tZoomTimes zoom(tFunction& f, tIterativeSolver& solver, bool coarse) {
  tPictureContext context;
  context.getRoots().useRandomColors(true);
  context.getRandom().seed(kSeed);
  std::unique_ptr<tFractal> fractal(tFractal::create(kSide, -2.0, 2.0, -2.0, 2.0, context));
  tFractalComputation(fractal.get(), &f, &solver).run();

  const auto begin = tClock::now();
  const std::clock_t cpuBegin = std::clock();
  tZoomPreview::moveTo(fractal.get(), -1.8, 1.8, -1.8, 1.8);
  context.getRandom().seed(kSeed);
  std::unique_ptr<tPictureComputation> computation;
  if (coarse) {
    computation = std::make_unique<tCoarseToFineComputation>(fractal.get(), &f, &solver, kSeed);
  } else {
    computation = std::make_unique<tFractalComputation>(fractal.get(), &f, &solver);
  }
  computation->start();
  tZoomTimes times{0.0, 0.0, 0.0, {}};
  // Row by row, the picture first has no gap when it is finished.
  while (!computation->isDone()) {
    if (times.firstWhole == 0.0 && computation->getCoarsePasses() > 0) {
      times.firstWhole = millisecondsSince(begin);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  times.finished = millisecondsSince(begin);
  times.cpu = 1000.0 * static_cast<double>(std::clock() - cpuBegin) / CLOCKS_PER_SEC;
  if (times.firstWhole == 0.0) times.firstWhole = times.finished;
  const tImage& image = *fractal->getImage();
  times.bytes.assign(image.getRawData(),
                     image.getRawData() + 4 * image.getWidth() * image.getHeight());
  return times;
}

}  // namespace

int main() {
  tFunction f(ROOTWEAVER_SOURCE_DIR "/Shared Functions/cubic.func");
  tNewtonSolver solver(100, 1.0);
  std::vector<double> rowFinished, coarseFirst, coarseFinished, rowCpu, coarseCpu;
  bool identical = true;
  for (int run = 0; run < kRuns; ++run) {
    const tZoomTimes rows = zoom(f, solver, false);
    const tZoomTimes coarse = zoom(f, solver, true);
    rowFinished.push_back(rows.finished);
    coarseFirst.push_back(coarse.firstWhole);
    coarseFinished.push_back(coarse.finished);
    rowCpu.push_back(rows.cpu);
    coarseCpu.push_back(coarse.cpu);
    identical = identical && rows.bytes == coarse.bytes;
  }
  std::printf("zoom of a %u x %u Newton picture of z^3 - 1, %u threads, median of %d runs\n", kSide,
              kSide, tThreadCount::get(), kRuns);
  std::printf("  row by row:     finished %8.1f ms (processor %8.1f ms)\n", median(rowFinished),
              median(rowCpu));
  std::printf("  coarse first:   whole    %8.1f ms, finished %8.1f ms (processor %8.1f ms)\n",
              median(coarseFirst), median(coarseFinished), median(coarseCpu));
  std::printf("  finished pictures byte-identical: %s\n", identical ? "yes" : "NO");
  return identical ? 0 : 1;
}
