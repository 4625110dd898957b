#ifndef ROOTWEAVER_EXPR_TCOMPLEXEXPANSION_H
#define ROOTWEAVER_EXPR_TCOMPLEXEXPANSION_H

#include <memory>
#include <string>

#include "expr/tExprBuilder.h"
#include "expr/tExprNode.h"

// A complex map f(z) written out as a map of the plane: the real formulas
// Re f and Im f over x and y, where z = x + i y, and those of the complex
// derivative f'(z), from which the Jacobian follows.
//
// The formula is one the parser read: z and i are variables of those names,
// every other name is a real parameter (it keeps its place as a variable, so
// substitution still reaches it), and constants are real. Each node is
// written out from the parts (a, b) and (c, d) of its operands:
// - sums and differences part by part; products as std::complex multiplies,
//   (a c - b d, a d + b c); quotients by a real divisor part by part, others
//   as ((a c + b d) / (c^2 + d^2), (b c - a d) / (c^2 + d^2));
// - exp, sin, cos, sinh, cosh by their addition formulas, tan and tanh as
//   sin(a + i b) conj(cos(a + i b)) / |cos(a + i b)|^2, whose denominator
//   cos^2 a + sinh^2 b suffers no cancellation; of a real operand, each is
//   the real function itself;
// - log as log |w| + i atan2(b, a); sqrt as the parts of std::complex's
//   principal square root (the SQRT_RE and SQRT_IM kinds: a closed formula
//   in real operations either loses accuracy in one half-plane or needs a
//   branch);
// - a power with an integer constant exponent n, |n| <= MAX_INTEGER_POWER,
//   by repeated squaring and products (a reciprocal for n < 0); any other
//   power as exp(b log a), the principal branch std::pow takes.
// Parts known to be zero (the imaginary part of a real operand) are dropped
// as tExprBuilder drops zero terms, so real subformulas stay real and small.
// Branches are the principal ones of std::complex, and the parts agree with
// std::complex's results to a few units in the last place of |f| where
// nothing overflows (the log's real part loses relative accuracy only next
// to |w| = 1, where it is near zero).
//
// The derivative is taken with respect to z by tDerivative, whose rules hold
// for analytic functions, and expanded the same way. By the Cauchy-Riemann
// equations the Jacobian of (Re f, Im f) is ((Re f', -Im f'), (Im f', Re f')).
// f'(z) and f''(z), the derivative of f'(z) by the same rules, are kept as
// formulas in z for methods that work with them in complex form; f''(z) is
// not expanded here, and a second derivative too large to make does not fail
// the expansion (its parts are the real second partials of Re f and Im f,
// which the function derives from its own formulas).
//
// Refused, with a message: x and y (the point is z), abs and the other kinds
// that are not analytic, unless their argument is real; and a formula whose
// expansion exceeds the builder's budget (nesting doubles the size at every
// level, as each part of an operand is used twice).
class tComplexExpansion {
 public:
  static constexpr unsigned FORMULAS = 6;
  static constexpr double MAX_INTEGER_POWER = 1024;
  // Why a formula is refused.
  static constexpr const char* NOT_IN_Z = "f(z) is a formula in z = x + i y: it cannot use x or y";
  static constexpr const char* NOT_ANALYTIC =
      "abs of a complex value in f(z) has no complex derivative";
  static constexpr const char* TOO_LARGE = "f(z) is too large to expand";

  // Expands f(z) and its derivative; false, with getError() saying why,
  // when it cannot.
  bool expand(const tExprNode& f);
  // The six real formulas in the order of a function's slots: f1 = Re f,
  // f2 = Im f, f11 = Re f', f12 = -Im f', f21 = Im f', f22 = Re f'. Each can
  // be taken once after a successful expand; null otherwise.
  std::unique_ptr<tExprNode> takeFormula(unsigned slot);
  // f'(z) (order 1) or f''(z) (order 2) as formulas in z, each to be taken
  // once after a successful expand; null for other orders, and for f''(z)
  // when it is too large to make.
  std::unique_ptr<tExprNode> takeDerivative(int order);
  // Writes out only Re f and Im f, the formulas of slots 0 and 1, of a
  // formula in z such as f'(z) or f''(z); false, with getError() saying why,
  // when it cannot.
  bool expandValue(const tExprNode& f);
  const std::string& getError() const { return error_; }
  // Whether the last expansion stopped for its size alone: nothing refused
  // was met before the budget ran out.
  bool isTooLarge() const { return error_ == TOO_LARGE; }

 private:
  using tNode = tExprBuilder::tNode;
  struct tParts {
    tNode re;  // real part
    tNode im;  // imaginary part
  };

  // Starts a new expansion: a new budget, no error, no formulas.
  void reset();
  // Whether every formula fits; when one does not, none is kept.
  bool keepIfAllFit();
  tParts expandNode(const tExprNode* node);
  tParts leaf(const tExprNode* node);
  tParts fail(const std::string& message);
  tParts real(tNode re);
  tParts copyOf(const tParts& p);

  tParts multiply(const tParts& p, const tParts& q);
  tParts divide(const tParts& p, const tParts& q);
  tParts power(tParts base, const tParts& exponent);
  tParts integerPower(tParts base, long n);
  tParts square(const tParts& p);
  tParts function(tExprNode::TEXPR_NODE_TYPE type, tParts p);
  tParts exponential(const tParts& p);
  tParts logarithm(const tParts& p);
  // abs and the kinds that only derived formulas hold, of real operands.
  tParts realOnly(const tExprNode* node);

  // a b, or 0 without copying when either is 0.
  tNode times(const tExprNode* a, const tExprNode* b);
  // outer(u), u copied.
  tNode of(tExprNode::TEXPR_NODE_TYPE outer, const tExprNode* u);
  // first(u) second(v).
  tNode productOf(tExprNode::TEXPR_NODE_TYPE first, const tExprNode* u,
                  tExprNode::TEXPR_NODE_TYPE second, const tExprNode* v);
  tNode squared(tNode u);

  tExprBuilder builder_;      // makes and simplifies the nodes
  std::string error_;         // why the expansion stopped; empty while it goes on
  tNode formulas_[FORMULAS];  // the expanded formulas in slot order
  tNode derivatives_[2];      // f'(z) and f''(z), unexpanded
};

#endif
