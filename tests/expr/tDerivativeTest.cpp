#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "expr/FunctionText.h"
#include "expr/tComplexExpansion.h"
#include "expr/tDerivative.h"
#include "expr/tExprTree.h"
#include "expr/tVariableEnv.h"

namespace {

std::unique_ptr<tExprNode> parsed(const std::string& formula) {
  return parsedTree(formula)->getRoot()->copy();
}

std::string printed(std::unique_ptr<tExprNode> root) { return printedTree(tExprTree(std::move(root))); }

// The derivative of f along (dx, dy) at (x, y) by the five-point central
// difference, whose error is of the order of h^4.
double centralDifference(const tExprTree& f, double x, double y, double dx, double dy) {
  const double h = 1e-3;
  auto at = [&](double t) { return f.evaluate(x + t * dx, y + t * dy); };
  return (at(-2 * h) - 8 * at(-h) + 8 * at(h) - at(2 * h)) / (12 * h);
}

}  // namespace

// Every rule, alone and composed, at 100 random points of a box where the
// formula is smooth. Complex rows differentiate the real and imaginary parts
// of an expanded f(z), which hold the parts of the complex logarithm and
// square root; second rows differentiate the derivative by x once more.
TEST(tDerivativeTest, DerivativesAgreeWithCentralDifferences) {
  enum { REAL, SECOND, COMPLEX };
  const struct {
    const char* formula;
    double low, high;  // the box [low, high]^2
    int form;
  } cases[] = {
      {"x + y - 3 * x * y - ( x - y ) / 3", -2, 2, REAL},
      {"x * y / ( 1 + x ^ 2 ) + 2 / ( x + 3 )", -2, 2, REAL},
      {"x ^ 3 + y ^ - 2 + x ^ 0.5 + x ^ y + 2 ^ ( x * y ) + e ^ x", 0.5, 2, REAL},
      {"- x ^ 2 + - ( x * y ) + a * x ^ b + sin ( a * y )", 0.5, 2, REAL},
      {"sin ( x * y ) + cos ( x - y ) + tan ( x / 3 ) + exp ( x * y ) + exp - x", -2, 2, REAL},
      {"sinh x * cosh y - tanh ( x + y )", -2, 2, REAL},
      {"abs ( x * y - 5 ) + abs ( x + 3 ) + sqrt ( x ^ 2 + y ) + log ( x * x + y * y )", 0.5, 2,
       REAL},
      {"log ( 1 + sqrt ( exp ( sin ( x * y ) ) ) ) / cosh ( x - y ^ 2 )", -2, 2, REAL},
      {"abs ( x * y - 5 ) * x + x ^ y / tan y", 0.5, 1.5, SECOND},
      {"sqrt ( z - a ) + log ( z * z + i ) + z ^ b", 0.5, 2, COMPLEX},
  };
  tVariableEnv env;
  env.extend("a", 1.5);
  env.extend("b", 2.5);
  std::mt19937 random(7);
  for (const auto& c : cases) {
    std::vector<std::unique_ptr<tExprNode>> functions;
    if (c.form == COMPLEX) {
      tComplexExpansion expansion;
      ASSERT_TRUE(expansion.expand(*parsed(c.formula))) << c.formula;
      functions.push_back(expansion.takeFormula(0));
      functions.push_back(expansion.takeFormula(1));
    } else {
      functions.push_back(parsed(c.formula));
      if (c.form == SECOND) functions.back() = tDerivative::ofX(*functions.back());
    }
    std::uniform_real_distribution<double> coordinate(c.low, c.high);
    for (auto& function : functions) {
      tExprTree f(function->copy());
      // The parameters are put in afterwards: the derivatives keep them as variables.
      tExprTree dx(tDerivative::ofX(*function));
      tExprTree dy(tDerivative::ofY(*function));
      for (tExprTree* tree : {&f, &dx, &dy}) tree->substituteVars(&env);
      int checked = 0;
      for (int i = 0; i < 100; ++i) {
        double x = coordinate(random), y = coordinate(random);
        double fx = dx.evaluate(x, y), fy = dy.evaluate(x, y);
        if (!std::isfinite(f.evaluate(x, y)) || !std::isfinite(fx) || !std::isfinite(fy)) continue;
        ++checked;
        EXPECT_NEAR(centralDifference(f, x, y, 1, 0), fx, 1e-9 * (1 + std::fabs(fx)))
            << c.formula << " by x at (" << x << ", " << y << ")";
        EXPECT_NEAR(centralDifference(f, x, y, 0, 1), fy, 1e-9 * (1 + std::fabs(fy)))
            << c.formula << " by y at (" << x << ", " << y << ")";
      }
      EXPECT_GT(checked, 90) << c.formula;
    }
  }
}

// What is exactly simplifiable is simplified, so derived formulas stay the
// size a person would write; variables stay variables.
TEST(tDerivativeTest, DerivedFormulasAreSmall) {
  const std::string x = "[X : _, _]", y = "[Y : _, _]", two = "[CONSTANT 2 : _, _]";
  const struct {
    const char* formula;
    const char* by;  // "x", "y" or a variable's name
    std::string expected;
  } cases[] = {
      {"x ^ 2", "x", "[TIMES : " + two + ", " + x + "]"},
      {"3 * x + y * y", "x", "[CONSTANT 3 : _, _]"},
      {"x * y", "y", x},
      {"y", "x", "[CONSTANT 0 : _, _]"},
      {"a * x", "x", "[VARIABLE a = 0 : _, _]"},
      {"x ^ ( 1 / 2 )", "x",
       "[TIMES : [CONSTANT 0.5 : _, _], [POW : " + x + ", [CONSTANT -0.5 : _, _]]]"},
      {"1 / x", "x", "[DIV : [CONSTANT -1 : _, _], [POW : " + x + ", " + two + "]]"},
      {"x ^ - 1", "x", "[NEGATION : [POW : " + x + ", [CONSTANT -2 : _, _]], _]"},
      {"sin y + x", "y", "[COS : " + y + ", _]"},
      {"cos x", "x", "[NEGATION : [SIN : " + x + ", _], _]"},
      {"exp x", "x", "[EXP : " + x + ", _]"},
      // ln(E_VAL) folds to 1, ln 2 to a constant.
      {"e ^ x", "x", "[POW : [CONSTANT 2.71828 : _, _], " + x + "]"},
      {"2 ^ x", "x", "[TIMES : [POW : " + two + ", " + x + "], [CONSTANT 0.693147 : _, _]]"},
      {"abs x", "x", "[SIGN : " + x + ", _]"},
      {"sqrt x", "x", "[DIV : [CONSTANT 1 : _, _], [TIMES : " + two + ", [SQRT : " + x + ", _]]]"},
      {"log ( 2 * x )", "x", "[DIV : " + two + ", [TIMES : " + two + ", " + x + "]]"},
      {"z ^ 3 - a", "z",
       "[TIMES : [CONSTANT 3 : _, _], [POW : [VARIABLE z = 0 : _, _], " + two + "]]"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<tExprNode> f = parsed(c.formula);
    std::string by = c.by;
    auto derivative = by == "x"   ? tDerivative::ofX(*f)
                      : by == "y" ? tDerivative::ofY(*f)
                                  : tDerivative::ofVariable(*f, by);
    EXPECT_EQ(c.expected + "\n", printed(std::move(derivative))) << c.formula << " by " << by;
  }
  // abs' = sign, which is 0 at 0.
  EXPECT_EQ(0.0, tExprTree(tDerivative::ofX(*parsed("abs x"))).evaluate(0, 0));
}
