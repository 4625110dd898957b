#ifndef ROOTWEAVER_EXPR_TDERIVATIVE_H
#define ROOTWEAVER_EXPR_TDERIVATIVE_H

#include <memory>
#include <string>

#include "expr/tExprBuilder.h"
#include "expr/tExprNode.h"

// The partial derivative of a formula, as a new formula.
//
// The derivative is taken symbolically, node by node, by the rules of
// calculus: sums, products, quotients, powers (b a^(b-1) a' for an exponent
// that does not depend on the variable, plus a^b log(a) b' for one that
// does), the chain rule through every function, abs' = sign (0 at 0), and
// the parts of the complex logarithm and square root that tComplexExpansion
// writes. Named variables other than the one differentiated by (the file's
// constants and a script's parameters) are constants: their derivative is 0,
// and where the rules copy them they stay variables, so a later substitution
// still reaches them.
//
// The result is exact in this sense: it is the derivative of the function
// the formula means, each rule written out with the formula's own subtrees,
// and nothing in it is approximated or rounded beyond what evaluating it
// rounds. Two points deserve a word. exp u is computed as E_VAL ^ u, so its
// derivative is E_VAL ^ u ln(E_VAL) u'; E_VAL is the double nearest to e,
// and ln(E_VAL) is 1 - 5.3e-17, whose nearest double is 1: the factor the
// rule would multiply by is exactly 1, so it is left out. And terms that
// vanish are not written (the derivative of c * v for a c without the
// variable is c * v', not 0 * v + c * v'); where v is finite this is the
// value the full rule gives, and where it is not, the function itself has
// no derivative. The other simplifications are those of tExprBuilder, each
// keeping the value; constants are folded only by evaluating them as the
// tree walk would, which gives the very bits the unfolded subtree gives.
//
// The formula must be a tree the parser or tExprBuilder made (every operand
// present). A derivative larger than the builder's budget is not made.
class tDerivative {
 public:
  // d f / dx and d f / dy; null when the derivative would be too large.
  static std::unique_ptr<tExprNode> ofX(const tExprNode& f);
  static std::unique_ptr<tExprNode> ofY(const tExprNode& f);
  // The derivative by the variable of that name (z of a complex formula:
  // the rules hold for complex numbers too); null when too large.
  static std::unique_ptr<tExprNode> ofVariable(const tExprNode& f, const std::string& name);

 private:
  using tNode = tExprBuilder::tNode;

  // By the kind X or Y, or by the VARIABLE named `name`.
  tDerivative(int32_t variable, const std::string& name);
  std::unique_ptr<tExprNode> derive(const tExprNode& f);
  tNode of(const tExprNode* node);
  bool isVariable(const tExprNode* node) const;

  // u' d, or 0 without building d when u' is 0.
  tNode times(tNode derivative, const tExprNode* factor);
  // outer(u) u', the chain rule.
  tNode chain(tExprNode::TEXPR_NODE_TYPE outer, const tExprNode* u);
  // u' / divisor, with the divisor built only when u' is not 0.
  template <typename tDivisor>
  tNode over(const tExprNode* u, tDivisor divisor);
  tNode productRule(const tExprNode* u, const tExprNode* v);
  tNode quotientRule(const tExprNode* u, const tExprNode* v);
  tNode powerRule(const tExprNode* base, const tExprNode* exponent);
  // u^2 and outer(u)^2.
  tNode squared(const tExprNode* u);
  tNode squared(tExprNode::TEXPR_NODE_TYPE outer, const tExprNode* u);
  // atan2(p, q)' and hypot(p, q)'.
  tNode angleRule(const tExprNode* p, const tExprNode* q);
  tNode modulusRule(const tExprNode* p, const tExprNode* q);
  // The parts of sqrt(p + i q)': (p' + i q') / (2 sqrt(p + i q)).
  tNode squareRootRule(bool realPart, const tExprNode* p, const tExprNode* q);

  tExprBuilder builder_;  // makes and simplifies the nodes
  int32_t variable_;      // X, Y or VARIABLE
  std::string name_;      // the variable's name when variable_ is VARIABLE
};

#endif
