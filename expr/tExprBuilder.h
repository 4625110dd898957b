#ifndef ROOTWEAVER_EXPR_TEXPRBUILDER_H
#define ROOTWEAVER_EXPR_TEXPRBUILDER_H

#include <cstddef>
#include <memory>

#include "expr/tExprNode.h"

// Builds formulas node by node for the code that makes new formulas out of
// parsed ones (tDerivative, tComplexExpansion), simplifying as it goes so
// that what it makes stays small.
//
// Only simplifications that keep the formula's value are made:
// - a node whose operands are all constants becomes the constant the tree
//   walk gives for it; that is the same double, bit for bit, as evaluating
//   the node would give at any point;
// - x * 1, 1 * x, x / 1, x - 0, x ^ 1 and -(-x) become x, (-1) * x and
//   x * (-1) become -x, and x ^ 0 becomes 1: identities of IEEE arithmetic
//   and of pow, true of every double, infinities and not-a-number included;
// - x + 0 and 0 + x become x, and 0 - x becomes -x: the same value, except
//   that a zero result may come out with the other sign;
// - a product or quotient with a zero factor (0 * x, x * 0, 0 / x) is 0.
//   The rules that call for one produce it for a term that vanishes: a
//   derivative of something that does not depend on the variable, or the
//   imaginary part of a real number. The value differs from the unsimplified
//   one only where x is infinite or not a number (or zero, for 0 / x), and
//   in the sign of a zero.
// Copies of a formula keep its structure, with its constant subtrees folded
// by the first rule.
//
// Derived formulas can grow quickly (a complex product or function uses each
// part of its operands twice, so nesting doubles the size), and every walk
// over a tree is recursive. So a builder spends a budget of nodes, and a
// finished formula must fit: at most MAX_NODES nodes built in all and no more
// than MAX_HEIGHT levels. Once the budget is spent, every node asked for is
// the constant 0, so the work winds down quickly; the caller asks `fits` and
// gives up.
class tExprBuilder {
 public:
  using tNode = std::unique_ptr<tExprNode>;

  static constexpr std::size_t MAX_NODES = 1 << 18;
  static constexpr unsigned MAX_HEIGHT = 4 * tExprNode::MAX_DEPTH;

  tExprBuilder();

  tNode constant(double value);
  tNode x();
  tNode y();
  // A copy of the subtree with its constant subtrees folded; EMPTY for null.
  tNode copy(const tExprNode* node);

  tNode sum(tNode a, tNode b);
  tNode difference(tNode a, tNode b);
  tNode product(tNode a, tNode b);
  tNode quotient(tNode a, tNode b);
  tNode power(tNode base, tNode exponent);
  tNode negation(tNode a);
  // Any kind with its operands: the rules above for the arithmetic kinds,
  // folding for the others.
  tNode unary(tExprNode::TEXPR_NODE_TYPE type, tNode operand);
  tNode binary(tExprNode::TEXPR_NODE_TYPE type, tNode left, tNode right);

  // The budget is spent: what was built since is not the formula asked for.
  bool exhausted() const { return exhausted_; }
  // The formula was built within the budget and is no taller than allowed.
  bool fits(const tExprNode* root) const;

  static bool isZero(const tExprNode* node) { return isConstant(node, 0.0); }
  static bool isConstant(const tExprNode* node, double value);

 private:
  // Counts a node against the budget; the constant 0 once it is spent.
  tNode counted(tNode node);
  // The constant the node evaluates to when its operands are constants.
  tNode folded(tNode node);
  static bool isConstantNode(const tExprNode* node);

  std::size_t nodes_;  // nodes built so far
  bool exhausted_;     // more than MAX_NODES were asked for
};

#endif
