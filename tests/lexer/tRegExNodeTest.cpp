#include <gtest/gtest.h>

#include <string>

#include "lexer/tRegExNode.h"
#include "lexer/tRegExTree.h"

namespace {

std::string printedTree(const std::string& pattern) {
  tRegExTree tree;
  EXPECT_EQ(1, tree.buildTree(pattern)) << pattern;
  testing::internal::CaptureStdout();
  tree.print();
  return testing::internal::GetCapturedStdout();
}

}  // namespace

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
