#ifndef ROOTWEAVER_EXPR_TFUNCTION_H
#define ROOTWEAVER_EXPR_TFUNCTION_H

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "expr/tExprTree.h"
#include "expr/tFormulaProgram.h"
#include "expr/tVariableEnv.h"
#include "graphics/tMatrix2.h"
#include "graphics/tVector2.h"

// A map F(x, y) = (f1, f2) of the plane with its four partial derivatives,
// each a formula read from a function file or from a script's own tokens.
//
// Reading is a loop over statements: a labelled formula, a local constant
// (name = number) or "end". It traces every step on standard output; only a
// read that runs out of tokens prints the result, every other way of
// stopping keeps what was read so far. However reading ends, the local
// constants are put into the formulas read, so the function is whole before
// its first use. A formula the file leaves out evaluates to 0.0, so the
// function stays usable (a missing derivative makes the Jacobian singular),
// and the reader names the missing formulas on standard error. A file read
// also names on standard error, as path:line:column, the place where reading
// stopped before the end of the file and every name that begins with a
// digit, since the trace alone does not tell the user that the function is
// not the one written.
//
// The formulas are evaluated through programs compiled from the trees (see
// tFormulaProgram), which give the tree walk's values bit for bit; they are
// compiled again whenever reading or substitution changes a tree. The tree
// walk stays available as the reference they are checked and timed against.
class tFunction {
 public:
  // A Jacobian whose determinant is smaller than this in absolute value has
  // no inverse.
  static constexpr double INVERTIBLE_CUTOFF = 1e-10;

  // No formulas; for definitions read from a script.
  tFunction();
  // Loads a function file: an absolute path, or a name in "Shared Functions/"
  // beside the application.
  explicit tFunction(const std::string& name);
  ~tFunction();
  tFunction(const tFunction&) = delete;
  tFunction& operator=(const tFunction&) = delete;

  tVector2 value(const tVector2& p) const;
  // The inverse of the Jacobian at p, or the zero matrix where it is singular.
  tMatrix2 jacobianInverse(const tVector2& p) const;
  // The same two by walking the trees.
  tVector2 valueByTree(const tVector2& p) const;
  tMatrix2 jacobianInverseByTree(const tVector2& p) const;
  // Makes value and jacobianInverse walk the trees (true) or run the compiled
  // programs (false, the default).
  void setTreeWalk(bool treeWalk) { treeWalk_ = treeWalk; }
  // All six formulas in one program, outputs in slot order (f1, f2, f11, f12,
  // f21, f22), for evaluating packets of points.
  const tFormulaProgram& getProgram() const { return program_; }

  // Reads the contents of a function file, as the file constructor reads the
  // file: comment lines dropped, the rest tokenized and read as statements.
  void readText(const std::string& contents);
  // Reads statements from pos (see above); pos ends after the last token read.
  void processTokens(const std::vector<std::string>& tokens, unsigned& pos);
  // The token at pos, or "" past the end; pos moves on in both cases.
  static std::string getNextToken(const std::vector<std::string>& tokens, unsigned& pos);
  // Whether the last read stopped at a statement it could not read, and the
  // index of the token that statement began at.
  bool stoppedAtBrokenStatement(unsigned& head) const;

  // Puts in the local constants, then the values the environment's current
  // scope binds, so a name known to both takes the environment's value.
  void substituteVars(tVariableEnv* env);
  // The value a variable of the formulas has in a run with this environment.
  double getValueFor(const std::string& name, tVariableEnv* env) const;
  void freeVars(std::set<std::string>& names) const;
  void clearLocalVars();

  // Whether the function file could be read; always true for a definition
  // read from a script.
  bool isReadable() const { return readable_; }
  // The token at which reading met a formula nested too deeply, which ends
  // the reading (see tExprTree::getTooDeepToken); -1 when it did not.
  long getTooDeepToken() const { return tooDeepToken_; }
  void setName(const std::string& name) { name_ = name; }
  std::string getName() const { return name_; }
  // Each formula under its label, with a blank line after each.
  void print() const;

 private:
  // One of the six formulas: its label in files, its label in print, and the
  // field that holds it.
  struct tSlot {
    const char* label;
    const char* printLabel;
    std::unique_ptr<tExprTree> tFunction::*tree;
  };
  static const tSlot SLOTS[6];

  // How a read ended: the tokens ran out, or it stopped at "end" or at a
  // statement it could not read, which began at the token head.
  enum TREAD_END { TREAD_RAN_OUT, TREAD_AT_END, TREAD_BROKEN };
  struct tReadEnd {
    TREAD_END how = TREAD_RAN_OUT;
    unsigned head = 0;
  };
  // A function file's tokens with their places in the file.
  struct tFileTokens;
  // Tokenizes and reads the file's text, then warns about it.
  void readFile(tFileTokens& file);

  static const tSlot* findSlot(const std::string& label);
  static double evaluateSlot(const std::unique_ptr<tExprTree>& tree, const tVector2& p);
  // The statements of processTokens.
  tReadEnd readStatements(const std::vector<std::string>& tokens, unsigned& pos);
  // What every read does after its statements.
  void finishReading();
  // The labels of the formulas not read, separated by ", ".
  std::string missingFormulas() const;
  // The warnings of a file read that ended with pos after the last token read.
  void warnAboutFile(const tFileTokens& file, unsigned pos) const;
  void warnIfStoppedEarly(const tFileTokens& file, unsigned pos) const;
  // The inverse of the Jacobian with rows (f11, f12) and (f21, f22), or the
  // zero matrix when its determinant is below the cutoff.
  static tMatrix2 invertJacobian(double f11, double f12, double f21, double f22);
  // Compiles the programs from the trees as they are now.
  void compile();

  std::unique_ptr<tExprTree> f1_;   // first component of F
  std::unique_ptr<tExprTree> f2_;   // second component of F
  std::unique_ptr<tExprTree> f11_;  // d f1 / dx
  std::unique_ptr<tExprTree> f12_;  // d f1 / dy
  std::unique_ptr<tExprTree> f21_;  // d f2 / dx
  std::unique_ptr<tExprTree> f22_;  // d f2 / dy
  std::string name_;                // file name as given (before any directory), or the name set
  std::unique_ptr<tVariableEnv> localVars_;  // the function's local constants
  tFormulaProgram valueProgram_;     // f1 and f2
  tFormulaProgram jacobianProgram_;  // f11, f12, f21 and f22
  tFormulaProgram program_;          // all six, sharing their common parts
  bool treeWalk_;                    // value and jacobianInverse walk the trees
  tReadEnd readEnd_;                 // how the last read ended
  bool readable_ = true;             // the function file could be read
  long tooDeepToken_ = -1;           // where a formula went too deep; -1 when none did
};

#endif
