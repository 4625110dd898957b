#ifndef ROOTWEAVER_BLAM_TBLAMSETTINGS_H
#define ROOTWEAVER_BLAM_TBLAMSETTINGS_H

#include <set>
#include <string>
#include <vector>

class tVariableEnv;

// The settings a script may assign (_maxIterations, _outputDir, ...), each
// with the type of value it takes and its default, in one table: a script
// starts with the defaults, and an assignment to a name that begins with "_"
// but is no setting, or that gives a setting a value of another type (which
// the variables ignore), is worth a warning.
class tBLAMSettings {
 public:
  // The type a setting takes, as tVariableEnv::TVARIABLE_TYPE; TYPE_UNBOUND
  // for a name that is no setting.
  static int typeOf(const std::string& name);
  // Every setting's name.
  static const std::set<std::string>& names();
  // Binds every setting that has a default, and the variables the program
  // sets before the first run, to their starting values.
  static void loadDefaults(tVariableEnv& env);
  // "a number", "quoted text", "true or false" or "a function", for
  // messages.
  static std::string describeType(int type);
  // The variables a run binds from what it measured, in binding order.
  static const std::vector<std::string>& resultNames();
  // Every name a script may read without setting it: the settings, the
  // results of runs and the counters of batches.
  static const std::set<std::string>& knownNames();

 private:
  tBLAMSettings() = default;
};

#endif
