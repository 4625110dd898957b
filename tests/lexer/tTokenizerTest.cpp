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

Tokens tokenize(const Tokens& patterns, const std::string& text) {
  tTokenizer tokenizer;
  for (const std::string& pattern : patterns) tokenizer.addRegularExpression(pattern);
  Tokens tokens;
  tokenizer.tokenize(text, tokens);
  return tokens;
}

}  // namespace

TEST(tTokenizerTest, FunctionFileTexts) {
  struct Row { std::string text; Tokens expected; };
  const std::vector<Row> rows = {
      {"", {}},                  {" \t\r\n  ", {}},           {"2x", {"2x"}},
      {"a,b", {"a"}},            {"5. f2", {"5"}},            {"x + # y", {"x", "+"}},
      {"\"a b\" x", {}},         {"f11=2", {"f11", "=", "2"}}, {"c = -2", {"c", "=", "-", "2"}},
      {"x^2-1", {"x", "^", "2", "-", "1"}},     {"x\r+\ty\r\n", {"x", "+", "y"}},
      {"3.5*x .5", {"3.5", "*", "x", ".5"}},    {"f12x end ending", {"f12x", "end", "ending"}},
      {"\t f1 = (x+1)/2 ", {"f1", "=", "(", "x", "+", "1", ")", "/", "2"}},
      {"n = \"cubic.func\" x", {"n", "=", "\"cubic.func\"", "x"}},
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
  EXPECT_EQ(Tokens({"aa"}), tokenize({"a*"}, "aaba"));
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

TEST(tTokenizerTest, TokensAreAppendedAndWhitespaceIsSkipped) {
  tTokenizer tokenizer;
  tokenizer.addRegularExpression("(a-z)+");
  Tokens tokens = {"kept"};
  tokenizer.tokenize("ab cd", tokens);
  tokenizer.tokenize(" ef", tokens);
  EXPECT_EQ(Tokens({"kept", "ab", "cd", "ef"}), tokens);

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
