#ifndef ROOTWEAVER_LEXER_TNFASTATE_H
#define ROOTWEAVER_LEXER_TNFASTATE_H

#include <cstdint>
#include <map>

class tNFAState;

// A set of NFA states keyed by label, iterated in label order.
using tNFAStateSet = std::map<std::uint32_t, tNFAState*>;

// One state of a nondeterministic automaton with empty moves. States are
// labelled in construction order from a process-wide counter that every
// pattern's compilation resets.
class tNFAState {
 public:
  tNFAState(bool accepting, bool start);
  tNFAState(const tNFAState&) = delete;
  tNFAState& operator=(const tNFAState&) = delete;

  bool isAccepting() const { return accepting_; }
  bool isStartState() const { return start_; }
  std::uint32_t getLabel() const { return label_; }
  void makeRejecting() { accepting_ = false; }
  void makeNonStart() { start_ = false; }
  static void zeroStates();

  void addTransition(char c, tNFAState* target);
  void addLambdaTransition(tNFAState* target);
  // Inserts the target of the move on c, if there is one, into set.
  void getTransition(char c, tNFAStateSet& set) const;
  // Inserts this state and every state reachable from it by empty moves.
  void computeEpsilonClosure(tNFAStateSet& set);
  // Inserts every character that has a move.
  void getTransitionSymbols(std::map<char, bool>& symbols) const;

 private:
  bool accepting_;                          // whether the automaton accepts here
  bool start_;                              // whether the automaton starts here
  std::uint32_t label_;                     // unique within one pattern's construction
  std::map<char, tNFAState*> transitions_;  // one target per character, not owned
  tNFAStateSet lambdaTransitions_;          // empty-move targets by label, not owned

  static std::uint32_t numStatesMade_;  // the label of the next state constructed
};

#endif
