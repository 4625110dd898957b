#include <gtest/gtest.h>

#include <string>

#include "scenes/tModeSelectScene.h"
#include "scenes/tSceneTestSupport.h"

// The first scenes driven frame by frame without a window.

namespace {

TEST(tScenesTest, SplashToModeSelectToSetupAndBack) {
  const tTestPrefs prefs;
  testing::internal::CaptureStderr();
  startHeadless();
  EXPECT_EQ("", testing::internal::GetCapturedStderr());  // the font loaded
  tSceneManager& scenes = tSceneManager::instance();
  EXPECT_EQ("Splash", sceneState());
  EXPECT_EQ(1.0f, scenes.getCurrentScene()->getAlpha());

  tapKey(TKEY_SPACE);
  EXPECT_EQ("Splash -> Mode Select", sceneState());
  const tScene* modeSelect = scenes.getDestScene();
  setTransitionTime(250);
  tapKey(TKEY_SPACE);  // no input during a transition
  EXPECT_EQ(modeSelect, scenes.getDestScene());

  // The incoming scene takes over and already handles the click of that frame.
  setTransitionTime(1000.5);
  tapMouse(200, 355);
  EXPECT_EQ("Mode Select -> Setup Frac", sceneState());
  setTransitionTime(750);
  tapMouse(600, 355);  // the other button, during the transition: ignored
  EXPECT_EQ("Mode Select -> Setup Frac", sceneState());
  setTransitionTime(1000.5);
  runFrame();
  EXPECT_EQ("Setup Frac", sceneState());

  tapMouse(400, 565);  // "Return To Mode Select", which saves the settings
  EXPECT_EQ("Setup Frac -> Mode Select", sceneState());
}

TEST(tScenesTest, ModeSelectClicksPickTheButtonUnderThePrimaryButton) {
  const tTestPrefs prefs;  // the setup scenes read the settings
  startHeadless();
  // Buttons centred at (200, 355) and (600, 355), 100 pixels high.
  const struct {
    int x, y, button;
    const char* state;
  } rows[] = {
      {200, 355, 1, "Mode Select -> Setup Frac"}, {600, 355, 1, "Mode Select -> Setup BLAM"},
      {400, 355, 1, "Mode Select"},               {200, 305, 1, "Mode Select -> Setup Frac"},
      {200, 304, 1, "Mode Select"},               {600, 405, 1, "Mode Select -> Setup BLAM"},
      {600, 406, 1, "Mode Select"},               {200, 355, 2, "Mode Select"},
  };
  for (const auto& row : rows) {
    tSceneManager::instance().setCurrentScene(new tModeSelectScene());
    tapMouse(row.x, row.y, row.button);
    EXPECT_EQ(row.state, sceneState()) << row.x << "," << row.y << " button " << row.button;
  }
}

}  // namespace
