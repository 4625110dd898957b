#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "File/tFileTestSupport.h"
#include "File/tFileUtils.h"
#include "expr/FunctionText.h"
#include "expr/tFormulaText.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"

namespace {

// Everything the quadratic example prints after its timing line.
const char* const kQuadraticTrace =
    "func tokens = [c, =, 1, f1, =, x, ^, 2, -, y, ^, 2, -, c, f2, =, 2, *, x, *, y, f11, =, 2, "
    "*, x, f12, =, -, 2, *, y, f21, =, 2, *, y, f22, =, 2, *, x]\n\n"
    "STARTED PROCESSING\ntrying to add: c\nnext is: =\n"
    "f1 done\nf2 done\nf11 done\nf12 done\nf21 done\nf22 done\nDONE PROCESSING\n"
    "fx = [MINUS : [MINUS : [POW : [X : _, _], [CONSTANT 2 : _, _]], [POW : [Y : _, _], "
    "[CONSTANT 2 : _, _]]], [VARIABLE c = 1 : _, _]]\n\n"
    "fy = [TIMES : [TIMES : [CONSTANT 2 : _, _], [X : _, _]], [Y : _, _]]\n\n"
    "fxx = [TIMES : [CONSTANT 2 : _, _], [X : _, _]]\n\n"
    "fxy = [TIMES : [NEGATION : [CONSTANT 2 : _, _], _], [Y : _, _]]\n\n"
    "fyx = [TIMES : [CONSTANT 2 : _, _], [Y : _, _]]\n\n"
    "fyy = [TIMES : [CONSTANT 2 : _, _], [X : _, _]]\n\n";

const char* const kNoFormulas =
    "fx = <none>\n\nfy = <none>\n\nfxx = <none>\n\nfxy = <none>\n\nfyx = <none>\n\n"
    "fyy = <none>\n\n";

const char* const kNothingMissing = ": incomplete function, missing f1, f2, f11, f12, f21, f22\n";

// A loaded function and what the load printed after the timing line, which
// must come first.
struct tLoad {
  std::unique_ptr<tFunction> function;
  tPrinted printed;
};

tLoad load(const std::string& name) {
  tLoad result;
  result.printed = printedBy([&] { result.function = std::make_unique<tFunction>(name); });
  std::string& out = result.printed.out;
  EXPECT_EQ(0u, out.find("Tokenizing took: ")) << out;
  out.erase(0, out.find("\n\n") + 2);
  return result;
}

tPrinted readTokens(tFunction& function, const std::string& text, unsigned pos) {
  std::vector<std::string> tokens = splitTokens(text);
  return printedBy([&] { function.processTokens(tokens, pos); });
}

}  // namespace

// Relative names come from the application's directory, not from the working
// directory, which has a quadratic.func of its own.
TEST(tFunctionTest, QuadraticSampleLoadsFromSharedFunctions) {
  tScratchDirectory dir;
  std::filesystem::create_directory(dir / "Shared Functions");
  for (const char* name : {"quadratic.func", "Shared Functions/quadratic.func"})
    writeRaw(dir / name, "f1 = 7\n");
  std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  tLoad quadratic = load("quadratic.func");
  std::filesystem::current_path(saved);
  EXPECT_EQ(kQuadraticTrace, quadratic.printed.out);
  EXPECT_EQ("", quadratic.printed.err);
  EXPECT_EQ(tVector2(2, 4), quadratic.function->value(tVector2(2, 1)));
  EXPECT_EQ(tMatrix2(4, -2, 2, 4).inverse(), quadratic.function->jacobianInverse(tVector2(2, 1)));

  std::string absolute = dir / "mine.func";
  std::filesystem::copy_file(ROOTWEAVER_SOURCE_DIR "/Shared Functions/quadratic.func", absolute);
  tLoad full = load(absolute);
  EXPECT_EQ(kQuadraticTrace, full.printed.out);
  EXPECT_EQ(absolute, full.function->getName());
  EXPECT_TRUE(full.function->isReadable());
}

// Files that cannot be read, and devices, directories and huge files, which
// are not read at all, load as empty functions that say they were not read;
// whoever loaded them tells the user.
TEST(tFunctionTest, UnreadableFilesLoadAsEmptyUnreadFunctions) {
  tScratchDirectory dir;
  const std::string huge = dir / "huge.func";
  writeRaw(huge, "f1 = x\n");
  std::filesystem::resize_file(huge, tFileUtils::MAX_READ_SIZE + 1);
  for (const std::string& name : {std::string("no-such.func"), std::string(), dir.path(),
                                  std::string("/dev/zero"), huge}) {
    tLoad loaded = load(name);
    EXPECT_EQ(std::string("func tokens = []\n\nSTARTED PROCESSING\nDONE PROCESSING\n") + kNoFormulas,
              loaded.printed.out);
    EXPECT_EQ("", loaded.printed.err) << name;
    EXPECT_FALSE(loaded.function->isReadable()) << name;
    EXPECT_EQ(tVector2(0, 0), loaded.function->value(tVector2(1, 2)));
  }
}

// Comment lines are left out, and so is a comment after code. The
// derivatives left out are derived, and the trace shows them in their slots.
TEST(tFunctionTest, CommentsAndDerivedDerivatives) {
  tScratchDirectory dir;
  writeRaw(dir / "comments.func",
           "//f1 = x\n   // indented comment\t\nf1 = x^2 // real part\n\nf2 =\n  c*y\nc = -2\n");
  tLoad loaded = load(dir / "comments.func");
  EXPECT_EQ(
      "func tokens = [f1, =, x, ^, 2, f2, =, c, *, y, c, =, -, 2]\n\nSTARTED PROCESSING\n"
      "f1 done\nf2 done\ntrying to add: c\nnext is: =\n"
      "f11 derived\nf12 derived\nf21 derived\nf22 derived\nDONE PROCESSING\n"
      "fx = [POW : [X : _, _], [CONSTANT 2 : _, _]]\n\n"
      "fy = [TIMES : [VARIABLE c = -2 : _, _], [Y : _, _]]\n\n"
      "fxx = [TIMES : [CONSTANT 2 : _, _], [X : _, _]]\n\n"
      "fxy = [CONSTANT 0 : _, _]\n\n"
      "fyx = [CONSTANT 0 : _, _]\n\n"
      "fyy = [VARIABLE c = -2 : _, _]\n\n",
      loaded.printed.out);
  EXPECT_EQ("", loaded.printed.err);
  EXPECT_EQ(tVector2(1, -4), loaded.function->value(tVector2(1, 2)));
  EXPECT_EQ(tMatrix2(2, 0, 0, -2).inverse(), loaded.function->jacobianInverse(tVector2(1, 2)));
}

// The whole trace of every way reading can stop, and what the function then
// holds: its value at (3, 1) and its local constant c. Reading starts after
// two tokens that are not the function's.
TEST(tFunctionTest, EveryWayOfStoppingTracesExactly) {
  const std::string started = "\n\nSTARTED PROCESSING\n";
  const std::string unnamed = "unnamed function";
  const struct {
    const char* tokens;
    std::string out;
    std::string err;
    tVector2 value;
    double c;
  } cases[] = {
      {"f1 x f2 = y", "func tokens = [f1, x, f2, =, y]" + started + "bailing on f1\n",
       unnamed + kNothingMissing, {0, 0}, 0},
      {"f1 = x f1 y",  // the slot is emptied before the bail
       "func tokens = [f1, =, x, f1, y]" + started + "f1 done\nbailing on f1\n",
       unnamed + kNothingMissing, {0, 0}, 0},
      {"c = 2 f1 = c * x end f2 = y",  // c is put into f1 all the same
       "func tokens = [c, =, 2, f1, =, c, *, x, end, f2, =, y]" + started +
           "trying to add: c\nnext is: =\nf1 done\nf11 derived\nf12 derived\n",
       unnamed + ": incomplete function, missing f2, f21, f22\n", {6, 0}, 2},
      {"f1 = x + f2 = y",  // the operand of + is missing, not a variable f2
       "func tokens = [f1, =, x, +, f2, =, y]" + started,
       unnamed + ": an operand is missing after '+'; the function is refused\n", {0, 0}, 0},
      {"F1 = x",  // no local constant: its value is no number
       "func tokens = [F1, =, x]" + started + "trying to add: F1\nnext is: =\n",
       unnamed + kNothingMissing, {0, 0}, 0},
      {"c", "func tokens = [c]" + started + "trying to add: c\nnext is: \n",
       unnamed + kNothingMissing, {0, 0}, 0},
      {"f1 = x f1 = k * y k = 3 f2 = 1 f21 = 5",  // a later formula replaces an earlier one
       "func tokens = [f1, =, x, f1, =, k, *, y, k, =, 3, f2, =, 1, f21, =, 5]" + started +
           "f1 done\nf1 done\ntrying to add: k\nnext is: =\nf2 done\nf21 done\n"
           "f11 derived\nf12 derived\nf22 derived\nDONE PROCESSING\n"
           "fx = [TIMES : [VARIABLE k = 3 : _, _], [Y : _, _]]\n\nfy = [CONSTANT 1 : _, _]\n\n"
           "fxx = [CONSTANT 0 : _, _]\n\nfxy = [VARIABLE k = 3 : _, _]\n\n"
           "fyx = [CONSTANT 5 : _, _]\n\nfyy = [CONSTANT 0 : _, _]\n\n",
       "", {3, 1}, 0},
      {"c = - 2.5E-1 f1 = c * x",  // a signed constant, with an exponent
       "func tokens = [c, =, -, 2.5E-1, f1, =, c, *, x]" + started +
           "trying to add: c\nnext is: =\nf1 done\nf11 derived\nf12 derived\nDONE PROCESSING\n"
           "fx = [TIMES : [VARIABLE c = -0.25 : _, _], [X : _, _]]\n\nfy = <none>\n\n"
           "fxx = [VARIABLE c = -0.25 : _, _]\n\nfxy = [CONSTANT 0 : _, _]\n\n"
           "fyx = <none>\n\nfyy = <none>\n\n",
       unnamed + ": incomplete function, missing f2, f21, f22\n", {-0.75, 0}, -0.25},
      {"c = - 2 = 5",  // a sign before a number that names a constant is read as before
       "func tokens = [c, =, -, 2, =, 5]" + started +
           "trying to add: c\nnext is: =\ntrying to add: 2\nnext is: =\nDONE PROCESSING\n" +
           kNoFormulas,
       unnamed + kNothingMissing, {0, 0}, 0},
      {"f ( z ) = c * z ^ 2 c = 2",  // the map 2 z^2 of the complex plane
       "func tokens = [f, (, z, ), =, c, *, z, ^, 2, c, =, 2]" + started +
           "f(z) done\ntrying to add: c\nnext is: =\nf1 from f(z)\nf2 from f(z)\n"
           "f11 from f(z)\nf12 from f(z)\nf21 from f(z)\nf22 from f(z)\nDONE PROCESSING\n"
           "fx = [TIMES : [VARIABLE c = 2 : _, _], [MINUS : [POW : [X : _, _], [CONSTANT 2 : _, "
           "_]], [POW : [Y : _, _], [CONSTANT 2 : _, _]]]]\n\n"
           "fy = [TIMES : [VARIABLE c = 2 : _, _], [TIMES : [CONSTANT 2 : _, _], [TIMES : [X : _, "
           "_], [Y : _, _]]]]\n\n"
           "fxx = [TIMES : [VARIABLE c = 2 : _, _], [TIMES : [CONSTANT 2 : _, _], [X : _, _]]]\n\n"
           "fxy = [NEGATION : [TIMES : [VARIABLE c = 2 : _, _], [TIMES : [CONSTANT 2 : _, _], [Y "
           ": _, _]]], _]\n\n"
           "fyx = [TIMES : [VARIABLE c = 2 : _, _], [TIMES : [CONSTANT 2 : _, _], [Y : _, _]]]\n\n"
           "fyy = [TIMES : [VARIABLE c = 2 : _, _], [TIMES : [CONSTANT 2 : _, _], [X : _, _]]]\n\n",
       "", {16, 12}, 2},
      {"f ( z ) = z f1 = y",  // two forms of the map: neither is taken
       "func tokens = [f, (, z, ), =, z, f1, =, y]" + started +
           "f(z) done\nf1 done\nDONE PROCESSING\n" + kNoFormulas,
       unnamed + ": f(z) and f1 both given; the function is refused\n", {0, 0}, 0},
      {"f ( z ) = x",
       "func tokens = [f, (, z, ), =, x]" + started + "f(z) done\nDONE PROCESSING\n" + kNoFormulas,
       unnamed + ": f(z) is a formula in z = x + i y: it cannot use x or y; the function is refused\n",
       {0, 0}, 0},
      {"f ( z ) z", "func tokens = [f, (, z, ), z]" + started + "trying to add: f\nnext is: (\n",
       unnamed + kNothingMissing, {0, 0}, 0},
      {"f12 =", "func tokens = [f12, =]" + started,
       unnamed + ": an operand is missing after '='; the function is refused\n", {0, 0}, 0},
  };
  for (const auto& c : cases) {
    tFunction function;
    tPrinted trace = readTokens(function, std::string("junk junk ") + c.tokens, 2);
    EXPECT_EQ(c.out, trace.out) << c.tokens;
    EXPECT_EQ(c.err, trace.err) << c.tokens;
    EXPECT_EQ(c.value, function.value(tVector2(3, 1))) << c.tokens;
    EXPECT_EQ(c.c, function.getValueFor("c", nullptr)) << c.tokens;
  }
}

// Every way a file read stops before the end of the file, every name that
// begins with a digit, a refused map and every formula that is not whole is
// named on standard error with its place ({path} stands for the file's
// path), in f(z) and in every labelled formula alike; a text read under the
// file's path and name says the same. Whole formulas followed by the next
// statement, on the same line or not, read as before.
TEST(tFunctionTest, FileWarningsNameThePlace) {
  const std::string rest = "f2 = y\nf11 = 1\nf12 = 0\nf21 = 0\nf22 = 1\n";
  const std::string noF1 = ": incomplete function, missing f1, f2, f11, f12, f21, f22";
  const std::string noF2 = ": incomplete function, missing f2, f21, f22";
  const std::string refused = "; the function is refused";
  const std::string deep = "f2 = y\nf1 = " + std::string(2001, '(') + "x\n";
  const struct {
    std::string text;
    std::vector<std::string> err;  // each line after the file's path
  } cases[] = {
      {"c = -2\nf1 = x\n" + rest, {}},
      {"c = - 2 = 1\nf1 = x\n" + rest, {}},
      {"f1 = x^2 // x squared\nf2 = y\n", {}},
      {"f(z) = z^2 // z squared\nend\n", {}},
      {"c = 2 f1 = c*x^2 f2 = (y) end\n", {}},
      {"f(z) = z^2\nf1 = x\n", {":1:1: f(z) and f1 (at {path}:2:1) both given" + refused}},
      {"f22 = 1\n\n  f(z) = z^2\n", {":3:3: f(z) and f22 (at {path}:1:1) both given" + refused}},
      {"f1 = x^2 - 1 f2 = y c = 2 f(z) = z end\n",
       {":1:27: f(z) and f1 (at {path}:1:1) both given" + refused}},
      {"f(z) = abs z\n",
       {":1:1: abs of a complex value in f(z) has no complex derivative" + refused}},
      {"F1 = x^2 - y^2\n" + rest,
       {":1:1: reading stopped at 'F1' (labels are written in lower case: f1)", noF1}},
      {"f1 x\n" + rest, {":1:1: reading stopped at 'f1'", noF1}},
      {"f1 = x\nend\n" + rest, {":2:1: reading stopped at 'end'", noF2}},
      {"f1 = x\n" + rest + "end\n", {}},
      {"f1 = x\n" + rest + "end\nf1 = y\n", {":7:1: reading stopped at 'end'"}},
      {"f1 = x, " + rest, {":1:7: reading stopped at ','", noF2}},
      {"c = # no number\n", {":1:5: reading stopped at '#'", noF1}},
      {"f1 = x*1e-5 + 2x\n" + rest, {":1:15: name '2x' begins with a digit"}},
      {"f1 = x*1e-x + 2.5e\n" + rest,
       {":1:8: name '1e' begins with a digit",
        ":1:18: an operator is missing before 'e'" + refused}},
      {"f(z) = z^3 - 2*z +\n", {":1:18: an operand is missing after '+'" + refused}},
      {"f(z) = (z^3 - 1\n", {":1:8: '(' is never closed" + refused}},
      {"f(z) = (z^3 - 1 z\n", {":1:8: '(' is never closed" + refused}},
      {"f(z) = z^3 - 1)\n", {":1:15: ')' closes no bracket" + refused}},
      {"f(z) = sinn(z)\n",
       {":1:8: 'sinn' is not a function; functions are sin, cos, tan, sinh, cosh, tanh, exp, "
        "abs, sqrt, log" +
        refused}},
      {"f(z) = z**3 - 1\n", {":1:9: '**' is no operator; write '^' for a power" + refused}},
      {"f(z) = 2 z\n", {":1:10: an operator is missing before 'z'" + refused}},
      {"f(z) = 2 (z)\n", {":1:10: an operator is missing before '('" + refused}},
      {"f(z) = \n", {":1:6: an operand is missing after '='" + refused}},
      {"f1 = x^2 - \nf2 = y\n", {":1:10: an operand is missing after '-'" + refused}},
      {"f1 = x\nf2 = y\nf11 = 1\nf12 = 0\nf21 = 0 * (\nf22 = 1\n",
       {":5:11: an operand is missing after '('" + refused}},
      {"f1 = x\nf2 = y\nf22 = sin\n", {":3:7: an operand is missing after 'sin'" + refused}},
      {deep, {":2:2006: formula nested deeper than 2000" + refused}},
  };
  tScratchDirectory dir;
  const std::string path = dir / "f.func";
  for (const auto& c : cases) {
    writeRaw(path, c.text);
    std::string err;
    for (std::string line : c.err) {
      const std::size_t at = line.find("{path}");
      if (at != std::string::npos) line.replace(at, 6, path);
      err += path + line + "\n";
    }
    const tLoad loaded = load(path);
    EXPECT_EQ(err, loaded.printed.err) << c.text;
    EXPECT_EQ(err.find(refused) != std::string::npos, loaded.function->isRefused()) << c.text;
    tFunction text;
    text.setName(path);
    EXPECT_EQ(err, printedBy([&] { text.readText(c.text, path); }).err) << c.text;
  }
}

// Numbers of the environment win, from the current scope or an enclosing
// one; a name bound to anything but a number leaves the constant alone; and
// values once put in stay.
TEST(tFunctionTest, EnvironmentNumbersWinOverLocalConstants) {
  auto f = functionFromText("f1 = a * x a = 2 f2 = b b = 0.5");
  tVariableEnv env;
  env.extend("a", 5.0);
  f->substituteVars(&env);
  EXPECT_EQ(tVector2(5, 0.5), f->value(tVector2(1, 0)));
  EXPECT_EQ(5.0, f->getValueFor("a", &env));
  EXPECT_EQ(0.0, f->getValueFor("zz", &env));
  env.extendScope();
  EXPECT_EQ(5.0, f->getValueFor("a", &env));
  env.extend("a", std::string("text"));
  env.extend("b", std::shared_ptr<tFunction>());
  f->substituteVars(&env);
  EXPECT_EQ(tVector2(5, 0.5), f->value(tVector2(1, 0)));
  EXPECT_EQ(0.5, f->getValueFor("b", &env));
  env.revertScope();
  env.clear();
  f->substituteVars(&env);
  EXPECT_EQ(tVector2(2, 0.5), f->value(tVector2(1, 0)));
  f->clearLocalVars();
  EXPECT_EQ(0.0, f->getValueFor("b", &env));
  f->substituteVars(nullptr);
  EXPECT_EQ(tVector2(2, 0.5), f->value(tVector2(1, 0)));
}

// The program and the tree walk draw the line at the same place; a missing
// derivative counts as 0.0.
TEST(tFunctionTest, JacobianInverseCutoff) {
  auto f = functionFromText("f1 = x f2 = y f11 = d f12 = 0 f21 = 0 f22 = 1");
  for (double d : {1e-11, -1e-11, 1e-10, -1e-10, std::nan("")}) {
    tVariableEnv env;
    env.extend("d", d);
    f->substituteVars(&env);
    for (const tMatrix2& inverse : {f->jacobianInverse({0, 0}), f->jacobianInverseByTree({0, 0})}) {
      if (std::isnan(d))  // not below the cutoff: all NaN
        EXPECT_TRUE(std::isnan(inverse(0, 0)));
      else
        EXPECT_EQ(std::fabs(d) < 1e-10 ? tMatrix2() : tMatrix2(1 / d, 0, 0, 1), inverse) << d;
    }
  }
  auto partial = functionFromText("f1 = x f11 = 1 f12 = 0 f21 = 0");
  EXPECT_EQ(tVector2(3, 0), partial->value(tVector2(3, 4)));
  EXPECT_EQ(tMatrix2(), partial->jacobianInverse(tVector2(3, 4)));
}

// A derivative larger than a formula may be is not made: it stays missing,
// and the reader says why.
TEST(tFunctionTest, ADerivativeTooLargeToDeriveStaysMissing) {
  std::string text = "f2 = y f1 =";
  for (int i = 0; i < 800; ++i) text += " sin";
  tFunction function;
  tPrinted trace = readTokens(function, text + " x", 0);
  EXPECT_NE(std::string::npos, trace.out.find("f1 done\nf12 derived\nf21 derived\nf22 derived\n"));
  EXPECT_EQ(
      "unnamed function: f11 is too large to derive\n"
      "unnamed function: incomplete function, missing f11\n",
      trace.err);
}

// The second derivatives come from the first derivatives the function holds,
// given (even when wrong, as the 7 * x here), derived or from f(z), and a
// script's numbers reach them; one of a missing first derivative is missing
// and evaluates to 0.0. A map given as f(z) keeps f'(z) and f''(z) too. None
// of them is traced or reported.
TEST(tFunctionTest, SecondDerivativesAreDerivedFromTheFirstDerivatives) {
  const struct {
    const char* text;
    std::vector<std::string> formulas;  // f1xx ... f2yy; "" for a missing one
    std::vector<double> values;         // f1xx ... f2yy at (1, 2) with a = 3
    std::string first, second;          // f'(z) and f''(z); "" for none
    std::string err;
  } cases[] = {
      {"f1 = x ^ 3 - 3 * x * y ^ 2 - 1 f2 = 3 * x ^ 2 * y - y ^ 3",
       {"3*(2*x)", "-(3*(2*y))", "-(3*x*2)", "y*6", "3*(2*x)", "-(3*(2*y))"},
       {6, -12, -6, 12, 6, -12},
       "",
       "",
       ""},
      {"f1 = x ^ 2 f11 = 7 * x",
       {"7", "0", "0", "", "", ""},
       {7, 0, 0, 0, 0, 0},
       "",
       "",
       "unnamed function: incomplete function, missing f2, f21, f22\n"},
      {"a = 2 f ( z ) = a * z ^ 3",
       {"a*(3*(2*x))", "a*(3*(-(2*y)))", "-(a*(3*(2*x)))", "a*(3*(2*y))", "a*(3*(2*x))",
        "a*(3*(-(2*y)))"},
       {18, -36, -18, 36, 18, -36},
       "a*(3*z^2)",
       "a*(3*(2*z))",
       ""},
  };
  tVariableEnv env;
  env.extend("a", 3.0);
  for (const auto& c : cases) {
    tFunction f;
    const tPrinted printed = readTokens(f, c.text, 0);
    EXPECT_EQ(std::string::npos, printed.out.find("f1xx")) << c.text;
    EXPECT_EQ(c.err, printed.err) << c.text;
    f.substituteVars(&env);
    double values[tFunction::SECOND_FORMULAS];
    f.secondDerivatives(1, 2, values);
    for (unsigned k = 0; k < tFunction::SECOND_FORMULAS; ++k) {
      const tExprNode* formula = f.getSecondFormula(k);
      EXPECT_EQ(c.formulas[k], formula ? tFormulaText::of(formula) : "")
          << c.text << " " << tFunction::getSecondLabel(k);
      EXPECT_EQ(c.values[k], values[k]) << c.text << " " << tFunction::getSecondLabel(k);
    }
    const tExprNode* first = f.getComplexDerivative(1);
    const tExprNode* second = f.getComplexDerivative(2);
    EXPECT_EQ(c.first, first ? tFormulaText::of(first) : "") << c.text;
    EXPECT_EQ(c.second, second ? tFormulaText::of(second) : "") << c.text;
    EXPECT_EQ(nullptr, f.getComplexDerivative(3)) << c.text;
  }
}

// A second derivative larger than a formula may be is not made either: it
// stays missing and evaluates to 0.0, and nothing is said, since nothing has
// asked for it.
TEST(tFunctionTest, ASecondDerivativeTooLargeToDeriveStaysMissingSilently) {
  std::string text = "f2 = y f1 =";
  for (int i = 0; i < 100; ++i) text += " sin";
  tFunction function;
  EXPECT_EQ("", readTokens(function, text + " x", 0).err);
  ASSERT_NE(nullptr, function.getFormula(2));
  EXPECT_EQ(nullptr, function.getSecondFormula(0));
  ASSERT_NE(nullptr, function.getSecondFormula(1));
  double values[tFunction::SECOND_FORMULAS];
  function.secondDerivatives(0.5, 0.5, values);
  EXPECT_EQ(0.0, values[0]);
}
