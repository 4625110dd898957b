#ifndef ROOTWEAVER_EXPR_TCOMPLEXLOWERING_H
#define ROOTWEAVER_EXPR_TCOMPLEXLOWERING_H

#include <string>
#include <vector>

class tExprNode;
class tFormulaProgram;

// Formulas in z compiled straight into a program over pairs of values (the
// real and imaginary parts), without writing their parts out as trees.
//
// tComplexExpansion writes Re f and Im f out as trees, and trees cannot
// share: a part of an operand is copied wherever it is used, so the size
// doubles at every level of nesting, and z^1000 or ten nested functions are
// too large to write out. The lowering walks the tree of f(z) once, node by
// node, and gives each node's parts as values of the program being compiled
// (tFormulaCompiler), so that every part is computed once however often it
// is used, and the compiler's sharing of equal operations reaches across
// f, f' and f''.
//
// For every node it makes the very operations the expansion writes, with the
// same formulas, the same operands in the same order, and the same
// simplifications of tExprBuilder: what the builder would see of each part
// (a constant and its value, a negation and what it negates) is kept beside
// the part's value, and a part that would be dropped or folded there is
// dropped or folded here. Variables are never constants to the builder, as
// the expansion meets them before their values are put in, while the
// compiler folds their values as it does in a tree. So a formula the
// expansion writes out compiles to the operations of its written-out parts,
// and its outputs are theirs bit for bit, while a formula too large to
// write out costs what its operations cost. Branches are those of the
// expansion (the principal ones of std::complex), and it refuses what the
// expansion refuses, but for the size.
//
// The tree walk of a map too large to write out walks the same way with
// plain doubles: every operation is the one the program makes, done at once,
// which gives the program's bits without its compiler and packets.
class tComplexLowering {
 public:
  // One output: the real or imaginary part of a formula in z, negated (as
  // the builder negates) or not. A null formula gives 0.0.
  struct tOutput {
    const tExprNode* formula;
    bool imaginary;
    bool negated;
  };

  // Why the formula cannot be lowered (it uses x or y, or abs of a complex
  // value), as the expansion says it; empty when it can.
  static std::string check(const tExprNode& formula);
  // Compiles the outputs into the program, each formula lowered once; the
  // variables named in `parameters` stay inputs, as tFormulaProgram::compile
  // keeps them.
  static void compile(const std::vector<tOutput>& outputs,
                      const std::vector<std::string>& parameters, tFormulaProgram& program);
  // The outputs at z = x + i y, into out[0 ... outputs.size() - 1].
  static void evaluate(const std::vector<tOutput>& outputs, double x, double y, double* out);
};

#endif
