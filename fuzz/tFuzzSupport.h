#ifndef ROOTWEAVER_FUZZ_TFUZZSUPPORT_H
#define ROOTWEAVER_FUZZ_TFUZZSUPPORT_H

#include <cstdio>
#include <iostream>

// The readers trace every step on standard output and warn on standard error.
// Streams without a buffer drop each write before formatting it, so the
// fuzzer's time goes to the readers; the code that builds the trace still
// runs. Messages written with fprintf go to /dev/null through a stderr of
// their own (glibc lets a program assign it); libFuzzer took its copy of the
// old one before starting, and the sanitizers write to the descriptor, so
// their reports stay visible (an assertion's message is lost, the stack that
// libFuzzer prints for its abort is not).
inline void silenceTraces() {
  std::cout.rdbuf(nullptr);
  std::cerr.rdbuf(nullptr);
  if (std::FILE* nowhere = std::fopen("/dev/null", "w")) stderr = nowhere;
}

#endif
