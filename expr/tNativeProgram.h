#ifndef ROOTWEAVER_EXPR_TNATIVEPROGRAM_H
#define ROOTWEAVER_EXPR_TNATIVEPROGRAM_H

#include <cstddef>
#include <memory>
#include <vector>

class tFormulaProgram;
namespace Xbyak {
class CodeGenerator;
}

// A compiled formula program's arithmetic as AVX2 machine code, made at run
// time, for processors that have AVX2.
//
// The interpreter (tPacketEvaluator) runs each instruction over all the lanes
// of a packet, and so loads and stores every operand and result: for programs
// of products and sums that memory traffic is most of their time. Here every
// run of consecutive additions, subtractions, multiplications, divisions,
// negations and absolute values becomes one function that goes through the
// packet four lanes at a time and keeps the values in vector registers,
// storing only those that are read after the run or are outputs. Each
// instruction becomes the one AVX2 instruction of the same IEEE operation,
// with the operands in the same order (negation and absolute value touch
// the sign bit alone, as the interpreter's do), so the results are the
// interpreter's bit for bit. The other instructions (powers, libm calls)
// are left to the interpreter, between the runs.
//
// The code lives as long as any program holding it; copies of a program
// share it.
class tNativeProgram {
 public:
  // The runs of the program translated, or null when the processor lacks
  // AVX2, when the program has no run, or when the code could not be made
  // (executable memory refused): the interpreter then runs it all.
  static std::shared_ptr<const tNativeProgram> translate(const tFormulaProgram& program);

  // Whether programs run their native code: on by default; the benchmark
  // turns it off to time the interpreter alone. Only while no packet is
  // being computed.
  static bool isEnabled();
  static void setEnabled(bool enabled);

  ~tNativeProgram();
  tNativeProgram(const tNativeProgram&) = delete;
  tNativeProgram& operator=(const tNativeProgram&) = delete;

  // tFormulaProgram::evaluatePacketInPlace with AVX2: the runs natively, the
  // instructions between them by the interpreter.
  void evaluate(const tFormulaProgram& program, unsigned mask, double* scratch) const;

 private:
  typedef void (*tRun)(double* scratch);
  // Instructions [begin, end) of the program; `run` null for those the
  // interpreter takes.
  struct tStep {
    std::size_t begin;
    std::size_t end;
    tRun run;
  };

  tNativeProgram() = default;

  std::unique_ptr<Xbyak::CodeGenerator> code_;  // owns the runs' machine code
  std::vector<tStep> steps_;
};

#endif
