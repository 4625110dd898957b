#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "expr/FunctionText.h"
#include "expr/tComplexExpansion.h"
#include "expr/tExprNode.h"
#include "expr/tExprTree.h"
#include "expr/tVariableEnv.h"

namespace {

using tComplex = std::complex<double>;
const tComplex kI(0, 1);
const double kA = 0.75;  // the parameter a

// f(z) parsed and expanded; false when the expansion refuses it.
bool expanded(const std::string& formula, tComplexExpansion& expansion) {
  return expansion.expand(*parsedTree(formula)->getRoot());
}

std::vector<std::unique_ptr<tExprTree>> formulas(tComplexExpansion& expansion) {
  std::vector<std::unique_ptr<tExprTree>> trees;
  for (unsigned k = 0; k < tComplexExpansion::FORMULAS; ++k)
    trees.push_back(std::make_unique<tExprTree>(expansion.takeFormula(k)));
  return trees;
}

// A function of z for the tables.
#define OF_Z(expression) [](tComplex z) -> tComplex { return expression; }

// Keeps the worse of the two, a NaN worst of all.
void keepWorst(double& worst, double value) {
  if (!(value <= worst)) worst = value;
}

// |value - expected| in units of the last place of |expected|.
double ulpsApart(tComplex value, tComplex expected) {
  return std::abs(value - expected) / (std::abs(expected) * std::numeric_limits<double>::epsilon());
}

}  // namespace

// Re f, Im f and the Jacobian from f' against std::complex at 300 random
// points of [-2, 2]^2 for every operator and function, real parameters whose
// functions leave the reals included. Values agree to 4 units in the last
// place of |f| (3 at worst today); derivatives, computed here by other
// formulas than the expansion's, to 8 units of |f'| (3.4 today).
TEST(tComplexExpansionTest, AgreesWithStdComplex) {
  const struct {
    const char* formula;
    tComplex (*f)(tComplex);
    tComplex (*derivative)(tComplex);
  } cases[] = {
      {"z ^ 3 - a", OF_Z(z * z * z - kA), OF_Z(3.0 * z * z)},
      {"z ^ 5 - 1", OF_Z(std::pow(z, 5) - 1.0), OF_Z(5.0 * std::pow(z, 4))},
      {"z ^ 3 - 2 * z + 2", OF_Z(z * z * z - 2.0 * z + 2.0), OF_Z(3.0 * z * z - 2.0)},
      {"- z ^ 2 + i * z", OF_Z(z * z + kI * z), OF_Z(2.0 * z + kI)},
      {"z ^ - 1 * z ^ - 2", OF_Z(1.0 / (z * z * z)), OF_Z(-3.0 / (z * z * z * z))},
      {"( z + i ) / ( z - a )", OF_Z((z + kI) / (z - kA)),
       OF_Z((-kA - kI) / ((z - kA) * (z - kA)))},
      {"exp z", OF_Z(std::exp(z)), OF_Z(std::exp(z))},
      {"sin z", OF_Z(std::sin(z)), OF_Z(std::cos(z))},
      {"cos z", OF_Z(std::cos(z)), OF_Z(-std::sin(z))},
      {"tan z", OF_Z(std::tan(z)), OF_Z(1.0 / (std::cos(z) * std::cos(z)))},
      {"sinh z", OF_Z(std::sinh(z)), OF_Z(std::cosh(z))},
      {"cosh z", OF_Z(std::cosh(z)), OF_Z(std::sinh(z))},
      {"tanh z", OF_Z(std::tanh(z)), OF_Z(1.0 / (std::cosh(z) * std::cosh(z)))},
      {"sqrt z", OF_Z(std::sqrt(z)), OF_Z(0.5 / std::sqrt(z))},
      {"log z", OF_Z(std::log(z)), OF_Z(1.0 / z)},
      {"z ^ 0.5", OF_Z(std::pow(z, 0.5)), OF_Z(0.5 / std::pow(z, 0.5))},
      {"z ^ ( a + i )", OF_Z(std::pow(z, tComplex(kA, 1))),
       OF_Z(tComplex(kA, 1) * std::pow(z, tComplex(kA, 1)) / z)},
      {"2 ^ z", OF_Z(std::pow(2.0, z)), OF_Z(std::log(2.0) * std::pow(2.0, z))},
      {"exp ( i * z ) + sin ( z * z ) / ( 1 + z )",
       OF_Z(std::exp(kI * z) + std::sin(z * z) / (1.0 + z)),
       OF_Z(kI * std::exp(kI * z) + 2.0 * z * std::cos(z * z) / (1.0 + z) -
            std::sin(z * z) / ((1.0 + z) * (1.0 + z)))},
      {"sqrt ( a - 2 ) * z + abs ( a ) + log ( a - 1 )",
       OF_Z(std::sqrt(tComplex(kA - 2)) * z + std::fabs(kA) + std::log(tComplex(kA - 1))),
       [](tComplex) { return std::sqrt(tComplex(kA - 2)); }},
  };
  tVariableEnv env;
  env.extend("a", kA);
  for (const auto& c : cases) {
    tComplexExpansion expansion;
    ASSERT_TRUE(expanded(c.formula, expansion)) << c.formula << ": " << expansion.getError();
    auto f = formulas(expansion);
    for (auto& tree : f) tree->substituteVars(&env);
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coordinate(-2, 2);
    double worstValue = 0, worstDerivative = 0;
    for (int k = 0; k < 300; ++k) {
      double x = coordinate(random), y = coordinate(random);
      double v[tComplexExpansion::FORMULAS];
      for (unsigned s = 0; s < tComplexExpansion::FORMULAS; ++s) v[s] = f[s]->evaluate(x, y);
      // f11 = f22 = Re f', f21 = -f12 = Im f'.
      ASSERT_EQ(v[2], v[5]) << c.formula;
      ASSERT_EQ(v[4], -v[3]) << c.formula;
      keepWorst(worstValue, ulpsApart({v[0], v[1]}, c.f({x, y})));
      keepWorst(worstDerivative, ulpsApart({v[2], v[4]}, c.derivative({x, y})));
    }
    EXPECT_LE(worstValue, 4) << c.formula;
    EXPECT_LE(worstDerivative, 8) << c.formula;
  }
}

// A negative real, negated or written as a difference, a constant or a
// parameter, has the imaginary part +0 of every real: square roots,
// logarithms and real powers of it take the principal branch, the one above
// the cut.
TEST(tComplexExpansionTest, NegativeRealsTakeThePrincipalBranch) {
  const double pi = tExprNode::PI_VAL;
  const struct {
    const char* formula;
    tComplex value;
  } cases[] = {
      {"sqrt ( - 4 )", {0, 2}},         {"sqrt ( 0 - 4 )", {0, 2}},
      {"sqrt ( - c )", {0, 2}},         {"sqrt ( - ( 2 + 2 ) )", {0, 2}},
      {"log ( - 1 )", {0, pi}},         {"log ( 0 - c / 4 )", {0, pi}},
      {"( - 8 ) ^ ( 1 / 3 )", {1, std::sqrt(3.0)}}, {"( - 1 ) ^ 0.5", {0, 1}},
      {"( - 2 ) ^ 3", {-8, 0}},         {"- sqrt ( 4 )", {-2, 0}},
  };
  tVariableEnv env;
  env.extend("c", 4.0);
  for (const auto& c : cases) {
    tComplexExpansion expansion;
    ASSERT_TRUE(expanded(c.formula, expansion)) << c.formula;
    auto f = formulas(expansion);
    for (auto& tree : f) tree->substituteVars(&env);
    const tComplex value(f[0]->evaluate(0.3, -0.7), f[1]->evaluate(0.3, -0.7));
    EXPECT_LT(std::abs(value - c.value), 1e-12) << c.formula << " = " << value;
  }
}

// Small formulas stay small, and real parts of real operands stay real; a
// polynomial's whole expansion is in tFunctionTest.EveryWayOfStoppingTracesExactly.
TEST(tComplexExpansionTest, ExpandedFormulasAreSmall) {
  const std::string x = "[X : _, _]", y = "[Y : _, _]", a = "[VARIABLE a = 0 : _, _]";
  const struct {
    const char* formula;
    std::string re, im;
  } cases[] = {
      {"log z + sqrt z",
       "[PLUS : [LOG : [HYPOT : " + x + ", " + y + "], _], [SQRTRE : " + x + ", " + y + "]]",
       "[PLUS : [ATAN2 : " + y + ", " + x + "], [SQRTIM : " + x + ", " + y + "]]"},
      {"exp ( a * z ) - sin a",
       "[MINUS : [TIMES : [EXP : [TIMES : " + a + ", " + x + "], _], [COS : [TIMES : " + a + ", " +
           y + "], _]], [SIN : " + a + ", _]]",
       "[TIMES : [EXP : [TIMES : " + a + ", " + x + "], _], [SIN : [TIMES : " + a + ", " + y +
           "], _]]"},
  };
  for (const auto& c : cases) {
    tComplexExpansion expansion;
    ASSERT_TRUE(expanded(c.formula, expansion)) << c.formula;
    auto f = formulas(expansion);
    EXPECT_EQ(c.re + "\n", printedTree(*f[0])) << c.formula;
    EXPECT_EQ(c.im + "\n", printedTree(*f[1])) << c.formula;
  }
}

TEST(tComplexExpansionTest, RefusesWhatIsNotAnAnalyticMapOrTooLarge) {
  std::string nest = "z";
  for (int k = 0; k < 40; ++k) nest = "exp " + nest;
  const struct {
    std::string formula;
    const char* error;
  } cases[] = {
      {"z + x", "f(z) is a formula in z = x + i y: it cannot use x or y"},
      {"z * abs ( z - i )", "abs of a complex value in f(z) has no complex derivative"},
      {"abs ( i )", "abs of a complex value in f(z) has no complex derivative"},
      {nest, "f(z) is too large to expand"},
  };
  for (const auto& c : cases) {
    tComplexExpansion expansion;
    EXPECT_FALSE(expanded(c.formula, expansion)) << c.formula;
    EXPECT_EQ(c.error, expansion.getError()) << c.formula;
    EXPECT_EQ(nullptr, expansion.takeFormula(0)) << c.formula;
  }
}

// f'(z) and f''(z) as a function read from f(z) keeps them: their parts,
// written out anew, are the known derivatives and, by the Cauchy-Riemann
// equations, the function's first and second partials derived from its real
// formulas: f'' = f1xx - i f1xy = -f1yy + i f2xx = f2xy - i f2yy.
TEST(tComplexExpansionTest, DerivativesOfZAgreeWithTheRealPartials) {
  const struct {
    const char* formula;
    tComplex (*first)(tComplex);
    tComplex (*second)(tComplex);
  } cases[] = {
      {"z ^ 3 - 1", OF_Z(3.0 * z * z), OF_Z(6.0 * z)},
      {"sin z", OF_Z(std::cos(z)), OF_Z(-std::sin(z))},
      {"exp ( z ) - 1", OF_Z(std::exp(z)), OF_Z(std::exp(z))},
      {"z ^ 5 + c * z", OF_Z(5.0 * std::pow(z, 4) + 0.5), OF_Z(20.0 * z * z * z)},
      {"1 / ( z ^ 2 + 1 )", OF_Z(-2.0 * z / ((z * z + 1.0) * (z * z + 1.0))),
       OF_Z((6.0 * z * z - 2.0) / std::pow(z * z + 1.0, 3))},
  };
  // The second partials in tFunction's order as parts of f'': sign, imaginary.
  const struct {
    double sign;
    bool imaginary;
  } hessian[] = {{1, false}, {-1, true}, {-1, false}, {1, true}, {1, false}, {-1, true}};
  const tComplex points[] = {{0.3, -0.7}, {1.2, 0.4}, {-0.8, 1.1}, {-1.3, -0.2}, {0.5, 0.5}};
  for (const auto& row : cases) {
    auto f = functionFromText(std::string("c = 0.5 f ( z ) = ") + row.formula);
    std::unique_ptr<tExprTree> parts[2][2];
    for (int order = 1; order <= 2; ++order) {
      tComplexExpansion expansion;
      ASSERT_NE(nullptr, f->getComplexDerivative(order)) << row.formula;
      ASSERT_TRUE(expansion.expandValue(*f->getComplexDerivative(order))) << row.formula;
      for (unsigned k = 0; k < 2; ++k)
        parts[order - 1][k] = std::make_unique<tExprTree>(expansion.takeFormula(k));
    }
    for (tComplex z : points) {
      const double x = z.real(), y = z.imag();
      const tComplex first(parts[0][0]->evaluate(x, y), parts[0][1]->evaluate(x, y));
      const tComplex second(parts[1][0]->evaluate(x, y), parts[1][1]->evaluate(x, y));
      const double close1 = 1e-12 * (1 + std::abs(first));
      const double close2 = 1e-12 * (1 + std::abs(second));
      EXPECT_LT(std::abs(first - row.first(z)), close1) << row.formula << " at " << z;
      EXPECT_LT(std::abs(second - row.second(z)), close2) << row.formula << " at " << z;
      EXPECT_NEAR(first.real(), f->getFormula(2)->evaluate(x, y), close1) << row.formula;
      EXPECT_NEAR(first.imag(), f->getFormula(4)->evaluate(x, y), close1) << row.formula;
      double partials[tFunction::SECOND_FORMULAS];
      f->secondDerivatives(x, y, partials);
      for (unsigned k = 0; k < tFunction::SECOND_FORMULAS; ++k) {
        const double part = hessian[k].imaginary ? second.imag() : second.real();
        EXPECT_NEAR(hessian[k].sign * part, partials[k], close2)
            << row.formula << " " << tFunction::getSecondLabel(k) << " at " << z;
      }
    }
  }
}
