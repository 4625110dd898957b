#ifndef ROOTWEAVER_SCENES_TPLANEOPTIONS_H
#define ROOTWEAVER_SCENES_TPLANEOPTIONS_H

#include <memory>
#include <string>

#include "File/tCategoricalDict.h"
#include "scenes/tTextEntry.h"

class tFunction;
class tParameterPlane;

// The setup's choice of a parameter plane instead of basins: the option
// "Parameter Plane", the field of its two axes ("a b": x along a, y along b)
// and the field of its start ("0, 0": the formulas of x and y, in terms of
// the axes). The settings keep them under "Parameter Plane", "Plane Axes"
// and "Plane Start", written only once the option has been turned on, so
// that a settings file of basins alone stays as it was.
class tPlaneOptions {
 public:
  tPlaneOptions();

  void read(const tCategoricalDict& prefs);
  void write(tCategoricalDict& prefs) const;
  bool isOn() const { return on_; }
  void toggle() { on_ = !on_; }
  tTextEntry& getAxesEntry() { return axes_; }
  tTextEntry& getStartEntry() { return start_; }
  const tTextEntry& getAxesEntry() const { return axes_; }
  const tTextEntry& getStartEntry() const { return start_; }

  // Marks the fields whose text cannot be read while the option is on; what
  // to say of the first, or "" when both can be.
  std::string markUnusable();
  // The plane over f with its start; false, with why in `error`, when f
  // lacks the parameters or the start reads what it cannot.
  bool make(const tFunction& f, std::unique_ptr<tParameterPlane>& plane,
            std::unique_ptr<tFunction>& start, std::string& error) const;

 private:
  // The start's two formulas, split at the comma; false without one comma.
  bool splitStart(std::string& x, std::string& y) const;

  bool on_;           // draw the plane
  bool used_;         // the settings had the plane's entries, or the option was on
  tTextEntry axes_;   // "a b"
  tTextEntry start_;  // "x, y"
};

#endif
