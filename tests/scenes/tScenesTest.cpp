#include <gtest/gtest.h>

#include <string>

#include "Shell/tFrameTestSupport.h"
#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"
#include "scenes/tModeSelectScene.h"
#include "scenes/tSceneTestSupport.h"

// The first scenes driven frame by frame without a window, as the user would:
// a key or button goes down before a frame, is read during it, and goes up
// before the next.

namespace {

void pressSpace() {
  tKeyboardHandler::instance().keyDownEvent(TKEY_SPACE);
  runFrame();
  tKeyboardHandler::instance().keyUpEvent(TKEY_SPACE);
  runFrame();
}

void clickAt(int x, int y, int platformButton = 1) {
  tMouseHandler::instance().moveEvent(x, y);
  tMouseHandler::instance().buttonEvent(platformButton, true);
  runFrame();
  tMouseHandler::instance().buttonEvent(platformButton, false);
  runFrame();
}

TEST(tScenesTest, SplashToModeSelectToSetupAndBack) {
  const tTestPrefs prefs;
  testing::internal::CaptureStderr();
  startHeadless();
  EXPECT_EQ("", testing::internal::GetCapturedStderr());  // the font loaded
  tSceneManager& scenes = tSceneManager::instance();
  EXPECT_EQ("Splash", sceneState());
  EXPECT_EQ(1.0f, scenes.getCurrentScene()->getAlpha());

  pressSpace();
  EXPECT_EQ("Splash -> Mode Select", sceneState());
  const tScene* modeSelect = scenes.getDestScene();
  setTransitionTime(250);
  pressSpace();  // no input during a transition
  EXPECT_EQ(modeSelect, scenes.getDestScene());

  // The incoming scene takes over and already handles the click of that frame.
  setTransitionTime(1000.5);
  clickAt(200, 355);
  EXPECT_EQ("Mode Select -> Setup Frac", sceneState());
  setTransitionTime(750);
  clickAt(600, 355);  // the other button, during the transition: ignored
  EXPECT_EQ("Mode Select -> Setup Frac", sceneState());
  setTransitionTime(1000.5);
  runFrame();
  EXPECT_EQ("Setup Frac", sceneState());

  clickAt(400, 565);  // "Return To Mode Select", which saves the settings
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
    clickAt(row.x, row.y, row.button);
    EXPECT_EQ(row.state, sceneState()) << row.x << "," << row.y << " button " << row.button;
  }
}

}  // namespace
