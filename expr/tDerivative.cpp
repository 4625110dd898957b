#include "expr/tDerivative.h"

#include <utility>

std::unique_ptr<tExprNode> tDerivative::ofX(const tExprNode& f) {
  return tDerivative(tExprNode::X, "").derive(f);
}

std::unique_ptr<tExprNode> tDerivative::ofY(const tExprNode& f) {
  return tDerivative(tExprNode::Y, "").derive(f);
}

std::unique_ptr<tExprNode> tDerivative::ofVariable(const tExprNode& f, const std::string& name) {
  return tDerivative(tExprNode::VARIABLE, name).derive(f);
}

tDerivative::tDerivative(int32_t variable, const std::string& name)
    : variable_(variable), name_(name) {}

std::unique_ptr<tExprNode> tDerivative::derive(const tExprNode& f) {
  tNode derivative = of(&f);
  return builder_.fits(derivative.get()) ? std::move(derivative) : nullptr;
}

bool tDerivative::isVariable(const tExprNode* node) const {
  if (node->getType() != variable_) return false;
  return variable_ != tExprNode::VARIABLE || node->getName() == name_;
}

tDerivative::tNode tDerivative::of(const tExprNode* node) {
  if (!node || builder_.exhausted()) return builder_.constant(0.0);
  const tExprNode* u = node->getLeft();
  const tExprNode* v = node->getRight();
  switch (node->getType()) {
    case tExprNode::X:
    case tExprNode::Y:
    case tExprNode::VARIABLE: return builder_.constant(isVariable(node) ? 1.0 : 0.0);
    case tExprNode::PLUS: return builder_.sum(of(u), of(v));
    case tExprNode::MINUS: return builder_.difference(of(u), of(v));
    case tExprNode::NEGATION: return builder_.negation(of(u));
    case tExprNode::TIMES: return productRule(u, v);
    case tExprNode::DIV: return quotientRule(u, v);
    case tExprNode::POW: return powerRule(u, v);
    case tExprNode::SIN: return chain(tExprNode::COS, u);
    case tExprNode::COS: return builder_.negation(chain(tExprNode::SIN, u));
    case tExprNode::TAN: return over(u, [&] { return squared(tExprNode::COS, u); });
    case tExprNode::SINH: return chain(tExprNode::COSH, u);
    case tExprNode::COSH: return chain(tExprNode::SINH, u);
    case tExprNode::TANH: return over(u, [&] { return squared(tExprNode::COSH, u); });
    // ln(E_VAL) rounds to 1 (see the class comment).
    case tExprNode::EXP: return chain(tExprNode::EXP, u);
    case tExprNode::ABS: return chain(tExprNode::SIGN, u);
    case tExprNode::SQRT:
      return over(u, [&] {
        return builder_.product(builder_.constant(2.0),
                                builder_.unary(tExprNode::SQRT, builder_.copy(u)));
      });
    case tExprNode::LOG: return over(u, [&] { return builder_.copy(u); });
    case tExprNode::ATAN2: return angleRule(u, v);
    case tExprNode::HYPOT: return modulusRule(u, v);
    case tExprNode::SQRT_RE: return squareRootRule(true, u, v);
    case tExprNode::SQRT_IM: return squareRootRule(false, u, v);
    // Constants, EMPTY, and sign, which is flat wherever it has a derivative.
    default: return builder_.constant(0.0);
  }
}

tDerivative::tNode tDerivative::times(tNode derivative, const tExprNode* factor) {
  if (tExprBuilder::isZero(derivative.get())) return derivative;
  return builder_.product(builder_.copy(factor), std::move(derivative));
}

tDerivative::tNode tDerivative::chain(tExprNode::TEXPR_NODE_TYPE outer, const tExprNode* u) {
  tNode du = of(u);
  if (tExprBuilder::isZero(du.get())) return du;
  return builder_.product(builder_.unary(outer, builder_.copy(u)), std::move(du));
}

template <typename tDivisor>
tDerivative::tNode tDerivative::over(const tExprNode* u, tDivisor divisor) {
  tNode du = of(u);
  if (tExprBuilder::isZero(du.get())) return du;
  return builder_.quotient(std::move(du), divisor());
}

// (u v)' = u' v + u v'
tDerivative::tNode tDerivative::productRule(const tExprNode* u, const tExprNode* v) {
  tNode left = times(of(u), v);
  return builder_.sum(std::move(left), times(of(v), u));
}

// (u / v)' = u' / v for a constant v, else (u' v - u v') / v^2
tDerivative::tNode tDerivative::quotientRule(const tExprNode* u, const tExprNode* v) {
  tNode dv = of(v);
  if (tExprBuilder::isZero(dv.get())) return over(u, [&] { return builder_.copy(v); });
  tNode numerator = builder_.difference(times(of(u), v), times(std::move(dv), u));
  return builder_.quotient(std::move(numerator), squared(v));
}

// (a^b)' = b a^(b-1) a' + a^b log(a) b'
tDerivative::tNode tDerivative::powerRule(const tExprNode* base, const tExprNode* exponent) {
  tNode baseTerm = of(base);
  if (!tExprBuilder::isZero(baseTerm.get())) {
    tNode lowered = builder_.power(
        builder_.copy(base), builder_.difference(builder_.copy(exponent), builder_.constant(1.0)));
    tNode factor = builder_.product(builder_.copy(exponent), std::move(lowered));
    baseTerm = builder_.product(std::move(factor), std::move(baseTerm));
  }
  tNode exponentTerm = of(exponent);
  if (!tExprBuilder::isZero(exponentTerm.get())) {
    tNode factor = builder_.product(builder_.power(builder_.copy(base), builder_.copy(exponent)),
                                    builder_.unary(tExprNode::LOG, builder_.copy(base)));
    exponentTerm = builder_.product(std::move(factor), std::move(exponentTerm));
  }
  return builder_.sum(std::move(baseTerm), std::move(exponentTerm));
}

tDerivative::tNode tDerivative::squared(const tExprNode* u) {
  return builder_.power(builder_.copy(u), builder_.constant(2.0));
}

tDerivative::tNode tDerivative::squared(tExprNode::TEXPR_NODE_TYPE outer, const tExprNode* u) {
  return builder_.power(builder_.unary(outer, builder_.copy(u)), builder_.constant(2.0));
}

// atan2(p, q)' = (q p' - p q') / (q^2 + p^2)
tDerivative::tNode tDerivative::angleRule(const tExprNode* p, const tExprNode* q) {
  tNode numerator = times(of(p), q);
  numerator = builder_.difference(std::move(numerator), times(of(q), p));
  if (tExprBuilder::isZero(numerator.get())) return numerator;
  return builder_.quotient(std::move(numerator), builder_.sum(squared(q), squared(p)));
}

// hypot(p, q)' = (p p' + q q') / hypot(p, q)
tDerivative::tNode tDerivative::modulusRule(const tExprNode* p, const tExprNode* q) {
  tNode numerator = times(of(p), p);
  numerator = builder_.sum(std::move(numerator), times(of(q), q));
  if (tExprBuilder::isZero(numerator.get())) return numerator;
  tNode modulus = builder_.binary(tExprNode::HYPOT, builder_.copy(p), builder_.copy(q));
  return builder_.quotient(std::move(numerator), std::move(modulus));
}

// With s = sqrt(p + i q): s' = (p' + i q') conj(s) / (2 |s|^2), and |s|^2 = hypot(p, q), so
// Re s' = (p' Re s + q' Im s) / (2 hypot(p, q)) and Im s' = (q' Re s - p' Im s) / (2 hypot(p, q)).
tDerivative::tNode tDerivative::squareRootRule(bool realPart, const tExprNode* p,
                                               const tExprNode* q) {
  tNode dp = of(p);
  tNode dq = of(q);
  if (tExprBuilder::isZero(dp.get()) && tExprBuilder::isZero(dq.get())) return dp;
  tNode re = builder_.binary(tExprNode::SQRT_RE, builder_.copy(p), builder_.copy(q));
  tNode im = builder_.binary(tExprNode::SQRT_IM, builder_.copy(p), builder_.copy(q));
  tNode numerator =
      realPart
          ? builder_.sum(times(std::move(dp), re.get()), times(std::move(dq), im.get()))
          : builder_.difference(times(std::move(dq), re.get()), times(std::move(dp), im.get()));
  tNode modulus = builder_.binary(tExprNode::HYPOT, builder_.copy(p), builder_.copy(q));
  return builder_.quotient(std::move(numerator),
                           builder_.product(builder_.constant(2.0), std::move(modulus)));
}
