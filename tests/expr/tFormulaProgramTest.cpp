#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "expr/FunctionText.h"
#include "expr/InstructionSets.h"
#include "expr/tComplexExpansion.h"
#include "expr/tDerivative.h"
#include "expr/tExprTree.h"
#include "expr/tFormulaProgram.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"

namespace {

const unsigned kLanes = tFormulaProgram::LANES;
using Values = std::vector<double>;

// Equal bit patterns, except that any two not-a-numbers are equal.
bool same(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

// The corners of double arithmetic (then a square next to a midpoint between
// two doubles, the square root of 2, pi), random points near the origin and
// random bit patterns.
Values testCoordinates() {
  Values v = {0.0, -0.0, 1.0, -1.0, 0.5, 2.0, 3.0, -2.5, 1e-310, -5e-324, 1e-160, 1e150, -1e300,
              1e308, INFINITY, -INFINITY, NAN, 0x1.0000002d413ccp+0, 0x1.6a09e667f3bcdp+0,
              3.141592653589793};
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> near(-4, 4);
  while (v.size() < 200) v.push_back(near(random));
  while (v.size() < 300) {
    uint64_t bits = random();
    std::memcpy(&v.emplace_back(), &bits, sizeof bits);
  }
  return v;
}

// Formulas parsed into trees, or built, and compiled together; a null text
// is a missing formula, worth 0.0.
struct tCompiled {
  std::vector<std::unique_ptr<tExprTree>> trees;
  tFormulaProgram program;
  explicit tCompiled(const std::vector<const char*>& texts) {
    for (const char* text : texts) trees.push_back(text ? parsedTree(text) : nullptr);
    compile();
  }
  tCompiled() = default;
  void add(std::unique_ptr<tExprNode> root) {
    trees.push_back(std::make_unique<tExprTree>(std::move(root)));
  }
  void compile() {
    std::vector<const tExprNode*> roots;
    for (const auto& tree : trees) roots.push_back(tree ? tree->getRoot() : nullptr);
    program.compile(roots.data(), static_cast<unsigned>(roots.size()));
  }
};

// The program's outputs at (xs[i], ys[i]), one point at a time and in packets
// (the last one partly masked), and again in place with lanes idle here and
// there, against expected(output, x, y).
template <typename Expected>
void expectProgramGives(const tCompiled& c, const Values& xs, const Values& ys, Expected expected) {
  std::vector<double> scratch(c.program.getRegisterCount() * kLanes);
  c.program.prepareScratch(scratch.data());
  double x[kLanes] = {}, y[kLanes] = {}, scalar[tFormulaProgram::MAX_OUTPUTS];
  double out[tFormulaProgram::MAX_OUTPUTS][kLanes];
  double inPlace[tFormulaProgram::MAX_OUTPUTS][kLanes];
  for (std::size_t i = 0; i < xs.size(); i += kLanes) {
    const unsigned lanes = static_cast<unsigned>(std::min<std::size_t>(kLanes, xs.size() - i));
    const unsigned all = ~0u >> (32 - lanes);
    const unsigned scattered = all & 0xB6D5B6D5u;
    std::copy_n(&xs[i], lanes, x);
    std::copy_n(&ys[i], lanes, y);
    c.program.evaluatePacket(x, y, all, scratch.data(), out);
    std::copy_n(x, kLanes, c.program.xLanes(scratch.data()));
    std::copy_n(y, kLanes, c.program.yLanes(scratch.data()));
    c.program.evaluatePacketInPlace(scattered, scratch.data());
    for (unsigned k = 0; k < c.trees.size(); ++k)
      std::copy_n(c.program.outputLanes(scratch.data(), k), kLanes, inPlace[k]);
    for (unsigned l = 0; l < lanes; ++l) {
      c.program.evaluate(xs[i + l], ys[i + l], scalar);
      const bool active = (scattered >> l) & 1u;
      for (unsigned k = 0; k < c.trees.size(); ++k) {
        const double e = expected(k, xs[i + l], ys[i + l]);
        ASSERT_TRUE(same(e, scalar[k]) && same(e, out[k][l]) && (!active || same(e, inPlace[k][l])))
            << "output " << k << " at (" << xs[i + l] << ", " << ys[i + l] << ")";
      }
    }
  }
}

// Against the tree walk at every `stride`-th test coordinate with every third.
void expectSameAsTrees(const tCompiled& c, std::size_t stride = 7) {
  const Values v = testCoordinates();
  Values xs, ys;
  for (std::size_t i = 0; i < v.size(); i += stride)
    for (std::size_t j = 0; j < v.size(); j += 3) xs.push_back(v[i]), ys.push_back(v[j]);
  expectProgramGives(c, xs, ys, [&](unsigned k, double x, double y) {
    return c.trees[k] ? c.trees[k]->evaluate(x, y) : 0.0;
  });
}

}  // namespace

// Each test runs on SSE2 and on AVX2 packets.
class tFormulaProgramTest : public tOnEachInstructionSet {};
RUN_ON_EACH_INSTRUCTION_SET(tFormulaProgramTest);

// Every kind of node, constants to fold, shared subexpressions, a variable no
// substitution reached, a formula cut short and a missing one.
TEST_P(tFormulaProgramTest, EveryKindOfNodeGivesTheTreeWalksBits) {
  tCompiled c({
      "sin x + cos y * tan ( x - y ) - sinh ( x / 3 ) + cosh y * tanh ( x * y )",
      "exp ( x ) ^ 2 / abs ( y - 0.5 ) + x ^ 3 - y ^ 4 + x ^ y - ( - x ) ^ 0.5 + 2 ^ 2 ^ 0.5"
      " + sqrt x * log y - log sqrt 2",
      "a * x + 2 ^ 3 ^ 2 - pi * e + exp 1 - - 0.1 + abs ( 0 - 3 ) * sin 2 + x +",
      "( x * y ) - ( x * y ) + sin ( x * y ) + ( x * y ) ^ 2 + ( x * y ) ^ 3",
      "x ^ 2 ^ 0.5 + x ^ 4 * x ^ 2 - y ^ 2 ^ 2 + x ^ - 2 + ( y + 1 ) ^ 3",
      nullptr,
  });
  expectSameAsTrees(c);
  EXPECT_LT(c.program.getInstructionCount(), 65u);  // x * y is computed once
}

// Derivatives and complex expansions hold every kind of node they make.
TEST_P(tFormulaProgramTest, DerivedFormulasGiveTheTreeWalksBits) {
  for (const char* text : {"abs ( x * y ) ^ 3 / sqrt ( 1 + x ^ 2 ) + log ( y * y ) * 2 ^ x + abs x",
                           "tan ( x * y ) - tanh ( x / y ) + exp ( - x ) * cosh y / sinh y"}) {
    std::unique_ptr<tExprTree> tree = parsedTree(text);
    const tExprNode& f = *tree->getRoot();
    tCompiled c;
    c.add(tDerivative::ofX(f));
    c.add(tDerivative::ofY(f));
    c.add(tDerivative::ofX(*c.trees[0]->getRoot()));
    c.compile();
    expectSameAsTrees(c);
  }
  tComplexExpansion expansion;
  ASSERT_TRUE(expansion.expand(
      *parsedTree("sqrt ( z - 1 ) * log ( z ) + tan z ^ 3 / tanh ( z * i ) + z ^ a")->getRoot()));
  tCompiled c;
  for (unsigned k = 0; k < 5; ++k) c.add(expansion.takeFormula(k));
  // Once more by x, for the derivatives of the complex logarithm and square root.
  c.add(tDerivative::ofX(*c.trees[0]->getRoot()));
  tVariableEnv env;
  env.extend("a", 2.5);
  for (auto& each : c.trees) each->substituteVars(&env);
  c.compile();
  expectSameAsTrees(c, 11);
}

// Deeply nested formulas compile without recursion and keep few registers.
TEST_P(tFormulaProgramTest, DeepFormulas) {
  std::string chain = "x";
  std::string nest = "y";
  for (int k = 0; k < 1500; ++k) {
    chain += k % 2 ? " * 1.0001 + y" : " - x / 3";
    nest = "( " + nest + " + x ) * 0.5";
  }
  tCompiled c({chain.c_str(), nest.c_str()});
  expectSameAsTrees(c, 41);
  EXPECT_LT(c.program.getRegisterCount(), 16u);
}

// Every sample's programs give the tree walk's bits: values, inverse
// Jacobians and second derivatives, also after a substitution; so do two maps
// whose second derivatives hold every kind of node derivatives make. That
// the samples read in full with right derivatives is
// tFunctionCheckTest.EverySampleAgrees. No packets: one instruction set is
// enough; the second derivatives, slow to walk, on fewer rows.
TEST(tFunctionProgramTest, GivesTheTreeWalksBits) {
  std::vector<std::shared_ptr<tFunction>> functions = {
      functionFromText("f1 = abs ( x * y ) ^ 3 / sqrt ( 1 + x ^ 2 ) + log ( y * y ) * 2 ^ x"
                       " f2 = tan ( x * y ) - tanh ( x / y ) + exp ( - x ) * cosh y / sinh y"),
      functionFromText("f ( z ) = sqrt ( z - 1 ) * log z + tan z / tanh z + z ^ a"),
  };
  for (const auto& entry :
       std::filesystem::directory_iterator(ROOTWEAVER_SOURCE_DIR "/Shared Functions")) {
    if (entry.path().extension() == ".func")
      functions.push_back(functionFromFile(entry.path().filename().string()));
  }
  EXPECT_GE(functions.size(), 8u);
  const Values values = testCoordinates();
  tVariableEnv env;
  env.extend("a", 2.5);
  for (const auto& f : functions) {
    const std::string& name = f->getName();
    for (int pass = 0; pass < 2; ++pass, f->substituteVars(&env)) {
      for (unsigned k = 0; k < tFunction::SECOND_FORMULAS; ++k)
        ASSERT_NE(nullptr, f->getSecondFormula(k)) << name << " " << k;
      for (std::size_t i = 0; i < values.size(); ++i) {
        for (std::size_t j = 1; j < values.size(); j += 5) {
          const tVector2 p(values[i], values[j]);
          bool equal = true;
          if (i % 3 == 0) {
            tVector2 v = f->value(p), vTree = f->valueByTree(p);
            tMatrix2 m = f->jacobianInverse(p), mTree = f->jacobianInverseByTree(p);
            equal = same(v.x_, vTree.x_) && same(v.y_, vTree.y_);
            for (int k = 0; k < 4; ++k) equal = equal && same(m.m_[k], mTree.m_[k]);
          }
          if (i % 7 == 0) {
            double second[6], secondTree[6];
            f->secondDerivatives(p.x_, p.y_, second);
            f->secondDerivativesByTree(p.x_, p.y_, secondTree);
            for (int k = 0; k < 6; ++k) equal = equal && same(second[k], secondTree[k]);
          }
          ASSERT_TRUE(equal) << name << " pass " << pass << " at " << p;
        }
      }
    }
    // z^3 + (a - 1) z - a at z = 1 + i: (-2 + 2i) + (1.5 + 1.5i) - 2.5.
    if (name == "cubicfamily.func") {
      EXPECT_EQ(tVector2(-3, 3.5), f->value(tVector2(1, 1)));
    }
  }
}

// Powers with the exponents 2, 3 and 4 are formed without pow only where that
// is certainly pow's result: held to pow over every power of two, zero, the
// infinities and not-a-number, and a million other bases, half with a power
// next to a midpoint between doubles.
TEST_P(tFormulaProgramTest, IntegerPowersAreExactlyPows) {
  Values bases = {0.0, -0.0, INFINITY, -INFINITY, NAN, -NAN};
  for (int m = -200; m <= 200; ++m)
    bases.insert(bases.end(), {std::ldexp(1, m), -std::ldexp(1, m)});
  std::mt19937_64 random(11);
  for (int k = 0; k < 500000; ++k) {
    // Mantissas 2^52 + j with j near 2^25.5 put squares next to midpoints.
    double near = std::ldexp(4503599627370496.0 + 47453132.0 + (k % 20000) - 10000.0, -52);
    bases.push_back(near * std::ldexp(1.0, static_cast<int>(random() % 120) - 60));
    double mantissa = 1.0 + std::ldexp(static_cast<double>(random() >> 12), -52);
    int exponent = static_cast<int>(random() % 260) - 130;
    bases.push_back((random() & 1 ? -1 : 1) * std::ldexp(mantissa, exponent));
  }
  const Values zeros(bases.size());
  for (const char* text : {"x ^ 2", "x ^ 3", "x ^ 4"}) {
    volatile double exponent = text[4] - '0';
    expectProgramGives(tCompiled({text}), bases, zeros,
                       [&](unsigned, double x, double) { return std::pow(x, exponent); });
  }
}

// Threads that ask for the second derivatives at once, right after a
// substitution, share one compilation of the program and get its bits.
TEST(tSecondDerivativeProgramTest, ThreadsAskingAtOnceGetTheTreeWalksBits) {
  auto f = functionFromText("f ( z ) = exp ( a * z ) * sin z - z ^ 3");
  tVariableEnv env;
  env.extend("a", 0.5);
  f->substituteVars(&env);
  const Values values = testCoordinates();
  std::vector<int> wrong(4, 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < wrong.size(); ++t) {
    threads.emplace_back([&, t] {
      for (std::size_t i = t; i < values.size(); i += 2) {
        double compiled[6], walked[6];
        f->secondDerivatives(values[i], values[values.size() - 1 - i], compiled);
        f->secondDerivativesByTree(values[i], values[values.size() - 1 - i], walked);
        for (unsigned k = 0; k < tFunction::SECOND_FORMULAS; ++k)
          wrong[t] += !same(compiled[k], walked[k]);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(std::vector<int>(4, 0), wrong);
}
