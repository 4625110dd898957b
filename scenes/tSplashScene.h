#ifndef ROOTWEAVER_SCENES_TSPLASHSCENE_H
#define ROOTWEAVER_SCENES_TSPLASHSCENE_H

#include "Shell/tScene.h"

// The title scene, current from the first frame: the title "Rootweaver 2k6"
// and a gently pulsing "Press Space To Continue!"; Space cross-fades to the
// mode-select scene.
class tSplashScene : public tScene {
 public:
  tSplashScene();

  void draw() override;
  void update(double dt) override;
};

#endif
