#include "lexer/tDFAState.h"

std::uint32_t tDFAState::numStatesMade_ = 0;

tDFAState::tDFAState() : label_(numStatesMade_++) {}

void tDFAState::zeroStates() { numStatesMade_ = 0; }

void tDFAState::buildFromNFAStates(const tNFAStateSet& set) {
  nfaLabels_.clear();
  accepting_ = false;
  for (const auto& entry : set) {
    nfaLabels_[entry.first] = true;
    if (entry.second->isAccepting()) accepting_ = true;
  }
}

bool tDFAState::hasSameLabel(const tDFAState* other) const {
  if (nfaLabels_.size() != other->nfaLabels_.size()) return false;
  for (const auto& entry : nfaLabels_)
    if (other->nfaLabels_.count(entry.first) == 0) return false;
  return true;
}

void tDFAState::addTransition(char c, tDFAState* target) { transitions_[c] = target; }

tDFAState* tDFAState::getNextState(char c) const {
  auto found = transitions_.find(c);
  return found == transitions_.end() ? nullptr : found->second;
}
