// The subset construction and the walk.
//
// Each DFA state stands for a set of NFA states closed under empty moves. From
// a state, the construction takes its characters in ascending order, moves the
// set on each and closes it, and either reuses the existing state with that
// set or makes a new one and explores it at once (depth first). Only subsets
// reachable from the start are ever made, and no two states share a set. There
// is no dead state and no minimisation.
//
// The exploration would recurse once per new state, and a long literal
// pattern has as many states as characters, so pending explorations live on
// an explicit stack; each entry remembers which of its characters comes next,
// so states are made, and labelled, in the same order as by recursion.
//
// The walk never backtracks: it follows moves as far as they go and judges
// only the state where it stops. A shorter accepted prefix passed on the way
// does not count.
#include "lexer/tDFA.h"

#include <utility>
#include <vector>

namespace {

// A state whose moves are being explored.
struct tPendingState {
  tDFAState* state;           // the DFA state
  tNFAStateSet nfaStates;     // the NFA set it stands for
  std::vector<char> symbols;  // its characters in ascending order
  std::size_t next;           // index of the next character to explore
};

tPendingState pendingStateFor(tDFAState* state, tNFAStateSet nfaStates) {
  std::map<char, bool> symbols;
  for (const auto& entry : nfaStates) entry.second->getTransitionSymbols(symbols);
  tPendingState pending{state, std::move(nfaStates), {}, 0};
  for (const auto& entry : symbols) pending.symbols.push_back(entry.first);
  return pending;
}

// The closed set the NFA states reach on c.
tNFAStateSet moveAndClose(const tNFAStateSet& from, char c) {
  tNFAStateSet reached;
  for (const auto& entry : from) entry.second->getTransition(c, reached);
  // Closing grows the map behind the iterator; std::map iterators stay valid.
  for (auto& entry : reached) entry.second->computeEpsilonClosure(reached);
  return reached;
}

}  // namespace

tDFA::tDFA(tNFA* nfa) {
  tNFAStateSet startSet;
  if (nfa) nfa->computeEpsilonClosureForStartStates(startSet);
  startState_ = new tDFAState();
  startState_->buildFromNFAStates(startSet);
  states_[startState_->getLabel()] = startState_;
  performSubsetConstruction(startState_, startSet);
}

tDFA::~tDFA() {
  for (auto& entry : states_) delete entry.second;
}

tDFAState* tDFA::findSameState(tDFAState* candidate) const {
  for (const auto& entry : states_)
    if (entry.second->hasSameLabel(candidate)) return entry.second;
  return candidate;
}

void tDFA::performSubsetConstruction(tDFAState* from, const tNFAStateSet& set) {
  std::vector<tPendingState> pending;
  pending.push_back(pendingStateFor(from, set));
  while (!pending.empty()) {
    tPendingState& top = pending.back();
    if (top.next == top.symbols.size()) {
      pending.pop_back();
      continue;
    }
    char c = top.symbols[top.next++];
    tDFAState* source = top.state;
    tNFAStateSet reached = moveAndClose(top.nfaStates, c);
    tDFAState* candidate = new tDFAState();
    candidate->buildFromNFAStates(reached);
    tDFAState* same = findSameState(candidate);
    if (same != candidate) {
      delete candidate;
      source->addTransition(c, same);
      continue;
    }
    states_[candidate->getLabel()] = candidate;
    source->addTransition(c, candidate);
    pending.push_back(pendingStateFor(candidate, std::move(reached)));
  }
}

int tDFA::run(const std::string& text, std::string::size_type from) const {
  const tDFAState* current = startState_;
  std::string::size_type pos = from;
  for (; pos < text.size(); ++pos) {
    const tDFAState* next = current->getNextState(text[pos]);
    if (!next) break;
    current = next;
  }
  if (!current->isAccepting()) return -1;
  return static_cast<int>(pos - from);
}
