#ifndef ROOTWEAVER_SCENES_TMODESELECTSCENE_H
#define ROOTWEAVER_SCENES_TMODESELECTSCENE_H

#include "Shell/tScene.h"

// The choice between the two modes: the title "Mode Select!" and two buttons
// side by side, "Vadoduraraz\nMode" on the left (the interactive mode) and
// "BLAM\nMode" on the right (the batch mode). A click with the primary button
// on one cross-fades to that mode's setup scene.
//
// Both buttons have the size of the wider label, so they look alike; their
// hit rectangles shrink with alpha_ as the drawing does, which only matters
// during transitions, when clicks are not taken anyway.
class tModeSelectScene : public tScene {
 public:
  tModeSelectScene();

  void draw() override;
  void update(double dt) override;
};

#endif
