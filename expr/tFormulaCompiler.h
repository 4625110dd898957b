#ifndef ROOTWEAVER_EXPR_TFORMULACOMPILER_H
#define ROOTWEAVER_EXPR_TFORMULACOMPILER_H

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "expr/tFormulaProgram.h"

class tExprNode;

// Builds a tFormulaProgram (see there for what its values promise): from
// trees, walked with an explicit stack instead of recursion, or one
// operation at a time by code that makes the operations of formulas it
// never writes out as trees (tComplexLowering). Every operation is one of
// a node of that kind with those operands, so a program built either way
// gives the tree walk's bits of the tree it stands for. Operations whose
// operands are all constants are done at once by the very code the program
// runs; each operation with the same operands is made once, across all the
// outputs; and registers are given out once all the outputs are known.
class tFormulaCompiler {
 public:
  // A value of the program being built.
  struct tValue {
    uint8_t kind;    // an OPERAND_KIND
    uint32_t index;  // instruction or constant number; 0 for x and y
  };

  // Starts the program afresh with `count` outputs (at most MAX_OUTPUTS).
  // The variables named in `parameters` stay inputs of the program, their
  // values set by setParameter (at first the values their nodes hold);
  // every other variable is the constant its node holds.
  tFormulaCompiler(tFormulaProgram& program, unsigned count,
                   const std::vector<std::string>& parameters);
  tFormulaCompiler(const tFormulaCompiler&) = delete;
  tFormulaCompiler& operator=(const tFormulaCompiler&) = delete;

  // The value of a tree; a null root is 0.0.
  tValue formula(const tExprNode* root);
  // What a leaf of a tree (a constant, a variable, x, y or EMPTY) is.
  tValue leaf(const tExprNode* node);
  tValue constant(double value);
  tValue x() const { return {OPERAND_X, 0}; }
  tValue y() const { return {OPERAND_Y, 0}; }
  // The value of a node of the kind `type` over the operands; `b` is read
  // only by kinds of two operands.
  tValue operation(int32_t type, tValue a, tValue b);
  // Whether the value is a constant known now (not a parameter), and its
  // value when it is.
  bool isConstant(tValue value) const { return value.kind == OPERAND_CONSTANT; }
  double constantValue(tValue value) const { return program_.constants_[value.index]; }
  void setOutput(unsigned output, tValue value) { outputs_[output] = value; }
  // Gives every value its register and completes the program: the constants
  // and x and y first, then as few registers for the computed values as
  // their live ranges allow.
  void finish();

 private:
  enum OPERAND_KIND : uint8_t {
    OPERAND_VALUE,
    OPERAND_CONSTANT,
    OPERAND_X,
    OPERAND_Y,
    OPERAND_PARAMETER
  };
  // An instruction whose operands are still values.
  struct tPending {
    uint8_t op;  // an OPCODE
    tValue a;    // first (or only) operand
    tValue b;    // second operand; x for one-operand codes
  };
  using tKey = std::tuple<uint8_t, uint8_t, uint32_t, uint8_t, uint32_t>;

  tValue parameter(const tExprNode* node);
  tValue emit(uint8_t op, tValue a, tValue b);

  tFormulaProgram& program_;                           // the program being built
  std::vector<tPending> code_;                         // the instructions so far
  tValue outputs_[tFormulaProgram::MAX_OUTPUTS] = {};  // each output's value
  std::map<uint64_t, uint32_t> constantIndex_;         // constant's bits -> its index
  std::map<tKey, tValue> computed_;  // (op, operands) -> the value already computed
};

#endif
