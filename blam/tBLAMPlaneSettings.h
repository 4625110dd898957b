#ifndef ROOTWEAVER_BLAM_TBLAMPLANESETTINGS_H
#define ROOTWEAVER_BLAM_TBLAMPLANESETTINGS_H

#include <memory>
#include <string>

#include "expr/tFunction.h"
#include "fractal/tParameterPlane.h"

class tVariableEnv;

// The parameter plane a run draws instead of basins when _parameterPlane
// names two parameters of the function ("a b"): x along the first, y along
// the second, each pixel solved once from the point whose coordinates the
// formulas _planeStartX and _planeStartY give in terms of them, coloured as
// _planeColoring says ("iterations" or "root"). An empty _parameterPlane,
// the default, draws basins as always.
class tBLAMPlaneSettings {
 public:
  // Reads the settings for a run of f, its numbers put in; false, with the
  // reason in `error`, when they ask for a plane that cannot be drawn.
  bool read(tVariableEnv* env, const tFunction& f, std::string& error);
  bool isOn() const { return plane_ != nullptr; }
  const tParameterPlane& getPlane() const { return *plane_; }
  const std::string& getXParameter() const { return p_; }
  const std::string& getYParameter() const { return q_; }
  // What the picture depends on besides a basin picture's settings, for
  // telling runs apart; empty when no plane is drawn.
  std::string describe() const;

 private:
  // Reads the start formulas into start_.
  bool readStart(tVariableEnv* env, std::string& error);

  std::string p_;                           // the parameter along x
  std::string q_;                           // the parameter along y
  std::string startText_;                   // the start formulas as given
  std::string coloringText_;                // the colouring as given
  std::unique_ptr<tFunction> start_;        // f1 and f2: the start's coordinates
  std::unique_ptr<tParameterPlane> plane_;  // null when no plane is drawn
};

#endif
