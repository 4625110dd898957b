#include "expr/tFormulaProgram.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <tuple>
#include <utility>

#include "expr/tExactPower.h"
#include "expr/tExprNode.h"
#include "expr/tInstructionSet.h"
#include "expr/tPacketEvaluator.h"

namespace {

template <int N>
inline double integerPower(double v, double exponent) {
  double result;
  return exactPower<N, tScalarLane>(v, result) ? result : std::pow(v, exponent);
}

}  // namespace

// Turns trees into instructions: an explicit stack instead of recursion, a
// table of the values already computed so that each is computed once, and a
// register allocator run when all the outputs are known.
class tFormulaProgram::tCompiler {
 public:
  explicit tCompiler(tFormulaProgram& program) : program_(program) {}

  // Adds the instructions of a formula; the result is where its value is.
  void compileOutput(unsigned output, const tExprNode* root);
  // Gives every value its register: the constants and x and y first, then as
  // few registers for the computed values as their live ranges allow.
  void allocateRegisters();

 private:
  enum OPERAND_KIND : uint8_t {
    OPERAND_VALUE,
    OPERAND_CONSTANT,
    OPERAND_X,
    OPERAND_Y,
    OPERAND_PARAMETER
  };
  // A value while compiling: an instruction's result (by the instruction's
  // number), a constant or a parameter (by its index in the constants), x or y.
  struct tOperand {
    uint8_t kind;    // an OPERAND_KIND
    uint32_t index;  // instruction or constant number; 0 for x and y
  };
  // An instruction whose operands are still values.
  struct tPending {
    uint8_t op;  // an OPCODE
    tOperand a;  // first (or only) operand
    tOperand b;  // second operand; x for one-operand codes
  };
  using tKey = std::tuple<uint8_t, uint8_t, uint32_t, uint8_t, uint32_t>;

  tOperand compile(const tExprNode* root);
  tOperand constant(double value);
  tOperand parameter(const tExprNode* node);
  tOperand leaf(const tExprNode* node);
  tOperand combine(int32_t type, tOperand a, tOperand b);
  tOperand emit(uint8_t op, tOperand a, tOperand b);
  double constantValue(const tOperand& operand) const { return program_.constants_[operand.index]; }

  tFormulaProgram& program_;                    // the program being built
  std::vector<tPending> code_;                  // the instructions so far
  tOperand outputs_[MAX_OUTPUTS];               // each output's value
  std::map<uint64_t, uint32_t> constantIndex_;  // constant's bits -> its index
  std::map<tKey, tOperand> computed_;           // (op, operands) -> the value already computed
};

namespace {

bool isLeaf(int32_t type) { return tExprNode::operandCount(type) == 0; }

bool isBinary(int32_t type) { return tExprNode::operandCount(type) == 2; }

}  // namespace

void tFormulaProgram::tCompiler::compileOutput(unsigned output, const tExprNode* root) {
  outputs_[output] = compile(root);
}

tFormulaProgram::tCompiler::tOperand tFormulaProgram::tCompiler::compile(const tExprNode* root) {
  if (!root) return constant(0.0);
  // Post-order walk: a node is combined once its operands are on `values`.
  // A missing operand counts as an EMPTY node.
  std::vector<std::pair<const tExprNode*, bool>> pending{{root, false}};
  std::vector<tOperand> values;
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
    tOperand b = {OPERAND_X, 0};
    if (isBinary(node->getType())) {
      b = values.back();
      values.pop_back();
    }
    tOperand a = values.back();
    values.pop_back();
    values.push_back(combine(node->getType(), a, b));
  }
  return values.back();
}

tFormulaProgram::tCompiler::tOperand tFormulaProgram::tCompiler::constant(double value) {
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
tFormulaProgram::tCompiler::tOperand tFormulaProgram::tCompiler::parameter(const tExprNode* node) {
  for (unsigned k = 0; k < program_.parameterNames_.size(); ++k) {
    if (program_.parameterNames_[k] != node->getName()) continue;
    if (program_.parameterSlots_[k] == NO_SLOT) {
      program_.parameterSlots_[k] = static_cast<uint32_t>(program_.constants_.size());
      program_.constants_.push_back(node->getValue());
    }
    return {OPERAND_PARAMETER, program_.parameterSlots_[k]};
  }
  return constant(node->getValue());
}

tFormulaProgram::tCompiler::tOperand tFormulaProgram::tCompiler::leaf(const tExprNode* node) {
  if (!node) return constant(1.0);
  switch (node->getType()) {
    case tExprNode::CONSTANT:
      return constant(node->getValue());
    case tExprNode::VARIABLE:
      return parameter(node);
    case tExprNode::X: return {OPERAND_X, 0};
    case tExprNode::Y: return {OPERAND_Y, 0};
    default: return constant(1.0);
  }
}

tFormulaProgram::tCompiler::tOperand tFormulaProgram::tCompiler::combine(int32_t type, tOperand a,
                                                                         tOperand b) {
  static const std::map<int32_t, uint8_t> kOpcodes = {
      {tExprNode::SIN, OP_SIN},        {tExprNode::COS, OP_COS},
      {tExprNode::TAN, OP_TAN},        {tExprNode::SINH, OP_SINH},
      {tExprNode::COSH, OP_COSH},      {tExprNode::TANH, OP_TANH},
      {tExprNode::PLUS, OP_ADD},       {tExprNode::MINUS, OP_SUB},
      {tExprNode::TIMES, OP_MUL},      {tExprNode::DIV, OP_DIV},
      {tExprNode::EXP, OP_EXP},        {tExprNode::ABS, OP_ABS},
      {tExprNode::POW, OP_POW},        {tExprNode::NEGATION, OP_NEG},
      {tExprNode::SQRT, OP_SQRT},      {tExprNode::LOG, OP_LOG},
      {tExprNode::SIGN, OP_SIGN},      {tExprNode::ATAN2, OP_ATAN2},
      {tExprNode::HYPOT, OP_HYPOT},    {tExprNode::SQRT_RE, OP_SQRT_RE},
      {tExprNode::SQRT_IM, OP_SQRT_IM}};
  uint8_t op = kOpcodes.at(type);
  bool binary = hasTwoOperands(op);
  // Constant operands: the value is computed now by the very operation the
  // program (and the tree) would run.
  if (a.kind == OPERAND_CONSTANT && (!binary || b.kind == OPERAND_CONSTANT)) {
    return constant(apply(op, constantValue(a), binary ? constantValue(b) : 0.0));
  }
  if (op == OP_POW && b.kind == OPERAND_CONSTANT) {
    double exponent = constantValue(b);
    if (exponent == 2.0) op = OP_POW2;
    if (exponent == 3.0) op = OP_POW3;
    if (exponent == 4.0) op = OP_POW4;
  }
  return emit(op, a, binary ? b : tOperand{OPERAND_X, 0});
}

tFormulaProgram::tCompiler::tOperand tFormulaProgram::tCompiler::emit(uint8_t op, tOperand a,
                                                                      tOperand b) {
  tKey key{op, a.kind, a.index, b.kind, b.index};
  auto found = computed_.find(key);
  if (found != computed_.end()) return found->second;
  tOperand result{OPERAND_VALUE, static_cast<uint32_t>(code_.size())};
  code_.push_back({op, a, b});
  computed_[key] = result;
  return result;
}

void tFormulaProgram::tCompiler::allocateRegisters() {
  const std::size_t never = std::numeric_limits<std::size_t>::max();
  const uint32_t first = static_cast<uint32_t>(program_.constants_.size()) + 2;
  // The last instruction that reads each value; outputs live to the end.
  std::vector<std::size_t> lastUse(code_.size(), 0);
  for (std::size_t k = 0; k < code_.size(); ++k) {
    for (const tOperand& operand : {code_[k].a, code_[k].b}) {
      if (operand.kind == OPERAND_VALUE) lastUse[operand.index] = k;
    }
  }
  for (unsigned k = 0; k < program_.outputCount_; ++k) {
    if (outputs_[k].kind == OPERAND_VALUE) lastUse[outputs_[k].index] = never;
  }

  std::vector<uint32_t> registerOf(code_.size(), 0);
  auto registerFor = [&](const tOperand& operand) -> uint32_t {
    switch (operand.kind) {
      case OPERAND_VALUE: return registerOf[operand.index];
      case OPERAND_CONSTANT:
      case OPERAND_PARAMETER:
        return operand.index;
      case OPERAND_X: return first - 2;
      default: return first - 1;
    }
  };
  std::vector<uint32_t> free;
  uint32_t next = first;
  for (std::size_t k = 0; k < code_.size(); ++k) {
    const tPending& pending = code_[k];
    tInstruction in{pending.op, registerFor(pending.a), registerFor(pending.b), 0};
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
    for (const tOperand& operand : {pending.a, pending.b}) {
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
}

tFormulaProgram::tFormulaProgram() : outputs_(), outputCount_(0), registerCount_(2) {}

void tFormulaProgram::compile(const tExprNode* const* roots, unsigned count,
                              const std::vector<std::string>& parameters) {
  code_.clear();
  constants_.clear();
  parameterNames_ = parameters;
  parameterSlots_.assign(parameters.size(), NO_SLOT);
  outputCount_ = count < MAX_OUTPUTS ? count : MAX_OUTPUTS;
  tCompiler compiler(*this);
  for (unsigned k = 0; k < outputCount_; ++k) compiler.compileOutput(k, roots[k]);
  compiler.allocateRegisters();
}

void tFormulaProgram::setParameter(unsigned k, double value) {
  if (parameterSlots_[k] != NO_SLOT) constants_[parameterSlots_[k]] = value;
}

bool tFormulaProgram::hasTwoOperands(uint8_t op) {
  return op == OP_ADD || op == OP_SUB || op == OP_MUL || op == OP_DIV || op == OP_POW ||
         op == OP_ATAN2 || op == OP_HYPOT || op == OP_SQRT_RE || op == OP_SQRT_IM ||
         op == OP_POW2 || op == OP_POW3 || op == OP_POW4;
}

// Each code does what the tree walk does for its kind of node.
double tFormulaProgram::apply(uint8_t op, double a, double b) {
  switch (op) {
    case OP_ADD: return a + b;
    case OP_SUB: return a - b;
    case OP_MUL: return a * b;
    case OP_DIV: return a / b;
    case OP_POW: return std::pow(a, b);
    case OP_NEG: return -a;
    case OP_ABS: return std::fabs(a);
    case OP_SIN: return std::sin(a);
    case OP_COS: return std::cos(a);
    case OP_TAN: return std::tan(a);
    case OP_SINH: return std::sinh(a);
    case OP_COSH: return std::cosh(a);
    case OP_TANH: return std::tanh(a);
    case OP_EXP: return std::pow(tExprNode::E_VAL, a);
    case OP_SQRT: return std::sqrt(a);
    case OP_LOG: return std::log(a);
    case OP_SIGN: return tExprNode::sign(a);
    case OP_ATAN2: return std::atan2(a, b);
    case OP_HYPOT: return std::hypot(a, b);
    case OP_SQRT_RE: return tExprNode::squareRootRe(a, b);
    case OP_SQRT_IM: return tExprNode::squareRootIm(a, b);
    // The exponent comes from the constant table at run time, so the compiler
    // cannot turn these pow calls into multiplications.
    case OP_POW2: return integerPower<2>(a, b);
    case OP_POW3: return integerPower<3>(a, b);
    default: return integerPower<4>(a, b);
  }
}

void tFormulaProgram::evaluate(double x, double y, double* out) const {
  // One register file per thread, grown to the largest program it has run.
  thread_local std::vector<double> registers;
  if (registers.size() < registerCount_) registers.resize(registerCount_);
  double* r = registers.data();
  const std::size_t constants = constants_.size();
  std::copy(constants_.begin(), constants_.end(), r);
  r[constants] = x;
  r[constants + 1] = y;
  for (const tInstruction& in : code_) r[in.target] = apply(in.op, r[in.a], r[in.b]);
  for (unsigned k = 0; k < outputCount_; ++k) out[k] = r[outputs_[k]];
}

void tFormulaProgram::prepareScratch(double* scratch) const {
  for (std::size_t c = 0; c < constants_.size(); ++c) {
    for (unsigned l = 0; l < LANES; ++l) scratch[c * LANES + l] = constants_[c];
  }
}

void tFormulaProgram::evaluatePacket(const double* x, const double* y, unsigned mask,
                                     double* scratch, double (*out)[LANES]) const {
  std::memcpy(xLanes(scratch), x, LANES * sizeof(double));
  std::memcpy(yLanes(scratch), y, LANES * sizeof(double));
  evaluatePacketInPlace(mask, scratch);
  for (unsigned k = 0; k < outputCount_; ++k) {
    std::memcpy(out[k], outputLanes(scratch, k), LANES * sizeof(double));
  }
}

void tFormulaProgram::evaluatePacketInPlace(unsigned mask, double* scratch) const {
  if (tInstructionSet::current() == tInstructionSet::AVX2) {
    tPacketEvaluator::evaluateAvx2(*this, mask, scratch);
  } else {
    tPacketEvaluator::evaluateSse2(*this, mask, scratch);
  }
}
