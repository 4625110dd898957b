#ifndef ROOTWEAVER_LEXER_TDFA_H
#define ROOTWEAVER_LEXER_TDFA_H

#include <cstdint>
#include <map>
#include <string>

#include "lexer/tDFAState.h"
#include "lexer/tNFA.h"

// A deterministic automaton built from an NFA by the subset construction.
// Owns its states; a missing move is the walk's failure signal.
class tDFA {
 public:
  // Builds every state reachable from the NFA's start states.
  explicit tDFA(tNFA* nfa);
  ~tDFA();
  tDFA(const tDFA&) = delete;
  tDFA& operator=(const tDFA&) = delete;

  // Walks text from the offset from on as far as the moves allow: the count
  // of characters walked if the walk stops in an accepting state, else -1.
  int run(const std::string& text, std::string::size_type from) const;

  // The existing state with the candidate's NFA set, or the candidate itself.
  tDFAState* findSameState(tDFAState* candidate) const;
  // Explores, depth first, every move out of from (whose NFA set is set) and
  // out of every new state found on the way.
  void performSubsetConstruction(tDFAState* from, const tNFAStateSet& set);

  const std::map<std::uint32_t, tDFAState*>& getStates() const { return states_; }

 private:
  tDFAState* startState_;                       // where every walk begins
  std::map<std::uint32_t, tDFAState*> states_;  // every state by label, owned
};

#endif
