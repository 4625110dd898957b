// libFuzzer target: the bytes as the contents of a BLAM script, loaded (read,
// traced and parsed, inline functions included) but not run.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "blam/tBLAMScript.h"
#include "fractal/tSession.h"
#include "fuzz/tFuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silenceTraces();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tSession session;
  std::ostream nowhere(nullptr);
  tBLAMScript script({session, nowhere});
  script.loadScriptText("fuzz.blam", std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
