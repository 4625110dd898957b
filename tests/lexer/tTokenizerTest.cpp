#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lexer/tTokenizer.h"

namespace {

using Tokens = std::vector<std::string>;

// The patterns of function files, in the order the reader adds them.
const Tokens kFunctionPatterns = {
    "f1", "f2", "f11", "f12", "f21", "f22", "end", "=", "((0|(1-9))*.)?(0|(1-9))+",
    "(a-z|A-Z|_|0|1-9)+", R"("(a-z|A-Z|0|1-9|.|\-|_)*")", R"(\()", R"(\))", R"(\+|\-|/|\*|^)",
};

// The patterns of batch scripts, in the order the reader adds them.
const Tokens kScriptPatterns = {
    "batch", "of", "end", "params", "use", "run", "from", "to", "function", "f1", "f2", "f11",
    "f12", "f21", "f22", "true", "false", "=", "((0|(1-9))*.)?(0|(1-9))+", "(a-z|A-Z|_|0|1-9)+",
    R"("(a-z|A-Z|0|1-9|.|\-|_|/|\\)*")", R"(\()", R"(\))", R"(\+|\-|/|\*|^)",
};

Tokens tokenize(const Tokens& patterns, const std::string& text) {
  tTokenizer tokenizer;
  for (const std::string& pattern : patterns) tokenizer.addRegularExpression(pattern);
  Tokens tokens;
  tokenizer.tokenize(text, tokens);
  return tokens;
}

// Lines joined as the readers join them: each preceded by one space.
std::string joinLines(const Tokens& lines) {
  std::string text;
  for (const std::string& line : lines) text += " " + line;
  return text;
}

}  // namespace

TEST(tTokenizerTest, FunctionFileTexts) {
  struct Row { std::string text; Tokens expected; };
  const std::vector<Row> rows = {
      {"", {}},
      {" \t\r\n  ", {}},
      {"x^2-1", {"x", "^", "2", "-", "1"}},
      {"2x", {"2x"}},
      {"x + # y", {"x", "+"}},
      {"5. f2", {"5"}},
      {"f11=2", {"f11", "=", "2"}},
      {"x\r+\ty\r\n", {"x", "+", "y"}},
      {"\t f1 = (x+1)/2 ", {"f1", "=", "(", "x", "+", "1", ")", "/", "2"}},
      {"3.5*x .5", {"3.5", "*", "x", ".5"}},
      {"c = -2", {"c", "=", "-", "2"}},
      {"f12x end ending", {"f12x", "end", "ending"}},
      {"n = \"cubic.func\" x", {"n", "=", "\"cubic.func\"", "x"}},
      {"\"a b\" x", {}},
      {"a,b", {"a"}},
      {"f1 = x // note", {"f1", "=", "x", "/", "/", "note"}},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.expected, tokenize(kFunctionPatterns, row.text)) << row.text;
}

TEST(tTokenizerTest, LongestMatchAmongFewPatterns) {
  EXPECT_EQ(Tokens({"f1", "f1"}), tokenize({"f1", "f11"}, "f1 f1"));
  // A walk that stops in a non-accepting state is no match at all.
  EXPECT_EQ(Tokens(), tokenize({"ab|abcd"}, "abcx"));
  EXPECT_EQ(Tokens({"a", "b", "c", "x"}), tokenize({"ab|abcd", "a-z"}, "abcx"));
  EXPECT_EQ(Tokens({"abcd", "ab"}), tokenize({"ab|abcd", "a-z"}, "abcdab"));
  // A match of no characters ends tokenizing.
  EXPECT_EQ(Tokens({"aa"}), tokenize({"a*"}, "aab"));
  EXPECT_EQ(Tokens(), tokenize({"a*"}, "b"));
  // A rejected pattern is kept and never matches.
  EXPECT_EQ(Tokens(), tokenize({"(ab"}, "ab"));
  EXPECT_EQ(Tokens({"ab"}), tokenize({"(ab", "ab"}, "ab"));
  EXPECT_EQ(Tokens(), tokenize({}, "ab"));
  // A pattern may hold a space; then a token may too.
  const std::string file = R"((a-z|A-Z|0|1-9|\-|_|/| )+.(func|FUNC))";
  EXPECT_EQ(Tokens({"my file.func"}), tokenize({file}, "my file.func next"));
  EXPECT_EQ(Tokens({"my file.func", "next"}),
            tokenize({file, "(a-z|A-Z|_|0|1-9)+"}, "  my file.func next "));
}

TEST(tTokenizerTest, AWholeFunctionFile) {
  const std::string text = joinLines({
      "c = 1", "f1 = x^2 - y^2 - c", "f2 = 2*x*y", "f11 = 2*x", "f12 = -2*y", "f21 = 2*y",
      "f22 = 2*x",
  });
  const Tokens expected = {
      "c", "=", "1", "f1", "=", "x", "^", "2", "-", "y", "^", "2", "-", "c", "f2", "=", "2",
      "*", "x", "*", "y", "f11", "=", "2", "*", "x", "f12", "=", "-", "2", "*", "y", "f21",
      "=", "2", "*", "y", "f22", "=", "2", "*", "x",
  };
  EXPECT_EQ(expected, tokenize(kFunctionPatterns, text));
}

TEST(tTokenizerTest, AWholeScript) {
  const std::string text = joinLines({
      "_imageDimension = 256", "_maxIterations = 50", "_stepSize = 0.5",
      "_outputDir = \"results\"", "f = loadFunction \"cubic.func\"", "use RungeKuttaSolver4",
      "batch \"sweep\" of 3", "a from 0.5 to 1.5", "run f", "graph \"dims\" a _fractalDimension_",
      "end",
  });
  const Tokens expected = {
      "_imageDimension", "=", "256", "_maxIterations", "=", "50", "_stepSize", "=", "0.5",
      "_outputDir", "=", "\"results\"", "f", "=", "loadFunction", "\"cubic.func\"", "use",
      "RungeKuttaSolver4", "batch", "\"sweep\"", "of", "3", "a", "from", "0.5", "to", "1.5",
      "run", "f", "graph", "\"dims\"", "a", "_fractalDimension_", "end",
  };
  EXPECT_EQ(expected, tokenize(kScriptPatterns, text));
  EXPECT_EQ(Tokens({"_outputDir", "=", "\"out\\sub/dir\"", "x"}),
            tokenize(kScriptPatterns, "_outputDir = \"out\\sub/dir\" x"));
  EXPECT_EQ(Tokens({"x", "from"}), tokenize(kScriptPatterns, "x from, -1"));
  EXPECT_EQ(Tokens({"Batch", "\"a\""}), tokenize(kScriptPatterns, "Batch \"a\""));
}

TEST(tTokenizerTest, TokensAreAppended) {
  tTokenizer tokenizer;
  tokenizer.addRegularExpression("(a-z)+");
  Tokens tokens = {"kept"};
  tokenizer.tokenize("ab cd", tokens);
  tokenizer.tokenize(" ef", tokens);
  EXPECT_EQ(Tokens({"kept", "ab", "cd", "ef"}), tokens);
}

TEST(tTokenizerTest, AdvanceToNonWhitespace) {
  tTokenizer tokenizer;
  struct Row { std::string text; unsigned int from; unsigned int expected; };
  const std::vector<Row> rows = {
      {" \t\r\nx ", 0, 4}, {" \t\r\nx ", 4, 4}, {"x  ", 1, 3}, {"   ", 0, 3},
      {"", 0, 0},          {"ab", 7, 7},        {"\v\fx", 0, 0},
  };
  for (const Row& row : rows) {
    unsigned int pos = row.from;
    tokenizer.advanceToNonWhitespace(row.text, pos);
    EXPECT_EQ(row.expected, pos) << row.from;
  }
}
