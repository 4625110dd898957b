#ifndef ROOTWEAVER_EXPR_TFUNCTIONREADER_H
#define ROOTWEAVER_EXPR_TFUNCTIONREADER_H

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "expr/tFunction.h"

class tExprTree;
class tSourceText;

// Reads a function file, or a definition in a script, into a tFunction: the
// tokens and statements (see tFunction for the format), the places of what
// is wrong, and then the formulas the reading left out, written out from
// f(z) (tComplexExpansion; or left to the lowering of f(z) when too large to
// write out, see tComplexLowering) or derived (tDerivative). The reading is
// traced on
// one stream and warns on another; what the function keeps of it (whether it
// was refused and why, where reading stopped, whether the file warned) is the
// function's. A reader reads once, into a function that outlives it.
class tFunctionReader {
 public:
  using tPlaceNamer = tFunction::tPlaceNamer;

  tFunctionReader(tFunction& function, std::ostream& trace, std::ostream& messages);
  tFunctionReader(const tFunctionReader&) = delete;
  tFunctionReader& operator=(const tFunctionReader&) = delete;

  // Tokenizes and reads a function file's text, then warns about the file;
  // path names its places.
  void readText(const tSourceText& source, const std::string& path);
  // Reads statements from pos, naming places in messages by placeOf; pos
  // ends after the last token read.
  void readTokens(const std::vector<std::string>& tokens, unsigned& pos,
                  const tPlaceNamer& placeOf);

 private:
  using tReadEnd = tFunction::tReadEnd;
  // A function file's tokens with their places in the file.
  struct tFileTokens;

  void readFile(tFileTokens& file);
  static const tFunction::tSlot* findSlot(const std::string& label);
  // The token at pos, or "" past the end; pos moves on in both cases.
  static std::string getNextToken(const std::vector<std::string>& tokens, unsigned& pos);
  // The statements of readTokens.
  tReadEnd readStatements(const std::vector<std::string>& tokens, unsigned& pos);
  // f(z) = formula, from the "f" at pos - 1; false, reading nothing, when
  // the tokens there are not that.
  bool readComplexFormula(const std::vector<std::string>& tokens, unsigned& pos);
  // Parses a formula into the tree from pos; false, with fault_ and
  // faultToken_ set, when it is not whole (tFormulaSyntax).
  bool readFormula(tExprTree& tree, const std::vector<std::string>& tokens, unsigned& pos);
  // Ends a read at a formula that is not whole, which began at head: pos
  // goes past the next "end", if any.
  static tReadEnd skipRefused(const std::vector<std::string>& tokens, unsigned& pos, unsigned head);
  // name = value, from the token after the name; false when it is broken.
  bool readLocalConstant(const std::string& name, const std::vector<std::string>& tokens,
                         unsigned& pos);
  // Makes the formulas the read left to the program; what it has to say,
  // one line per message.
  std::string completeFormulas(const tPlaceNamer& placeOf);
  std::string expandComplexFormula(const tPlaceNamer& placeOf);
  std::string lowerComplexFormula(const tPlaceNamer& placeOf);
  // Keeps f'(z) (order 1) or f''(z) (order 2), unless null.
  void keepComplexDerivative(int order, std::unique_ptr<tExprNode> derivative);
  // Marks the slots as made from f(z), in the trace too.
  void acceptComplexFormula();
  std::string deriveMissingFormulas(const tPlaceNamer& placeOf);
  // Empties every slot and says why, at the place of f(z); `at` names the
  // place of a formula given beside f(z), if that is why.
  std::string refuse(const tPlaceNamer& placeOf, const std::string& why,
                     const std::string& at = "");
  // The same at the place of the token given.
  std::string refuseAt(const tPlaceNamer& placeOf, unsigned token, const std::string& why,
                       const std::string& at = "");
  // The place of a token, or the function's name when that is not known.
  std::string whereIs(const tPlaceNamer& placeOf, unsigned token) const;
  // What every read does at its end: the messages of completeFormulas come
  // out after the warnings of the reading.
  void finishReading(const std::string& messages);
  // The warnings of a file read that ended with pos after the last token read.
  void warnAboutFile(const tFileTokens& file, unsigned pos);
  void warnIfStoppedEarly(const tFileTokens& file, unsigned pos);
  void warnAboutNearNames(const tFileTokens& file) const;

  tFunction& function_;      // what is read into
  std::ostream& trace_;      // where the reading is traced
  std::ostream& messages_;   // where it warns
  std::string fault_;        // why the formula read last is not whole
  unsigned faultToken_ = 0;  // the token fault_ names
};

#endif
