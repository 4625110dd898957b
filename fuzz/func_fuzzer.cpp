// libFuzzer target: the bytes as a function file, loaded, then evaluated with
// its inverse Jacobian at a few points.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "expr/tFunction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/func_fuzzer_" + std::to_string(getpid()) + ".func";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  tFunction function(path);
  const tVector2 points[] = {tVector2(0.0, 0.0), tVector2(1.0, -0.5), tVector2(-2.0, 2.0),
                             tVector2(1e300, -1e-300)};
  for (const tVector2& point : points) {
    function.value(point);
    function.jacobianInverse(point);
  }
  return 0;
}
