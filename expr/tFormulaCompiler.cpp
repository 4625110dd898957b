#include "expr/tFormulaCompiler.h"

#include <cstring>
#include <limits>
#include <utility>

#include "expr/tExprNode.h"
#include "expr/tNativeProgram.h"

namespace {

bool isLeaf(int32_t type) { return tExprNode::operandCount(type) == 0; }

bool isBinary(int32_t type) { return tExprNode::operandCount(type) == 2; }

}  // namespace

tFormulaCompiler::tFormulaCompiler(tFormulaProgram& program, unsigned count,
                                   const std::vector<std::string>& parameters)
    : program_(program) {
  program_.code_.clear();
  program_.constants_.clear();
  program_.parameterNames_ = parameters;
  program_.parameterSlots_.assign(parameters.size(), tFormulaProgram::NO_SLOT);
  program_.outputCount_ =
      count < tFormulaProgram::MAX_OUTPUTS ? count : tFormulaProgram::MAX_OUTPUTS;
}

tFormulaCompiler::tValue tFormulaCompiler::formula(const tExprNode* root) {
  if (!root) return constant(0.0);
  // Post-order walk: a node is combined once its operands are on `values`.
  // A missing operand counts as an EMPTY node.
  std::vector<std::pair<const tExprNode*, bool>> pending{{root, false}};
  std::vector<tValue> values;
  while (!pending.empty()) {
    auto [node, operandsDone] = pending.back();
    pending.pop_back();
    if (!node || isLeaf(node->getType())) {
      values.push_back(leaf(node));
      continue;
    }
    if (!operandsDone) {
      pending.push_back({node, true});
      if (isBinary(node->getType())) pending.push_back({node->getRight(), false});
      pending.push_back({node->getLeft(), false});
      continue;
    }
    tValue b = x();
    if (isBinary(node->getType())) {
      b = values.back();
      values.pop_back();
    }
    tValue a = values.back();
    values.pop_back();
    values.push_back(operation(node->getType(), a, b));
  }
  return values.back();
}

tFormulaCompiler::tValue tFormulaCompiler::constant(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  auto found = constantIndex_.find(bits);
  if (found != constantIndex_.end()) return {OPERAND_CONSTANT, found->second};
  uint32_t index = static_cast<uint32_t>(program_.constants_.size());
  program_.constants_.push_back(value);
  constantIndex_[bits] = index;
  return {OPERAND_CONSTANT, index};
}

// A parameter takes a slot of the constants of its own, never shared with a
// constant of the same value nor folded, so that setParameter can change it.
tFormulaCompiler::tValue tFormulaCompiler::parameter(const tExprNode* node) {
  for (unsigned k = 0; k < program_.parameterNames_.size(); ++k) {
    if (program_.parameterNames_[k] != node->getName()) continue;
    if (program_.parameterSlots_[k] == tFormulaProgram::NO_SLOT) {
      program_.parameterSlots_[k] = static_cast<uint32_t>(program_.constants_.size());
      program_.constants_.push_back(node->getValue());
    }
    return {OPERAND_PARAMETER, program_.parameterSlots_[k]};
  }
  return constant(node->getValue());
}

tFormulaCompiler::tValue tFormulaCompiler::leaf(const tExprNode* node) {
  if (!node) return constant(1.0);
  switch (node->getType()) {
    case tExprNode::CONSTANT:
      return constant(node->getValue());
    case tExprNode::VARIABLE:
      return parameter(node);
    case tExprNode::X:
      return x();
    case tExprNode::Y:
      return y();
    default:
      return constant(1.0);
  }
}

tFormulaCompiler::tValue tFormulaCompiler::operation(int32_t type, tValue a, tValue b) {
  static const std::map<int32_t, uint8_t> kOpcodes = {
      {tExprNode::SIN, tFormulaProgram::OP_SIN},
      {tExprNode::COS, tFormulaProgram::OP_COS},
      {tExprNode::TAN, tFormulaProgram::OP_TAN},
      {tExprNode::SINH, tFormulaProgram::OP_SINH},
      {tExprNode::COSH, tFormulaProgram::OP_COSH},
      {tExprNode::TANH, tFormulaProgram::OP_TANH},
      {tExprNode::PLUS, tFormulaProgram::OP_ADD},
      {tExprNode::MINUS, tFormulaProgram::OP_SUB},
      {tExprNode::TIMES, tFormulaProgram::OP_MUL},
      {tExprNode::DIV, tFormulaProgram::OP_DIV},
      {tExprNode::EXP, tFormulaProgram::OP_EXP},
      {tExprNode::ABS, tFormulaProgram::OP_ABS},
      {tExprNode::POW, tFormulaProgram::OP_POW},
      {tExprNode::NEGATION, tFormulaProgram::OP_NEG},
      {tExprNode::SQRT, tFormulaProgram::OP_SQRT},
      {tExprNode::LOG, tFormulaProgram::OP_LOG},
      {tExprNode::SIGN, tFormulaProgram::OP_SIGN},
      {tExprNode::ATAN2, tFormulaProgram::OP_ATAN2},
      {tExprNode::HYPOT, tFormulaProgram::OP_HYPOT},
      {tExprNode::SQRT_RE, tFormulaProgram::OP_SQRT_RE},
      {tExprNode::SQRT_IM, tFormulaProgram::OP_SQRT_IM}};
  uint8_t op = kOpcodes.at(type);
  bool binary = tFormulaProgram::hasTwoOperands(op);
  // Constant operands: the value is computed now by the very operation the
  // program (and the tree) would run.
  if (isConstant(a) && (!binary || isConstant(b))) {
    return constant(tFormulaProgram::apply(op, constantValue(a), binary ? constantValue(b) : 0.0));
  }
  if (op == tFormulaProgram::OP_POW && isConstant(b)) {
    double exponent = constantValue(b);
    if (exponent == 2.0) op = tFormulaProgram::OP_POW2;
    if (exponent == 3.0) op = tFormulaProgram::OP_POW3;
    if (exponent == 4.0) op = tFormulaProgram::OP_POW4;
  }
  return emit(op, a, binary ? b : x());
}

tFormulaCompiler::tValue tFormulaCompiler::emit(uint8_t op, tValue a, tValue b) {
  tKey key{op, a.kind, a.index, b.kind, b.index};
  auto found = computed_.find(key);
  if (found != computed_.end()) return found->second;
  tValue result{OPERAND_VALUE, static_cast<uint32_t>(code_.size())};
  code_.push_back({op, a, b});
  computed_[key] = result;
  return result;
}

void tFormulaCompiler::finish() {
  const std::size_t never = std::numeric_limits<std::size_t>::max();
  const uint32_t first = static_cast<uint32_t>(program_.constants_.size()) + 2;
  // The last instruction that reads each value; outputs live to the end.
  std::vector<std::size_t> lastUse(code_.size(), 0);
  for (std::size_t k = 0; k < code_.size(); ++k) {
    for (const tValue& operand : {code_[k].a, code_[k].b}) {
      if (operand.kind == OPERAND_VALUE) lastUse[operand.index] = k;
    }
  }
  for (unsigned k = 0; k < program_.outputCount_; ++k) {
    if (outputs_[k].kind == OPERAND_VALUE) lastUse[outputs_[k].index] = never;
  }

  std::vector<uint32_t> registerOf(code_.size(), 0);
  auto registerFor = [&](const tValue& operand) -> uint32_t {
    switch (operand.kind) {
      case OPERAND_VALUE:
        return registerOf[operand.index];
      case OPERAND_CONSTANT:
      case OPERAND_PARAMETER:
        return operand.index;
      case OPERAND_X:
        return first - 2;
      default:
        return first - 1;
    }
  };
  std::vector<uint32_t> free;
  uint32_t next = first;
  for (std::size_t k = 0; k < code_.size(); ++k) {
    const tPending& pending = code_[k];
    tFormulaProgram::tInstruction in{pending.op, registerFor(pending.a), registerFor(pending.b), 0};
    if (free.empty()) {
      in.target = next++;
    } else {
      in.target = free.back();
      free.pop_back();
    }
    registerOf[k] = in.target;
    program_.code_.push_back(in);
    // Registers of values that die here are freed after the target is taken:
    // a target never shares a register with its operands, so an instruction
    // may write lanes before it has read them all.
    for (const tValue& operand : {pending.a, pending.b}) {
      if (operand.kind == OPERAND_VALUE && lastUse[operand.index] == k) {
        free.push_back(registerOf[operand.index]);
        lastUse[operand.index] = never - 1;  // released once when both operands read it
      }
    }
  }
  for (unsigned k = 0; k < program_.outputCount_; ++k) {
    program_.outputs_[k] = registerFor(outputs_[k]);
  }
  program_.registerCount_ = next;
  program_.native_ = tNativeProgram::translate(program_);
}
