#ifndef ROOTWEAVER_LEXER_TREGULAREXPRESSION_H
#define ROOTWEAVER_LEXER_TREGULAREXPRESSION_H

#include <string>

#include "lexer/tDFA.h"
#include "lexer/tNFA.h"
#include "lexer/tRegExNode.h"

// A pattern of the program's regular-expression dialect, compiled once into a
// DFA. A rejected pattern keeps no DFA and never matches.
class tRegularExpression {
 public:
  explicit tRegularExpression(const std::string& pattern);
  ~tRegularExpression();
  tRegularExpression(const tRegularExpression&) = delete;
  tRegularExpression& operator=(const tRegularExpression&) = delete;

  // The length of the match at the start of the text from the offset from on,
  // or -1.
  int match(const std::string& text, std::string::size_type from) const;

  // The NFA of a syntax tree; the caller owns it.
  static tNFA* buildNFA(const tRegExNode* root);
  // The compiled automaton, null when the pattern was rejected.
  const tDFA* getDFA() const { return dfa_; }

 private:
  tDFA* dfa_ = nullptr;  // the compiled pattern, owned; null when rejected
};

#endif
