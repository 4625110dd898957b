#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "expr/FunctionText.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"

namespace {

const char* const kQuadraticText =
    "// z^2 - 1 in real coordinates\n"
    "c = 1\n"
    "f1 = x^2 - y^2 - c\n"
    "f2 = 2*x*y\n"
    "f11 = 2*x\n"
    "f12 = -2*y\n"
    "f21 = 2*y\n"
    "f22 = 2*x\n";

// Everything the quadratic example prints after its timing line.
const char* const kQuadraticTrace =
    "func tokens = [c, =, 1, f1, =, x, ^, 2, -, y, ^, 2, -, c, f2, =, 2, *, x, *, y, f11, =, 2, "
    "*, x, f12, =, -, 2, *, y, f21, =, 2, *, y, f22, =, 2, *, x]\n\n"
    "STARTED PROCESSING\n"
    "trying to add: c\n"
    "next is: =\n"
    "f1 done\n"
    "f2 done\n"
    "f11 done\n"
    "f12 done\n"
    "f21 done\n"
    "f22 done\n"
    "DONE PROCESSING\n"
    "fx = [MINUS : [MINUS : [POW : [X : _, _], [CONSTANT 2 : _, _]], [POW : [Y : _, _], "
    "[CONSTANT 2 : _, _]]], [VARIABLE c = 1 : _, _]]\n\n"
    "fy = [TIMES : [TIMES : [CONSTANT 2 : _, _], [X : _, _]], [Y : _, _]]\n\n"
    "fxx = [TIMES : [CONSTANT 2 : _, _], [X : _, _]]\n\n"
    "fxy = [TIMES : [NEGATION : [CONSTANT 2 : _, _], _], [Y : _, _]]\n\n"
    "fyx = [TIMES : [CONSTANT 2 : _, _], [Y : _, _]]\n\n"
    "fyy = [TIMES : [CONSTANT 2 : _, _], [X : _, _]]\n\n";

const char* const kNothingRead =
    "fx = <none>\n\nfy = <none>\n\nfxx = <none>\n\nfxy = <none>\n\nfyx = <none>\n\n"
    "fyy = <none>\n\n";

// A fresh directory under the system's temporary directory, removed at the end.
class tTempDir {
 public:
  tTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "rootweaver-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~tTempDir() { std::filesystem::remove_all(path_); }
  std::string write(const std::string& name, const std::string& text) const {
    std::filesystem::path file = std::filesystem::path(path_) / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
    return file.string();
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// What a load printed, and the function it made.
struct tLoad {
  std::unique_ptr<tFunction> function;
  std::string out;
  std::string err;
};

tLoad load(const std::string& name) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  tLoad result;
  result.function = std::make_unique<tFunction>(name);
  result.out = testing::internal::GetCapturedStdout();
  result.err = testing::internal::GetCapturedStderr();
  return result;
}

// The trace after the timing line, which must come first.
std::string afterTiming(const std::string& out) {
  std::smatch match;
  static const std::regex timing("^Tokenizing took: [0-9][0-9.e+-]*\n\n");
  if (!std::regex_search(out, match, timing)) {
    ADD_FAILURE() << "no timing line in:\n" << out;
    return out;
  }
  return match.suffix();
}

struct tTrace {
  std::string out;
  std::string err;
};

tTrace readTokens(tFunction& function, const std::string& text, unsigned pos = 0) {
  std::vector<std::string> tokens = splitTokens(text);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  function.processTokens(tokens, pos);
  tTrace trace;
  trace.out = testing::internal::GetCapturedStdout();
  trace.err = testing::internal::GetCapturedStderr();
  return trace;
}

std::string printed(const tFunction& function) {
  testing::internal::CaptureStdout();
  function.print();
  return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(tFunctionTest, QuadraticExampleLoadsFromSharedFunctions) {
  tLoad loaded = load("quadratic.func");
  EXPECT_EQ(kQuadraticTrace, afterTiming(loaded.out));
  EXPECT_EQ("", loaded.err);
  EXPECT_EQ("quadratic.func", loaded.function->getName());
  EXPECT_EQ(tVector2(2, 4), loaded.function->value(tVector2(2, 1)));
  EXPECT_EQ(tMatrix2(4, -2, 2, 4).inverse(), loaded.function->jacobianInverse(tVector2(2, 1)));
  std::set<std::string> names;
  loaded.function->freeVars(names);
  EXPECT_EQ(std::set<std::string>{"c"}, names);
}

TEST(tFunctionTest, RelativeNamesComeFromTheApplicationDirectory) {
  tTempDir dir;
  std::string decoy = "f1 = 7\n";
  dir.write("quadratic.func", decoy);
  dir.write("Shared Functions/quadratic.func", decoy);
  std::string absolute = dir.write("mine.func", kQuadraticText);

  std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  tLoad relative = load("quadratic.func");
  std::filesystem::current_path(saved);
  EXPECT_EQ(kQuadraticTrace, afterTiming(relative.out));

  tLoad full = load(absolute);
  EXPECT_EQ(kQuadraticTrace, afterTiming(full.out));
  EXPECT_EQ(absolute, full.function->getName());
}

TEST(tFunctionTest, MissingFileGivesAnEmptyFunction) {
  tLoad loaded = load("no-such-function.func");
  EXPECT_EQ(std::string("func tokens = []\n\nSTARTED PROCESSING\nDONE PROCESSING\n") + kNothingRead,
            afterTiming(loaded.out));
  EXPECT_EQ("no-such-function.func: incomplete function, missing f1, f2, f11, f12, f21, f22\n",
            loaded.err);
  EXPECT_EQ(tVector2(0, 0), loaded.function->value(tVector2(1, 2)));
  EXPECT_EQ(tMatrix2(), loaded.function->jacobianInverse(tVector2(1, 2)));

  // Directories read as empty files too.
  tTempDir dir;
  for (const std::string& name : {std::string(), dir.path()}) {
    loaded = load(name);
    EXPECT_EQ(std::string("func tokens = []\n\nSTARTED PROCESSING\nDONE PROCESSING\n") +
                  kNothingRead,
              afterTiming(loaded.out));
  }
}

TEST(tFunctionTest, CommentLinesAndCommentsAfterCode) {
  tTempDir dir;
  std::string comments = dir.write("comments.func",
                                   "// f1 = x\n"
                                   "   // indented comment\t\n"
                                   "f1 = y\n"
                                   "\n"
                                   "f2 =\n"
                                   "  x\n");
  tLoad loaded = load(comments);
  EXPECT_EQ(0u, afterTiming(loaded.out)
                    .find("func tokens = [f1, =, y, f2, =, x]\n\nSTARTED PROCESSING\n"
                          "f1 done\nf2 done\nDONE PROCESSING\n"));
  EXPECT_EQ(comments + ": incomplete function, missing f11, f12, f21, f22\n", loaded.err);
  EXPECT_EQ(tVector2(2, 1), loaded.function->value(tVector2(1, 2)));

  std::string trailing = dir.write("trailing.func", "f1 = x // note\nf2 = y\n");
  loaded = load(trailing);
  EXPECT_EQ(
      "func tokens = [f1, =, x, /, /, note, f2, =, y]\n\n"
      "STARTED PROCESSING\n"
      "f1 done\n"
      "trying to add: note\n"
      "next is: f2\n",
      afterTiming(loaded.out));
  EXPECT_EQ("", loaded.err);
  EXPECT_EQ(0u, printed(*loaded.function)
                    .find("fx = [DIV : [X : _, _], [VARIABLE / = 0 : _, _]]\n\nfy = <none>\n"));
}

TEST(tFunctionTest, EveryWayOfStoppingTracesExactly) {
  const std::string started = "\n\nSTARTED PROCESSING\n";
  const struct {
    const char* tokens;
    std::string out;
    std::string err;
  } cases[] = {
      {"f1 x f2 = y", "func tokens = [f1, x, f2, =, y]" + started + "bailing on f1\n", ""},
      {"f2 = y f22", "func tokens = [f2, =, y, f22]" + started + "f2 done\nbailing on f22\n", ""},
      {"c = 2 f1 = c * x end f2 = y",
       "func tokens = [c, =, 2, f1, =, c, *, x, end, f2, =, y]" + started +
           "trying to add: c\nnext is: =\nf1 done\n",
       ""},
      {"c = - 2 f1 = x",
       "func tokens = [c, =, -, 2, f1, =, x]" + started +
           "trying to add: c\nnext is: =\ntrying to add: 2\nnext is: f1\n",
       ""},
      {"f1 = x + f2 = y",
       "func tokens = [f1, =, x, +, f2, =, y]" + started +
           "f1 done\ntrying to add: =\nnext is: y\n",
       ""},
      {"F1 = x",  // a local constant, whose value x reads as 0
       "func tokens = [F1, =, x]" + started + "trying to add: F1\nnext is: =\nDONE PROCESSING\n" +
           kNothingRead,
       "unnamed function: incomplete function, missing f1, f2, f11, f12, f21, f22\n"},
      {"c =", "func tokens = [c, =]" + started + "trying to add: c\nnext is: =\n", ""},
      {"c", "func tokens = [c]" + started + "trying to add: c\nnext is: \n", ""},
      {"", "func tokens = []" + started + "DONE PROCESSING\n" + kNothingRead,
       "unnamed function: incomplete function, missing f1, f2, f11, f12, f21, f22\n"},
      {"f12 =",
       "func tokens = [f12, =]" + started +
           "f12 done\nDONE PROCESSING\nfx = <none>\n\nfy = <none>\n\nfxx = <none>\n\n"
           "fxy = [EMPTY : _, _]\n\nfyx = <none>\n\nfyy = <none>\n\n",
       "unnamed function: incomplete function, missing f1, f2, f11, f21, f22\n"},
  };
  for (const auto& c : cases) {
    tFunction function;
    tTrace trace = readTokens(function, c.tokens);
    EXPECT_EQ(c.out, trace.out) << c.tokens;
    EXPECT_EQ(c.err, trace.err) << c.tokens;
  }
}

TEST(tFunctionTest, WhatStaysAfterReadingStops) {
  tFunction ended;
  readTokens(ended, "c = 2 f1 = c * x end f2 = y");
  EXPECT_EQ(tVector2(0, 0), ended.value(tVector2(3, 1)));  // c was never put in
  EXPECT_EQ(2.0, ended.getValueFor("c", nullptr));

  tFunction derailed;
  readTokens(derailed, "c = - 2 f1 = x");
  EXPECT_EQ(tVector2(0, 0), derailed.value(tVector2(3, 1)));
  tVariableEnv none;
  EXPECT_EQ(0.0, derailed.getValueFor("c", &none));

  tFunction dangling;
  readTokens(dangling, "f1 = x + f2 = y");
  std::set<std::string> names;
  dangling.freeVars(names);
  EXPECT_EQ(std::set<std::string>{"f2"}, names);

  tFunction bailed;
  readTokens(bailed, "f1 = x f1 y");
  EXPECT_EQ(tVector2(0, 0), bailed.value(tVector2(3, 1)));  // the slot was emptied
}

TEST(tFunctionTest, ReadingFromAPositionAndReplacingFormulas) {
  tFunction function;
  tTrace trace = readTokens(function, "junk junk f1 = x f1 = k * y k = 3 f2 = 1", 2);
  EXPECT_EQ(
      "func tokens = [f1, =, x, f1, =, k, *, y, k, =, 3, f2, =, 1]\n\nSTARTED PROCESSING\n"
      "f1 done\nf1 done\ntrying to add: k\nnext is: =\nf2 done\nDONE PROCESSING\n"
      "fx = [TIMES : [VARIABLE k = 3 : _, _], [Y : _, _]]\n\n"
      "fy = [CONSTANT 1 : _, _]\n\n"
      "fxx = <none>\n\nfxy = <none>\n\nfyx = <none>\n\nfyy = <none>\n\n",
      trace.out);
  EXPECT_EQ(tVector2(15, 1), function.value(tVector2(2, 5)));
  function.setName("g");
  EXPECT_EQ("g", function.getName());
}

TEST(tFunctionTest, EnvironmentValuesWinOverLocalConstants) {
  auto f = functionFromText("f1 = a * x a = 2 f2 = b b = 0.5");
  EXPECT_EQ(tVector2(2, 0.5), f->value(tVector2(1, 0)));

  tVariableEnv env;
  env.extend("a", 5.0);
  f->substituteVars(&env);
  EXPECT_EQ(tVector2(5, 0.5), f->value(tVector2(1, 0)));
  EXPECT_EQ(5.0, f->getValueFor("a", &env));
  EXPECT_EQ(0.5, f->getValueFor("b", &env));
  EXPECT_EQ(0.0, f->getValueFor("zz", &env));

  // Only the environment's current scope counts.
  env.extendScope();
  EXPECT_EQ(2.0, f->getValueFor("a", &env));
  f->substituteVars(&env);
  EXPECT_EQ(tVector2(2, 0.5), f->value(tVector2(1, 0)));

  f->clearLocalVars();
  EXPECT_EQ(0.0, f->getValueFor("b", &env));
  f->substituteVars(nullptr);
  EXPECT_EQ(tVector2(2, 0.5), f->value(tVector2(1, 0)));  // values already put in stay
}

TEST(tFunctionTest, JacobianInverseCutoff) {
  auto f = functionFromText("f1 = x f2 = y f11 = d f12 = 0 f21 = 0 f22 = 1");
  const struct {
    double d;
    bool singular;
  } cases[] = {{1e-11, true},  {-1e-11, true},  {0.0, true},
               {1e-10, false}, {-1e-10, false}, {0.5, false}};
  for (const auto& c : cases) {
    tVariableEnv env;
    env.extend("d", c.d);
    f->substituteVars(&env);
    tMatrix2 inverse = f->jacobianInverse(tVector2(0, 0));
    EXPECT_EQ(c.singular ? tMatrix2() : tMatrix2(1 / c.d, 0, 0, c.d / c.d), inverse) << c.d;
  }
  tVariableEnv env;
  env.extend("d", std::nan(""));
  f->substituteVars(&env);
  EXPECT_TRUE(std::isnan(f->jacobianInverse(tVector2(0, 0))(0, 0)));

  // A missing derivative counts as 0.0, so the Jacobian is singular.
  auto partial = functionFromText("f1 = x f11 = 1 f12 = 0 f21 = 0");
  EXPECT_EQ(tVector2(3, 0), partial->value(tVector2(3, 4)));
  EXPECT_EQ(tMatrix2(), partial->jacobianInverse(tVector2(3, 4)));
}

TEST(tFunctionTest, TooDeepAFormulaEndsTheRead) {
  std::string text = "f2 = y f1 =";
  for (int i = 0; i < 10000; ++i) text += " (";
  text += " x f11 = 1";
  tFunction function;
  tTrace trace = readTokens(function, text);
  EXPECT_NE(std::string::npos, trace.out.find("f2 done\nf1 done\nDONE PROCESSING\nfx = [EMPTY"));
  EXPECT_EQ("unnamed function: incomplete function, missing f11, f12, f21, f22\n", trace.err);
  EXPECT_EQ(tVector2(1, 3), function.value(tVector2(2, 3)));
}

// Every sample must read in full, and its derivatives must be the
// derivatives of its components.
TEST(tFunctionTest, SampleFunctionsAreCompleteAndConsistent) {
  std::vector<std::string> names;
  for (const auto& entry :
       std::filesystem::directory_iterator(ROOTWEAVER_SOURCE_DIR "/Shared Functions"))
    if (entry.path().extension() == ".func") names.push_back(entry.path().filename().string());
  EXPECT_GE(names.size(), 5u);

  std::mt19937 random(12345);
  std::uniform_real_distribution<double> coordinate(-1.7, 1.7);
  for (const std::string& name : names) {
    tLoad loaded = load(name);
    std::string trace = afterTiming(loaded.out);
    EXPECT_EQ("", loaded.err) << name;
    EXPECT_EQ(std::string::npos, trace.find("bailing")) << name;
    EXPECT_EQ(std::string::npos, trace.find("<none>")) << name;
    EXPECT_NE(std::string::npos, trace.find("f22 done\nDONE PROCESSING\nfx = [")) << name;

    const tFunction& f = *loaded.function;
    const double h = 1e-6;
    for (int i = 0; i < 20; ++i) {
      tVector2 p(coordinate(random), coordinate(random));
      tMatrix2 inverse = f.jacobianInverse(p);
      if (inverse == tMatrix2()) continue;
      tMatrix2 jacobian = inverse.inverse();
      tVector2 dx = (f.value(p + tVector2(h, 0)) - f.value(p - tVector2(h, 0))) / (2 * h);
      tVector2 dy = (f.value(p + tVector2(0, h)) - f.value(p - tVector2(0, h))) / (2 * h);
      double scale = 1e-5 * (1 + std::fabs(jacobian(0, 0)) + std::fabs(jacobian(0, 1)) +
                             std::fabs(jacobian(1, 0)) + std::fabs(jacobian(1, 1)));
      EXPECT_NEAR(dx[0], jacobian(0, 0), scale) << name << " f11 at " << p;
      EXPECT_NEAR(dy[0], jacobian(0, 1), scale) << name << " f12 at " << p;
      EXPECT_NEAR(dx[1], jacobian(1, 0), scale) << name << " f21 at " << p;
      EXPECT_NEAR(dy[1], jacobian(1, 1), scale) << name << " f22 at " << p;
    }
  }
}

TEST(tFunctionTest, CubicSampleDependsOnlyOnA) {
  tLoad loaded = load("cubic.func");
  std::set<std::string> names;
  loaded.function->freeVars(names);
  EXPECT_EQ(std::set<std::string>{"a"}, names);
  EXPECT_EQ(1.0, loaded.function->getValueFor("a", nullptr));
  EXPECT_EQ(tVector2(0, 0), loaded.function->value(tVector2(1, 0)));

  tVariableEnv env;
  env.extend("a", 8.0);
  loaded.function->substituteVars(&env);
  EXPECT_EQ(tVector2(0, 0), loaded.function->value(tVector2(2, 0)));
}
