// NFA states and the empty-move closure.
//
// The closure is a depth-first search that visits empty-move targets in label
// order and never enters a state already in the set, so every state is
// entered once and the search ends on cycles (a* loops back to its start).
// Chains of empty moves grow with the pattern (a concatenation of n
// characters links n fragments), so the search keeps its path on an explicit
// stack rather than on the call stack; the order of visits is the one the
// recursive search would take.
#include "lexer/tNFAState.h"

#include <utility>
#include <vector>

std::uint32_t tNFAState::numStatesMade_ = 0;

tNFAState::tNFAState(bool accepting, bool start)
    : accepting_(accepting), start_(start), label_(numStatesMade_++) {}

void tNFAState::zeroStates() { numStatesMade_ = 0; }

void tNFAState::addTransition(char c, tNFAState* target) { transitions_[c] = target; }

void tNFAState::addLambdaTransition(tNFAState* target) {
  lambdaTransitions_[target->label_] = target;
}

void tNFAState::getTransition(char c, tNFAStateSet& set) const {
  auto found = transitions_.find(c);
  if (found != transitions_.end()) set.emplace(found->second->label_, found->second);
}

void tNFAState::computeEpsilonClosure(tNFAStateSet& set) {
  set.emplace(label_, this);
  // Each entry is a state being explored and its next empty move to follow.
  std::vector<std::pair<tNFAState*, tNFAStateSet::const_iterator>> path;
  path.emplace_back(this, lambdaTransitions_.begin());
  while (!path.empty()) {
    auto& top = path.back();
    if (top.second == top.first->lambdaTransitions_.end()) {
      path.pop_back();
      continue;
    }
    tNFAState* target = (top.second++)->second;
    if (set.emplace(target->label_, target).second)
      path.emplace_back(target, target->lambdaTransitions_.begin());
  }
}

void tNFAState::getTransitionSymbols(std::map<char, bool>& symbols) const {
  for (const auto& move : transitions_) symbols[move.first] = true;
}
