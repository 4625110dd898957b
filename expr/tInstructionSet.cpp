#include "expr/tInstructionSet.h"

#include <gnu/libc-version.h>
#include <strings.h>

#include <atomic>
#include <cstdlib>
#include <iostream>

namespace {

tInstructionSet::KIND chooseAtStart() {
  const char* asked = std::getenv("ROOTWEAVER_SIMD");
  const tInstructionSet::KIND best =
      tInstructionSet::supports(tInstructionSet::AVX2) ? tInstructionSet::AVX2 : tInstructionSet::SSE2;
  if (asked == nullptr || *asked == '\0') return best;
  // Either case: the sets are written AVX2 and SSE2 as often as not.
  if (strcasecmp(asked, "sse2") == 0) return tInstructionSet::SSE2;
  if (strcasecmp(asked, "avx2") == 0 && best == tInstructionSet::AVX2) return best;
  std::cerr << "ROOTWEAVER_SIMD=" << asked << ": not sse2 or a set this processor has; using "
            << tInstructionSet::name(best) << "\n";
  return best;
}

// Read for every packet, so it is an atomic: use() may come from any thread.
std::atomic<int>& chosen() {
  static std::atomic<int> kind(chooseAtStart());
  return kind;
}

}  // namespace

tInstructionSet::KIND tInstructionSet::current() {
  return static_cast<KIND>(chosen().load(std::memory_order_relaxed));
}

bool tInstructionSet::supports(KIND kind) {
  if (kind == SSE2) return true;
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

bool tInstructionSet::use(KIND kind) {
  if (!supports(kind)) return false;
  chosen().store(kind, std::memory_order_relaxed);
  return true;
}

const char* tInstructionSet::name(KIND kind) { return kind == AVX2 ? "avx2" : "sse2"; }

const char* tInstructionSet::mathLibrary() {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("fma") && __builtin_cpu_supports("avx2")) return "fma";
  if (__builtin_cpu_supports("fma4")) return "fma4";
  return "sse2";
}

const char* tInstructionSet::libraryVersion() { return gnu_get_libc_version(); }
