#include <cstdio>
#include <cstring>
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
    "\n"
    "  (no option)        open the Rootweaver window\n"
    "  --batch FILE.blam  run a BLAM script without a window; images and data\n"
    "                     files go below the application directory\n"
    "  --check FILE.func  print each function file's formulas as read, given or\n"
    "                     derived, and check its four derivatives against finite\n"
    "                     differences of f1 and f2 at 200 points of [-2, 2] x [-2, 2];\n"
    "                     a file not found from here is looked for in \"Shared\n"
    "                     Functions/\". Exit status 0 when every derivative agrees,\n"
    "                     1 when one does not, 2 when a file cannot be read\n"
    "  --bounds MINX MAXX MINY MAXY\n"
    "                     with --check: the points' rectangle instead\n"
    "  --help             print this text\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 1) return tMainApp::runWindowed();
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--batch") == 0) {
    tRandom::seed(static_cast<unsigned>(std::time(nullptr)));
    return tBLAMBatchRunner::run(argv[2]);
  }
  if (argc >= 2 && std::strcmp(argv[1], "--check") == 0) {
    std::string usageError;
    int status =
        tFunctionCheck::runCommandLine(std::vector<std::string>(argv + 2, argv + argc), usageError);
    if (status >= 0) return status;
    std::fprintf(stderr, "rootweaver: %s\n", usageError.c_str());
  }
  std::fputs(kUsage, stderr);
  return 2;
}
