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

struct tParseCase {
  const char* formula;  // tokens separated by spaces
  double x, y;
  double expected;
  bool complete;    // what buildTree returns
  unsigned endPos;  // where the formula ends
};

// The unit repeated that many times, then the last token.
std::vector<std::string> repeated(std::initializer_list<const char*> unit, unsigned times,
                                  const char* last) {
  std::vector<std::string> tokens;
  for (unsigned i = 0; i < times; ++i) tokens.insert(tokens.end(), unit.begin(), unit.end());
  tokens.push_back(last);
  return tokens;
}

std::string printed(const tExprTree& tree) {
  testing::internal::CaptureStdout();
  tree.print();
  return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(tExprTreeTest, PrecedenceAssociativityAndConstants) {
  const double singlePointOne = static_cast<double>(0.1f);
  const tParseCase cases[] = {
      {"2 ^ 3 ^ 2", 0, 0, 512, true, 5},
      {"1 - 2 - 3", 0, 0, -4, true, 5},
      {"x / 2 / 2", 8, 0, 2, true, 5},
      {"( x + 1 ) * 2", 1, 0, 4, true, 7},
      {"1 + 2 * 3 ^ 2", 0, 0, 19, true, 7},
      {"- x ^ 2", 3, 0, 9, true, 4},
      {"- 2 ^ 2", 0, 0, 4, true, 4},
      {"x ^ - 2", 2, 0, 0.25, true, 4},
      {"sin x ^ 2", 2, 0, std::pow(std::sin(2.0), 2.0), true, 4},
      {"sin ( x ) * y", 2, 3, std::sin(2.0) * 3, true, 6},
      {"SIN x", 2, 0, std::sin(2.0), true, 2},
      {"cos tan sinh cosh tanh y", 0, 0.3, std::cos(std::tan(std::sinh(std::cosh(std::tanh(0.3))))),
       true, 6},
      {"exp 1", 0, 0, std::pow(tExprNode::E_VAL, 1.0), true, 2},
      {"abs ( 0 - 3 )", 0, 0, 3, true, 6},
      {"pi", 0, 0, tExprNode::PI_VAL, true, 1},
      {"PI", 0, 0, tExprNode::PI_VAL, true, 1},
      {"pI", 0, 0, tExprNode::PI_VAL, true, 1},
      {"e", 0, 0, tExprNode::E_VAL, true, 1},
      {"E", 0, 0, tExprNode::E_VAL, true, 1},
      {"0.1", 0, 0, singlePointOne, true, 1},
      {"2x", 0, 0, 2, true, 1},
      {"1e5", 0, 0, 100000, true, 1},
      {"X", 5, 0, 0, true, 1},  // a variable no substitution reached
      {"y", 5, 7, 7, true, 1},
      {"x y", 5, 7, 5, true, 1},  // the formula ends before y
      {"x * 3 )", 2, 0, 6, true, 3},
      {"x *", 5, 0, 5, false, 2},  // x * EMPTY
      {"( x + 1", 2, 0, 3, false, 4},
      {"( x + 1 y", 2, 0, 3, false, 5},  // y is taken in place of ")"
      {"sin", 0, 0, std::sin(1.0), false, 1},
      {"", 0, 0, 1, false, 0},
  };
  for (const tParseCase& c : cases) {
    std::vector<std::string> tokens = splitTokens(c.formula);
    tExprTree tree;
    unsigned pos = 0;
    EXPECT_EQ(c.complete, tree.buildTree(tokens, pos)) << c.formula;
    EXPECT_EQ(c.endPos, pos) << c.formula;
    // Within a few units in the last place: the compiler may fold the
    // expected values with a libm of its own.
    EXPECT_DOUBLE_EQ(c.expected, tree.evaluate(c.x, c.y)) << c.formula;
  }
  EXPECT_NE(0.1, singlePointOne);  // far more than a few units apart
}

TEST(tExprTreeTest, ParsesFromTheGivenPositionAndStopsAtTheNextLabel) {
  std::vector<std::string> tokens = splitTokens("f1 = x + 1 f2 = y");
  tExprTree tree;
  unsigned pos = 2;
  EXPECT_TRUE(tree.buildTree(tokens, pos));
  EXPECT_EQ(5u, pos);
  EXPECT_EQ(4.0, tree.evaluate(3, 0));
}

TEST(tExprTreeTest, DivisionByZeroGivesTheFloatingPointResult) {
  std::vector<std::string> tokens = splitTokens("1 / x");
  tExprTree tree;
  unsigned pos = 0;
  ASSERT_TRUE(tree.buildTree(tokens, pos));
  EXPECT_TRUE(std::isinf(tree.evaluate(0, 0)));
  EXPECT_TRUE(std::isnan(tree.evaluate(std::nan(""), 0)));
  EXPECT_EQ(0.0, tExprTree().evaluate(1, 1));  // nothing parsed yet
}

TEST(tExprTreeTest, PrintsKindsValuesAndMissingChildren) {
  const struct {
    const char* formula;
    const char* expected;
  } cases[] = {
      {"x + 2", "[PLUS : [X : _, _], [CONSTANT 2 : _, _]]\n"},
      {"abs x", "[ : [X : _, _], _]\n"},
      {"- 0.1 * foo",
       "[TIMES : [NEGATION : [CONSTANT 0.1 : _, _], _], [VARIABLE foo = 0 : _, _]]\n"},
      {"sin cos tan sinh cosh tanh exp y",
       "[SIN : [COS : [TAN : [SINH : [COSH : [TANH : [EXP : [Y : _, _], _], _], _], _], _], _], "
       "_]\n"},
      {"x / y ^ pi", "[DIV : [X : _, _], [POW : [Y : _, _], [CONSTANT 3.14159 : _, _]]]\n"},
      {"x - 1234567", "[MINUS : [X : _, _], [CONSTANT 1.23457e+06 : _, _]]\n"},
      {"x *", "[TIMES : [X : _, _], [EMPTY : _, _]]\n"},
      {"+", "[VARIABLE + = 0 : _, _]\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> tokens = splitTokens(c.formula);
    tExprTree tree;
    unsigned pos = 0;
    tree.buildTree(tokens, pos);
    EXPECT_EQ(c.expected, printed(tree)) << c.formula;
  }
  EXPECT_EQ("_\n", printed(tExprTree()));
}

TEST(tExprTreeTest, SubstitutionTakesTheInnermostScopeOnly) {
  std::vector<std::string> tokens = splitTokens("a * 100 + b * 10 + c");
  tExprTree tree;
  unsigned pos = 0;
  ASSERT_TRUE(tree.buildTree(tokens, pos));

  tVariableEnv env;
  env.extend("a", 1.0);
  env.extend("c", 3.0);
  tree.substituteVars(&env);
  EXPECT_EQ(103.0, tree.evaluate(0, 0));

  env.extendScope();
  env.extend("b", 2);
  env.extend("a", 4.0);
  tree.substituteVars(&env);
  // a and b come from the current scope; c keeps the value it was given.
  EXPECT_EQ(423.0, tree.evaluate(0, 0));

  tVariableEnv empty;
  tree.substituteVars(&empty);
  tree.substituteVars(nullptr);
  EXPECT_EQ(423.0, tree.evaluate(0, 0));
  EXPECT_EQ(
      "[PLUS : [PLUS : [TIMES : [VARIABLE a = 4 : _, _], [CONSTANT 100 : _, _]], "
      "[TIMES : [VARIABLE b = 2 : _, _], [CONSTANT 10 : _, _]]], [VARIABLE c = 3 : _, _]]\n",
      printed(tree));
}

TEST(tExprTreeTest, FreeVariablesAreTheNamedOnes) {
  std::vector<std::string> tokens = splitTokens("a * x + sin ( b ) - X - pi / y + a ^ e");
  tExprTree tree;
  unsigned pos = 0;
  ASSERT_TRUE(tree.buildTree(tokens, pos));
  std::set<std::string> names = {"already"};
  tree.freeVars(names);
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
      {"difference chain", repeated({"1", "-"}, kMillion / 2, "1"), 1.0 - tExprNode::MAX_DEPTH},
      {"quotient chain", repeated({"3", "/"}, kMillion / 2, "3"), 0.0},  // underflows
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
    EXPECT_FALSE(printed(tree).empty()) << c.name;
  }
}

TEST(tExprTreeTest, NestingBelowTheLimitParsesInFull) {
  std::vector<std::string> tokens(1500, "(");
  tokens.push_back("x");
  tokens.insert(tokens.end(), 1500, ")");
  tokens.push_back("+");
  tokens.push_back("1");
  for (int i = 0; i < 400; ++i) {
    tokens.push_back("*");
    tokens.push_back("-");
    tokens.push_back("1");
  }
  tExprTree tree;
  unsigned pos = 0;
  EXPECT_TRUE(tree.buildTree(tokens, pos));
  EXPECT_EQ(tokens.size(), pos);
  EXPECT_EQ(3.0, tree.evaluate(2, 0));
}
