#include "expr/tFormulaText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Names of the kinds written as calls; null for the others.
const char* callName(int32_t type) {
  switch (type) {
    case tExprNode::SIN: return "sin";
    case tExprNode::COS: return "cos";
    case tExprNode::TAN: return "tan";
    case tExprNode::SINH: return "sinh";
    case tExprNode::COSH: return "cosh";
    case tExprNode::TANH: return "tanh";
    case tExprNode::EXP: return "exp";
    case tExprNode::ABS: return "abs";
    case tExprNode::SQRT: return "sqrt";
    case tExprNode::LOG: return "log";
    case tExprNode::SIGN: return "sign";
    case tExprNode::ATAN2: return "atan2";
    case tExprNode::HYPOT: return "hypot";
    case tExprNode::SQRT_RE: return "sqrt_re";
    case tExprNode::SQRT_IM: return "sqrt_im";
    default: return nullptr;
  }
}

const char* operatorText(int32_t type) {
  switch (type) {
    case tExprNode::PLUS: return " + ";
    case tExprNode::MINUS: return " - ";
    case tExprNode::TIMES: return "*";
    case tExprNode::DIV: return "/";
    default: return "^";
  }
}

// The fewest significant digits of "%g" that read back (through `back`) to
// the value; all 17 when none do (not a number).
template <typename tBack>
std::string shortest(double value, int maxDigits, tBack back) {
  char text[40];
  for (int digits = 1; digits <= maxDigits; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (back(std::strtod(text, nullptr))) return text;
  }
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

}  // namespace

std::string tFormulaText::of(const tExprNode* node) {
  std::string out;
  write(node, out);
  return out;
}

std::string tFormulaText::number(double value) {
  if (value == tExprNode::PI_VAL) return "pi";
  if (value == tExprNode::E_VAL) return "e";
  const float single = static_cast<float>(value);
  if (static_cast<double>(single) == value)
    return shortest(value, 9, [single](double back) { return static_cast<float>(back) == single; });
  return shortest(value, 17, [value](double back) { return back == value; });
}

tFormulaText::TBINDING tFormulaText::bindingOf(const tExprNode* node) {
  if (!node) return PRIMARY;
  switch (node->getType()) {
    case tExprNode::PLUS:
    case tExprNode::MINUS: return SUM;
    case tExprNode::TIMES:
    case tExprNode::DIV: return PRODUCT;
    case tExprNode::POW: return POWER;
    case tExprNode::NEGATION: return SIGNED;
    case tExprNode::CONSTANT: return std::signbit(node->getValue()) ? SIGNED : PRIMARY;
    default: return PRIMARY;
  }
}

void tFormulaText::write(const tExprNode* node, std::string& out) {
  if (!node || node->getType() == tExprNode::EMPTY) {
    out += "(missing)";
    return;
  }
  const int32_t type = node->getType();
  if (const char* name = callName(type)) {
    writeCall(name, node, out);
    return;
  }
  switch (type) {
    case tExprNode::X: out += "x"; return;
    case tExprNode::Y: out += "y"; return;
    case tExprNode::VARIABLE: out += node->getName(); return;
    case tExprNode::CONSTANT:
      if (std::signbit(node->getValue())) out += "-";
      out += number(std::fabs(node->getValue()));
      return;
    case tExprNode::NEGATION:
      out += "-";
      writeOperand(node->getLeft(), PRIMARY, false, out);
      return;
    default: break;
  }
  // Left-associative sums and products group their left operand freely and
  // their right one only when it binds more tightly; "^" is
  // right-associative and takes a primary on its left.
  const TBINDING level = bindingOf(node);
  if (level == POWER) {
    writeOperand(node->getLeft(), PRIMARY, false, out);
    out += operatorText(type);
    writeOperand(node->getRight(), POWER, false, out);
    return;
  }
  writeOperand(node->getLeft(), level, true, out);
  out += operatorText(type);
  writeOperand(node->getRight(), static_cast<TBINDING>(level + 1), false, out);
}

void tFormulaText::writeOperand(const tExprNode* node, TBINDING least, bool signedAllowed,
                                std::string& out) {
  const TBINDING binding = bindingOf(node);
  const bool bare = binding >= least && (signedAllowed || binding != SIGNED);
  if (!bare) out += "(";
  write(node, out);
  if (!bare) out += ")";
}

void tFormulaText::writeCall(const char* name, const tExprNode* node, std::string& out) {
  out += name;
  out += "(";
  write(node->getLeft(), out);
  if (tExprNode::operandCount(node->getType()) == 2) {
    out += ", ";
    write(node->getRight(), out);
  }
  out += ")";
}
