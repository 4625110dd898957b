// libFuzzer target: the bytes as a BLAM script file, loaded (read, traced and
// parsed) but not run.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "blam/tBLAMScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/blam_fuzzer_" + std::to_string(getpid()) + ".blam";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  tBLAMScript script;
  script.loadScript(path);
  return 0;
}
