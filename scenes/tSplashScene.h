#ifndef ROOTWEAVER_SCENES_TSPLASHSCENE_H
#define ROOTWEAVER_SCENES_TSPLASHSCENE_H

#include "Shell/tScene.h"

#include <string>

// The title scene, current from the first frame: the title "Rootweaver 2k6"
// and a gently pulsing "Press Space To Continue!"; Space cross-fades to the
// mode-select scene. A settings file that cannot be used is announced here,
// for the first seconds, since a program started from the desktop has no
// terminal to show the line it writes on standard error.
class tSplashScene : public tScene {
 public:
  tSplashScene();

  void draw() override;
  void update(double dt) override;

  // The notice about the settings file shown now; "" when none is.
  std::string getNotice() const;
  // The timer mark the notice's display time counts from.
  unsigned int getNoticeMark() const { return noticeMark_; }

  // How long the notice stays, in ms.
  static constexpr double NOTICE_TIME = 6000.0;

 private:
  std::string notice_;       // what is wrong with the settings file; "" when nothing is
  unsigned int noticeMark_;  // timer mark of the scene's start
};

#endif
