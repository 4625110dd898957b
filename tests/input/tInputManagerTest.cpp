#include <gtest/gtest.h>

#include <string>

#include "input/tInputManager.h"
#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"

namespace {

std::string cursorCalls;  // what the cursor hook was asked, in order

void recordCursor(bool shown) { cursorCalls += shown ? "show " : "hide "; }

tMouseHandler& freshMouse() {
  tInputManager::instance().init();
  tInputManager::instance().update();
  return tMouseHandler::instance();
}

TEST(tMouseHandlerTest, PositionDeltasButtonsAndWheel) {
  tMouseHandler& mouse = freshMouse();
  mouse.moveEvent(100, 50);
  tInputManager::instance().update();
  EXPECT_EQ(0, mouse.getDeltaX(0));
  mouse.moveEvent(110, 45);
  EXPECT_EQ(110, mouse.getX(0));
  EXPECT_EQ(45, mouse.getY(0));
  EXPECT_EQ(10, mouse.getDeltaX(0));
  EXPECT_EQ(-5, mouse.getDeltaY(0));

  mouse.buttonEvent(3, true);  // a third button changes nothing
  mouse.buttonEvent(0, true);
  EXPECT_TRUE(mouse.buttonUp(TBUTTON_PRIMARY, 0) && mouse.buttonUp(TBUTTON_SECONDARY, 0));
  mouse.buttonEvent(1, true);
  mouse.wheelEvent(3);
  mouse.wheelEvent(-2);
  EXPECT_TRUE(mouse.buttonPressed(TBUTTON_PRIMARY, 0));
  EXPECT_FALSE(mouse.buttonPressed(TBUTTON_SECONDARY, 0));
  EXPECT_FALSE(mouse.buttonPressed(2, 0));
  EXPECT_EQ(-2, mouse.getWheelDelta(0));

  tInputManager::instance().update();
  EXPECT_FALSE(mouse.buttonPressed(TBUTTON_PRIMARY, 0));  // buttons never repeat
  EXPECT_TRUE(mouse.buttonDown(TBUTTON_PRIMARY, 0));
  EXPECT_EQ(0, mouse.getWheelDelta(0));
  EXPECT_EQ(0, mouse.getDeltaX(0));
  mouse.buttonEvent(1, false);
  mouse.buttonEvent(2, true);
  EXPECT_TRUE(mouse.buttonUnpressed(TBUTTON_PRIMARY, 0));
  EXPECT_TRUE(mouse.buttonPressed(TBUTTON_SECONDARY, 0));
}

TEST(tMouseHandlerTest, CursorHookIsCalledOnlyOnChanges) {
  tMouseHandler& mouse = freshMouse();
  cursorCalls.clear();
  mouse.setCursorHook(recordCursor);
  mouse.hideCursor(0);
  mouse.hideCursor(0);
  EXPECT_TRUE(mouse.cursorHidden());
  mouse.showCursor(0);
  mouse.showCursor(0);
  mouse.hideCursor(0);
  mouse.init();
  mouse.setCursorHook(nullptr);
  EXPECT_EQ("hide show hide show ", cursorCalls);
  EXPECT_FALSE(mouse.cursorHidden());
}

TEST(tInputManagerTest, LockGivesOtherOwnersNeutralAnswers) {
  tInputManager& input = tInputManager::instance();
  tMouseHandler& mouse = freshMouse();
  tKeyboardHandler& kb = tKeyboardHandler::instance();
  const unsigned int owner = input.getMutex();
  EXPECT_EQ(owner + 1, input.getMutex());

  kb.keyDownEvent(TKEY_Z);
  mouse.moveEvent(30, 40);
  mouse.buttonEvent(1, true);
  mouse.wheelEvent(1);
  ASSERT_TRUE(input.lock(owner));
  EXPECT_FALSE(input.lock(owner + 1));
  EXPECT_FALSE(input.unlock(0));

  // The owner sees everything; id 0 gets the neutral answers.
  EXPECT_TRUE(kb.keyDown(TKEY_Z, owner) && kb.keyPressed(TKEY_Z, owner));
  EXPECT_TRUE(mouse.buttonPressed(TBUTTON_PRIMARY, owner));
  EXPECT_EQ(30, mouse.getX(owner));
  EXPECT_FALSE(kb.keyDown(TKEY_Z, 0) || kb.keyWasDown(TKEY_Z, 0) || kb.keyPressed(TKEY_Z, 0) ||
               kb.keyUnpressed(TKEY_Z, 0));
  EXPECT_TRUE(kb.keyUp(TKEY_Z, 0) && kb.keyWasUp(TKEY_Z, 0));
  EXPECT_FALSE(kb.getKeyIterator(0).hasMoreEvents());
  EXPECT_EQ(0, mouse.getX(0) + mouse.getY(0) + mouse.getDeltaX(0) + mouse.getDeltaY(0) +
                   mouse.getWheelDelta(0));
  EXPECT_FALSE(mouse.buttonDown(TBUTTON_PRIMARY, 0) || mouse.buttonWasDown(TBUTTON_PRIMARY, 0) ||
               mouse.buttonPressed(TBUTTON_PRIMARY, 0));
  EXPECT_TRUE(mouse.buttonUp(TBUTTON_PRIMARY, 0) && mouse.buttonWasUp(TBUTTON_PRIMARY, 0));
  mouse.hideCursor(0);
  EXPECT_FALSE(mouse.cursorHidden());

  // Unlocking clears the keys and buttons; the position stays.
  ASSERT_TRUE(input.unlock(owner));
  EXPECT_FALSE(kb.keyDown(TKEY_Z, 0));
  EXPECT_FALSE(mouse.buttonDown(TBUTTON_PRIMARY, 0));
  EXPECT_EQ(30, mouse.getX(0));
  EXPECT_EQ(30, mouse.getDeltaX(0));
  EXPECT_FALSE(input.unlock(owner));
}

}  // namespace
