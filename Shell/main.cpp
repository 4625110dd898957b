#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "Shell/tMainApp.h"
#include "blam/tBLAMBatchRunner.h"
#include "expr/tFunctionCheck.h"
#include "fractal/tRandom.h"

namespace {

const char kUsage[] =
    "Usage: rootweaver [--batch FILE.blam | --check [--bounds MINX MAXX MINY MAXY] FILE.func...\n"
    "                  | --help]\n"
    "       rootweaver --batch FILE.blam [--seed N] [--threads N] [--output-dir DIR]\n"
    "                  [--shard K/N]\n"
    "       rootweaver --merge DIR | --version\n"
    "\n"
    "  (no option)        open the Rootweaver window\n"
    "  --batch FILE.blam  run a BLAM script without a window; images and data\n"
    "                     files go below the application directory (installed:\n"
    "                     below the current directory)\n"
    "  --seed N           with --batch: _seed = N (a whole number from 0 to\n"
    "                     16777216) before the script starts, so that jittered and\n"
    "                     random-colour pictures come out the same every time\n"
    "  --threads N        with --batch: compute on N threads (default: the CPUs\n"
    "                     this process may use, as a scheduler or taskset grants)\n"
    "  --output-dir DIR   with --batch: write every output below DIR instead,\n"
    "                     creating it when missing\n"
    "  --shard K/N        with --batch: compute only runs K+1, K+1+N, K+1+2N, ...\n"
    "                     of the script (0 <= K < N), leaving the rest of the\n"
    "                     outputs for --merge\n"
    "  --merge DIR        join the work of all N shards written below DIR into\n"
    "                     the files that one whole run writes\n"
    "  --check FILE.func  print each function file's formulas as read, given or\n"
    "                     derived, and check its four derivatives against finite\n"
    "                     differences of f1 and f2 at 200 points of [-2, 2] x [-2, 2];\n"
    "                     a file not found from here is looked for in \"Shared\n"
    "                     Functions/\". Exit status 0 when every derivative agrees,\n"
    "                     1 when one does not, 2 when a file cannot be read\n"
    "  --bounds MINX MAXX MINY MAXY\n"
    "                     with --check: the points' rectangle instead\n"
    "  --version          print the program's name and version\n"
    "  --help             print this text\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 1) return tMainApp::runWindowed();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments == std::vector<std::string>{"--help"}) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (arguments == std::vector<std::string>{"--version"}) {
    std::printf("rootweaver %s\n", ROOTWEAVER_VERSION);
    return 0;
  }
  std::string usageError;
  if (arguments[0] == "--check") {
    int status = tFunctionCheck::runCommandLine(
        std::vector<std::string>(arguments.begin() + 1, arguments.end()), usageError);
    if (status >= 0) return status;
  } else {
    tBLAMBatchRunner::tOptions options;
    if (tBLAMBatchRunner::parseOptions(arguments, options, usageError)) {
      tRandom::seed(static_cast<unsigned>(std::time(nullptr)));
      return tBLAMBatchRunner::run(options);
    }
  }
  if (!usageError.empty()) std::fprintf(stderr, "rootweaver: %s\n", usageError.c_str());
  std::fputs(kUsage, stderr);
  return 2;
}
