#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lexer/tRegExNode.h"
#include "lexer/tRegExTree.h"

using namespace std::string_literals;

namespace {

std::string printedTree(const std::string& pattern) {
  tRegExTree tree;
  EXPECT_EQ(1, tree.buildTree(pattern)) << pattern;
  testing::internal::CaptureStdout();
  tree.print();
  return testing::internal::GetCapturedStdout();
}

std::string nested(int depth, const std::string& inner) {
  return std::string(depth, '(') + inner + std::string(depth, ')');
}

}  // namespace

TEST(tRegExNodeTest, PrintShowsTheTreeShape) {
  struct Row { std::string pattern; std::string printed; };
  const std::vector<Row> rows = {
      {"", "[EMPTY : _, _]"},
      {"a", "[SYMBOL a : _, _]"},
      {"ab", "[CONCATENATION : [SYMBOL a : _, _], [SYMBOL b : _, _]]"},
      {"abc",
       "[CONCATENATION : [CONCATENATION : [SYMBOL a : _, _], [SYMBOL b : _, _]], "
       "[SYMBOL c : _, _]]"},
      {"a|b|c",
       "[UNION : [UNION : [SYMBOL a : _, _], [SYMBOL b : _, _]], [SYMBOL c : _, _]]"},
      {"ab|cd",
       "[UNION : [CONCATENATION : [SYMBOL a : _, _], [SYMBOL b : _, _]], "
       "[CONCATENATION : [SYMBOL c : _, _], [SYMBOL d : _, _]]]"},
      {"a(b|c)",
       "[CONCATENATION : [SYMBOL a : _, _], [UNION : [SYMBOL b : _, _], [SYMBOL c : _, _]]]"},
      {"a-z*", "[STAR : [RANGE a-z : _, _], _]"},
      {"ab*", "[CONCATENATION : [SYMBOL a : _, _], [STAR : [SYMBOL b : _, _], _]]"},
      {"(a)+", "[PLUS : [SYMBOL a : _, _], _]"},
      {"a?", "[OPTIONAL : [SYMBOL a : _, _], _]"},
      {"a|", "[UNION : [SYMBOL a : _, _], [EMPTY : _, _]]"},
      {"a**", "[STAR : [SYMBOL a : _, _], _]"},
      {"a)b", "[SYMBOL a : _, _]"},
      {"a-b-c", "[RANGE a-b : _, _]"},
      {"a b", "[CONCATENATION : [CONCATENATION : [SYMBOL a : _, _], [SYMBOL   : _, _]], "
              "[SYMBOL b : _, _]]"},
      {R"(\-\\)", R"([CONCATENATION : [SYMBOL - : _, _], [SYMBOL \ : _, _]])"},
      {"(0|(1-9))+", "[PLUS : [UNION : [SYMBOL 0 : _, _], [RANGE 1-9 : _, _]], _]"},
      {"((0|(1-9))*.)?(0|(1-9))+",
       "[CONCATENATION : [OPTIONAL : [CONCATENATION : [STAR : [UNION : [SYMBOL 0 : _, _], "
       "[RANGE 1-9 : _, _]], _], [SYMBOL . : _, _]], _], [PLUS : [UNION : [SYMBOL 0 : _, _], "
       "[RANGE 1-9 : _, _]], _]]"},
      // The dash takes the opening parenthesis as its high end, character 0.
      {"a-(b", "[CONCATENATION : [RANGE a-\0 : _, _], [SYMBOL b : _, _]]"s},
  };
  for (const Row& row : rows) EXPECT_EQ(row.printed, printedTree(row.pattern)) << row.pattern;
}

// The rejected patterns are in tRegularExpressionTest.MalformedPatternsNeverMatch.
TEST(tRegExNodeTest, TreeAcceptsAndIsReusable) {
  const std::vector<std::string> accepted = {
      "", "a", "a|", "a**", "a)b", "(a)-", "a-b-", "a-(", "a-\\", "\\", "((a))", "a+?",
  };
  for (const std::string& pattern : accepted) {
    tRegExTree tree;
    EXPECT_EQ(1, tree.buildTree(pattern)) << pattern;
  }
  tRegExTree reused;
  EXPECT_EQ(0, reused.buildTree("(a"));
  EXPECT_EQ(1, reused.buildTree("b"));
  EXPECT_EQ(tRegExNode::REGEX_NODE_SYMBOL, reused.getRoot()->getType());
}

TEST(tRegExNodeTest, GroupNestingIsLimited) {
  const int limit = tRegExNode::kMaxGroupDepth;
  tRegExTree tree;
  EXPECT_EQ(1, tree.buildTree(nested(limit, "a")));
  EXPECT_EQ(0, tree.buildTree(nested(limit + 1, "a")));
  EXPECT_EQ(0, tree.buildTree(std::string(200000, '(')));
  EXPECT_EQ(1, tree.buildTree(nested(limit, "a") + nested(limit, "b")));
}

TEST(tRegExNodeTest, LongPatternsMakeDeepTreesThatPrintAndFree) {
  const int length = 5000;
  std::string expected;
  for (int i = 1; i < length; ++i) expected += "[CONCATENATION : ";
  expected += "[SYMBOL a : _, _]";
  for (int i = 1; i < length; ++i) expected += ", [SYMBOL a : _, _]]";
  EXPECT_EQ(expected, printedTree(std::string(length, 'a')));
}
