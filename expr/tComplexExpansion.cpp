#include "expr/tComplexExpansion.h"

#include <cmath>
#include <utility>

#include "expr/tDerivative.h"

namespace {

// The names the parser gives the point and the imaginary unit.
const char* const kPointName = "z";
const char* const kUnitName = "i";

const char* const kTooLarge = tComplexExpansion::TOO_LARGE;
const char* const kNotAnalytic = tComplexExpansion::NOT_ANALYTIC;

bool isRealFunctionOfReal(tExprNode::TEXPR_NODE_TYPE type) {
  return type == tExprNode::EXP || type == tExprNode::SIN || type == tExprNode::COS ||
         type == tExprNode::TAN || type == tExprNode::SINH || type == tExprNode::COSH ||
         type == tExprNode::TANH;
}

}  // namespace

bool tComplexExpansion::expand(const tExprNode& f) {
  reset();
  tParts value = expandNode(&f);
  if (!error_.empty()) return false;
  tNode derived = tDerivative::ofVariable(f, kPointName);
  if (!derived) fail(kTooLarge);
  tParts derivative = expandNode(derived.get());
  if (!error_.empty()) return false;

  formulas_[0] = std::move(value.re);
  formulas_[1] = std::move(value.im);
  formulas_[2] = builder_.copy(derivative.re.get());
  formulas_[3] = builder_.negation(builder_.copy(derivative.im.get()));
  formulas_[4] = std::move(derivative.im);
  formulas_[5] = std::move(derivative.re);
  if (!keepIfAllFit()) return false;
  derivatives_[1] = tDerivative::ofVariable(*derived, kPointName);
  derivatives_[0] = std::move(derived);
  return true;
}

bool tComplexExpansion::expandValue(const tExprNode& f) {
  reset();
  tParts value = expandNode(&f);
  if (!error_.empty()) return false;
  formulas_[0] = std::move(value.re);
  formulas_[1] = std::move(value.im);
  return keepIfAllFit();
}

void tComplexExpansion::reset() {
  builder_ = tExprBuilder();
  error_.clear();
  for (tNode& formula : formulas_) formula.reset();
  for (tNode& derivative : derivatives_) derivative.reset();
}

bool tComplexExpansion::keepIfAllFit() {
  for (const tNode& formula : formulas_) {
    if (builder_.fits(formula.get())) continue;
    for (tNode& each : formulas_) each.reset();
    error_ = kTooLarge;
    return false;
  }
  return true;
}

std::unique_ptr<tExprNode> tComplexExpansion::takeFormula(unsigned slot) {
  return slot < FORMULAS ? std::move(formulas_[slot]) : nullptr;
}

std::unique_ptr<tExprNode> tComplexExpansion::takeDerivative(int order) {
  return order == 1 || order == 2 ? std::move(derivatives_[order - 1]) : nullptr;
}

tComplexExpansion::tParts tComplexExpansion::fail(const std::string& message) {
  if (error_.empty()) error_ = message;
  return real(builder_.constant(0.0));
}

tComplexExpansion::tParts tComplexExpansion::real(tNode re) {
  return {std::move(re), builder_.constant(0.0)};
}

tComplexExpansion::tParts tComplexExpansion::copyOf(const tParts& p) {
  return {builder_.copy(p.re.get()), builder_.copy(p.im.get())};
}

tComplexExpansion::tParts tComplexExpansion::expandNode(const tExprNode* node) {
  if (!error_.empty()) return real(builder_.constant(0.0));
  if (builder_.exhausted()) return fail(kTooLarge);
  if (!node) return real(builder_.copy(nullptr));
  auto type = static_cast<tExprNode::TEXPR_NODE_TYPE>(node->getType());
  switch (type) {
    case tExprNode::PLUS:
    case tExprNode::MINUS: {
      tParts p = expandNode(node->getLeft());
      tParts q = expandNode(node->getRight());
      return {builder_.binary(type, std::move(p.re), std::move(q.re)),
              builder_.binary(type, std::move(p.im), std::move(q.im))};
    }
    case tExprNode::NEGATION: {
      // A real number's imaginary part is +0, negated or not: the square
      // root, logarithm and atan2 read the sign of a zero, so -4 with an
      // imaginary part of -0 would lie below the cut and take the other
      // branch (sqrt(-4) = -2i).
      tParts p = expandNode(node->getLeft());
      tNode im = tExprBuilder::isZero(p.im.get()) ? builder_.constant(0.0)
                                                  : builder_.negation(std::move(p.im));
      return {builder_.negation(std::move(p.re)), std::move(im)};
    }
    // Left before right, so that the first thing refused is the one reported.
    case tExprNode::TIMES: {
      tParts p = expandNode(node->getLeft());
      return multiply(p, expandNode(node->getRight()));
    }
    case tExprNode::DIV: {
      tParts p = expandNode(node->getLeft());
      return divide(p, expandNode(node->getRight()));
    }
    case tExprNode::POW: {
      tParts base = expandNode(node->getLeft());
      return power(std::move(base), expandNode(node->getRight()));
    }
    case tExprNode::EXP:
    case tExprNode::SIN:
    case tExprNode::COS:
    case tExprNode::TAN:
    case tExprNode::SINH:
    case tExprNode::COSH:
    case tExprNode::TANH:
    case tExprNode::SQRT:
    case tExprNode::LOG: return function(type, expandNode(node->getLeft()));
    case tExprNode::ABS:
    case tExprNode::SIGN:
    case tExprNode::ATAN2:
    case tExprNode::HYPOT:
    case tExprNode::SQRT_RE:
    case tExprNode::SQRT_IM: return realOnly(node);
    default: return leaf(node);
  }
}

tComplexExpansion::tParts tComplexExpansion::leaf(const tExprNode* node) {
  switch (node->getType()) {
    case tExprNode::X:
    case tExprNode::Y:
      return fail(NOT_IN_Z);
    case tExprNode::VARIABLE:
      if (node->getName() == kPointName) return {builder_.x(), builder_.y()};
      if (node->getName() == kUnitName) return {builder_.constant(0.0), builder_.constant(1.0)};
      return real(builder_.copy(node));
    default: return real(builder_.copy(node));
  }
}

tComplexExpansion::tParts tComplexExpansion::realOnly(const tExprNode* node) {
  auto type = static_cast<tExprNode::TEXPR_NODE_TYPE>(node->getType());
  tParts p = expandNode(node->getLeft());
  if (!tExprBuilder::isZero(p.im.get())) return fail(kNotAnalytic);
  if (tExprNode::operandCount(type) == 1) return real(builder_.unary(type, std::move(p.re)));
  tParts q = expandNode(node->getRight());
  if (!tExprBuilder::isZero(q.im.get())) return fail(kNotAnalytic);
  return real(builder_.binary(type, std::move(p.re), std::move(q.re)));
}

tExprBuilder::tNode tComplexExpansion::times(const tExprNode* a, const tExprNode* b) {
  if (tExprBuilder::isZero(a) || tExprBuilder::isZero(b)) return builder_.constant(0.0);
  return builder_.product(builder_.copy(a), builder_.copy(b));
}

tExprBuilder::tNode tComplexExpansion::of(tExprNode::TEXPR_NODE_TYPE outer, const tExprNode* u) {
  return builder_.unary(outer, builder_.copy(u));
}

tExprBuilder::tNode tComplexExpansion::productOf(tExprNode::TEXPR_NODE_TYPE first,
                                                 const tExprNode* u,
                                                 tExprNode::TEXPR_NODE_TYPE second,
                                                 const tExprNode* v) {
  return builder_.product(of(first, u), of(second, v));
}

tExprBuilder::tNode tComplexExpansion::squared(tNode u) {
  return builder_.power(std::move(u), builder_.constant(2.0));
}

// (a + i b) (c + i d) = (a c - b d) + i (a d + b c)
tComplexExpansion::tParts tComplexExpansion::multiply(const tParts& p, const tParts& q) {
  tNode re = builder_.difference(times(p.re.get(), q.re.get()), times(p.im.get(), q.im.get()));
  tNode im = builder_.sum(times(p.re.get(), q.im.get()), times(p.im.get(), q.re.get()));
  return {std::move(re), std::move(im)};
}

// (a + i b) / (c + i d) = ((a c + b d) + i (b c - a d)) / (c^2 + d^2)
tComplexExpansion::tParts tComplexExpansion::divide(const tParts& p, const tParts& q) {
  if (tExprBuilder::isZero(q.im.get())) {
    return {builder_.quotient(builder_.copy(p.re.get()), builder_.copy(q.re.get())),
            builder_.quotient(builder_.copy(p.im.get()), builder_.copy(q.re.get()))};
  }
  tNode modulus =
      builder_.sum(squared(builder_.copy(q.re.get())), squared(builder_.copy(q.im.get())));
  tNode re = builder_.sum(times(p.re.get(), q.re.get()), times(p.im.get(), q.im.get()));
  tNode im = builder_.difference(times(p.im.get(), q.re.get()), times(p.re.get(), q.im.get()));
  tNode modulusAgain = builder_.copy(modulus.get());
  return {builder_.quotient(std::move(re), std::move(modulus)),
          builder_.quotient(std::move(im), std::move(modulusAgain))};
}

tComplexExpansion::tParts tComplexExpansion::power(tParts base, const tParts& exponent) {
  const tExprNode* n = exponent.re.get();
  bool integer = tExprBuilder::isZero(exponent.im.get()) && n->getType() == tExprNode::CONSTANT &&
                 std::trunc(n->getValue()) == n->getValue() &&
                 std::fabs(n->getValue()) <= MAX_INTEGER_POWER;
  if (integer) return integerPower(std::move(base), static_cast<long>(n->getValue()));
  tParts logBase = logarithm(base);
  return exponential(multiply(exponent, logBase));
}

// Repeated squaring: the product of the squares z^(2^k) for the bits k of |n|.
tComplexExpansion::tParts tComplexExpansion::integerPower(tParts base, long n) {
  tParts result = real(builder_.constant(1.0));
  bool first = true;
  for (unsigned long bits = static_cast<unsigned long>(std::labs(n)); bits != 0; bits >>= 1) {
    if (bits & 1) {
      result = first ? copyOf(base) : multiply(result, base);
      first = false;
    }
    if (bits > 1) base = square(base);
  }
  if (n >= 0) return result;
  return divide(real(builder_.constant(1.0)), result);
}

// (a + i b)^2 = (a^2 - b^2) + i 2 a b
tComplexExpansion::tParts tComplexExpansion::square(const tParts& p) {
  tNode re =
      builder_.difference(squared(builder_.copy(p.re.get())), squared(builder_.copy(p.im.get())));
  tNode im = builder_.product(builder_.constant(2.0), times(p.re.get(), p.im.get()));
  return {std::move(re), std::move(im)};
}

tComplexExpansion::tParts tComplexExpansion::function(tExprNode::TEXPR_NODE_TYPE type, tParts p) {
  if (isRealFunctionOfReal(type) && tExprBuilder::isZero(p.im.get())) {
    return real(builder_.unary(type, std::move(p.re)));
  }
  const tExprNode* a = p.re.get();
  const tExprNode* b = p.im.get();
  switch (type) {
    case tExprNode::EXP: return exponential(p);
    case tExprNode::LOG: return logarithm(p);
    case tExprNode::SQRT:
      return {builder_.binary(tExprNode::SQRT_RE, builder_.copy(a), builder_.copy(b)),
              builder_.binary(tExprNode::SQRT_IM, builder_.copy(a), builder_.copy(b))};
    // sin(a + i b) = sin a cosh b + i cos a sinh b
    case tExprNode::SIN:
      return {productOf(tExprNode::SIN, a, tExprNode::COSH, b),
              productOf(tExprNode::COS, a, tExprNode::SINH, b)};
    // cos(a + i b) = cos a cosh b - i sin a sinh b
    case tExprNode::COS:
      return {productOf(tExprNode::COS, a, tExprNode::COSH, b),
              builder_.negation(productOf(tExprNode::SIN, a, tExprNode::SINH, b))};
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
      tNode modulus = builder_.sum(squared(of(tExprNode::COS, a)), squared(of(tExprNode::SINH, b)));
      tNode modulusAgain = builder_.copy(modulus.get());
      return {
          builder_.quotient(productOf(tExprNode::SIN, a, tExprNode::COS, a), std::move(modulus)),
          builder_.quotient(productOf(tExprNode::SINH, b, tExprNode::COSH, b),
                            std::move(modulusAgain))};
    }
    // tanh(a + i b) = (sinh a cosh a + i sin b cos b) / (sinh^2 a + cos^2 b)
    default: {
      tNode modulus = builder_.sum(squared(of(tExprNode::SINH, a)), squared(of(tExprNode::COS, b)));
      tNode modulusAgain = builder_.copy(modulus.get());
      return {
          builder_.quotient(productOf(tExprNode::SINH, a, tExprNode::COSH, a), std::move(modulus)),
          builder_.quotient(productOf(tExprNode::SIN, b, tExprNode::COS, b),
                            std::move(modulusAgain))};
    }
  }
}

// exp(a + i b) = e^a cos b + i e^a sin b
tComplexExpansion::tParts tComplexExpansion::exponential(const tParts& p) {
  if (tExprBuilder::isZero(p.im.get())) return real(of(tExprNode::EXP, p.re.get()));
  return {productOf(tExprNode::EXP, p.re.get(), tExprNode::COS, p.im.get()),
          productOf(tExprNode::EXP, p.re.get(), tExprNode::SIN, p.im.get())};
}

// log(a + i b) = log |a + i b| + i atan2(b, a); |a + i 0| = |a| exactly.
tComplexExpansion::tParts tComplexExpansion::logarithm(const tParts& p) {
  const tExprNode* a = p.re.get();
  const tExprNode* b = p.im.get();
  tNode modulus = tExprBuilder::isZero(b)
                      ? of(tExprNode::ABS, a)
                      : builder_.binary(tExprNode::HYPOT, builder_.copy(a), builder_.copy(b));
  return {builder_.unary(tExprNode::LOG, std::move(modulus)),
          builder_.binary(tExprNode::ATAN2, builder_.copy(b), builder_.copy(a))};
}
