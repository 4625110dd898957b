// What maps given as f(z) cost to read, to compile and to draw: z^1000 - 1,
// a sum of 1,999 terms (z^3 + z^2 + z + 1 + z^3 + ... + z) against
// the same polynomial collected (500 z^3 + 500 z^2 + 500 z + 499), and
// eleven linear factors. Reading is the first read of the definition (the
// expansion, the derivatives and a compile); compiling is a substitution of
// the script's numbers, which compiles again and is what every run pays;
// drawing is a 128 x 128 Newton picture over [-1.5, 1.5]^2, 30 iterations,
// on one thread. Each time is the median of five. A refused map says why.
// Run it by hand: build/bench/rootweaver_bench_complex_maps.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
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

const int kRuns = 5;

std::vector<std::string> tokensOf(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> tokens;
  for (std::string token; in >> token;) tokens.push_back(token);
  return tokens;
}

std::unique_ptr<tFunction> read(const std::string& formula) {
  auto f = std::make_unique<tFunction>();
  std::ostringstream trace, messages;
  f->setStreams(trace, messages);
  std::vector<std::string> tokens = tokensOf("f ( z ) = " + formula);
  unsigned pos = 0;
  f->processTokens(tokens, pos);
  return f;
}

double medianSeconds(const std::function<void()>& action) {
  std::vector<double> seconds;
  for (int run = 0; run < kRuns; ++run) {
    const auto begin = std::chrono::steady_clock::now();
    action();
    const auto end = std::chrono::steady_clock::now();
    seconds.push_back(std::chrono::duration<double>(end - begin).count());
  }
  std::sort(seconds.begin(), seconds.end());
  return seconds[seconds.size() / 2];
}

void measure(const char* name, const std::string& formula) {
  std::unique_ptr<tFunction> f = read(formula);
  const double reading = medianSeconds([&] { read(formula); });
  std::printf("%-22s read %8.3f ms", name, 1e3 * reading);
  if (f->isRefused()) {
    std::printf("  refused: %s\n", f->getRefusal().c_str());
    return;
  }
  const double compiling = medianSeconds([&] { f->substituteVars(nullptr); });
  tNewtonSolver solver(30, 1.0);
  const double drawing = medianSeconds([&] {
    tPictureContext context;
    context.getRoots().useRandomColors(false);
    std::unique_ptr<tFractal> fractal(tFractal::create(128, -1.5, 1.5, -1.5, 1.5, context));
    tFractalComputation(fractal.get(), f.get(), &solver, 1).run();
  });
  std::printf("  compile %8.3f ms  draw %8.1f ms  (%zu instructions)\n", 1e3 * compiling,
              1e3 * drawing, f->getProgram().getInstructionCount());
}

}  // namespace

int main() {
  const char* const cycle[] = {"z ^ 3", "z ^ 2", "z", "1"};
  std::string sum;
  for (int k = 0; k < 1999; ++k) sum += std::string(k == 0 ? "" : " + ") + cycle[k % 4];
  measure("z^1000 - 1", "z ^ 1000 - 1");
  measure("1,999-term sum", sum);
  measure("collected polynomial", "500 * z ^ 3 + 500 * z ^ 2 + 500 * z + 499");
  measure("eleven factors",
          "( z + 1.25 ) * ( z + 1 ) * ( z + 0.75 ) * ( z + 0.5 ) * ( z + 0.25 ) * z * "
          "( z - 0.25 ) * ( z - 0.5 ) * ( z - 0.75 ) * ( z - 1 ) * ( z - 1.25 )");
  return 0;
}
