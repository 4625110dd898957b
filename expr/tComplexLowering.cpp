#include "expr/tComplexLowering.h"

#include <cmath>
#include <utility>

#include "expr/tComplexExpansion.h"
#include "expr/tExprNode.h"
#include "expr/tFormulaCompiler.h"

namespace {

// The names the parser gives the point and the imaginary unit.
const char* const kPointName = "z";
const char* const kUnitName = "i";

bool isRealFunctionOfReal(int32_t type) {
  return type == tExprNode::EXP || type == tExprNode::SIN || type == tExprNode::COS ||
         type == tExprNode::TAN || type == tExprNode::SINH || type == tExprNode::COSH ||
         type == tExprNode::TANH;
}

// Operations into a program being compiled.
class tCompiled {
 public:
  using tValue = tFormulaCompiler::tValue;

  explicit tCompiled(tFormulaCompiler& compiler) : compiler_(compiler) {}
  tValue point(bool imaginary) { return imaginary ? compiler_.y() : compiler_.x(); }
  tValue leaf(const tExprNode* node) { return compiler_.leaf(node); }
  tValue constant(double value) { return compiler_.constant(value); }
  tValue operate(int32_t type, tValue a, tValue b) { return compiler_.operation(type, a, b); }
  double constantValue(tValue value) const { return compiler_.constantValue(value); }

 private:
  tFormulaCompiler& compiler_;
};

// Operations done at once at one point.
class tEvaluated {
 public:
  using tValue = double;

  tEvaluated(double x, double y) : x_(x), y_(y) {}
  double point(bool imaginary) const { return imaginary ? y_ : x_; }
  double leaf(const tExprNode* node) const { return node ? node->evaluate(x_, y_) : 1.0; }
  double constant(double value) const { return value; }
  double operate(int32_t type, double a, double b) const { return tExprNode::operate(type, a, b); }
  double constantValue(double value) const { return value; }

 private:
  double x_, y_;  // the point
};

// The walk, over either kind of operations; it follows tComplexExpansion
// function by function.
template <typename tOperations>
class tLowering {
 public:
  using tValue = typename tOperations::tValue;
  // A part: its value, and what tExprBuilder would see of the node that
  // computes it.
  struct tReal {
    tValue value{};
    bool constant = false;  // a constant node, of the value `number`
    double number = 0.0;
    bool negation = false;  // a negation node of `negated`
    tValue negated{};
  };
  struct tParts {
    tReal re;  // real part
    tReal im;  // imaginary part
  };

  explicit tLowering(tOperations& operations) : operations_(operations) {}

  tParts lower(const tExprNode* node);
  tReal negation(const tReal& a);
  const std::string& getError() const { return error_; }

 private:
  using TYPE = tExprNode::TEXPR_NODE_TYPE;

  // The builder's nodes and simplifications.
  tReal constant(double value);
  tReal opaque(tValue value);
  tReal node(int32_t type, const tReal& a, const tReal& b);
  tReal sum(const tReal& a, const tReal& b);
  tReal difference(const tReal& a, const tReal& b);
  tReal product(const tReal& a, const tReal& b);
  tReal quotient(const tReal& a, const tReal& b);
  tReal power(const tReal& base, const tReal& exponent);
  tReal unary(int32_t type, const tReal& a);
  tReal binary(int32_t type, const tReal& a, const tReal& b);
  static bool isConstant(const tReal& a, double value) { return a.constant && a.number == value; }
  static bool isZero(const tReal& a) { return isConstant(a, 0.0); }

  // The expansion's rules.
  tParts leaf(const tExprNode* node);
  tParts fail(const char* message);
  tParts real(const tReal& re);
  tParts realOnly(const tExprNode* node);
  tReal times(const tReal& a, const tReal& b);
  tReal productOf(TYPE first, const tReal& u, TYPE second, const tReal& v);
  tReal squared(const tReal& u);
  tParts multiply(const tParts& p, const tParts& q);
  tParts divide(const tParts& p, const tParts& q);
  tParts power(tParts base, const tParts& exponent);
  tParts integerPower(tParts base, long n);
  tParts square(const tParts& p);
  tParts function(TYPE type, const tParts& p);
  tParts exponential(const tParts& p);
  tParts logarithm(const tParts& p);

  tOperations& operations_;
  std::string error_;  // why the walk stopped; empty while it goes on
};

template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::constant(double value) {
  tReal r;
  r.value = operations_.constant(value);
  r.constant = true;
  r.number = value;
  return r;
}

template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::opaque(tValue value) {
  tReal r;
  r.value = value;
  return r;
}

// A node the builder makes and folds when its operands are constants; `b`
// is read only by kinds of two operands.
template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::node(int32_t type, const tReal& a,
                                                                    const tReal& b) {
  tReal r;
  r.value = operations_.operate(type, a.value, b.value);
  r.constant = a.constant && (tExprNode::operandCount(type) == 1 || b.constant);
  if (r.constant) {
    r.number = operations_.constantValue(r.value);
  } else if (type == tExprNode::NEGATION) {
    r.negation = true;
    r.negated = a.value;
  }
  return r;
}

template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::sum(const tReal& a, const tReal& b) {
  if (isZero(b)) return a;
  if (isZero(a)) return b;
  return node(tExprNode::PLUS, a, b);
}

template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::difference(const tReal& a,
                                                                          const tReal& b) {
  if (isZero(b)) return a;
  if (isZero(a)) return negation(b);
  return node(tExprNode::MINUS, a, b);
}

template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::product(const tReal& a,
                                                                       const tReal& b) {
  if (isZero(a) || isZero(b)) return constant(0.0);
  if (isConstant(b, 1.0)) return a;
  if (isConstant(a, 1.0)) return b;
  if (isConstant(a, -1.0)) return negation(b);
  if (isConstant(b, -1.0)) return negation(a);
  return node(tExprNode::TIMES, a, b);
}

template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::quotient(const tReal& a,
                                                                        const tReal& b) {
  if (isZero(a)) return constant(0.0);
  if (isConstant(b, 1.0)) return a;
  return node(tExprNode::DIV, a, b);
}

template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::power(const tReal& base,
                                                                     const tReal& exponent) {
  if (isConstant(exponent, 1.0)) return base;
  if (isZero(exponent)) return constant(1.0);
  return node(tExprNode::POW, base, exponent);
}

// -(-u) is u. What a negation negates is never a constant (that would have
// been folded) nor a negation (that would have cancelled).
template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::negation(const tReal& a) {
  if (a.negation) return opaque(a.negated);
  return node(tExprNode::NEGATION, a, a);
}

template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::unary(int32_t type, const tReal& a) {
  if (type == tExprNode::NEGATION) return negation(a);
  return node(type, a, a);
}

template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::binary(int32_t type, const tReal& a,
                                                                      const tReal& b) {
  switch (type) {
    case tExprNode::PLUS:
      return sum(a, b);
    case tExprNode::MINUS:
      return difference(a, b);
    case tExprNode::TIMES:
      return product(a, b);
    case tExprNode::DIV:
      return quotient(a, b);
    case tExprNode::POW:
      return power(a, b);
    default:
      return node(type, a, b);
  }
}

template <typename tOperations>
typename tLowering<tOperations>::tParts tLowering<tOperations>::lower(const tExprNode* node) {
  if (!error_.empty()) return real(constant(0.0));
  if (!node) return real(opaque(operations_.leaf(nullptr)));
  auto type = static_cast<TYPE>(node->getType());
  switch (type) {
    case tExprNode::PLUS:
    case tExprNode::MINUS: {
      tParts p = lower(node->getLeft());
      tParts q = lower(node->getRight());
      return {binary(type, p.re, q.re), binary(type, p.im, q.im)};
    }
    // A real number's imaginary part is +0, negated or not (see
    // tComplexExpansion).
    case tExprNode::NEGATION: {
      tParts p = lower(node->getLeft());
      tReal im = isZero(p.im) ? constant(0.0) : negation(p.im);
      return {negation(p.re), im};
    }
    case tExprNode::TIMES: {
      tParts p = lower(node->getLeft());
      return multiply(p, lower(node->getRight()));
    }
    case tExprNode::DIV: {
      tParts p = lower(node->getLeft());
      return divide(p, lower(node->getRight()));
    }
    case tExprNode::POW: {
      tParts base = lower(node->getLeft());
      return power(std::move(base), lower(node->getRight()));
    }
    case tExprNode::EXP:
    case tExprNode::SIN:
    case tExprNode::COS:
    case tExprNode::TAN:
    case tExprNode::SINH:
    case tExprNode::COSH:
    case tExprNode::TANH:
    case tExprNode::SQRT:
    case tExprNode::LOG:
      return function(type, lower(node->getLeft()));
    case tExprNode::ABS:
    case tExprNode::SIGN:
    case tExprNode::ATAN2:
    case tExprNode::HYPOT:
    case tExprNode::SQRT_RE:
    case tExprNode::SQRT_IM:
      return realOnly(node);
    default:
      return leaf(node);
  }
}

template <typename tOperations>
typename tLowering<tOperations>::tParts tLowering<tOperations>::leaf(const tExprNode* node) {
  switch (node->getType()) {
    case tExprNode::X:
    case tExprNode::Y:
      return fail(tComplexExpansion::NOT_IN_Z);
    case tExprNode::CONSTANT:
      return real(constant(node->getValue()));
    case tExprNode::VARIABLE:
      if (node->getName() == kPointName) {
        return {opaque(operations_.point(false)), opaque(operations_.point(true))};
      }
      if (node->getName() == kUnitName) return {constant(0.0), constant(1.0)};
      return real(opaque(operations_.leaf(node)));
    default:
      return real(opaque(operations_.leaf(node)));
  }
}

template <typename tOperations>
typename tLowering<tOperations>::tParts tLowering<tOperations>::fail(const char* message) {
  if (error_.empty()) error_ = message;
  return real(constant(0.0));
}

template <typename tOperations>
typename tLowering<tOperations>::tParts tLowering<tOperations>::real(const tReal& re) {
  return {re, constant(0.0)};
}

template <typename tOperations>
typename tLowering<tOperations>::tParts tLowering<tOperations>::realOnly(const tExprNode* node) {
  const int32_t type = node->getType();
  tParts p = lower(node->getLeft());
  if (!isZero(p.im)) return fail(tComplexExpansion::NOT_ANALYTIC);
  if (tExprNode::operandCount(type) == 1) return real(unary(type, p.re));
  tParts q = lower(node->getRight());
  if (!isZero(q.im)) return fail(tComplexExpansion::NOT_ANALYTIC);
  return real(binary(type, p.re, q.re));
}

template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::times(const tReal& a,
                                                                     const tReal& b) {
  if (isZero(a) || isZero(b)) return constant(0.0);
  return product(a, b);
}

template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::productOf(TYPE first, const tReal& u,
                                                                         TYPE second,
                                                                         const tReal& v) {
  return product(unary(first, u), unary(second, v));
}

template <typename tOperations>
typename tLowering<tOperations>::tReal tLowering<tOperations>::squared(const tReal& u) {
  return power(u, constant(2.0));
}

// (a + i b) (c + i d) = (a c - b d) + i (a d + b c)
template <typename tOperations>
typename tLowering<tOperations>::tParts tLowering<tOperations>::multiply(const tParts& p,
                                                                         const tParts& q) {
  tReal re = difference(times(p.re, q.re), times(p.im, q.im));
  tReal im = sum(times(p.re, q.im), times(p.im, q.re));
  return {re, im};
}

// (a + i b) / (c + i d) = ((a c + b d) + i (b c - a d)) / (c^2 + d^2)
template <typename tOperations>
typename tLowering<tOperations>::tParts tLowering<tOperations>::divide(const tParts& p,
                                                                       const tParts& q) {
  if (isZero(q.im)) return {quotient(p.re, q.re), quotient(p.im, q.re)};
  tReal modulus = sum(squared(q.re), squared(q.im));
  tReal re = sum(times(p.re, q.re), times(p.im, q.im));
  tReal im = difference(times(p.im, q.re), times(p.re, q.im));
  return {quotient(re, modulus), quotient(im, modulus)};
}

template <typename tOperations>
typename tLowering<tOperations>::tParts tLowering<tOperations>::power(tParts base,
                                                                      const tParts& exponent) {
  const tReal& n = exponent.re;
  bool integer = isZero(exponent.im) && n.constant && std::trunc(n.number) == n.number &&
                 std::fabs(n.number) <= tComplexExpansion::MAX_INTEGER_POWER;
  if (integer) return integerPower(std::move(base), static_cast<long>(n.number));
  tParts logBase = logarithm(base);
  return exponential(multiply(exponent, logBase));
}

// Repeated squaring: the product of the squares z^(2^k) for the bits k of |n|.
template <typename tOperations>
typename tLowering<tOperations>::tParts tLowering<tOperations>::integerPower(tParts base, long n) {
  tParts result = real(constant(1.0));
  bool first = true;
  for (unsigned long bits = static_cast<unsigned long>(std::labs(n)); bits != 0; bits >>= 1) {
    if (bits & 1) {
      result = first ? base : multiply(result, base);
      first = false;
    }
    if (bits > 1) base = square(base);
  }
  if (n >= 0) return result;
  return divide(real(constant(1.0)), result);
}

// (a + i b)^2 = (a^2 - b^2) + i 2 a b
template <typename tOperations>
typename tLowering<tOperations>::tParts tLowering<tOperations>::square(const tParts& p) {
  tReal re = difference(squared(p.re), squared(p.im));
  tReal im = product(constant(2.0), times(p.re, p.im));
  return {re, im};
}

template <typename tOperations>
typename tLowering<tOperations>::tParts tLowering<tOperations>::function(TYPE type,
                                                                         const tParts& p) {
  if (isRealFunctionOfReal(type) && isZero(p.im)) return real(unary(type, p.re));
  const tReal& a = p.re;
  const tReal& b = p.im;
  switch (type) {
    case tExprNode::EXP:
      return exponential(p);
    case tExprNode::LOG:
      return logarithm(p);
    case tExprNode::SQRT:
      return {binary(tExprNode::SQRT_RE, a, b), binary(tExprNode::SQRT_IM, a, b)};
    // sin(a + i b) = sin a cosh b + i cos a sinh b
    case tExprNode::SIN:
      return {productOf(tExprNode::SIN, a, tExprNode::COSH, b),
              productOf(tExprNode::COS, a, tExprNode::SINH, b)};
    // cos(a + i b) = cos a cosh b - i sin a sinh b
    case tExprNode::COS:
      return {productOf(tExprNode::COS, a, tExprNode::COSH, b),
              negation(productOf(tExprNode::SIN, a, tExprNode::SINH, b))};
    // sinh(a + i b) = sinh a cos b + i cosh a sin b
    case tExprNode::SINH:
      return {productOf(tExprNode::SINH, a, tExprNode::COS, b),
              productOf(tExprNode::COSH, a, tExprNode::SIN, b)};
    // cosh(a + i b) = cosh a cos b + i sinh a sin b
    case tExprNode::COSH:
      return {productOf(tExprNode::COSH, a, tExprNode::COS, b),
              productOf(tExprNode::SINH, a, tExprNode::SIN, b)};
    // tan(a + i b) = (sin a cos a + i sinh b cosh b) / (cos^2 a + sinh^2 b)
    case tExprNode::TAN: {
      tReal modulus = sum(squared(unary(tExprNode::COS, a)), squared(unary(tExprNode::SINH, b)));
      return {quotient(productOf(tExprNode::SIN, a, tExprNode::COS, a), modulus),
              quotient(productOf(tExprNode::SINH, b, tExprNode::COSH, b), modulus)};
    }
    // tanh(a + i b) = (sinh a cosh a + i sin b cos b) / (sinh^2 a + cos^2 b)
    default: {
      tReal modulus = sum(squared(unary(tExprNode::SINH, a)), squared(unary(tExprNode::COS, b)));
      return {quotient(productOf(tExprNode::SINH, a, tExprNode::COSH, a), modulus),
              quotient(productOf(tExprNode::SIN, b, tExprNode::COS, b), modulus)};
    }
  }
}

// exp(a + i b) = e^a cos b + i e^a sin b
template <typename tOperations>
typename tLowering<tOperations>::tParts tLowering<tOperations>::exponential(const tParts& p) {
  if (isZero(p.im)) return real(unary(tExprNode::EXP, p.re));
  return {productOf(tExprNode::EXP, p.re, tExprNode::COS, p.im),
          productOf(tExprNode::EXP, p.re, tExprNode::SIN, p.im)};
}

// log(a + i b) = log |a + i b| + i atan2(b, a); |a + i 0| = |a| exactly.
template <typename tOperations>
typename tLowering<tOperations>::tParts tLowering<tOperations>::logarithm(const tParts& p) {
  const tReal& a = p.re;
  const tReal& b = p.im;
  tReal modulus = isZero(b) ? unary(tExprNode::ABS, a) : binary(tExprNode::HYPOT, a, b);
  return {unary(tExprNode::LOG, modulus), binary(tExprNode::ATAN2, b, a)};
}

// Lowers each formula of the outputs once and hands each output's value to
// `use`, in order.
template <typename tOperations, typename tUse>
void lowerOutputs(tOperations& operations, const std::vector<tComplexLowering::tOutput>& outputs,
                  tUse use) {
  using tWalk = tLowering<tOperations>;
  tWalk walk(operations);
  std::vector<std::pair<const tExprNode*, typename tWalk::tParts>> lowered;
  for (const tComplexLowering::tOutput& output : outputs) {
    if (!output.formula) {
      use(operations.constant(0.0));
      continue;
    }
    auto found = lowered.begin();
    while (found != lowered.end() && found->first != output.formula) ++found;
    if (found == lowered.end()) {
      lowered.emplace_back(output.formula, walk.lower(output.formula));
      found = lowered.end() - 1;
    }
    typename tWalk::tReal part = output.imaginary ? found->second.im : found->second.re;
    if (output.negated) part = walk.negation(part);
    use(part.value);
  }
}

}  // namespace

std::string tComplexLowering::check(const tExprNode& formula) {
  tEvaluated operations(0.0, 0.0);
  tLowering<tEvaluated> walk(operations);
  walk.lower(&formula);
  return walk.getError();
}

void tComplexLowering::compile(const std::vector<tOutput>& outputs,
                               const std::vector<std::string>& parameters,
                               tFormulaProgram& program) {
  tFormulaCompiler compiler(program, static_cast<unsigned>(outputs.size()), parameters);
  tCompiled operations(compiler);
  unsigned k = 0;
  lowerOutputs(operations, outputs,
               [&](tFormulaCompiler::tValue value) { compiler.setOutput(k++, value); });
  compiler.finish();
}

void tComplexLowering::evaluate(const std::vector<tOutput>& outputs, double x, double y,
                                double* out) {
  tEvaluated operations(x, y);
  unsigned k = 0;
  lowerOutputs(operations, outputs, [&](double value) { out[k++] = value; });
}
