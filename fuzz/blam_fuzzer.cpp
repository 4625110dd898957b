// libFuzzer target: the bytes as the contents of a BLAM script, loaded (read,
// traced and parsed, inline functions included) but not run. The trace and
// the warnings go to a stream without a buffer, which drops each write before
// formatting it, so the fuzzer's time goes to the reader; the code that
// builds them still runs.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMProgress.h"
#include "blam/tBLAMScript.h"
#include "fractal/tSession.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tSession session;
  std::ostream nowhere(nullptr);
  tBLAMProgress progress(nowhere);
  tBLAMOutputs outputs;
  tBLAMScript script({session, nowhere, progress, outputs});
  script.loadScriptText("fuzz.blam", std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
