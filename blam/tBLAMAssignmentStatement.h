#ifndef ROOTWEAVER_BLAM_TBLAMASSIGNMENTSTATEMENT_H
#define ROOTWEAVER_BLAM_TBLAMASSIGNMENTSTATEMENT_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "blam/tBLAMNameCheck.h"
#include "blam/tBLAMStatement.h"

class tExprTree;
class tFunction;

// NAME = VALUE, where VALUE is a quoted string, true or false, a function
// (function ... end, or loadFunction "FILE") or an expression, evaluated
// when the statement runs.
//
// A function is made once, while the script is read, and the statement holds
// it by shared reference: every run binds that same object, so it outlives a
// batch scope that drops the binding and is bound again when the batch runs
// once more. The object is freed when the statement and every environment
// that binds it have let it go. A function that could not be loaded binds
// the variable to no function at all, hiding whatever it held, so that runs
// of it say so and do nothing; so does a function whose map was refused
// (f(z) beside f1 or f2).
//
// Mistakes that would go unnoticed get a warning at their place: an
// assignment to a name that begins with "_" but is no setting, or of a value
// of the wrong type to a setting (which the variables ignore), while the
// script is read; and a name the expression reads that holds no number, when
// it runs (tBLAMNameCheck). A palette that _palette cannot take fails the
// statement at its place, and the palette stays as it was.
class tBLAMAssignmentStatement : public tBLAMStatement {
 public:
  tBLAMAssignmentStatement();
  ~tBLAMAssignmentStatement() override;

  // Where a token of the script stands, as path:line:column (see
  // tFunction::tPlaceNamer).
  using tPlaceNamer = std::function<std::string(unsigned token)>;

  // Parses the value that starts at index (the token after "="), tracing
  // it, and the reading of a function, on the context's trace, and warning
  // through its progress record. A reserved name leaves the statement inert
  // and consumes nothing. Messages about a function defined here name
  // places by placeOf.
  void buildStatement(const std::string& name, const std::vector<std::string>& tokens,
                      unsigned& index, const tBLAMContext& context,
                      const tPlaceNamer& placeOf = tPlaceNamer());

  // Whether the value is a definition (function ... end) that stopped at a
  // statement it could not read, and the index of the token that began it.
  bool definitionStoppedAt(unsigned& head) const;
  // The token at which the value held a formula nested too deeply, which
  // ends the reading of the script; -1 when it did not.
  long getTooDeepToken() const { return tooDeepToken_; }

  void run(tVariableEnv* env, const tBLAMContext& context) override;
  void print(std::ostream& trace) const override;
  std::string describe() const override;

 private:
  // value -> "function" definition ["end"] | "loadFunction" [QUOTED] | QUOTED
  //        | "true" | "false" | expression
  void buildFunction(const std::vector<std::string>& tokens, unsigned& index,
                     const tBLAMContext& context, const tPlaceNamer& placeOf);
  void loadFunction(const std::vector<std::string>& tokens, unsigned& index,
                    const tBLAMContext& context);
  void buildExpression(const std::vector<std::string>& tokens, unsigned& index,
                       const tPlaceNamer& placeOf);
  // The warning, if any, about assigning the value to name_ as a setting;
  // whether there was one.
  bool warnAboutSetting(const std::string& place, tBLAMProgress& progress) const;
  // Fails at the place when the setting cannot take the value it has the
  // type for; whether it did.
  bool refusesValue(const std::string& place, tBLAMProgress& progress) const;

  std::string name_;                       // the variable assigned
  std::string stringValue_;                // value of a string assignment, without quotes
  bool boolValue_ = false;                 // value of a true or false assignment
  std::unique_ptr<tExprTree> expression_;  // value of an expression assignment; may be null
  std::shared_ptr<tFunction> function_;    // value of a function assignment; null when unusable
  bool isFunction_ = false;                // the value is a function
  bool isDefinition_ = false;              // the value is a function defined in the script
  bool isString_ = false;                  // the value is a string
  bool isBool_ = false;                    // the value is true or false
  bool valid_ = false;                     // the statement acts when run
  std::string valueText_;                  // the value's tokens as written, for describe()
  long tooDeepToken_ = -1;                 // where a formula went too deep; -1 when none did
  bool definitionStopped_ = false;         // the definition stopped at a broken statement
  unsigned definitionHead_ = 0;            // the token that statement began at
  bool settingIgnored_ = false;            // the setting cannot take the value (warned)
  tBLAMNameCheck names_;                   // the names the expression reads
};

#endif
