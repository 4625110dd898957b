#include <gtest/gtest.h>

#include <string>
#include <utility>

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

}  // namespace

// What cannot continue a pattern is left out of its tree ("a-b-c"); the
// rejected patterns are in tRegularExpressionTest.MalformedPatternsNeverMatch.
TEST(tRegExNodeTest, PrintShowsTheTreeShape) {
  const std::pair<std::string, std::string> rows[] = {
      {"", "[EMPTY : _, _]"},
      {"a|b|c",
       "[UNION : [UNION : [SYMBOL a : _, _], [SYMBOL b : _, _]], [SYMBOL c : _, _]]"},
      {"ab|cd",
       "[UNION : [CONCATENATION : [SYMBOL a : _, _], [SYMBOL b : _, _]], "
       "[CONCATENATION : [SYMBOL c : _, _], [SYMBOL d : _, _]]]"},
      {"a|", "[UNION : [SYMBOL a : _, _], [EMPTY : _, _]]"},
      {"a-b-c", "[RANGE a-b : _, _]"},
      {R"(\- )", R"([CONCATENATION : [SYMBOL - : _, _], [SYMBOL   : _, _]])"},
      {"((0|(1-9))*.)?(0|(1-9))+",
       "[CONCATENATION : [OPTIONAL : [CONCATENATION : [STAR : [UNION : [SYMBOL 0 : _, _], "
       "[RANGE 1-9 : _, _]], _], [SYMBOL . : _, _]], _], [PLUS : [UNION : [SYMBOL 0 : _, _], "
       "[RANGE 1-9 : _, _]], _]]"},
      // The dash takes the opening parenthesis as its high end, character 0.
      {"a-(b", "[CONCATENATION : [RANGE a-\0 : _, _], [SYMBOL b : _, _]]"s},
  };
  for (const auto& [pattern, printed] : rows) EXPECT_EQ(printed, printedTree(pattern)) << pattern;
}

// Groups nest up to a limit; a long literal, left-nested as deep as it is
// long, still prints and frees.
TEST(tRegExNodeTest, GroupNestingIsLimitedButLongPatternsAreNot) {
  const int limit = tRegExNode::kMaxGroupDepth;
  const std::string deepest = std::string(limit, '(') + "a" + std::string(limit, ')');
  tRegExTree tree;
  EXPECT_EQ(1, tree.buildTree(deepest + deepest));
  EXPECT_EQ(0, tree.buildTree("(" + deepest + ")"));
  EXPECT_EQ(0, tree.buildTree(std::string(200000, '(')));
  EXPECT_EQ(1, tree.buildTree("b"));  // the tree is reusable after a failure
  EXPECT_EQ(tRegExNode::REGEX_NODE_SYMBOL, tree.getRoot()->getType());

  const int length = 5000;
  std::string expected;
  for (int i = 1; i < length; ++i) expected += "[CONCATENATION : ";
  expected += "[SYMBOL a : _, _]";
  for (int i = 1; i < length; ++i) expected += ", [SYMBOL a : _, _]]";
  EXPECT_EQ(expected, printedTree(std::string(length, 'a')));
}
