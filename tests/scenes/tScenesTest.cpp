#include <gtest/gtest.h>

#include "scenes/tSceneTestSupport.h"

namespace {

// Input during a transition is ignored, except by the incoming scene once the
// cross-fade is over.
TEST(tScenesTest, SplashToModeSelectToSetup) {
  const tTestPrefs prefs;  // the setup scene reads the settings
  startHeadless();
  EXPECT_EQ("Splash", sceneState());

  tapKey(TKEY_SPACE);
  EXPECT_EQ("Splash -> Mode Select", sceneState());
  const tScene* modeSelect = tSceneManager::instance().getDestScene();
  setTransitionTime(250);
  tapKey(TKEY_SPACE);
  EXPECT_EQ(modeSelect, tSceneManager::instance().getDestScene());

  setTransitionTime(1000.5);
  tapMouse(200, 355);
  EXPECT_EQ("Mode Select -> Setup Frac", sceneState());
  setTransitionTime(750);
  tapMouse(600, 355);  // the other button, during the transition: ignored
  setTransitionTime(1000.5);
  runFrame();
  EXPECT_EQ("Setup Frac", sceneState());
}

}  // namespace
