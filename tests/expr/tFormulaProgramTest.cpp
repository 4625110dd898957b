#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "expr/FunctionText.h"
#include "expr/tExprTree.h"
#include "expr/tFormulaProgram.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"

namespace {

const unsigned kLanes = tFormulaProgram::LANES;

// Equal bit patterns, except that any two not-a-numbers are equal.
bool sameValue(double a, double b) {
  if (std::isnan(a) && std::isnan(b)) return true;
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Points that reach every corner of double arithmetic, then random ones over
// every exponent.
std::vector<double> testCoordinates() {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> values = {0.0,     -0.0,   1.0,   -1.0,   0.5,   2.0, 3.0,  -2.5, 1e-310,
                                -5e-324, 1e-160, 1e150, -1e300, 1e308, inf, -inf, nan};
  // 1 + 2^-26.5, whose square lies next to a midpoint between two doubles;
  // the square root of 2; pi.
  values.insert(values.end(), {0x1.0000002d413ccp+0, 0x1.6a09e667f3bcdp+0, 3.141592653589793});
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> near(-4, 4);
  while (values.size() < 200) values.push_back(near(random));
  while (values.size() < 300) {
    uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    values.push_back(value);
  }
  return values;
}

struct tFormulas {
  std::vector<std::unique_ptr<tExprTree>> trees;
  std::vector<const tExprNode*> roots;
};

tFormulas parse(const std::vector<std::string>& texts) {
  tFormulas formulas;
  for (const std::string& text : texts) {
    std::vector<std::string> tokens = splitTokens(text);
    unsigned pos = 0;
    formulas.trees.push_back(std::make_unique<tExprTree>());
    formulas.trees.back()->buildTree(tokens, pos);
    formulas.roots.push_back(formulas.trees.back()->getRoot());
  }
  return formulas;
}

// The program against the tree walk at pairs of test coordinates (every
// `stride`-th x with every third y), one point at a time and in packets,
// where only the masked lanes count.
void expectSameAsTrees(const tFormulas& formulas, const tFormulaProgram& program,
                       std::size_t stride = 7) {
  const std::vector<double> values = testCoordinates();
  std::vector<double> scratch(program.getRegisterCount() * kLanes);
  program.prepareScratch(scratch.data());
  double out[tFormulaProgram::MAX_OUTPUTS][kLanes];
  double x[kLanes];
  double y[kLanes];
  unsigned lane = 0;
  for (std::size_t i = 0; i < values.size(); i += stride) {
    for (std::size_t j = 0; j < values.size(); j += 3) {
      double scalar[tFormulaProgram::MAX_OUTPUTS];
      program.evaluate(values[i], values[j], scalar);
      for (std::size_t k = 0; k < formulas.trees.size(); ++k) {
        ASSERT_TRUE(sameValue(formulas.trees[k]->evaluate(values[i], values[j]), scalar[k]))
            << "formula " << k << " at (" << values[i] << ", " << values[j] << ")";
      }
      x[lane] = values[i];
      y[lane] = values[j];
      if (++lane < kLanes && j + 3 < values.size()) continue;
      const unsigned mask = (1u << lane) - 1;
      program.evaluatePacket(x, y, mask, scratch.data(), out);
      for (std::size_t k = 0; k < formulas.trees.size(); ++k) {
        const tExprTree& tree = *formulas.trees[k];
        for (unsigned l = 0; l < lane; ++l) {
          ASSERT_TRUE(sameValue(tree.evaluate(x[l], y[l]), out[k][l]))
              << "formula " << k << " in a packet at (" << x[l] << ", " << y[l] << ")";
        }
      }
      lane = 0;
    }
  }
}

}  // namespace

// Six formulas compiled into one program: every kind of node, constants to
// fold, subexpressions they share, a variable no substitution reached, a
// formula cut short and a missing one.
TEST(tFormulaProgramTest, EveryKindOfNodeGivesTheTreeWalksBits) {
  tFormulas formulas = parse({
      "sin x + cos y * tan ( x - y ) - sinh ( x / 3 ) + cosh y * tanh ( x * y )",
      "exp ( x ) ^ 2 / abs ( y - 0.5 ) + x ^ 3 - y ^ 4 + x ^ y - ( - x ) ^ 0.5 + 2 ^ 2 ^ 0.5",
      "a * x + 2 ^ 3 ^ 2 - pi * e + exp 1 - - 0.1 + abs ( 0 - 3 ) * sin 2 + x +",
      "( x * y ) - ( x * y ) + sin ( x * y ) + ( x * y ) ^ 2 + ( x * y ) ^ 3",
      "x ^ 2 ^ 0.5 + x ^ 4 * x ^ 2 - y ^ 2 ^ 2 + x ^ - 2 + ( y + 1 ) ^ 3",
  });
  formulas.roots.push_back(nullptr);
  tFormulaProgram program;
  program.compile(formulas.roots.data(), static_cast<unsigned>(formulas.roots.size()));
  expectSameAsTrees(formulas, program);
  double out[6];
  program.evaluate(1, 1, out);
  EXPECT_EQ(0.0, out[5]);
  // x * y is computed once for all its uses.
  EXPECT_LT(program.getInstructionCount(), 60u);
}

// Deeply nested formulas compile without recursion and keep few registers.
TEST(tFormulaProgramTest, DeepFormulas) {
  std::string chain = "x";
  std::string nest = "y";
  for (int k = 0; k < 1500; ++k) {
    chain += k % 2 ? " * 1.0001 + y" : " - x / 3";
    nest = "( " + nest + " + x ) * 0.5";
  }
  tFormulas formulas = parse({chain, nest});
  tFormulaProgram program;
  program.compile(formulas.roots.data(), 2);
  expectSameAsTrees(formulas, program, 41);
  EXPECT_LT(program.getRegisterCount(), 16u);
}

// Every sample reads in full, its derivatives are those of its components,
// and its programs give the tree walk's bits, also after a substitution has
// changed a constant.
TEST(tFormulaProgramTest, SampleFunctionsAreCompleteConsistentAndGiveTheTreeWalksBits) {
  std::vector<std::string> names;
  for (const auto& entry :
       std::filesystem::directory_iterator(ROOTWEAVER_SOURCE_DIR "/Shared Functions"))
    if (entry.path().extension() == ".func") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_GE(names.size(), 6u);
  const std::vector<double> values = testCoordinates();
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> coordinate(-1.7, 1.7);
  tVariableEnv env;
  env.extend("a", 3.0);
  for (const std::string& name : names) {
    std::unique_ptr<tFunction> f;
    tPrinted trace = printedBy([&] { f = std::make_unique<tFunction>(name); });
    // The read got to its end, and no formula is missing.
    EXPECT_NE(std::string::npos, trace.out.find("f22 done\nDONE PROCESSING\n")) << name;
    EXPECT_EQ("", trace.err) << name;

    const double h = 1e-6;
    for (int i = 0; i < 20; ++i) {
      tVector2 p(coordinate(random), coordinate(random));
      tMatrix2 inverse = f->jacobianInverse(p);
      if (inverse == tMatrix2()) continue;
      tMatrix2 jacobian = inverse.inverse();
      tVector2 dx = (f->value(p + tVector2(h, 0)) - f->value(p - tVector2(h, 0))) / (2 * h);
      tVector2 dy = (f->value(p + tVector2(0, h)) - f->value(p - tVector2(0, h))) / (2 * h);
      double scale = 1e-5 * (1 + std::fabs(jacobian(0, 0)) + std::fabs(jacobian(0, 1)) +
                             std::fabs(jacobian(1, 0)) + std::fabs(jacobian(1, 1)));
      EXPECT_NEAR(dx[0], jacobian(0, 0), scale) << name << " f11 at " << p;
      EXPECT_NEAR(dy[0], jacobian(0, 1), scale) << name << " f12 at " << p;
      EXPECT_NEAR(dx[1], jacobian(1, 0), scale) << name << " f21 at " << p;
      EXPECT_NEAR(dy[1], jacobian(1, 1), scale) << name << " f22 at " << p;
    }

    for (int pass = 0; pass < 2; ++pass) {
      for (std::size_t i = 0; i < values.size(); i += 3) {
        for (std::size_t j = 1; j < values.size(); j += 5) {
          tVector2 p(values[i], values[j]);
          tVector2 v = f->value(p);
          tVector2 vTree = f->valueByTree(p);
          tMatrix2 m = f->jacobianInverse(p);
          tMatrix2 mTree = f->jacobianInverseByTree(p);
          bool same = sameValue(v.x_, vTree.x_) && sameValue(v.y_, vTree.y_);
          for (int k = 0; k < 4; ++k) same = same && sameValue(m.m_[k], mTree.m_[k]);
          ASSERT_TRUE(same) << name << " pass " << pass << " at " << p;
        }
      }
      f->substituteVars(&env);
    }
    // z^3 + 2z - 3 at z = 1 + i: (-2 + 2i) + (2 + 2i) - 3.
    if (name == "cubicfamily.func") {
      EXPECT_EQ(tVector2(-3, 4), f->value(tVector2(1, 1)));
    }
  }
}

// Powers with the exponents 2, 3 and 4 are formed without pow where that is
// certainly pow's result: every power of two and zero, and a million other
// bases for each exponent, many of them with a power right next to a midpoint
// between two doubles, against pow itself.
TEST(tFormulaProgramTest, IntegerPowersAreExactlyPows) {
  // Every power of two and zero: their powers are exact, pow's included.
  std::vector<double> bases = {0.0, -0.0};
  for (int m = -200; m <= 200; ++m) {
    bases.push_back(std::ldexp(1.0, m));
    bases.push_back(-std::ldexp(1.0, m));
  }
  std::mt19937_64 random(11);
  for (int k = 0; k < 500000; ++k) {
    // Mantissas 2^52 + j with j near 2^25.5 put squares next to midpoints.
    double near = std::ldexp(4503599627370496.0 + 47453132.0 + (k % 20000) - 10000.0, -52);
    bases.push_back(near * std::ldexp(1.0, static_cast<int>(random() % 120) - 60));
    double mantissa = 1.0 + std::ldexp(static_cast<double>(random() >> 12), -52);
    int exponent = static_cast<int>(random() % 260) - 130;
    bases.push_back((random() & 1 ? -1 : 1) * std::ldexp(mantissa, exponent));
  }
  for (const char* text : {"x ^ 2", "x ^ 3", "x ^ 4"}) {
    tFormulas formulas = parse({text});
    tFormulaProgram program;
    program.compile(formulas.roots.data(), 1);
    volatile double exponent = text[4] - '0';
    std::vector<double> scratch(program.getRegisterCount() * kLanes);
    program.prepareScratch(scratch.data());
    double out[1][kLanes];
    double y[kLanes] = {};
    for (std::size_t i = 0; i + kLanes <= bases.size(); i += kLanes) {
      program.evaluatePacket(&bases[i], y, (1u << kLanes) - 1, scratch.data(), out);
      for (unsigned l = 0; l < kLanes; ++l) {
        ASSERT_TRUE(sameValue(std::pow(bases[i + l], exponent), out[0][l]))
            << text << " at " << bases[i + l];
      }
    }
  }
}
