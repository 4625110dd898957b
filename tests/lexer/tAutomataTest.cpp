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

// The keys of a map keyed by state label, "0 2 3".
template <typename Map>
std::string labelsOf(const Map& set) {
  std::string text;
  for (const auto& entry : set) text += (text.empty() ? "" : " ") + std::to_string(entry.first);
  return text;
}

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
    tNFAStateSet moved;
    for (const auto& entry : current) entry.second->getTransition(c, moved);
    if (moved.empty()) break;
    tNFAStateSet closed;
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
  int pick = static_cast<int>(rng() % (depth >= 3 ? 2 : 7));
  switch (pick) {
    case 0:
    case 1: return kLeaves[rng() % 9];
    case 2:
    case 3: return grammarPattern(rng, depth + 1) + grammarPattern(rng, depth + 1);
    case 4: return grammarPattern(rng, depth + 1) + "|" + grammarPattern(rng, depth + 1);
    case 5: return "(" + grammarPattern(rng, depth + 1) + ")" + kPostfix[rng() % 3];
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

// Every text of up to four of a, b and c, then random ones with other characters.
std::vector<std::string> sampleTexts(std::mt19937& rng) {
  std::vector<std::string> texts = {""};
  for (size_t i = 0; texts[i].size() < 4; ++i)
    for (char c : std::string("abc")) texts.push_back(texts[i] + c);
  for (int n = 0; n < 60; ++n) texts.push_back(randomString(rng, "abcd-", 9));
  return texts;
}

}  // namespace

// Subsets are made depth first, characters in ascending order, and labels
// start at 0 for every pattern; a candidate whose subset already has a state
// is dropped for it, and its label is not reused.
TEST(tAutomataTest, SubsetConstructionLabelsAndSharesStates) {
  for (int round = 0; round < 2; ++round) {
    tRegularExpression either("(a|b)*");
    tRegularExpression("((0|(1-9))*.)?(0|(1-9))+");
    const tDFA* dfa = either.getDFA();
    EXPECT_EQ("0 1 3", labelsOf(dfa->getStates()));  // 2, 4, 5 and 6 were duplicates
    const tDFAState* start = dfa->getStartState();
    const tDFAState* onA = start->getNextState('a');
    const tDFAState* onB = start->getNextState('b');
    EXPECT_EQ(1u, onA->getLabel());
    EXPECT_EQ(3u, onB->getLabel());
    EXPECT_EQ(onB, onA->getNextState('b'));
    EXPECT_EQ(onA, onB->getNextState('a'));
    EXPECT_EQ("0 2 4 6 7", labelsOf(start->getNFALabels()));
    EXPECT_EQ("0 1 2 4 5 6 7", labelsOf(onA->getNFALabels()));
    EXPECT_EQ("0 2 3 4 5 6 7", labelsOf(onB->getNFALabels()));
  }
}

TEST(tAutomataTest, DFAWalkAgreesWithNFAWalkOnRandomPatterns) {
  std::mt19937 rng(20240601);
  const std::vector<std::string> texts = sampleTexts(rng);
  int accepted = 0;
  const int rounds = 400;
  for (int n = 0; n < rounds; ++n) {
    // Drawn from the grammar, mostly well formed, or of its characters, often malformed.
    std::string pattern = n % 2 ? grammarPattern(rng, 0) : randomString(rng, "abc-()|*+?\\", 11);
    tRegularExpression expression(pattern);
    if (expression.getDFA()) ++accepted;
    for (const std::string& text : texts)
      ASSERT_EQ(walkNFA(pattern, text), expression.match(text)) << pattern << " on " << text;
  }
  // Both kinds of pattern were exercised.
  EXPECT_GT(accepted, rounds / 2);
  EXPECT_LT(accepted, rounds);
}
