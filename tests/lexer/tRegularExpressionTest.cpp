#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lexer/tRegularExpression.h"

using namespace std::string_literals;

namespace {

struct MatchRow { std::string pattern, text; int expected; };

// Each row also from an offset into a longer text, which must be the same as
// matching the rest, and from beyond the end, which is matching nothing.
void expectMatches(const std::vector<MatchRow>& rows) {
  for (const MatchRow& row : rows) {
    tRegularExpression expression(row.pattern);
    EXPECT_EQ(row.expected, expression.match(row.text, 0)) << row.pattern << " on " << row.text;
    EXPECT_EQ(row.expected, expression.match("a(" + row.text, 2)) << row.pattern << " on " << row.text;
    EXPECT_EQ(expression.match("", 0), expression.match(row.text, row.text.size() + 1))
        << row.pattern;
  }
}

const std::string kNumber = "((0|(1-9))*.)?(0|(1-9))+";
const std::string kIdentifier = "(a-z|A-Z|_|0|1-9)+";
const std::string kQuotedName = R"("(a-z|A-Z|0|1-9|.|\-|_)*")";
const std::string kQuotedPath = R"("(a-z|A-Z|0|1-9|.|\-|_|/|\\)*")";
const std::string kFuncFile = R"((a-z|A-Z|0|1-9|\-|_|/| )+.(func|FUNC))";
const std::string kBlamFile = R"((a-z|A-Z|0|1-9|\-|_|/| )+.(blam|BLAM))";
const std::string kBatchFiles = R"((a-z|A-Z|0|1-9|\-|_)+.(txt|tga))";

}  // namespace

TEST(tRegularExpressionTest, Dialect) {
  expectMatches({
      {"", "abc", 0},      {"a", "", -1},        {"abc", "abcd", 3},     {"abc", "abd", -1},
      {"a|b|c", "c", 1},   {"ab|cd", "cd", 2},   {"ab|cd", "ac", -1},    {"a|b*", "bb", 2},
      {"ab*", "abbbc", 4}, {"a*", "b", 0},       {"(ab)*", "abx", 2},    {"a+", "", -1},
      {"a+", "aaa", 3},    {"a?b", "b", 1},      {"a?b", "ab", 2},       {"a?", "aa", 1},
      {"(a|b)*c", "ababc", 5},
      // Ranges: inclusive, of signed characters; a postfix binds the whole range.
      {"a-z", "a", 1},     {"a-z", "z", 1},      {"a-z", "`", -1},       {"a-z", "{", -1},
      {"z-a", "z", -1},    {"a-\\", "a", -1},    {"a-z*", "hello1", 5},  {"\x80-\xff", "\xc3", 1},
      {"a-\xc3", "a", -1}, {"\x80-\x7f", "\0"s, 1}, {"\x80-\x7f", "\x7f", 1}, {"a-\x7f", "\x80", -1},
      // Literals: no wildcard, no anchors, escapes only make the next character literal.
      {".", "x", -1},      {"^", "^", 1},        {"a b", "a b", 3},      {"a\0b"s, "a\0b"s, 3},
      {"\\n", "\n", -1},   {"\\\\", "\\", 1},    {"\\", "\\", 1},        {"a\\|b", "a|b", 3},
      // A missing right side of a union is EMPTY; what cannot continue is ignored.
      {"a|", "b", 0},      {"a**", "*", 0},      {"a+?", "aa", 2},       {"a)b", "ab", 1},
      {"a-z-0", "b-", 1},  {"(a)-", "a-", 1},
      // A dash followed by an operator makes an empty range and eats the operator.
      {"x|a-(", "x", 1},   {"x|a-(", "a", -1},   {"a-(b", "ab", -1},     {"a-*", "", -1},
  });
}

// Those of function files are also in tTokenizerTest.FunctionFileTexts.
TEST(tRegularExpressionTest, ThePatternsOfTheProgram) {
  expectMatches({
      {kNumber, "5.", -1},      {kNumber, "1.2.3", 3},     {kIdentifier, "[", -1},
      {kIdentifier, "@", -1},   {kQuotedName, "\"a-b_c.1\"x", 9}, {kQuotedName, "\"a/b\"", -1},
      {kQuotedPath, "\"a/b\\c.txt\"", 11}, {kFuncFile, "/home/user/My Funcs/z2-1_b.func", 31},
      {kFuncFile, "CUBIC.FUNC", 10},        {kFuncFile, "cubic.Func", -1},
      {kFuncFile, "a.b.func", -1},          {kFuncFile, "cubic.funcs", 10},
      {kBlamFile, "RUN.BLAM", 8},           {kBlamFile, "run.func", -1},
      {"sweep" + kBatchFiles, "sweep-fractal-1.tga", 19},
      // A batch name's dash is the range operator: y-r is empty.
      {"my-run" + kBatchFiles, "my-run-1.tga", -1},
  });
}

TEST(tRegularExpressionTest, MalformedPatternsNeverMatch) {
  for (const std::string pattern : {"*a", "|a", "-", ")a", "(ab", "()", "a-", "a|*", "a||b", "a|)",
                                    "(a|)", "(a**)", "a(|b)", "(a-)", "(a-b-c)", "(a)|*"}) {
    tRegularExpression expression(pattern);
    EXPECT_EQ(nullptr, expression.getDFA()) << pattern;
    EXPECT_EQ(-1, expression.match("", 0)) << pattern;
  }
  // "a*|" is not malformed at the top level: its right side is EMPTY.
  EXPECT_EQ(0, tRegularExpression("a*|").match("", 0));
}

// Long literals, unions, options and stars compile without recursion.
TEST(tRegularExpressionTest, LongPatternsCompile) {
  const int length = 3000;
  tRegularExpression literal(std::string(length, 'a'));
  EXPECT_EQ(length, literal.match(std::string(length + 1, 'a'), 0));
  EXPECT_EQ(-1, literal.match(std::string(length - 1, 'a'), 0));

  std::string bars = "a";
  std::string optionals;
  std::string stars;
  for (int i = 0; i < 2000; ++i) {
    bars += "|a";
    stars += "(a|b)*";
    if (i < 400) optionals += "a?";
  }
  tRegularExpression manyBranches(bars);
  EXPECT_EQ(1, manyBranches.match("aa", 0));
  EXPECT_EQ(2u, manyBranches.getDFA()->getStates().size());
  tRegularExpression manyOptionals(optionals);
  EXPECT_EQ(0, manyOptionals.match("b", 0));
  EXPECT_EQ(400, manyOptionals.match(std::string(401, 'a'), 0));
  EXPECT_EQ(6, tRegularExpression(stars).match("abbaba", 0));
}
