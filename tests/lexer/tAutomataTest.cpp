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

// Patterns drawn from the grammar, mostly well formed.
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

// Any string of the dialect's characters, often malformed.
std::string noisePattern(std::mt19937& rng) {
  static const std::string kCharacters = "abc-()|*+?\\";
  std::string pattern;
  for (int length = static_cast<int>(rng() % 11); length > 0; --length)
    pattern += kCharacters[rng() % kCharacters.size()];
  return pattern;
}

std::vector<std::string> sampleTexts(std::mt19937& rng) {
  std::vector<std::string> texts = {""};
  for (size_t i = 0; i < texts.size() && texts.size() < 121; ++i)
    if (texts[i].size() < 4)
      for (char c : std::string("abc")) texts.push_back(texts[i] + c);
  static const std::string kCharacters = "abcd-";
  for (int n = 0; n < 60; ++n) {
    std::string text;
    for (int length = static_cast<int>(rng() % 9); length > 0; --length)
      text += kCharacters[rng() % kCharacters.size()];
    texts.push_back(text);
  }
  return texts;
}

}  // namespace

TEST(tAutomataTest, EqualSubsetsShareOneState) {
  tRegularExpression twice("(a|a)*");
  const tDFA* dfa = twice.getDFA();
  ASSERT_EQ(2u, dfa->getStates().size());
  const tDFAState* start = dfa->getStartState();
  const tDFAState* onA = start->getNextState('a');
  ASSERT_NE(nullptr, onA);
  EXPECT_NE(start, onA);
  EXPECT_EQ(onA, onA->getNextState('a'));
  EXPECT_EQ(nullptr, start->getNextState('b'));
  EXPECT_EQ("0 2 4 6 7", labelsOf(start->getNFALabels()));
  EXPECT_EQ("0 1 2 3 4 5 6 7", labelsOf(onA->getNFALabels()));
  EXPECT_EQ(4, twice.match("aaaa"));
  // A start state whose subset holds an accepting state accepts the empty text.
  EXPECT_TRUE(start->isAccepting());
  EXPECT_FALSE(tRegularExpression("a").getDFA()->getStartState()->isAccepting());
}

TEST(tAutomataTest, StatesAreLabelledDepthFirstAndDuplicatesUseLabels) {
  // Labels 2, 4, 5 and 6 went to candidates that matched existing states.
  for (int round = 0; round < 2; ++round) {
    tRegularExpression either("(a|b)*");
    tRegularExpression("((0|(1-9))*.)?(0|(1-9))+");
    const tDFA* dfa = either.getDFA();
    EXPECT_EQ("0 1 3", labelsOf(dfa->getStates()));
    const tDFAState* start = dfa->getStartState();
    EXPECT_EQ(0u, start->getLabel());
    EXPECT_EQ(1u, start->getNextState('a')->getLabel());
    EXPECT_EQ(3u, start->getNextState('b')->getLabel());
    EXPECT_EQ(3u, start->getNextState('a')->getNextState('b')->getLabel());
    EXPECT_EQ(1u, start->getNextState('b')->getNextState('a')->getLabel());
    EXPECT_EQ("0 2 4 6 7", labelsOf(start->getNFALabels()));
    EXPECT_EQ("0 1 2 4 5 6 7", labelsOf(start->getNextState('a')->getNFALabels()));
    EXPECT_EQ("0 2 3 4 5 6 7", labelsOf(start->getNextState('b')->getNFALabels()));
  }
}

TEST(tAutomataTest, DFAWalkAgreesWithNFAWalkOnRandomPatterns) {
  std::mt19937 rng(20240601);
  const std::vector<std::string> texts = sampleTexts(rng);
  int accepted = 0;
  const int rounds = 400;
  for (int n = 0; n < rounds; ++n) {
    std::string pattern = n % 2 ? grammarPattern(rng, 0) : noisePattern(rng);
    tRegularExpression expression(pattern);
    if (expression.getDFA()) ++accepted;
    for (const std::string& text : texts)
      ASSERT_EQ(walkNFA(pattern, text), expression.match(text)) << pattern << " on " << text;
  }
  // Both kinds of pattern were exercised.
  EXPECT_GT(accepted, rounds / 2);
  EXPECT_LT(accepted, rounds);
}
