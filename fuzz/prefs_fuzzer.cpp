// libFuzzer target: the bytes as the settings file prefs.txt, loaded as the
// setup scenes load it, then every setting looked up as they look it up. A
// setting without an entry would stop the program with an assertion.
//
// The settings file has a fixed place, resources/prefs.txt beside the
// executable, so the target writes each input there (and the loader may keep
// a copy as prefs.txt.bad): run one process of it per build folder.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "File/tFileUtils.h"
#include "fuzz/tFuzzSupport.h"
#include "scenes/tPreferences.h"

namespace {

const char* const kSettings[] = {"Step Size",     "Iterations", "Dim",      "minX",
                                 "maxX",          "minY",       "maxY",     "Singular Set",
                                 "Random Colors", "Solver",     "Function", "BLAM"};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silenceTraces();
  mkdir(tFileUtils::getResourceDirectory().c_str(), 0755);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = tFileUtils::getResourceDirectory() + "prefs.txt";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  tCategoricalDict prefs = tPreferences::load();
  for (const char* setting : kSettings) {
    if (prefs.numEntriesInCategory(setting) == 0) std::abort();
  }
  return 0;
}
