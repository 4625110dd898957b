#ifndef ROOTWEAVER_BLAM_TBLAMNAMECHECK_H
#define ROOTWEAVER_BLAM_TBLAMNAMECHECK_H

#include <set>
#include <string>
#include <utility>
#include <vector>

class tBLAMProgress;
class tVariableEnv;

// The names a statement reads as numbers, checked each time it runs. A name
// that no scope binds to a number reads as 0, which the script goes on with;
// it is nearly always a typo (`1 + widht`, `_fractalDimension` for
// `_fractalDimension_`), so it gets a warning at its place, once, with the
// closest known name. The value read stays 0: warnings never change what a
// script computes.
class tBLAMNameCheck {
 public:
  // Notes a name the statement reads, at its place (path:line:column).
  void addName(const std::string& name, const std::string& place);
  // Warns through the progress record about every name noted that the
  // environment binds to no number, each name once over the statement's runs.
  void check(const tVariableEnv& env, tBLAMProgress& progress);
  // The warning for a name the environment binds to no number: "'widht' is
  // not set; it reads as 0 (did you mean 'width'?)", or what it holds
  // instead of a number.
  static std::string describeUnset(const std::string& name, const tVariableEnv& env);

 private:
  std::vector<std::pair<std::string, std::string>> names_;  // each name read, with its place
  std::set<std::string> warned_;                             // names warned about
};

#endif
