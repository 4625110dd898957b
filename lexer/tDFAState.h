#ifndef ROOTWEAVER_LEXER_TDFASTATE_H
#define ROOTWEAVER_LEXER_TDFASTATE_H

#include <cstdint>
#include <map>

#include "lexer/tNFAState.h"

// One state of a deterministic automaton: the set of NFA states it stands for
// and at most one move per character. Labelled like tNFAState, from its own
// process-wide counter.
class tDFAState {
 public:
  tDFAState();
  tDFAState(const tDFAState&) = delete;
  tDFAState& operator=(const tDFAState&) = delete;

  bool isAccepting() const { return accepting_; }
  std::uint32_t getLabel() const { return label_; }
  static void zeroStates();

  // Takes the labels of set as this state's NFA set; accepting when any is.
  void buildFromNFAStates(const tNFAStateSet& set);
  // Whether both states stand for the same NFA set.
  bool hasSameLabel(const tDFAState* other) const;
  void addTransition(char c, tDFAState* target);
  // The target of the move on c, or null.
  tDFAState* getNextState(char c) const;

 private:
  bool accepting_ = false;                   // whether a walk that stops here matches
  std::map<std::uint32_t, bool> nfaLabels_;  // the NFA states this state stands for (all true)
  std::uint32_t label_;                      // unique within one pattern's construction
  std::map<char, tDFAState*> transitions_;   // one target per character, not owned

  static std::uint32_t numStatesMade_;  // the label of the next state constructed
};

#endif
