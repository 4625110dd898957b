#ifndef ROOTWEAVER_EXPR_TFORMULASYNTAX_H
#define ROOTWEAVER_EXPR_TFORMULASYNTAX_H

#include <string>
#include <vector>

// Whether a formula of a function file (or of a script's function ... end)
// was read whole, and if not, what went wrong and where.
//
// The parser (tExprNode) reads as much of a formula as it can and leaves
// the rest to its caller: an operand it cannot find stays EMPTY and counts
// as 1, and the formula ends at the first token that does not continue it.
// That suits the reader of statements, which are written one after another
// without separators, but a formula cut short reads as another formula:
// `z^3 - 2*z +` as z^3 - 2z + 1, `sinn(z)` as a variable named sinn. So
// once a formula is parsed, this looks at the tokens around where it ended
// and names the fault a reader would see there:
//
// - parsing stopped where an operand belongs, after an operator, "(", a
//   function name or the formula's "=": an operand is missing ("**" gets a
//   word of its own, as the power of other languages);
// - parsing stopped inside a group: the "(" is never closed;
// - a label (f1 ... f22) or "end" stands inside the formula, which only
//   happens where it was taken for an operand: an operand is missing before
//   it;
// - the formula is whole, but what follows cannot begin a statement: a ")"
//   closes no bracket, a name before "(" is no function, a name or number
//   with no "=" after it lacks an operator before it;
// - the formula went deeper than the parser's depth limit.
//
// A formula that passes is exactly what the user wrote.
class tFormulaSyntax {
 public:
  // The tokens from start to end (where the parser left pos) hold a formula
  // that buildTree read with the result `whole`; tooDeep is the tree's
  // getTooDeepToken. Returns "" when the formula is whole and followed by
  // what may begin a statement; else why not, with `at` the token to name.
  static std::string check(const std::vector<std::string>& tokens, unsigned start, unsigned end,
                           bool whole, long tooDeep, unsigned& at);

  // Whether the token is a formula's label or "end", which begin statements.
  static bool isLabel(const std::string& token);

 private:
  tFormulaSyntax() = default;
  // Why a formula that did not parse failed, parsing having stopped at end.
  static std::string whyCutShort(const std::vector<std::string>& tokens, unsigned start,
                                 unsigned end, unsigned& at);
  // Why what follows a whole formula cannot follow it; "" when it can.
  static std::string whyNotFollowed(const std::vector<std::string>& tokens, unsigned end,
                                    unsigned& at);
};

#endif
