#include "fractal/tLaguerreSolver.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "expr/tExprNode.h"
#include "expr/tFunction.h"

namespace {

bool holdsNoZ(const tExprNode& f) {
  std::set<std::string> names;
  f.freeVars(names);
  return names.count("z") == 0;
}

bool isWholeFrom(double value, double least) {
  return std::isfinite(value) && value >= least && value == std::floor(value);
}

// The degree of a power; -1 when it is no polynomial.
double degreeOfPower(const tExprNode& base, const tExprNode& exponent) {
  if (!holdsNoZ(exponent)) return -1.0;
  const double degree = tLaguerreSolver::degreeOf(base);
  if (degree <= 0.0) return degree;
  if (exponent.getType() != tExprNode::CONSTANT || !isWholeFrom(exponent.getValue(), 0.0))
    return -1.0;
  return degree * exponent.getValue();
}

}  // namespace

tLaguerreSolver::tLaguerreSolver(unsigned long maxIterations, double stepSize, double parameter)
    : tComplexMapSolver(maxIterations, stepSize, "LaguerreSolver", "f'' of "),
      parameter_(parameter) {}

double tLaguerreSolver::degreeOf(const tExprNode& f) {
  const int type = f.getType();
  if (type == tExprNode::VARIABLE) return f.getName() == "z" ? 1.0 : 0.0;
  if (type == tExprNode::NEGATION) return degreeOf(*f.getLeft());
  if (type == tExprNode::POW) return degreeOfPower(*f.getLeft(), *f.getRight());
  if (type != tExprNode::PLUS && type != tExprNode::MINUS && type != tExprNode::TIMES &&
      type != tExprNode::DIV) {
    return holdsNoZ(f) ? 0.0 : -1.0;
  }
  const double left = degreeOf(*f.getLeft());
  const double right = degreeOf(*f.getRight());
  if (left < 0.0 || right < 0.0) return -1.0;
  if (type == tExprNode::TIMES) return left + right;
  if (type == tExprNode::DIV) return right == 0.0 ? left : -1.0;
  return std::max(left, right);
}

double tLaguerreSolver::degreeFor(const tFunction& f) const {
  if (isWholeFrom(parameter_, 1.0)) return parameter_;
  const tExprNode* formula = f.getComplexFormula();
  const double degree = formula ? degreeOf(*formula) : -1.0;
  return degree >= 1.0 ? degree : 0.0;
}

std::string tLaguerreSolver::refusalFor(const tFunction& f) const {
  const std::string refusal = tComplexMapSolver::refusalFor(f);
  if (!refusal.empty() || degreeFor(f) != 0.0) return refusal;
  return name_ +
         " needs the degree of f, and f(z) is no polynomial in z of degree 1 or more; a script "
         "may give it as _methodParameter";
}

bool tLaguerreSolver::getMethodParameter(double& parameter) const {
  parameter = parameter_;
  return true;
}

// A map refused for want of n, solved nonetheless, stops as singular at once.
bool tLaguerreSolver::correction(const tIterate& at, tComplex& c) const {
  const double n = degreeFor(at.function);
  if (n == 0.0 || at.f.isZero()) return false;
  const tComplex g = at.d1 / at.f;
  const tComplex g2 = g * g;
  const tComplex h = g2 - at.secondDerivative() / at.f;
  const tComplex s = squareRoot((n - 1.0) * (n * h - g2));
  const tComplex plus = g + s;
  const tComplex minus = g - s;
  const tComplex& denominator = plus.norm() >= minus.norm() ? plus : minus;
  if (denominator.isZero()) return false;
  c = tComplex{n, 0.0} / denominator;
  return true;
}

bool tLaguerreSolver::getPacketScheme(tPacketStep::SCHEME& scheme) const {
  scheme = tPacketStep::SCHEME_LAGUERRE;
  return true;
}
