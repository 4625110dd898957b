#include <gtest/gtest.h>

#include <string>

#include "lexer/tRegExNode.h"
#include "lexer/tRegExTree.h"

// Groups nest up to a limit; a long literal, left-nested as deep as it is
// long, still builds and frees.
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
  ASSERT_EQ(1, tree.buildTree(std::string(length, 'a')));
  // Concatenations nest to the left, an 'a' on the right of each.
  const tRegExNode* node = tree.getRoot();
  int depth = 0;
  for (; node->getType() == tRegExNode::REGEX_NODE_CONCATENATION; node = node->getLeft()) {
    if (node->getRight()->getSymbol() == 'a') ++depth;
  }
  EXPECT_EQ(length - 1, depth);
  EXPECT_EQ(tRegExNode::REGEX_NODE_SYMBOL, node->getType());
  EXPECT_EQ('a', node->getSymbol());
}
