#include "expr/tFormulaProgram.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "expr/tExactPower.h"
#include "expr/tExprNode.h"
#include "expr/tFormulaCompiler.h"
#include "expr/tInstructionSet.h"
#include "expr/tNativeProgram.h"
#include "expr/tPacketEvaluator.h"

namespace {

template <int N>
inline double integerPower(double v, double exponent) {
  double result;
  return exactPower<N, tScalarLane>(v, result) ? result : std::pow(v, exponent);
}

}  // namespace

tFormulaProgram::tFormulaProgram() : outputs_(), outputCount_(0), registerCount_(2) {}

void tFormulaProgram::compile(const tExprNode* const* roots, unsigned count,
                              const std::vector<std::string>& parameters) {
  tFormulaCompiler compiler(*this, count, parameters);
  for (unsigned k = 0; k < outputCount_; ++k) compiler.setOutput(k, compiler.formula(roots[k]));
  compiler.finish();
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
  if (tInstructionSet::current() == tInstructionSet::SSE2) {
    tPacketEvaluator::evaluateSse2(*this, mask, scratch, 0, code_.size());
  } else if (native_ && tNativeProgram::isEnabled()) {
    native_->evaluate(*this, mask, scratch);
  } else {
    tPacketEvaluator::evaluateAvx2(*this, mask, scratch, 0, code_.size());
  }
}
