#ifndef ROOTWEAVER_BLAM_TBLAMVIEWSCRIPT_H
#define ROOTWEAVER_BLAM_TBLAMVIEWSCRIPT_H

#include <string>
#include <utility>
#include <vector>

#include "blam/tBLAMRootColors.h"

// A picture of the window's view as settings of a script: everything its
// pixels depend on, each number written so that a script reads it back
// exactly (tStringUtils::writeNumber), so that the script draws the view's
// picture again byte for byte.
class tBLAMViewScript {
 public:
  // The settings as (name, value) pairs, the value as the script writes it:
  // "function" and "use" first (the function file and the solver), then
  // the script's settings, a text quoted.
  std::vector<std::pair<std::string, std::string>> settings() const;
  // The whole script: the settings, a PNG picture and its data files in the
  // batch `name` of one run, in `directory`.
  std::string script(const std::string& directory, const std::string& name) const;
  // Why the view cannot be written as a script (a path or name holds a
  // character a script's quoted text cannot: the quote, a tab or another
  // control character); "" when it can.
  std::string refusalFor(const std::string& directory, const std::string& name) const;

  std::string function;  // the function file's full path
  std::string solver;    // the `use` name of the solver
  unsigned long maxIterations = 0;
  double stepSize = 1.0;
  bool hasMethodParameter = false;  // the solver was made with methodParameter
  double methodParameter = 0.0;
  double minX = 0.0;
  double maxX = 0.0;
  double minY = 0.0;
  double maxY = 0.0;
  unsigned int dimension = 0;
  bool singularSet = false;
  bool randomColors = false;
  std::string palette = "classic";  // named in the script only when not classic
  bool shadeBySpeed = false;
  unsigned int seed = 0;
  tBLAMRootColors::tRoots roots;  // the registry the picture was painted from
};

#endif
