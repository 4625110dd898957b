#include <gtest/gtest.h>

#include <string>

#include "input/tInputManager.h"
#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"

namespace {

std::string cursorCalls;  // what the cursor hook was asked, in order

void recordCursor(bool shown) { cursorCalls += shown ? "show " : "hide "; }

// Fresh input with the pointer at the origin.
tMouseHandler& freshMouse() {
  tInputManager::instance().init();
  tMouseHandler::instance().moveEvent(0, 0);
  tInputManager::instance().update();
  return tMouseHandler::instance();
}

// The six answers about a key or button as letters, '-' where false: D down,
// U up, d was down, u was up, P pressed, R released.
std::string answers(bool down, bool up, bool wasDown, bool wasUp, bool pressed, bool released) {
  std::string text = "DUduPR";
  const bool said[] = {down, up, wasDown, wasUp, pressed, released};
  for (int i = 0; i < 6; ++i)
    if (!said[i]) text[i] = '-';
  return text;
}

std::string keyState(int key, unsigned int id) {
  tKeyboardHandler& k = tKeyboardHandler::instance();
  return answers(k.keyDown(key, id), k.keyUp(key, id), k.keyWasDown(key, id),
                 k.keyWasUp(key, id), k.keyPressed(key, id), k.keyUnpressed(key, id));
}

// All the mouse tells the id: "x,y dx,dy wheel primary secondary".
std::string mouseState(unsigned int id) {
  const tMouseHandler& m = tMouseHandler::instance();
  std::string text = std::to_string(m.getX(id)) + "," + std::to_string(m.getY(id)) + " " +
                     std::to_string(m.getDeltaX(id)) + "," + std::to_string(m.getDeltaY(id)) +
                     " " + std::to_string(m.getWheelDelta(id));
  for (int b : {TBUTTON_PRIMARY, TBUTTON_SECONDARY}) {
    text += " " + answers(m.buttonDown(b, id), m.buttonUp(b, id), m.buttonWasDown(b, id),
                          m.buttonWasUp(b, id), m.buttonPressed(b, id), m.buttonUnpressed(b, id));
  }
  return text;
}

TEST(tMouseHandlerTest, PositionDeltasButtonsAndWheel) {
  tMouseHandler& mouse = freshMouse();
  mouse.moveEvent(100, 50);
  tInputManager::instance().update();
  EXPECT_EQ("100,50 0,0 0 -U-u-- -U-u--", mouseState(0));
  mouse.moveEvent(110, 45);
  mouse.buttonEvent(3, true);  // not buttons of the program
  mouse.buttonEvent(0, true);
  EXPECT_EQ("110,45 10,-5 0 -U-u-- -U-u--", mouseState(0));
  mouse.buttonEvent(1, true);
  mouse.wheelEvent(3);
  mouse.wheelEvent(-2);
  EXPECT_EQ("110,45 10,-5 -2 D--uP- -U-u--", mouseState(0));
  EXPECT_FALSE(mouse.buttonPressed(2, 0));
  tInputManager::instance().update();  // buttons never repeat
  EXPECT_EQ("110,45 0,0 0 D-d--- -U-u--", mouseState(0));
  mouse.buttonEvent(1, false);
  mouse.buttonEvent(2, true);
  EXPECT_EQ("110,45 0,0 0 -Ud--R D--uP-", mouseState(0));
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
  EXPECT_EQ("D--uP-", keyState(TKEY_Z, owner));
  EXPECT_EQ("30,40 30,40 1 D--uP- -U-u--", mouseState(owner));
  EXPECT_EQ("-U-u--", keyState(TKEY_Z, 0));
  EXPECT_EQ("0,0 0,0 0 -U-u-- -U-u--", mouseState(0));
  EXPECT_FALSE(kb.getKeyIterator(0).hasMoreEvents());
  mouse.hideCursor(0);
  EXPECT_FALSE(mouse.cursorHidden());

  // Unlocking clears the keys, buttons and wheel; the position stays. (The
  // owner's press stays latched until the frame ends.)
  ASSERT_TRUE(input.unlock(owner));
  EXPECT_EQ("-U-u", keyState(TKEY_Z, 0).substr(0, 4));
  EXPECT_EQ("30,40 30,40 0 -U-u-- -U-u--", mouseState(0));
  EXPECT_FALSE(input.unlock(owner));
}

}  // namespace
