#include "expr/tExprBuilder.h"

#include <algorithm>
#include <utility>

namespace {

// The levels of the subtree, counted no further than `cap` + 1 so that the
// walk stays as shallow as the trees it accepts.
unsigned heightOf(const tExprNode* node, unsigned cap) {
  if (!node) return 0;
  if (cap == 0) return 1;
  unsigned below =
      std::max(heightOf(node->getLeft(), cap - 1), heightOf(node->getRight(), cap - 1));
  return 1 + below;
}

}  // namespace

tExprBuilder::tExprBuilder() : nodes_(0), exhausted_(false) {}

tExprBuilder::tNode tExprBuilder::counted(tNode node) {
  if (++nodes_ > MAX_NODES) exhausted_ = true;
  return exhausted_ ? tExprNode::makeConstant(0.0) : std::move(node);
}

tExprBuilder::tNode tExprBuilder::constant(double value) {
  return counted(tExprNode::makeConstant(value));
}

tExprBuilder::tNode tExprBuilder::x() { return counted(tExprNode::makeX()); }

tExprBuilder::tNode tExprBuilder::y() { return counted(tExprNode::makeY()); }

tExprBuilder::tNode tExprBuilder::copy(const tExprNode* node) {
  if (exhausted_) return tExprNode::makeConstant(0.0);
  if (!node) return counted(std::make_unique<tExprNode>());
  auto type = static_cast<tExprNode::TEXPR_NODE_TYPE>(node->getType());
  switch (tExprNode::operandCount(type)) {
    case 2: {
      tNode left = copy(node->getLeft());
      return folded(counted(tExprNode::makeBinary(type, std::move(left), copy(node->getRight()))));
    }
    case 1: return folded(counted(tExprNode::makeUnary(type, copy(node->getLeft()))));
    default: return counted(node->copy());
  }
}

bool tExprBuilder::isConstant(const tExprNode* node, double value) {
  return isConstantNode(node) && node->getValue() == value;
}

bool tExprBuilder::isConstantNode(const tExprNode* node) {
  return node && node->getType() == tExprNode::CONSTANT;
}

tExprBuilder::tNode tExprBuilder::folded(tNode node) {
  const tExprNode* left = node->getLeft();
  const tExprNode* right = node->getRight();
  bool operandsConstant = isConstantNode(left) && (!right || isConstantNode(right));
  if (!operandsConstant) return node;
  // Constants only: the point does not matter.
  return tExprNode::makeConstant(node->evaluate(0.0, 0.0));
}

tExprBuilder::tNode tExprBuilder::sum(tNode a, tNode b) {
  if (isZero(b.get())) return a;
  if (isZero(a.get())) return b;
  return folded(counted(tExprNode::makeBinary(tExprNode::PLUS, std::move(a), std::move(b))));
}

tExprBuilder::tNode tExprBuilder::difference(tNode a, tNode b) {
  if (isZero(b.get())) return a;
  if (isZero(a.get())) return negation(std::move(b));
  return folded(counted(tExprNode::makeBinary(tExprNode::MINUS, std::move(a), std::move(b))));
}

tExprBuilder::tNode tExprBuilder::product(tNode a, tNode b) {
  if (isZero(a.get()) || isZero(b.get())) return constant(0.0);
  if (isConstant(b.get(), 1.0)) return a;
  if (isConstant(a.get(), 1.0)) return b;
  if (isConstant(a.get(), -1.0)) return negation(std::move(b));
  if (isConstant(b.get(), -1.0)) return negation(std::move(a));
  return folded(counted(tExprNode::makeBinary(tExprNode::TIMES, std::move(a), std::move(b))));
}

tExprBuilder::tNode tExprBuilder::quotient(tNode a, tNode b) {
  if (isZero(a.get())) return constant(0.0);
  if (isConstant(b.get(), 1.0)) return a;
  return folded(counted(tExprNode::makeBinary(tExprNode::DIV, std::move(a), std::move(b))));
}

tExprBuilder::tNode tExprBuilder::power(tNode base, tNode exponent) {
  if (isConstant(exponent.get(), 1.0)) return base;
  if (isZero(exponent.get())) return constant(1.0);
  return folded(
      counted(tExprNode::makeBinary(tExprNode::POW, std::move(base), std::move(exponent))));
}

tExprBuilder::tNode tExprBuilder::negation(tNode a) {
  if (a->getType() == tExprNode::NEGATION) return copy(a->getLeft());
  return folded(counted(tExprNode::makeUnary(tExprNode::NEGATION, std::move(a))));
}

tExprBuilder::tNode tExprBuilder::unary(tExprNode::TEXPR_NODE_TYPE type, tNode operand) {
  if (type == tExprNode::NEGATION) return negation(std::move(operand));
  return folded(counted(tExprNode::makeUnary(type, std::move(operand))));
}

tExprBuilder::tNode tExprBuilder::binary(tExprNode::TEXPR_NODE_TYPE type, tNode left, tNode right) {
  switch (type) {
    case tExprNode::PLUS: return sum(std::move(left), std::move(right));
    case tExprNode::MINUS: return difference(std::move(left), std::move(right));
    case tExprNode::TIMES: return product(std::move(left), std::move(right));
    case tExprNode::DIV: return quotient(std::move(left), std::move(right));
    case tExprNode::POW: return power(std::move(left), std::move(right));
    default: return folded(counted(tExprNode::makeBinary(type, std::move(left), std::move(right))));
  }
}

bool tExprBuilder::fits(const tExprNode* root) const {
  return !exhausted_ && heightOf(root, MAX_HEIGHT) <= MAX_HEIGHT;
}
