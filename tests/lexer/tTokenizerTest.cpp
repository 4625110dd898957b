#include <gtest/gtest.h>

#include <string>
#include <utility>
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
  std::vector<unsigned int> offsets;
  unsigned int stoppedAt = 0;
  tokenizer.tokenize(text, tokens, offsets, stoppedAt);
  return tokens;
}

}  // namespace

TEST(tTokenizerTest, FunctionFileTexts) {
  const std::pair<std::string, Tokens> rows[] = {
      {"a,b", {"a"}},        {"5. f2", {"5"}},        {"x + # y", {"x", "+"}},
      {"\"a b\" x", {}},     {"f11=2", {"f11", "=", "2"}}, {" x\r+\ty\r\n", {"x", "+", "y"}},
      {"x \v\fy", {"x"}},    {"3.5*x .5", {"3.5", "*", "x", ".5"}},
      {"f12x end ending", {"f12x", "end", "ending"}},
      {"n = \"cubic.func\" (x)", {"n", "=", "\"cubic.func\"", "(", "x", ")"}},
  };
  for (const auto& [text, expected] : rows)
    EXPECT_EQ(expected, tokenize(kFunctionPatterns, text)) << text;
}

TEST(tTokenizerTest, LongestMatchAmongFewPatterns) {
  EXPECT_EQ(Tokens({"f1", "f1"}), tokenize({"f1", "f11"}, "f1 f1"));
  // A walk that stops in a non-accepting state is no match at all.
  EXPECT_EQ(Tokens(), tokenize({"ab|abcd"}, "abcx"));
  EXPECT_EQ(Tokens({"a", "b", "c", "x"}), tokenize({"ab|abcd", "a-z"}, "abcx"));
  // A match of no characters ends tokenizing.
  EXPECT_EQ(Tokens({"aa"}), tokenize({"a*"}, "aaba"));
  // A rejected pattern is kept and never matches.
  EXPECT_EQ(Tokens({"ab"}), tokenize({"(ab", "ab"}, "ab"));
  // A pattern may hold a space; then a token may too.
  const std::string file = R"((a-z|A-Z|0|1-9|\-|_|/| )+.(func|FUNC))";
  EXPECT_EQ(Tokens({"my file.func", "next"}),
            tokenize({file, "(a-z|A-Z|_|0|1-9)+"}, "  my file.func next "));
}

TEST(tTokenizerTest, TokensAreAppended) {
  tTokenizer tokenizer;
  tokenizer.addRegularExpression("(a-z)+");
  Tokens tokens = {"kept"};
  std::vector<unsigned int> offsets = {7};
  unsigned int stoppedAt = 0;
  tokenizer.tokenize("ab cd", tokens, offsets, stoppedAt);
  tokenizer.tokenize(" ef", tokens, offsets, stoppedAt);
  EXPECT_EQ(Tokens({"kept", "ab", "cd", "ef"}), tokens);
  EXPECT_EQ((std::vector<unsigned int>{7, 0, 3, 1}), offsets);
}
