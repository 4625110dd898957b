#include <cstdio>
#include <cstring>
#include <ctime>

#include "Shell/tMainApp.h"
#include "blam/tBLAMBatchRunner.h"
#include "fractal/tRandom.h"

namespace {

const char kUsage[] =
    "Usage: rootweaver [--batch FILE.blam | --help]\n"
    "\n"
    "  (no option)        open the Rootweaver window\n"
    "  --batch FILE.blam  run a BLAM script without a window; images and data\n"
    "                     files go below the application directory\n"
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
  std::fputs(kUsage, stderr);
  return 2;
}
