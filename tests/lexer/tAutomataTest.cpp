#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "lexer/tDFA.h"
#include "lexer/tNFA.h"
#include "lexer/tRegExTree.h"
#include "lexer/tRegularExpression.h"

namespace {

// Walks the NFA itself, one closed set of states per step, with the match
// rule of the DFA walk: go on while some state has a move, then judge.
int walkNFA(const std::string& pattern, const std::string& text) {
  tRegExTree tree;
  if (!tree.buildTree(pattern)) return -1;
  std::unique_ptr<tNFA> nfa(tRegularExpression::buildNFA(tree.getRoot()));
  tNFAStateSet current;
  nfa->computeEpsilonClosureForStartStates(current);
  int count = 0;
  for (char c : text) {
    tNFAStateSet moved, closed;
    for (const auto& entry : current) entry.second->getTransition(c, moved);
    if (moved.empty()) break;
    for (const auto& entry : moved) entry.second->computeEpsilonClosure(closed);
    current.swap(closed);
    ++count;
  }
  for (const auto& entry : current)
    if (entry.second->isAccepting()) return count;
  return -1;
}

// A pattern drawn from the grammar.
std::string grammarPattern(std::mt19937& rng, int depth) {
  static const char* const kLeaves[] = {"a", "b", "c", "\\-", "a-b", "b-c", "a-c", "c-a", "b-b"};
  static const char* const kPostfix[] = {"*", "+", "?"};
  switch (rng() % (depth >= 3 ? 2 : 6)) {
    case 0:
    case 1: return kLeaves[rng() % 9];
    case 2: return grammarPattern(rng, depth + 1) + grammarPattern(rng, depth + 1);
    case 3: return grammarPattern(rng, depth + 1) + "|" + grammarPattern(rng, depth + 1);
    case 4: return "(" + grammarPattern(rng, depth + 1) + ")" + kPostfix[rng() % 3];
    default: return grammarPattern(rng, depth + 1) + kPostfix[rng() % 3];
  }
}

// A string of fewer than `limit` of the characters, in any order.
std::string randomString(std::mt19937& rng, const std::string& characters, unsigned limit) {
  std::string text;
  for (unsigned length = rng() % limit; length > 0; --length)
    text += characters[rng() % characters.size()];
  return text;
}

}  // namespace

// Patterns drawn from the grammar, mostly well formed, or of its characters,
// often malformed, on every text of up to four of a, b and c and on random
// texts with other characters.
TEST(tAutomataTest, DFAWalkAgreesWithNFAWalkOnRandomPatterns) {
  std::mt19937 rng(20240601);
  std::vector<std::string> texts = {""};
  for (size_t i = 0; texts[i].size() < 4; ++i)
    for (char c : std::string("abc")) texts.push_back(texts[i] + c);
  for (int n = 0; n < 60; ++n) texts.push_back(randomString(rng, "abcd-", 9));
  int accepted = 0;
  const int rounds = 400;
  for (int n = 0; n < rounds; ++n) {
    std::string pattern = n % 2 ? grammarPattern(rng, 0) : randomString(rng, "abc-()|*+?\\", 11);
    tRegularExpression expression(pattern);
    if (expression.getDFA()) ++accepted;
    for (const std::string& text : texts)
      ASSERT_EQ(walkNFA(pattern, text), expression.match(text, 0)) << pattern << " on " << text;
  }
  // Both kinds of pattern were exercised.
  EXPECT_GT(accepted, rounds / 2);
  EXPECT_LT(accepted, rounds);
}
