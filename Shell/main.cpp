#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
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
    "  --seed N           with --batch, before or after it: _seed = N (a whole\n"
    "                     number from 0 to 16777216) before the script starts, so\n"
    "                     that jittered and random-colour pictures come out the\n"
    "                     same every time\n"
    "  --check FILE.func  print each function file's formulas as read, given or\n"
    "                     derived, and check its four derivatives against finite\n"
    "                     differences of f1 and f2 at 200 points of [-2, 2] x [-2, 2];\n"
    "                     a file not found from here is looked for in \"Shared\n"
    "                     Functions/\". Exit status 0 when every derivative agrees,\n"
    "                     1 when one does not, 2 when a file cannot be read\n"
    "  --bounds MINX MAXX MINY MAXY\n"
    "                     with --check: the points' rectangle instead\n"
    "  --help             print this text\n";

// The seed of "--seed N": N written in decimal digits, at most tRandom::MAX_SEED.
std::optional<unsigned int> readSeed(const char* text) {
  const std::size_t digits = std::strspn(text, "0123456789");
  if (digits == 0 || text[digits] != '\0' || digits > 8) return std::nullopt;
  const unsigned long seed = std::strtoul(text, nullptr, 10);
  if (seed > tRandom::MAX_SEED) return std::nullopt;
  return static_cast<unsigned int>(seed);
}

// --batch FILE, and --seed N before or after it; false for anything else.
bool readBatchArguments(int argc, char** argv, std::string& script, std::string& seed) {
  if (argc != 3 && argc != 5) return false;
  bool scriptGiven = false;
  bool seedGiven = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--batch") == 0 && !scriptGiven) {
      script = argv[i + 1];
      scriptGiven = true;
    } else if (std::strcmp(argv[i], "--seed") == 0 && !seedGiven) {
      seed = argv[i + 1];
      seedGiven = true;
    } else {
      return false;
    }
  }
  return scriptGiven;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 1) return tMainApp::runWindowed();
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  std::string script;
  std::string seedText;
  if (readBatchArguments(argc, argv, script, seedText)) {
    const std::optional<unsigned int> seed = readSeed(seedText.c_str());
    if (argc == 5 && !seed) {
      std::fprintf(stderr, "rootweaver: --seed needs a whole number from 0 to %u\n",
                   tRandom::MAX_SEED);
      std::fputs(kUsage, stderr);
      return 2;
    }
    tRandom::seed(static_cast<unsigned>(std::time(nullptr)));
    return tBLAMBatchRunner::run(script, seed);
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
