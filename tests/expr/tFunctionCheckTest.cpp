#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "File/tFileTestSupport.h"
#include "expr/FunctionText.h"
#include "expr/tFormulaText.h"
#include "expr/tFunction.h"
#include "expr/tFunctionCheck.h"

namespace {

struct tReport {
  tFunctionCheck::TSTATUS status;
  std::string out;
  std::string err;
};

tReport check(const std::string& path) {
  tReport report{};
  std::ostringstream out;
  report.err = printedBy([&] { report.status = tFunctionCheck().checkFile(path, out); }).err;
  report.out = out.str();
  return report;
}

}  // namespace

// Every bundled sample, in whichever form it is written, passes.
TEST(tFunctionCheckTest, EverySampleAgrees) {
  int samples = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(ROOTWEAVER_SOURCE_DIR "/Shared Functions")) {
    ++samples;
    tReport report = check(entry.path().string());
    EXPECT_EQ(tFunctionCheck::STATUS_AGREES, report.status) << report.out;
    EXPECT_EQ("", report.err) << entry.path();
  }
  EXPECT_GE(samples, 11);
}

// The whole report on z^2 - c with a sign wrong in f12: the formulas with
// where each came from, the names, and each derivative's worst disagreement.
TEST(tFunctionCheckTest, AWrongDerivativeIsNamedWithThePointAndBothValues) {
  tScratchDirectory dir;
  writeRaw(dir / "wrong.func", "c = 1\nf1 = x^2 - y^2 - c\nf2 = 2*x*y + b\nf12 = 2*y\n");
  tReport report = check(dir / "wrong.func");
  EXPECT_EQ(tFunctionCheck::STATUS_DISAGREES, report.status);
  EXPECT_EQ(dir / "wrong.func\n"
                  "  f1 (given) = x^2 - y^2 - c\n"
                  "  f2 (given) = 2*x*y + b\n"
                  "  f11 (derived) = 2*x\n"
                  "  f12 (given) = 2*y\n"
                  "  f21 (derived) = y*2\n"
                  "  f22 (derived) = 2*x\n"
                  "  local constants: c = 1\n"
                  "  free names (a script sets them before a run; checked as 0): b\n"
                  "  f11 (derived): worst relative disagreement 4.4e-10 over 200 points\n"
                  "  f12 (given): worst relative disagreement 2 at (-1.14649, 0.539311): formula "
                  "1.07862, finite difference -1.07862; disagrees\n"
                  "  f21 (derived): worst relative disagreement 1.3e-11 over 200 points\n"
                  "  f22 (derived): worst relative disagreement 1.7e-11 over 200 points\n"
                  "  result: wrong or missing: f12\n",
            report.out);
  EXPECT_EQ("", report.err);

  // Given right, it passes; over other bounds too.
  writeRaw(dir / "right.func", "c = 1\nf1 = x^2 - y^2 - c\nf2 = 2*x*y + b\nf12 = -2*y\n");
  EXPECT_EQ(tFunctionCheck::STATUS_AGREES, check(dir / "right.func").status);
  tFunctionCheck far;
  far.setBounds(100, 101, -1e6, 1e6);
  std::ostringstream out;
  EXPECT_EQ(tFunctionCheck::STATUS_AGREES, far.checkFile(dir / "right.func", out)) << out.str();
}

// Files that warn, miss a formula or are refused do not pass.
TEST(tFunctionCheckTest, IncompleteRefusedAndWarnedFilesFail) {
  tScratchDirectory dir;
  const struct {
    const char* text;
    const char* result;
  } rows[] = {
      {"f1 = x\n", "  result: wrong or missing: f21, f22\n"},
      {"f(z) = z\nf2 = y\n", "  result: refused (see standard error)\n"},
      {"f1 = 2x\nf2 = y\n", "  result: read with warnings (see standard error)\n"},
  };
  for (const auto& row : rows) {
    writeRaw(dir / "f.func", row.text);
    tReport report = check(dir / "f.func");
    EXPECT_EQ(tFunctionCheck::STATUS_DISAGREES, report.status) << row.text;
    EXPECT_NE(std::string::npos, report.out.find(row.result)) << report.out;
    EXPECT_NE("", report.err) << row.text;
  }
  EXPECT_EQ(tFunctionCheck::STATUS_UNREADABLE, check(dir / "none.func").status);
}

// Formulas read back as the same tree, parenthesised where the parser's
// precedence (a leading minus before "^") is not the reader's.
TEST(tFormulaTextTest, FormulasReadBackAsWritten) {
  const struct {
    const char* tokens;
    const char* text;
  } rows[] = {
      {"x ^ 3 - 3 * x * y ^ 2 - a", "x^3 - 3*x*y^2 - a"},
      {"- x ^ 2 + - ( x ^ 2 )", "(-x)^2 + (-(x^2))"},
      {"x - ( y - 1 ) / ( 2 * y ) * - y", "x - (y - 1)/(2*y)*(-y)"},
      {"2 ^ 3 ^ 2 + ( 2 ^ 3 ) ^ 2 + x ^ - 2", "2^3^2 + (2^3)^2 + x^(-2)"},
      {"sin x ^ 2 + abs ( x - pi ) * e + sqrt log y", "sin(x)^2 + abs(x - pi)*e + sqrt(log(y))"},
      {"0.1 + 1e-5 + 16777217 + .5", "0.1 + 1e-05 + 16777216 + 0.5"},
  };
  tScratchDirectory dir;
  for (const auto& row : rows) {
    const std::string text = tFormulaText::of(parsedTree(row.tokens)->getRoot());
    EXPECT_EQ(row.text, text);
    writeRaw(dir / "f.func", std::string("f1 = ") + row.text + "\nf2 = y\n");
    EXPECT_EQ(text, tFormulaText::of(functionFromFile(dir / "f.func")->getFormula(0)));
  }
  EXPECT_EQ("x + (missing)", tFormulaText::of(parsedTree("x +")->getRoot()));
  EXPECT_EQ("atan2(-1, x)", tFormulaText::of(tExprNode::makeBinary(tExprNode::ATAN2,
                                                                   tExprNode::makeConstant(-1),
                                                                   tExprNode::makeX())
                                                .get()));
}
