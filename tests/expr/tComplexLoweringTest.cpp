#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "expr/FunctionText.h"
#include "expr/tExprNode.h"
#include "expr/tFunction.h"
#include "expr/tFunctionCheck.h"
#include "expr/tVariableEnv.h"

namespace {

using tComplex = std::complex<double>;

// The same bits, or both not a number.
bool sameBits(double a, double b) {
  if (std::isnan(a) && std::isnan(b)) return true;
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Special values on both axes (zeros of both signs, a subnormal, huge,
// infinite, not a number) and random points.
std::vector<tComplex> testPoints() {
  const double inf = std::numeric_limits<double>::infinity();
  const double special[] = {0.0,    -0.0,    1.0,   -1.0,   0.5, -2.5, 3.0,
                            1e-310, -1e-300, 1e300, -1e308, inf, -inf, std::nan("")};
  std::vector<tComplex> points;
  for (double x : special)
    for (double y : special) points.emplace_back(x, y);
  std::mt19937 random(11);
  std::uniform_real_distribution<double> coordinate(-3, 3);
  for (int k = 0; k < 200; ++k) points.emplace_back(coordinate(random), coordinate(random));
  return points;
}

// The first slot whose program output differs from its written-out formula
// at the point; -1 when none does.
int firstDiffering(const tFunction& lowered, const tFunction& written, tComplex z) {
  double out[tFunction::FORMULAS];
  lowered.getProgram().evaluate(z.real(), z.imag(), out);
  for (unsigned k = 0; k < tFunction::FORMULAS; ++k)
    if (!sameBits(out[k], written.getFormula(k)->evaluate(z.real(), z.imag()))) return k;
  return -1;
}

// Puts a and b into the function's formulas.
void substitute(tFunction& f, double a, double b) {
  tVariableEnv env;
  env.extend("a", a);
  env.extend("b", b);
  f.substituteVars(&env);
}

// f, f' and f'' at a point.
using tJet = std::array<tComplex, 3>;

// g nested `depth` times, g(g(...g(z))), with its derivatives by the chain
// rule; `step` gives g, g' and g'' at w.
template <typename tStep>
tJet nested(tComplex z, int depth, tStep step) {
  tJet jet = {z, 1.0, 0.0};
  for (int k = 0; k < depth; ++k) {
    const tJet g = step(jet[0]);
    jet = {g[0], g[1] * jet[1], g[2] * jet[1] * jet[1] + g[1] * jet[2]};
  }
  return jet;
}

// `inner` wrapped `depth` times into `before` ... `after`.
std::string nest(const std::string& before, const std::string& inner, const std::string& after,
                 int depth) {
  std::string text = inner;
  for (int k = 0; k < depth; ++k) text = before + text + after;
  return text;
}

// (z + 5/4) (z + 1) ... (z - 5/4), eleven roots a quarter apart.
const double kRoots[] = {-1.25, -1, -0.75, -0.5, -0.25, 0, 0.25, 0.5, 0.75, 1, 1.25};

std::string elevenFactors() {
  std::string text;
  for (double root : kRoots) {
    std::ostringstream factor;
    factor << (text.empty() ? "( z " : " * ( z ") << (root < 0 ? "+ " : "- ") << std::fabs(root)
           << " )";
    text += factor.str();
  }
  return text;
}

tJet elevenFactorsAt(tComplex z) {
  tComplex f = 1.0, sum = 0.0, squares = 0.0;
  for (double root : kRoots) {
    f *= z - root;
    sum += 1.0 / (z - root);
    squares += 1.0 / ((z - root) * (z - root));
  }
  return {f, f * sum, f * (sum * sum - squares)};
}

// The values, the inverse Jacobian and the second derivatives of the tree
// walk have the program's bits.
bool treeWalkGivesTheSameBits(tFunction& f, double x, double y) {
  double values[2][12];
  for (int walk = 0; walk < 2; ++walk) {
    f.setTreeWalk(walk == 1);
    double* v = values[walk];
    const tVector2 value = f.value({x, y});
    const tMatrix2 inverse = f.jacobianInverse({x, y});
    v[0] = value[0];
    v[1] = value[1];
    for (unsigned k = 0; k < 4; ++k) v[2 + k] = inverse(k / 2, k % 2);
    f.secondDerivatives(x, y, v + 6);
  }
  f.setTreeWalk(false);
  for (unsigned k = 0; k < 12; ++k)
    if (!sameBits(values[0][k], values[1][k])) return false;
  return true;
}

}  // namespace

// Every kind of node and every simplification of the expansion, with
// parameters (a, b) and a file constant (c): the compiled program, lowered
// from f(z) and f'(z), gives the written-out formulas' bits, with the numbers
// put in and with a and b as inputs of a parameter plane's program (b = 0
// included, which no simplification may take for a zero).
TEST(tComplexLoweringTest, ProgramsGiveTheWrittenOutFormulasBits) {
  const char* const maps[] = {
      "z ^ 3 - a",
      "z ^ 3 - 2 * z + 2",
      "- z ^ 2 + i * z",
      "z ^ - 1 * z ^ - 2 + z ^ 0 + z ^ 1 + z ^ 40",
      "( z + i ) / ( z - a ) + z / a + i / 2",
      "exp z + sin z - cos z",
      "tan z * sinh z / cosh z - tanh z",
      "sqrt z + log z",
      "exp a + sin a * z + cos a + tan a + sinh a + cosh a + tanh a + sqrt a + log a",
      "sqrt ( - 4 ) * z + log ( - a ) - sqrt ( - c ) + ( - 8 ) ^ ( 1 / 3 )",
      "z ^ 0.5 + z ^ ( a + i ) + 2 ^ z + z ^ a + z ^ 2 ^ 0.5",
      "- ( - z ) + 0 * z + z * 1 - 1 * z + ( - 1 ) * z + z * ( - 1 ) + z / 1 - 0 / z",
      "abs ( a ) * z + abs ( - 2 ) + e ^ z + pi * z",
      "exp ( i * z ) + sin ( z * z ) / ( 1 + z )",
      "c * z ^ 2 - b * z + b / z + z ^ b",
      "log ( z ^ 2 - a ) - sqrt ( i * z + b )",
      "tan ( z / 2 ) * tanh ( a * z ) - cosh ( - z ) + sinh ( b * i )",
      "( 1 + i ) ^ z - ( z - a ) * ( z - b ) * ( z + i )",
      "sin ( cos ( z ) ) + exp ( exp ( z / 4 ) ) + log ( log ( z ) )",
      "( z + 0 ) ^ ( 2 + 1 ) - z ^ ( a - a ) + i ^ 2 * z - i * i - ( z - z )",
      "1 / ( 1 + 1 / ( 1 + 1 / z ) ) + z ^ - 5",
  };
  const std::vector<tComplex> points = testPoints();
  for (const char* map : maps) {
    auto f = functionFromText(std::string("c = 0.5 f ( z ) = ") + map);
    ASSERT_FALSE(f->isRefused()) << map << ": " << f->getRefusal();
    ASSERT_FALSE(f->isUnwritten()) << map;
    substitute(*f, 0.75, -1.5);
    auto plane = f->copyWithParameters("a", "b");
    for (tComplex z : points) ASSERT_EQ(-1, firstDiffering(*f, *f, z)) << map << " at " << z;
    plane->setParameters(-2.0, 0.0);
    substitute(*f, -2.0, 0.0);
    for (tComplex z : points) {
      ASSERT_EQ(-1, firstDiffering(*f, *f, z)) << map << " at " << z;
      ASSERT_EQ(-1, firstDiffering(*plane, *f, z)) << map << " at " << z;
    }
  }
}

// Maps whose written-out formulas would be too large are read and drawn:
// f, f' (the Jacobian) and f'' (the second partials) agree with std::complex
// to a small relative error, the tree walk gives the program's bits, and the
// slots say where their values come from.
TEST(tComplexLoweringTest, MapsTooLargeToWriteOutAreComputedFromFOfZ) {
  const struct {
    std::string formula;
    tJet (*at)(tComplex);
  } cases[] = {
      {"z ^ 1000 - 1",
       [](tComplex z) -> tJet {
         return {std::pow(z, 1000) - 1.0, 1000.0 * std::pow(z, 999), 999000.0 * std::pow(z, 998)};
       }},
      {elevenFactors(), elevenFactorsAt},
      {nest("sin ( ", "z", " )", 10),
       [](tComplex z) {
         return nested(z, 10, [](tComplex w) -> tJet {
           return {std::sin(w), std::cos(w), -std::sin(w)};
         });
       }},
      {nest("exp ( - ", "z", " )", 10),
       [](tComplex z) {
         return nested(z, 10, [](tComplex w) -> tJet {
           return {std::exp(-w), -std::exp(-w), std::exp(-w)};
         });
       }},
      {nest("1 / ( 1 + ", "z", " )", 10),
       [](tComplex z) {
         return nested(z, 10, [](tComplex w) -> tJet {
           const tComplex u = 1.0 / (1.0 + w);
           return {u, -u * u, 2.0 * u * u * u};
         });
       }},
      {nest("( ", "z", " ) ^ 2 + 1", 10),
       [](tComplex z) {
         return nested(z, 10, [](tComplex w) -> tJet { return {w * w + 1.0, 2.0 * w, 2.0}; });
       }},
  };
  // Near the real axis, where ten nested sines stay finite.
  std::mt19937 random(3);
  std::uniform_real_distribution<double> real(-1, 1), imaginary(-0.25, 0.25);
  for (const auto& c : cases) {
    auto f = functionFromText("f ( z ) = " + c.formula);
    ASSERT_FALSE(f->isRefused()) << c.formula << ": " << f->getRefusal();
    ASSERT_TRUE(f->isUnwritten()) << c.formula;
    double worst = 0;
    for (int k = 0; k < 100; ++k) {
      const tComplex z(real(random), imaginary(random));
      const double x = z.real(), y = z.imag();
      double v[tFunction::FORMULAS], s[tFunction::SECOND_FORMULAS];
      f->getProgram().evaluate(x, y, v);
      f->secondDerivatives(x, y, s);
      ASSERT_TRUE(v[5] == v[2] && v[3] == -v[4]) << c.formula;
      ASSERT_TRUE(s[4] == s[0] && s[2] == -s[0] && s[1] == -s[3] && s[5] == -s[3]) << c.formula;
      const tJet expected = c.at(z);
      const tJet lowered = {tComplex(v[0], v[1]), tComplex(v[2], v[4]), tComplex(s[0], s[3])};
      for (int order = 0; order < 3; ++order) {
        // Powers of small z underflow: such values count by their distance.
        const double apart = std::abs(lowered[order] - expected[order]) /
                             std::max(std::abs(expected[order]), 1e-200);
        if (!(apart <= worst)) worst = apart;
      }
      EXPECT_TRUE(treeWalkGivesTheSameBits(*f, x, y)) << c.formula << " at " << z;
    }
    EXPECT_LT(worst, 1e-12) << c.formula;
  }
}

// The trace, the printed function and --check say that the slots of such a
// map come from f(z) and cannot be written out; its variables are those of
// f(z), and a script's numbers reach it.
TEST(tComplexLoweringTest, SlotsOfAMapTooLargeToWriteOutSayWhereTheyComeFrom) {
  tFunction f;
  std::vector<std::string> tokens = splitTokens("a = 2 f ( z ) = z ^ 1000 - a * b");
  unsigned pos = 0;
  const tPrinted trace = printedBy([&] { f.processTokens(tokens, pos); });
  const std::string slots = " = (too large to write out)\n\n";
  EXPECT_EQ(
      "f(z) done\nf1 from f(z)\nf2 from f(z)\nf11 from f(z)\nf12 from f(z)\n"
      "f21 from f(z)\nf22 from f(z)\nDONE PROCESSING\nfx" +
          slots + "fy" + slots + "fxx" + slots + "fxy" + slots + "fyx" + slots + "fyy" + slots,
      trace.out.substr(trace.out.find("f(z) done")));
  EXPECT_EQ("", trace.err);
  std::set<std::string> names;
  f.freeVars(names);
  EXPECT_EQ((std::set<std::string>{"a", "b"}), names);
  tVariableEnv env;
  env.extend("b", 0.25);
  f.substituteVars(&env);
  EXPECT_EQ(tVector2(1 - 0.5, 0), f.value(tVector2(1, 0)));

  std::ostringstream out;
  EXPECT_EQ(tFunctionCheck::STATUS_AGREES, tFunctionCheck().checkFunction(f, "big", out))
      << out.str();
  EXPECT_NE(std::string::npos,
            out.str().find("  f(z) = z^1e+03 - a*b\n  f1 (from f(z)) = (too large to write out)\n"))
      << out.str();
}
