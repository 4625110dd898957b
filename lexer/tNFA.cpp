// Thompson-style construction of an NFA from a syntax tree.
//
// Each node kind yields a fragment; leaves make their states, operators rewire
// the fragments of their operands with empty moves and new start and accept
// states. The invariant the rules keep: every fragment has exactly one start
// state, and the accepting states are exactly those where a match of the
// fragment may end. Rewiring clears the start and accepting flags of the inner
// states it connects, so the flags always describe the whole fragment.
//
// States are visited in label order and new states are constructed in a fixed
// order, so the labels (and the DFA labels built from them) come out the same
// on every run for the same pattern.
#include "lexer/tNFA.h"

#include <vector>

tNFA::tNFA() { insertState(new tNFAState(true, true)); }

tNFA::tNFA(char c) {
  tNFAState* start = new tNFAState(false, true);
  tNFAState* accept = new tNFAState(true, false);
  start->addTransition(c, accept);
  insertState(start);
  insertState(accept);
}

tNFA::tNFA(char lo, char hi) {
  tNFAState* start = new tNFAState(false, true);
  tNFAState* accept = new tNFAState(true, false);
  // An int counter, so that a range ending at 127 stops.
  for (int c = static_cast<signed char>(lo); c <= static_cast<signed char>(hi); ++c)
    start->addTransition(static_cast<char>(c), accept);
  insertState(start);
  insertState(accept);
}

tNFA::~tNFA() {
  for (auto& entry : states_) delete entry.second;
}

int tNFA::applyStar() {
  applyRepetition(true);
  return 1;
}

int tNFA::applyPlus() {
  applyRepetition(false);
  return 1;
}

void tNFA::applyRepetition(bool allowNone) {
  tNFAState* start = new tNFAState(false, true);
  tNFAState* accept = new tNFAState(true, false);
  for (auto& entry : states_) {
    tNFAState* state = entry.second;
    if (state->isAccepting()) {
      state->makeRejecting();
      state->addLambdaTransition(accept);
    }
    if (state->isStartState()) {
      state->makeNonStart();
      start->addLambdaTransition(state);
    }
  }
  insertState(start);
  insertState(accept);
  accept->addLambdaTransition(start);
  if (allowNone) start->addLambdaTransition(accept);
}

int tNFA::applyOptional() {
  tNFAState* start = new tNFAState(true, true);
  for (auto& entry : states_) {
    tNFAState* state = entry.second;
    if (!state->isStartState()) continue;
    state->makeNonStart();
    start->addLambdaTransition(state);
  }
  insertState(start);
  return 1;
}

int tNFA::applyConcatenation(tNFA* other) {
  std::vector<tNFAState*> nextStarts;
  for (auto& entry : other->states_) {
    if (!entry.second->isStartState()) continue;
    entry.second->makeNonStart();
    nextStarts.push_back(entry.second);
  }
  for (auto& entry : states_) {
    tNFAState* state = entry.second;
    if (!state->isAccepting()) continue;
    state->makeRejecting();
    for (tNFAState* next : nextStarts) state->addLambdaTransition(next);
  }
  takeStatesOf(other);
  return 1;
}

int tNFA::applyUnion(tNFA* other) {
  tNFAState* start = new tNFAState(false, true);
  tNFAState* accept = new tNFAState(true, false);
  for (const tNFAStateSet* side : {&other->states_, &states_}) {
    for (auto& entry : *side) {
      tNFAState* state = entry.second;
      if (state->isStartState()) {
        state->makeNonStart();
        start->addLambdaTransition(state);
      }
      if (state->isAccepting()) {
        state->makeRejecting();
        state->addLambdaTransition(accept);
      }
    }
  }
  takeStatesOf(other);
  insertState(start);
  insertState(accept);
  return 1;
}

void tNFA::computeEpsilonClosureForStartStates(tNFAStateSet& set) {
  for (auto& entry : states_)
    if (entry.second->isStartState()) entry.second->computeEpsilonClosure(set);
}

void tNFA::insertState(tNFAState* state) { states_[state->getLabel()] = state; }

void tNFA::takeStatesOf(tNFA* other) {
  states_.insert(other->states_.begin(), other->states_.end());
  other->states_.clear();
}
