#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "expr/FunctionText.h"
#include "expr/tExprNode.h"
#include "expr/tExprTree.h"
#include "expr/tVariableEnv.h"

namespace {

// The unit repeated that many times, then the last token.
std::vector<std::string> repeated(std::initializer_list<const char*> unit, unsigned times,
                                  const char* last) {
  std::vector<std::string> tokens;
  for (unsigned i = 0; i < times; ++i) tokens.insert(tokens.end(), unit.begin(), unit.end());
  tokens.push_back(last);
  return tokens;
}

}  // namespace

// X is a variable no substitution reached; "x y" ends before y; a missing
// operand is EMPTY, worth 1; "( x + 1 y" takes y in place of ")".
TEST(tExprTreeTest, PrecedenceAssociativityAndConstants) {
  const double sin2 = std::sin(2.0), e = tExprNode::E_VAL;
  const struct {
    const char* formula;
    double x, y, expected;
    bool complete;    // what buildTree returns
    unsigned endPos;  // where the formula ends
  } cases[] = {
      {"2 ^ 3 ^ 2", 0, 0, 512, true, 5},        {"1 - 2 - 3", 0, 0, -4, true, 5},
      {"x / 2 / 2", 8, 0, 2, true, 5},          {"( x + 1 ) * 2", 1, 0, 4, true, 7},
      {"1 + 2 * 3 ^ 2", 0, 0, 19, true, 7},     {"- x ^ 2", 3, 0, 9, true, 4},
      {"x ^ - 2", 2, 0, 0.25, true, 4},         {"sin x ^ 2", 2, 0, sin2 * sin2, true, 4},
      {"SIN x", 2, 0, sin2, true, 2},           {"abs ( 0 - 3 )", 0, 0, 3, true, 6},
      {"cos tan sinh cosh tanh y", 0, 0.3,
       std::cos(std::tan(std::sinh(std::cosh(std::tanh(0.3))))), true, 6},
      {"exp 1", 0, 0, std::pow(e, 1.0), true, 2}, {"pi", 0, 0, tExprNode::PI_VAL, true, 1},
      {"SQRT x ^ 2", 5, 0, 5, true, 4},         {"log ( x * y )", 2, 3, std::log(6.0), true, 6},
      {"E", 0, 0, e, true, 1},                  {"0.1", 0, 0, static_cast<double>(0.1f), true, 1},
      {".5", 0, 0, 0.5, true, 1},               {"2x", 0, 0, 2, true, 1},
      {"-3", 0, 0, -3, true, 1},                {"X", 5, 0, 0, true, 1},
      {"x y", 5, 7, 5, true, 1},                {"x * 3 )", 2, 0, 6, true, 3},
      {"x *", 5, 0, 5, false, 2},               {"( x + 1", 2, 0, 3, false, 4},
      {"( x + 1 y", 2, 0, 3, false, 5},         {"sin", 0, 0, std::sin(1.0), false, 1},
      {"", 0, 0, 1, false, 0},
  };
  for (const auto& c : cases) {
    std::vector<std::string> tokens = splitTokens(c.formula);
    tExprTree tree;
    unsigned pos = 0;
    EXPECT_EQ(c.complete, tree.buildTree(tokens, pos)) << c.formula;
    EXPECT_EQ(c.endPos, pos) << c.formula;
    // A few units in the last place: the compiler may fold with a libm of its own.
    EXPECT_DOUBLE_EQ(c.expected, tree.evaluate(c.x, c.y)) << c.formula;
  }
}

TEST(tExprTreeTest, PrintsKindsValuesAndMissingChildren) {
  const struct {
    const char* formula;
    const char* expected;
  } cases[] = {
      {"abs x", "[ : [X : _, _], _]\n"},
      {"sqrt Log y", "[SQRT : [LOG : [Y : _, _], _], _]\n"},
      {"sin cos tan sinh cosh tanh exp y",
       "[SIN : [COS : [TAN : [SINH : [COSH : [TANH : [EXP : [Y : _, _], _], _], _], _], _], _], "
       "_]\n"},
      {"x / y - 1234567 + pi",
       "[PLUS : [MINUS : [DIV : [X : _, _], [Y : _, _]], [CONSTANT 1.23457e+06 : _, _]], "
       "[CONSTANT 3.14159 : _, _]]\n"},
      {"- 0.1 ^ foo", "[POW : [NEGATION : [CONSTANT 0.1 : _, _], _], [VARIABLE foo = 0 : _, _]]\n"},
      {"+", "[EMPTY : _, _]\n"},  // no operator is a variable
      {"x * * 3", "[TIMES : [X : _, _], [EMPTY : _, _]]\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, printedTree(*parsedTree(c.formula))) << c.formula;
  }
  // Nothing parsed yet.
  EXPECT_EQ("_\n", printedTree(tExprTree()));
  EXPECT_EQ(0.0, tExprTree().evaluate(1, 1));
}

// Substitution is in tFunctionTest.EnvironmentNumbersWinOverLocalConstants.
TEST(tExprTreeTest, FreeVariablesAreTheNamedOnes) {
  std::set<std::string> names = {"already"};
  parsedTree("a * x + sin ( b ) - X - pi / y + a ^ e")->freeVars(names);
  EXPECT_EQ((std::set<std::string>{"X", "a", "already", "b"}), names);
}

// Hostile nesting must neither overflow the stack while parsing nor later
// while evaluating, printing, substituting or destroying the tree.
TEST(tExprTreeTest, DeepNestingStopsAtTheDepthLimit) {
  const unsigned kMillion = 1000000;
  const struct {
    const char* name;
    std::vector<std::string> tokens;
    double expected;
  } cases[] = {
      {"open parentheses", repeated({"("}, 10000, "x"), 1.0},
      {"unary minus signs", repeated({"-"}, kMillion, "x"), 1.0},  // 2000 negations of EMPTY
      {"functions", repeated({"abs"}, kMillion, "x"), 1.0},
      {"sum chain", repeated({"1", "+"}, kMillion / 2, "1"), tExprNode::MAX_DEPTH + 1.0},
      {"power tower", repeated({"1", "^"}, kMillion / 2, "1"), 1.0},
      {"mixed", repeated({"(", "x", "-", "sin"}, kMillion / 4, "x"), std::nan("")},  // finite
  };
  for (const auto& c : cases) {
    tExprTree tree;
    unsigned pos = 0;
    EXPECT_FALSE(tree.buildTree(c.tokens, pos)) << c.name;
    // What lies beyond the limit is dropped like the end of the tokens.
    EXPECT_EQ(c.tokens.size(), pos) << c.name;
    if (std::isnan(c.expected))
      EXPECT_TRUE(std::isfinite(tree.evaluate(2, 3))) << c.name;
    else
      EXPECT_EQ(c.expected, tree.evaluate(2, 3)) << c.name;
    tVariableEnv env;
    env.extend("x", 1.0);
    tree.substituteVars(&env);
    std::set<std::string> names;
    tree.freeVars(names);
    EXPECT_TRUE(names.empty()) << c.name;
    EXPECT_FALSE(printedTree(tree).empty()) << c.name;
  }

  // Below the limit everything parses: 1500 parentheses, then 400 factors.
  std::vector<std::string> tokens = repeated({"("}, 1500, "x");
  tokens.insert(tokens.end(), 1500, ")");
  for (int i = 0; i < 400; ++i) tokens.insert(tokens.end(), {"*", "-", "1"});
  tokens.insert(tokens.end(), {"+", "1"});
  tExprTree tree;
  unsigned pos = 0;
  EXPECT_TRUE(tree.buildTree(tokens, pos));
  EXPECT_EQ(tokens.size(), pos);
  EXPECT_EQ(3.0, tree.evaluate(2, 0));
}
