#ifndef ROOTWEAVER_LEXER_TSPELLINGHINT_H
#define ROOTWEAVER_LEXER_TSPELLINGHINT_H

#include <set>
#include <string>

// The known name a misspelt one most likely meant, for messages such as
// "'widht' is not set (did you mean 'width'?)".
//
// Names are compared without regard to case, by the number of single
// letters inserted, deleted, replaced or swapped with a neighbour. A name
// that differs only in case is the best hint of all; otherwise the hint must
// be close for the name's length (one change up to five letters, two beyond)
// and names of one or two letters get hints only by case, since any two of
// them are one change apart.
class tSpellingHint {
 public:
  // The closest of the known names, other than the name itself; "" when
  // none is close.
  static std::string closest(const std::string& name, const std::set<std::string>& known);
  // " (did you mean 'HINT'?)" for that hint, or "" when there is none.
  static std::string suggestion(const std::string& name, const std::set<std::string>& known);

 private:
  tSpellingHint() = default;
  // The changes from a to b, counting a swap of neighbours as one.
  static unsigned distance(const std::string& a, const std::string& b);
};

#endif
