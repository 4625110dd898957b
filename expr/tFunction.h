#ifndef ROOTWEAVER_EXPR_TFUNCTION_H
#define ROOTWEAVER_EXPR_TFUNCTION_H

#include <atomic>
#include <functional>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "expr/tComplexLowering.h"
#include "expr/tExprTree.h"
#include "expr/tFormulaProgram.h"
#include "expr/tVariableEnv.h"
#include "graphics/tMatrix2.h"
#include "graphics/tVector2.h"

// A map F(x, y) = (f1, f2) of the plane with its four partial derivatives,
// each a formula read from a function file or from a script's own tokens.
//
// Reading (tFunctionReader) is a loop over statements: a labelled formula,
// the complex form f(z) = formula, a local constant (name = number, the
// number possibly signed) or "end". It traces every step on standard output
// (or the stream given); only a read
// that runs out of tokens prints the result, every other way of stopping
// keeps what was read so far.
//
// However reading ends, the function is then made whole before its first
// use. A file that gives f(z) has its six formulas written out from it
// (tComplexExpansion), unless they would be too large: then the slots hold
// no formulas, print as UNWRITTEN, and their values come from f(z) and f'(z)
// alone (see below). A file that leaves out derivatives has each one whose
// component it gives derived exactly (tDerivative). Both are traced as
// "f11 derived" or "f11 from f(z)" where "f11 done" would stand, and the
// printed function shows the formulas made in their slots, so what is
// computed is always what the trace shows. A file that gives f(z) and a
// real formula too is refused: it is left without formulas, since either
// reading would silently drop half of what the user wrote. So is a file
// with a formula that is not whole (an operand or a bracket missing, a name
// that is no function, a formula nested too deeply; see tFormulaSyntax):
// it reads as another formula than the one written. Then the local
// constants are put in. A formula still missing evaluates to 0.0, so the
// function stays usable (a missing derivative makes the Jacobian singular),
// and the reader names the missing formulas on standard error. A file read
// also names on standard error, as path:line:column, the place where reading
// stopped before the end of the file and every name that begins with a
// digit, since the trace alone does not tell the user that the function is
// not the one written.
//
// For the methods that need them, the function has the six second partial
// derivatives f1xx, f1xy, f1yy, f2xx, f2xy and f2yy, each derived exactly
// (tDerivative) from the first derivative it holds at their first use, never
// read from the file, or, for a map given as f(z) too large to write out,
// parts of f''(z); and reading a map given as f(z) keeps the complex
// formulas f'(z) and f''(z).
// They are neither traced nor printed, so the trace stays what the file's
// reading made, and one too large to derive stays missing without a message:
// saying so is for a method that needs it.
//
// The formulas are evaluated through programs compiled from the trees (see
// tFormulaProgram), which give the tree walk's values bit for bit, derived
// formulas as much as given ones; they are compiled again whenever reading
// or substitution changes a tree, the second derivatives' (with the
// derivation) at their first use after that. The programs of a map given as
// f(z) are compiled from f(z) and f'(z) themselves (tComplexLowering), which
// gives the written-out formulas' values bit for bit at the cost of the
// complex operations. The tree walk stays available as the reference they
// are checked and timed against; for a map too large to write out it walks
// f(z), f'(z) and f''(z).
class tFunction {
 public:
  // A Jacobian whose determinant is smaller than this in absolute value has
  // no inverse.
  static constexpr double INVERTIBLE_CUTOFF = 1e-10;

  // No formulas; for definitions read from a script.
  tFunction();
  // Loads a function file: an absolute path, or a name in "Shared Functions/"
  // of the program's data directory (tFileUtils::getDataDirectory). The
  // reading is traced on standard output and its warnings go to standard
  // error, or both to the streams given.
  explicit tFunction(const std::string& name);
  tFunction(const std::string& name, std::ostream& trace, std::ostream& messages);
  ~tFunction();
  // The file a function of that name is loaded from.
  static std::string locate(const std::string& name);
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
  // A copy of the formulas as they stand (numbers put in), whose programs
  // take the variables named p and q as inputs: setParameters changes them
  // between evaluations, without compiling again, for pictures whose every
  // pixel has values of its own (tParameterPlane). Only the programs see
  // them: the copy is not for the tree walk, and each thread needs its own.
  std::unique_ptr<tFunction> copyWithParameters(const std::string& p, const std::string& q) const;
  void setParameters(double p, double q);
  // Compiles the formulas in `slots` (getProgram's order) into the program's
  // outputs, in that order, with getProgram's values bit for bit, parameters
  // included: for a caller that needs fewer of them at some points.
  void compileFirst(const std::vector<unsigned>& slots, tFormulaProgram& program) const;
  // Compiles the second derivatives in `slots` (getSecondFormula's order)
  // into the program's outputs, in that order, with the values
  // secondDerivatives gives them bit for bit, parameters included: for a
  // caller that needs fewer of them.
  void compileSecond(const std::vector<unsigned>& slots, tFormulaProgram& program) const;
  // The six second partial derivatives at (x, y), in the order of
  // getSecondFormula; a missing one is 0.0. The tree walk when set, as above.
  void secondDerivatives(double x, double y, double out[6]) const;
  void secondDerivativesByTree(double x, double y, double out[6]) const;
  // The inverse of the Jacobian with rows (f11, f12) and (f21, f22), or the
  // zero matrix when its determinant is below the cutoff: jacobianInverse's,
  // for a caller that evaluated the partials itself.
  static tMatrix2 invertJacobian(double f11, double f12, double f21, double f22);

  // Reads the contents of a function file, as the file constructor reads the
  // file: comment lines dropped, the rest tokenized and read as statements.
  // Messages name places in the text as path:line:column.
  void readText(const std::string& contents, const std::string& path = "");
  // Where later reading is traced and warns; standard output and standard
  // error unless set.
  void setStreams(std::ostream& trace, std::ostream& messages) {
    trace_ = &trace;
    messages_ = &messages;
  }
  // Where a token of the text read stands, as path:line:column; empty when
  // that is not known.
  using tPlaceNamer = std::function<std::string(unsigned token)>;

  // Reads statements from pos (see above); pos ends after the last token read.
  void processTokens(const std::vector<std::string>& tokens, unsigned& pos);
  // The same, naming places in messages about the formulas by placeOf.
  void processTokens(const std::vector<std::string>& tokens, unsigned& pos,
                     const tPlaceNamer& placeOf);
  // Whether the last read stopped at a statement it could not read, and the
  // index of the token that statement began at.
  bool stoppedAtBrokenStatement(unsigned& head) const;

  // Puts in the local constants, then the numbers the environment binds in
  // any of its scopes, so a name known to both takes the environment's
  // number; a name the environment binds to no number keeps the constant.
  void substituteVars(tVariableEnv* env);
  // The value a variable of the formulas has in a run with this environment.
  double getValueFor(const std::string& name, tVariableEnv* env) const;
  void freeVars(std::set<std::string>& names) const;
  void clearLocalVars();

  // Whether the function file could be read; always true for a definition
  // read from a script.
  bool isReadable() const { return readable_; }
  // Whether reading refused the map (f(z) beside real formulas, or an f(z)
  // that cannot be written out); the function then has no formulas.
  bool isRefused() const { return refused_; }
  // Why, without the place: "f(z) and f1 both given", why f(z) could not
  // be written out, or what makes a formula not whole ("'sinn' is not a
  // function; ..."); empty when the map was not refused.
  const std::string& getRefusal() const { return refusal_; }
  // Where the refusal points: path:line:column, or the function's name.
  const std::string& getRefusalPlace() const { return refusalPlace_; }
  // Whether reading a file warned about it (an early stop, a name that
  // begins with a digit).
  bool hasFileWarnings() const { return fileWarnings_; }

  // How a formula came to be.
  enum TFORMULA_ORIGIN { ORIGIN_NONE, ORIGIN_GIVEN, ORIGIN_DERIVED, ORIGIN_COMPLEX };
  static constexpr unsigned FORMULAS = 6;
  // The label of a slot in files (f1, f2, f11, f12, f21, f22).
  static const char* getLabel(unsigned slot);
  // The formula in a slot (slot order as above); null when there is none.
  const tExprNode* getFormula(unsigned slot) const;
  // Whether the slot has a value: a formula, or the part of f(z) or f'(z)
  // of a map too large to write out.
  bool hasFormula(unsigned slot) const { return (this->*SLOTS[slot].tree) || unwritten_; }
  // Whether the map is given as f(z) too large to write out as real
  // formulas: its slots and second derivatives hold no formulas, and their
  // values are computed from f(z), f'(z) and f''(z) (tComplexLowering).
  bool isUnwritten() const { return unwritten_; }
  // What stands for each formula of such a map where formulas are shown.
  static constexpr const char* UNWRITTEN = "(too large to write out)";
  // The formula in a slot as a person writes it (tFormulaText), or
  // UNWRITTEN.
  std::string getFormulaText(unsigned slot) const;
  TFORMULA_ORIGIN getOrigin(unsigned slot) const { return origins_[slot]; }
  // f(z) as read; null when the function was not given so.
  const tExprNode* getComplexFormula() const;
  // f'(z) (order 1) or f''(z) (order 2) of a map given as f(z), formulas in
  // z and i like f(z), with constants put in like the six formulas; null for
  // other orders, for a map not given so and for one too large to derive.
  // By the Cauchy-Riemann equations their parts are f11 and f21 (f'), and
  // f1xx and f2xx (f''); tComplexExpansion::expandValue writes them out.
  const tExprNode* getComplexDerivative(int order) const;
  static constexpr unsigned SECOND_FORMULAS = 6;
  // The label of a second derivative: f1xx, f1xy, f1yy, f2xx, f2xy, f2yy.
  static const char* getSecondLabel(unsigned slot);
  // The second derivative in that order; null when there is none.
  const tExprNode* getSecondFormula(unsigned slot) const;
  // The local constants with their values, in the order first defined.
  std::vector<std::pair<std::string, double>> getLocalConstants() const;
  // The token at which reading met a formula nested too deeply, which ends
  // the reading (see tExprTree::getTooDeepToken); -1 when it did not.
  long getTooDeepToken() const { return tooDeepToken_; }
  void setName(const std::string& name) { name_ = name; }
  std::string getName() const { return name_; }
  // Each formula under its label, with a blank line after each.
  void print(std::ostream& out) const;

 private:
  // Reading fills in the formulas and says how it went.
  friend class tFunctionReader;

  // One of the six formulas: its label in files, its label in print, and the
  // field that holds it.
  struct tSlot {
    const char* label;
    const char* printLabel;
    std::unique_ptr<tExprTree> tFunction::*tree;
  };
  static const tSlot SLOTS[6];

  // How a read ended: the tokens ran out, or it stopped at "end", at a
  // statement it could not read, or at a formula that is not whole (fault_),
  // any of which began at the token head.
  enum TREAD_END { TREAD_RAN_OUT, TREAD_AT_END, TREAD_BROKEN, TREAD_REFUSED };
  struct tReadEnd {
    TREAD_END how = TREAD_RAN_OUT;
    unsigned head = 0;
  };
  static double evaluateSlot(const std::unique_ptr<tExprTree>& tree, const tVector2& p);
  static const tExprNode* rootOf(const std::unique_ptr<tExprTree>& tree);
  // The labels of the formulas not read, separated by ", ".
  std::string missingFormulas() const;
  bool isIncomplete() const { return !refused_ && !missingFormulas().empty(); }
  // Compiles the programs from the trees as they are now.
  void compile();
  // Derives and compiles the second derivatives if a formula changed since.
  void prepareSecond() const;
  // Derives the second derivatives from the first derivatives' formulas and
  // compiles them.
  void compileSecondFormulas() const;
  // d/dy (byY) or d/dx of the first derivative in the slot; null when there
  // is none or it is too large to derive.
  std::unique_ptr<tExprTree> deriveSecond(unsigned slot, bool byY) const;
  // Puts the environment's numbers into every formula the function holds.
  void substituteInto(tVariableEnv* env);
  // The six slots as parts of f(z) and f'(z), and the six second
  // derivatives as parts of f''(z), for the lowering.
  std::vector<tComplexLowering::tOutput> slotParts() const;
  std::vector<tComplexLowering::tOutput> secondParts() const;

  std::unique_ptr<tExprTree> f1_;   // first component of F
  std::unique_ptr<tExprTree> f2_;   // second component of F
  std::unique_ptr<tExprTree> f11_;  // d f1 / dx
  std::unique_ptr<tExprTree> f12_;  // d f1 / dy
  std::unique_ptr<tExprTree> f21_;  // d f2 / dx
  std::unique_ptr<tExprTree> f22_;  // d f2 / dy

  mutable std::unique_ptr<tExprTree> second_[SECOND_FORMULAS];  // f1xx ... f2yy; null: missing
  std::unique_ptr<tExprTree> complexDerivatives_[2];  // f'(z) and f''(z); null when missing
  mutable tFormulaProgram secondProgram_;             // the six second derivatives
  mutable std::atomic<bool> secondReady_{false};      // second_ and secondProgram_ are current
  mutable std::mutex secondPreparing_;                // held while they are made

  std::unique_ptr<tExprTree> complex_;      // f(z) as read; null when not given
  bool lowered_ = false;    // an f(z) map: the programs are compiled from f(z) and f'(z)
  bool unwritten_ = false;  // one too large to write out: the slots hold no formulas
  TFORMULA_ORIGIN origins_[FORMULAS] = {};  // how each slot's formula came to be
  unsigned heads_[FORMULAS] = {};           // token of each given formula's label
  unsigned complexHead_ = 0;                // token of the "f" of f(z)

  std::string name_;  // file name as given (before any directory), or the name set
  std::unique_ptr<tVariableEnv> localVars_;  // the function's local constants
  std::vector<std::string> constantNames_;   // their names, in the order first defined
  tFormulaProgram valueProgram_;             // f1 and f2
  tFormulaProgram jacobianProgram_;          // f11, f12, f21 and f22
  tFormulaProgram program_;                  // all six, sharing their common parts
  bool treeWalk_;                            // value and jacobianInverse walk the trees
  std::ostream* trace_;                      // where reading is traced
  std::ostream* messages_;                   // where reading warns
  std::vector<std::string> parameters_;      // variables the programs take as inputs
  double parameterValues_[2] = {};           // their values for the next evaluations
  tReadEnd readEnd_;                         // how the last read ended
  bool readable_ = true;                     // the function file could be read
  bool refused_ = false;                     // reading refused the map
  std::string refusal_;                      // why, without the place
  std::string refusalPlace_;                 // where, as path:line:column or the name
  bool fileWarnings_ = false;                // reading the file warned about it
  long tooDeepToken_ = -1;                   // where a formula went too deep; -1 when none did
};

#endif
