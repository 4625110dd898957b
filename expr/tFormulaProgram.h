#ifndef ROOTWEAVER_EXPR_TFORMULAPROGRAM_H
#define ROOTWEAVER_EXPR_TFORMULAPROGRAM_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class tExprNode;
class tNativeProgram;

// Formulas compiled into one flat program of register instructions.
//
// The formulas of a function are compiled (tFormulaCompiler) after their
// variables have been substituted, from their trees or, for a map given as
// f(z), from the operations of f(z) and its derivatives (tComplexLowering),
// into straight-line code: subtrees without x or y are
// folded into constants by evaluating them exactly as the tree walk would,
// equal subexpressions of all the formulas are computed once, and
// registers are reused once their value is dead. Evaluating is then one pass
// over the instructions with no recursion and no allocation.
//
// The invariant is that every output has, bit for bit, the value the tree
// walk gives for the same point, whatever the point (not-a-number and the
// infinities included; only the payload of a not-a-number may differ). So the
// compiler rewrites nothing that could change a bit: every kind of node keeps
// its libm call or its single IEEE operation, with the operands in the order
// the tree uses. The one rewrite is the power with a constant exponent of 2, 3
// or 4: the exact power is formed as an unevaluated sum of two doubles, and
// where it lies within 0.46875 units in the last place of a double d (and d
// is not a power of two) the result is d; elsewhere (one base in sixteen) pow
// is called. pow itself is not correctly rounded (glibc's differs from x*x for
// about one x in 2000), but every double other than d lies more than 0.53125
// units away from the exact power, and pow's error stays below that: glibc's
// and musl's pow bound it by 0.52 units for results of this size (0.54 at
// worst, near overflow). The guarded range, results between 2^-300 and 2^300,
// keeps every intermediate product exact. A power that is exactly a power of
// two (the base is one) and the powers of zero, of the infinities and of
// not-a-number are taken as they are, as pow gives them. The tests hold the
// rewrite to pow over every power of two and millions of other bases, many
// of them next to the midpoints where rounding is hardest. The kinds that
// are neither one libm call nor one operation (the sign, the parts of a
// complex square root) call the very helpers of tExprNode that the tree walk
// calls.
//
// A packet evaluates LANES points at once, one instruction at a time over all
// lanes, in vectors of the instruction set in use (tPacketEvaluator,
// tInstructionSet); the libm calls stay scalar and are made only for the
// lanes the mask marks active.
class tFormulaProgram {
 public:
  // Lanes of a packet: enough vectors per instruction to keep the processor
  // busy while each waits for its operands; masks have a bit per lane.
  static constexpr unsigned LANES = 32;
  static_assert(LANES <= 32, "a mask is an unsigned with a bit per lane");
  static constexpr unsigned MAX_OUTPUTS = 6;

  // A program with no outputs.
  tFormulaProgram();

  // Compiles the formulas of `roots` (count at most MAX_OUTPUTS) into outputs
  // 0 ... count - 1; a null root gives 0.0. The variables named in
  // `parameters` stay inputs of the program, their values set by
  // setParameter (at first the values their nodes hold); every other variable
  // is the constant its node holds.
  void compile(const tExprNode* const* roots, unsigned count,
               const std::vector<std::string>& parameters = {});
  // Gives parameter k (by its place in the list compiled with) a value for
  // the evaluations that follow, packets prepared after it included. A
  // program is then no longer safe to share between threads that set
  // parameters.
  void setParameter(unsigned k, double value);

  // Registers a packet needs: its scratch holds this many times LANES doubles.
  unsigned getRegisterCount() const { return registerCount_; }
  std::size_t getInstructionCount() const { return code_.size(); }

  // The outputs at (x, y), into out[0 ... count - 1].
  void evaluate(double x, double y, double* out) const;
  // Writes the constants into a packet's scratch; they stay there for every
  // evaluation with this program.
  void prepareScratch(double* scratch) const;
  // The outputs at LANES points: out[k][lane] is output k at (x[lane],
  // y[lane]). Lanes whose bit in `mask` is clear may hold any value. The
  // scratch must have been prepared for this program.
  void evaluatePacket(const double* x, const double* y, unsigned mask, double* scratch,
                      double (*out)[LANES]) const;
  // The same with the points and outputs left in the scratch: the lanes of
  // x and y are read from xLanes and yLanes, output k is found at
  // outputLanes(k). x, y and the outputs may share registers, and an output
  // may be a constant's: the outputs are read, not written.
  void evaluatePacketInPlace(unsigned mask, double* scratch) const;
  double* xLanes(double* scratch) const { return scratch + constants_.size() * LANES; }
  double* yLanes(double* scratch) const { return scratch + (constants_.size() + 1) * LANES; }
  const double* outputLanes(const double* scratch, unsigned k) const {
    return scratch + outputs_[k] * LANES;
  }

 private:
  enum OPCODE : uint8_t {
    OP_ADD,
    OP_SUB,
    OP_MUL,
    OP_DIV,
    OP_POW,
    OP_NEG,
    OP_ABS,
    OP_SIN,
    OP_COS,
    OP_TAN,
    OP_SINH,
    OP_COSH,
    OP_TANH,
    OP_EXP,
    OP_SQRT,
    OP_LOG,
    OP_SIGN,
    OP_ATAN2,
    OP_HYPOT,
    OP_SQRT_RE,
    OP_SQRT_IM,
    // pow with the constant exponent 2, 3 or 4 in operand b
    OP_POW2,
    OP_POW3,
    OP_POW4
  };

  // Registers hold the constants first, then x and y, then the values the
  // instructions compute.
  struct tInstruction {
    uint8_t op;       // an OPCODE
    uint32_t a;       // register of the first (or only) operand
    uint32_t b;       // register of the second operand; unused by one-operand codes
    uint32_t target;  // register that receives the result
  };

  friend class tFormulaCompiler;
  friend class tNativeProgram;
  friend class tPacketEvaluator;

  static double apply(uint8_t op, double a, double b);
  static bool hasTwoOperands(uint8_t op);

  std::vector<tInstruction> code_;  // the instructions in execution order
  static constexpr uint32_t NO_SLOT = UINT32_MAX;

  std::vector<double> constants_;  // folded constants, each value (by its bits) once, then
                                   // the parameters' slots among them
  std::vector<std::string> parameterNames_;  // the variables compiled as parameters
  std::vector<uint32_t> parameterSlots_;     // each one's slot in constants_; NO_SLOT when unused
  uint32_t outputs_[MAX_OUTPUTS];   // register of each output after the last instruction
  unsigned outputCount_;            // outputs compiled
  unsigned registerCount_;          // constants, x, y and the computed values
  // The arithmetic as machine code, for AVX2; null when there is none.
  std::shared_ptr<const tNativeProgram> native_;
};

#endif
