#ifndef ROOTWEAVER_SCENES_TPLACEHOLDERSCENE_H
#define ROOTWEAVER_SCENES_TPLACEHOLDERSCENE_H

#include <string>

#include "Shell/tScene.h"

// Stands in for a mode's setup scene until that scene exists: it says
// "<mode>: coming soon" and cross-fades back to mode select on Space. It
// carries the name of the scene it stands in for ("Setup Frac", "Setup
// BLAM"), so the scene graph reads as it will.
class tPlaceholderScene : public tScene {
 public:
  tPlaceholderScene(const std::string& name, const std::string& modeName);

  void draw() override;
  void update(double dt) override;

  const std::string& getMessage() const { return message_; }

 private:
  std::string message_;  // the line shown in the middle of the view
};

#endif
