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

// "label" followed by s for a start state and a for an accepting one.
std::string describeStates(const tNFA& nfa) {
  std::string text;
  for (const auto& entry : nfa.getStates()) {
    if (!text.empty()) text += ' ';
    text += std::to_string(entry.first);
    if (entry.second->isStartState()) text += 's';
    if (entry.second->isAccepting()) text += 'a';
  }
  return text;
}

std::string labelsOf(const tNFAStateSet& set) {
  std::string text;
  for (const auto& entry : set) text += (text.empty() ? "" : " ") + std::to_string(entry.first);
  return text;
}

std::string startClosureOf(tNFA& nfa) {
  tNFAStateSet set;
  nfa.computeEpsilonClosureForStartStates(set);
  return labelsOf(set);
}

std::string nfaLabelsOf(const tDFAState* state) {
  std::string text;
  for (const auto& entry : state->getNFALabels())
    text += (text.empty() ? "" : " ") + std::to_string(entry.first);
  return text;
}

int symbolCount(const tNFA& nfa, std::uint32_t label) {
  std::map<char, bool> symbols;
  nfa.getStates().at(label)->getTransitionSymbols(symbols);
  return static_cast<int>(symbols.size());
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

TEST(tAutomataTest, LeafFragments) {
  tNFAState::zeroStates();
  tNFA empty;
  EXPECT_EQ("0sa", describeStates(empty));
  tNFA symbol('a');
  EXPECT_EQ("1s 2a", describeStates(symbol));
  EXPECT_EQ(1, symbolCount(symbol, 1));

  tNFA printable(' ', '\x7f');
  EXPECT_EQ(96, symbolCount(printable, 3));
  tNFA every('\x80', '\x7f');
  EXPECT_EQ(256, symbolCount(every, 5));
  tNFA descending('z', 'a');
  EXPECT_EQ(0, symbolCount(descending, 7));
  tNFA single('\x7f', '\x7f');
  tNFAStateSet reached;
  single.getStates().at(9)->getTransition('\x7f', reached);
  EXPECT_EQ("10", labelsOf(reached));
}

TEST(tAutomataTest, OperatorsRewireFragments) {
  tNFAState::zeroStates();
  tNFA left, right;
  left.applyUnion(&right);
  EXPECT_EQ("0 1 2s 3a", describeStates(left));
  EXPECT_TRUE(right.getStates().empty());
  EXPECT_EQ("0 1 2 3", startClosureOf(left));

  tNFAState::zeroStates();
  tNFA a('a'), b('b');
  a.applyConcatenation(&b);
  EXPECT_EQ("0s 1 2 3a", describeStates(a));
  tNFAStateSet afterA;
  a.getStates().at(1)->computeEpsilonClosure(afterA);
  EXPECT_EQ("1 2", labelsOf(afterA));

  tNFAState::zeroStates();
  tNFA optional('a');
  optional.applyOptional();
  EXPECT_EQ("0 1a 2sa", describeStates(optional));
  EXPECT_EQ("0 2", startClosureOf(optional));

  tNFAState::zeroStates();
  tNFA plus('a');
  plus.applyPlus();
  EXPECT_EQ("0 1 2s 3a", describeStates(plus));
  EXPECT_EQ("0 2", startClosureOf(plus));

  tNFAState::zeroStates();
  tNFA star('a');
  star.applyStar();
  EXPECT_EQ("0 1 2s 3a", describeStates(star));
  EXPECT_EQ("0 2 3", startClosureOf(star));
  tNFAStateSet afterLoop;
  star.getStates().at(1)->computeEpsilonClosure(afterLoop);
  EXPECT_EQ("0 1 2 3", labelsOf(afterLoop));
}

TEST(tAutomataTest, StarPatternStartsAccepting) {
  tRegularExpression star("a*");
  ASSERT_NE(nullptr, star.getDFA());
  EXPECT_TRUE(star.getDFA()->getStartState()->isAccepting());
  EXPECT_EQ(0, star.match("b"));
  EXPECT_EQ(0, star.match(""));
  EXPECT_EQ(3, star.match("aaab"));
  EXPECT_FALSE(tRegularExpression("a").getDFA()->getStartState()->isAccepting());
}

TEST(tAutomataTest, SharedPrefixesAndNonAcceptingStops) {
  tRegularExpression keywords("f1|f11");
  EXPECT_EQ(3, keywords.match("f11"));
  EXPECT_EQ(2, keywords.match("f1="));
  tRegularExpression nested("ab|abcd");
  EXPECT_EQ(-1, nested.match("abcx"));
  EXPECT_EQ(2, nested.match("abx"));
}

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
  EXPECT_EQ("0 2 4 6 7", nfaLabelsOf(start));
  EXPECT_EQ("0 1 2 3 4 5 6 7", nfaLabelsOf(onA));
  EXPECT_EQ(4, twice.match("aaaa"));
}

TEST(tAutomataTest, StatesAreLabelledDepthFirstAndDuplicatesUseLabels) {
  // Labels 2, 4, 5 and 6 went to candidates that matched existing states.
  for (int round = 0; round < 2; ++round) {
    tRegularExpression either("(a|b)*");
    tRegularExpression("((0|(1-9))*.)?(0|(1-9))+");
    const tDFA* dfa = either.getDFA();
    std::string labels;
    for (const auto& entry : dfa->getStates()) labels += std::to_string(entry.first) + " ";
    EXPECT_EQ("0 1 3 ", labels);
    const tDFAState* start = dfa->getStartState();
    EXPECT_EQ(0u, start->getLabel());
    EXPECT_EQ(1u, start->getNextState('a')->getLabel());
    EXPECT_EQ(3u, start->getNextState('b')->getLabel());
    EXPECT_EQ(3u, start->getNextState('a')->getNextState('b')->getLabel());
    EXPECT_EQ(1u, start->getNextState('b')->getNextState('a')->getLabel());
    EXPECT_EQ("0 2 4 6 7", nfaLabelsOf(start));
    EXPECT_EQ("0 1 2 4 5 6 7", nfaLabelsOf(start->getNextState('a')));
    EXPECT_EQ("0 2 3 4 5 6 7", nfaLabelsOf(start->getNextState('b')));
  }
}

TEST(tAutomataTest, RangeThroughDeleteTerminatesAndIncludesIt) {
  tRegularExpression range("~-\x7f");
  EXPECT_EQ(1, range.match("\x7f"));
  EXPECT_EQ(1, range.match("~"));
  EXPECT_EQ(-1, range.match("}"));
  std::map<char, bool> symbols;
  tRegExTree tree;
  ASSERT_EQ(1, tree.buildTree("\x80-\x7f"));
  std::unique_ptr<tNFA> nfa(tRegularExpression::buildNFA(tree.getRoot()));
  for (const auto& entry : nfa->getStates()) entry.second->getTransitionSymbols(symbols);
  EXPECT_EQ(256u, symbols.size());
}

TEST(tAutomataTest, DFAWalkAgreesWithNFAWalkOnKnownPatterns) {
  const std::vector<std::string> patterns = {
      "", "a", "a*", "a+", "a?", "ab|abcd", "f1|f11", "(a|a)*", "(a|b)*c", "(ab)*", "a|",
      "(a|ab)(c|bcd)", "(a(z-a))?", "a-c*b", "((a|b)*|c)+", "(a?b?)*c", "(a*b*)*", "a-(b",
      "((0|(1-9))*.)?(0|(1-9))+", "(a-z|A-Z|_|0|1-9)+", R"("(a-z|A-Z|0|1-9|.|\-|_)*")",
      R"(\+|\-|/|\*|^)", R"((a-z|A-Z|0|1-9|\-|_|/| )+.(func|FUNC))",
      R"(sweep(a-z|A-Z|0|1-9|\-|_)+.(txt|tga))",
  };
  const std::vector<std::string> texts = {
      "", "a", "b", "ab", "abc", "abcd", "abcx", "aab", "ababc", "f11", "f1=", "3.5*x", "3.x",
      ".5", "5.", "x2+y", "\"a-b.c\"", "+", "^", "my file.func", "sweep-fractal-1.tga", "c",
      "acb", "bbbc", "aaaa",
  };
  for (const std::string& pattern : patterns) {
    tRegularExpression expression(pattern);
    for (const std::string& text : texts)
      EXPECT_EQ(walkNFA(pattern, text), expression.match(text)) << pattern << " on " << text;
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
