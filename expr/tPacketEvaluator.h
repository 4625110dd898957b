#ifndef ROOTWEAVER_EXPR_TPACKETEVALUATOR_H
#define ROOTWEAVER_EXPR_TPACKETEVALUATOR_H

#include <cstddef>

class tFormulaProgram;

// Runs a compiled program over the LANES lanes of a packet, one instruction
// at a time over all lanes, for tFormulaProgram::evaluatePacket.
//
// The same code is built once for each instruction set (see tInstructionSet):
// tPacketEvaluatorSse2.cpp and tPacketEvaluatorAvx2.cpp instantiate
// evaluateWith, defined in tPacketEvaluatorBody.h, with the lane type of
// their set, and only the AVX2 one is compiled with -mavx2. Every IEEE
// operation is one vector instruction of the same operation, and the libm
// calls stay scalar, made one active lane at a time, so both give the tree
// walk's bits.
class tPacketEvaluator {
 public:
  // The program's instructions [begin, end) over the packet whose registers
  // are in `scratch` (constants prepared, x and y in place); lanes whose bit
  // in `mask` is clear may end with any value.
  static void evaluateSse2(const tFormulaProgram& program, unsigned mask, double* scratch,
                           std::size_t begin, std::size_t end);
  static void evaluateAvx2(const tFormulaProgram& program, unsigned mask, double* scratch,
                           std::size_t begin, std::size_t end);

 private:
  // The AVX2 code on processors with FMA too, which forms the powers' exact
  // products in fewer operations.
  static void evaluateAvx2Fma(const tFormulaProgram& program, unsigned mask, double* scratch,
                              std::size_t begin, std::size_t end);
  template <typename tLanes>
  static void evaluateWith(const tFormulaProgram& program, unsigned mask, double* scratch,
                           std::size_t begin, std::size_t end);
};

#endif
