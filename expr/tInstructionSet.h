#ifndef ROOTWEAVER_EXPR_TINSTRUCTIONSET_H
#define ROOTWEAVER_EXPR_TINSTRUCTIONSET_H

// The vector instructions that packets of lanes run on.
//
// The packet code (formula evaluation, inverse Jacobians, solver steps) is
// compiled twice: for SSE2, which every x86-64 processor has, four lanes to
// two instructions of two doubles each, and for AVX2, four doubles per
// instruction, in translation units of their own so that nothing else in the
// program needs more than SSE2. Both versions make the same IEEE operations
// on every lane in the same order, and neither fuses a multiply with an add,
// so their results agree bit for bit; only the speed differs.
//
// The set is chosen once, at first use: AVX2 when the processor has it, SSE2
// otherwise or when the environment variable ROOTWEAVER_SIMD is "sse2" in
// any case (the tests run both on one machine that way, and through use()).
class tInstructionSet {
 public:
  enum KIND { SSE2, AVX2 };

  // The set packets use.
  static KIND current();
  // Whether this processor runs the set.
  static bool supports(KIND kind);
  // Makes packets use `kind` from now on; false, changing nothing, when the
  // processor lacks it. Only while no packet is being computed.
  static bool use(KIND kind);
  static const char* name(KIND kind);

  // What decides the last bits of the C library's mathematical functions
  // (sin, cos, exp, log, pow, atan2, ...), which the formulas call: glibc
  // picks one of several builds of each by processor, and they round
  // differently. "fma" with FMA and AVX2, "fma4" with AMD's FMA4, "sse2"
  // on any other processor.
  static const char* mathLibrary();
  // The C library's version, as "2.36".
  static const char* libraryVersion();
};

#endif
