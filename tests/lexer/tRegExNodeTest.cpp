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

TEST(tRegExNodeTest, BuildTokensTurnsOperatorsAndEscapes) {
  struct Row { tRegExTokenType type; char symbol; };
  // a \* - ( | ) ? + \\ . and a backslash that ends the pattern
  const std::string pattern = R"(a\*-(|)?+\\.\)";
  const std::vector<Row> expected = {
      {REGEX_TOKEN_SYMBOL, 'a'},   {REGEX_TOKEN_SYMBOL, '*'}, {REGEX_TOKEN_RANGE, 0},
      {REGEX_TOKEN_OPEN, 0},       {REGEX_TOKEN_UNION, 0},    {REGEX_TOKEN_CLOSE, 0},
      {REGEX_TOKEN_OPTIONAL, 0},   {REGEX_TOKEN_PLUS, 0},     {REGEX_TOKEN_SYMBOL, '\\'},
      {REGEX_TOKEN_SYMBOL, '.'},   {REGEX_TOKEN_SYMBOL, '\\'},
  };
  tRegExNode::tRegExTokens tokens;
  tRegExNode::buildTokens(pattern, tokens);
  ASSERT_EQ(expected.size(), tokens.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i].type, tokens[i].type_) << i;
    EXPECT_EQ(expected[i].symbol, tokens[i].symbol_) << i;
  }
  tokens.clear();
  tRegExNode::buildTokens(R"(\n\-)", tokens);
  ASSERT_EQ(2u, tokens.size());
  EXPECT_EQ('n', tokens[0].symbol_);
  EXPECT_EQ(REGEX_TOKEN_SYMBOL, tokens[1].type_);
  EXPECT_EQ('-', tokens[1].symbol_);
}

TEST(tRegExNodeTest, ReadingPastTheEndGivesTheNoneToken) {
  tRegExNode::tRegExTokens tokens;
  tRegExNode::buildTokens("a", tokens);
  EXPECT_EQ(REGEX_TOKEN_SYMBOL, tRegExNode::peekNextToken(tokens).type_);
  EXPECT_EQ(1u, tokens.size());
  EXPECT_EQ('a', tRegExNode::getNextToken(tokens).symbol_);
  EXPECT_TRUE(tokens.empty());
  tRegExNode::tRegExToken past = tRegExNode::getNextToken(tokens);
  EXPECT_EQ(REGEX_TOKEN_NONE, past.type_);
  EXPECT_EQ(0, past.symbol_);
  EXPECT_EQ(REGEX_TOKEN_NONE, tRegExNode::peekNextToken(tokens).type_);

  tRegExNode node;
  EXPECT_EQ(0, node.parseUnion(tokens));
  EXPECT_EQ(tRegExNode::REGEX_NODE_EMPTY, node.getType());
}

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

  tRegExTree tree;
  ASSERT_EQ(1, tree.buildTree("ab"));
  testing::internal::CaptureStdout();
  tree.getRoot()->print();
  EXPECT_EQ("[CONCATENATION : [SYMBOL a : _, _], [SYMBOL b : _, _]]",
            testing::internal::GetCapturedStdout());
}

TEST(tRegExNodeTest, TreeAcceptsAndRejects) {
  const std::vector<std::string> accepted = {
      "", "a", "a|", "a**", "a)b", "(a)-", "a-b-", "a-(", "a-\\", "\\", "((a))", "a+?",
  };
  for (const std::string& pattern : accepted) {
    tRegExTree tree;
    EXPECT_EQ(1, tree.buildTree(pattern)) << pattern;
  }
  const std::vector<std::string> rejected = {
      "*", "+a", "?", "|a", "-a", ")", "(ab", "()", "a-", "a|*", "a||b", "(a|)", "(a**)",
  };
  for (const std::string& pattern : rejected) {
    tRegExTree tree;
    EXPECT_EQ(0, tree.buildTree(pattern)) << pattern;
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
