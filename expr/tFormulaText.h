#ifndef ROOTWEAVER_EXPR_TFORMULATEXT_H
#define ROOTWEAVER_EXPR_TFORMULATEXT_H

#include <string>

#include "expr/tExprNode.h"

// A formula written out as a person writes it, for showing formulas the
// program made (derived derivatives, the parts of f(z)) beside those read.
//
// The text keeps the tree's structure under the grammar of tExprNode: a
// parenthesis stands wherever the parser would otherwise group the operands
// differently, so formulas in the parser's own syntax read back as the same
// tree, up to the sign of a negative constant, which reads back as a
// negation of its magnitude. The parser binds a leading minus tighter than
// "^" (-x^2 is (-x)^2), which few readers expect, so a negation is
// parenthesised wherever it is not the first term of a sum or product:
// x^(-2), 2*(-y), (-x)^2 and -(x^2) say what they mean to both. Functions
// always take their argument in parentheses; the kinds only derived formulas
// hold are written as sign(u), atan2(p, q), hypot(p, q) and the parts of a
// complex square root as sqrt_re(p, q) and sqrt_im(p, q), which the parser
// does not read. A missing operand (a formula cut short) shows as (missing).
//
// Constants are written as briefly as reads back to the same value: pi and
// e by name, a value that is a float (every constant of a file is read in
// single precision) in the fewest digits that give back that float, any
// other value in the fewest that give back the double.
class tFormulaText {
 public:
  static std::string of(const tExprNode* node);
  // A constant as formulas show it.
  static std::string number(double value);

 private:
  // How tightly a node binds, from the loosest; SIGNED is a negation or a
  // negative constant, which the parser reads as a primary.
  enum TBINDING { SUM, PRODUCT, POWER, SIGNED, PRIMARY };

  static TBINDING bindingOf(const tExprNode* node);
  static void write(const tExprNode* node, std::string& out);
  // The operand, in parentheses unless it binds at least as tightly as
  // `least` (and, where `signedAllowed` is false, is not signed).
  static void writeOperand(const tExprNode* node, TBINDING least, bool signedAllowed,
                           std::string& out);
  static void writeCall(const char* name, const tExprNode* node, std::string& out);
};

#endif
