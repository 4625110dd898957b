#ifndef ROOTWEAVER_LEXER_TNFA_H
#define ROOTWEAVER_LEXER_TNFA_H

#include "lexer/tNFAState.h"

// A fragment of a nondeterministic automaton with empty moves, built per
// syntax-tree node and combined bottom-up. Owns its states.
class tNFA {
 public:
  // The empty string: one state that is both start and accepting.
  tNFA();
  // Exactly the character c.
  explicit tNFA(char c);
  // Any one character from lo to hi, compared as signed 8-bit values.
  tNFA(char lo, char hi);
  ~tNFA();
  tNFA(const tNFA&) = delete;
  tNFA& operator=(const tNFA&) = delete;

  // Each rebuilds this fragment in place and returns 1.
  int applyStar();
  int applyPlus();
  int applyOptional();
  // Each takes every state of other into this fragment and returns 1; other
  // is left empty.
  int applyConcatenation(tNFA* other);
  int applyUnion(tNFA* other);

  // Adds the closure of every start state to set.
  void computeEpsilonClosureForStartStates(tNFAStateSet& set);

 private:
  void insertState(tNFAState* state);
  void takeStatesOf(tNFA* other);
  // Star and plus; plus lacks the empty move that skips the fragment.
  void applyRepetition(bool allowNone);

  tNFAStateSet states_;  // every state of the fragment by label, owned
};

#endif
