#ifndef ROOTWEAVER_EXPR_TVARIABLEENV_H
#define ROOTWEAVER_EXPR_TVARIABLEENV_H

#include <map>
#include <memory>
#include <set>
#include <string>

class tFunction;

// Named values of four types (number, string, function, boolean) in nested
// scopes.
//
// The object itself is always the current scope; opening a scope moves the
// current bindings into a saved copy chained behind it, and closing one
// brings the copy back. So typed lookups walk the chain outwards, while
// containsVal and getType see only the current scope. Within one scope a
// name has at most one type: rebinding it with another type is ignored.
//
// Functions are held by shared reference. Clearing or closing a scope drops
// the environment's references, which destroys a function no one else holds,
// while whoever created a function (an assignment that binds it again on
// every run) can keep it alive across scopes.
class tVariableEnv {
 public:
  // Type codes of getType.
  enum TVARIABLE_TYPE {
    TYPE_NUMBER = 0,
    TYPE_STRING = 1,
    TYPE_FUNCTION = 2,
    TYPE_BOOL = 3,
    TYPE_UNBOUND = 4
  };

  tVariableEnv();
  ~tVariableEnv();
  tVariableEnv(const tVariableEnv&) = delete;
  tVariableEnv& operator=(const tVariableEnv&) = delete;

  void extend(std::string name, double value);
  void extend(std::string name, int value);
  void extend(std::string name, bool value);
  void extend(std::string name, std::string value);
  // Keeps a text literal from binding as a boolean.
  void extend(std::string name, const char* value);
  // A null function binds the name to no function: lookups of it give null
  // instead of reaching a function bound in an outer scope.
  void extend(std::string name, std::shared_ptr<tFunction> value);

  // Typed lookups through the current and the saved scopes; the type's
  // default (0.0, "", null, false) when no scope binds the name with it.
  double getDoubleVal(std::string name) const;
  std::string getStringVal(std::string name) const;
  // Borrowed: the environment keeps its own reference.
  tFunction* getFunctionVal(std::string name) const;
  bool getBoolVal(std::string name) const;

  // Whether some scope binds the name to a number.
  bool hasDoubleVal(const std::string& name) const;
  // The type of the innermost binding of the name, through every scope.
  int findType(const std::string& name) const;
  // Adds the name of every binding of every scope, of the type given or of
  // all types (TYPE_UNBOUND).
  void collectNames(std::set<std::string>& names, int type = TYPE_UNBOUND) const;

  // Current scope only.
  bool containsVal(std::string name) const;
  int getType(std::string name) const;

  void extendScope();
  void revertScope();
  // Empties the current scope; saved scopes are untouched.
  void clear();

 private:
  // True when the name may take a binding of this type in the current scope.
  bool canBind(const std::string& name, TVARIABLE_TYPE type) const;
  // The four maps move between the current scope and a saved one together.
  void takeBindings(tVariableEnv& from);
  // The value bound to the name in one of the four maps, looked up from the
  // current scope outwards; null when no scope binds it there.
  template <typename T>
  const T* lookup(std::map<std::string, T> tVariableEnv::*map, const std::string& name) const;

  std::unique_ptr<tVariableEnv> parent_;        // saved outer scopes; null at depth 0
  std::map<std::string, double> doubles_;       // numbers, integers included
  std::map<std::string, std::string> strings_;  // strings
  std::map<std::string, std::shared_ptr<tFunction>> functions_;  // functions, shared
  std::map<std::string, bool> bools_;                            // booleans
};

#endif
