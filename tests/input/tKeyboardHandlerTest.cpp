#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Shell/tTimer.h"
#include "input/tInputManager.h"
#include "input/tKeyboardHandler.h"

namespace {

// The events an iterator hands out, as "v12" for down and "^12" for up.
std::string eventsOf(tKeyIterator it) {
  std::string out;
  while (it.hasMoreEvents()) {
    tKeyEvent e = it.getNext();
    out += (out.empty() ? "" : " ") + std::string(e.down ? "v" : "^") + std::to_string(e.code);
  }
  return out;
}

tKeyboardHandler& freshKeyboard() {
  tInputManager::instance().init();
  tInputManager::instance().update();
  return tKeyboardHandler::instance();
}

// Frames every 9 ms while a key is held, moving the key's repeat mark back
// instead of waiting; returns the frame times at which keyPressed said true.
// Each frame asks twice, as a scene and a widget might.
std::vector<int> pressedTimes(tKeyboardHandler& kb, int key, int untilMs) {
  std::vector<int> times;
  kb.keyDownEvent(key);
  for (int t = 0; t <= untilMs; t += 9) {
    bool first = kb.keyPressed(key, 0);
    EXPECT_EQ(first, kb.keyPressed(key, 0)) << "at " << t << " ms";
    if (first) times.push_back(t);
    tInputManager::instance().update();
    tTimer::instance().advanceMark(kb.getRepeatMark(key), -9);
  }
  kb.keyUpEvent(key);
  return times;
}

TEST(tKeyboardHandlerTest, RepeatWaitsTheFirstDelayThenTheInterval) {
  tKeyboardHandler& kb = freshKeyboard();
  kb.enableRepeat(400, 50);
  // True at the press, in the first frame after more than 400 ms, then in
  // the first frame after more than 50 ms since the previous true answer.
  EXPECT_EQ((std::vector<int>{0, 405, 459, 513, 567, 621}), pressedTimes(kb, TKEY_A, 650));
  EXPECT_TRUE(kb.keyUnpressed(TKEY_A, 0));
  tInputManager::instance().update();
  EXPECT_FALSE(kb.keyUnpressed(TKEY_A, 0));

  kb.disableRepeat();
  EXPECT_EQ((std::vector<int>{0}), pressedTimes(kb, TKEY_B, 650));
  kb.enableRepeat();  // delays kept
  EXPECT_EQ((std::vector<int>{0, 405, 459}), pressedTimes(kb, TKEY_C, 500));
}

TEST(tKeyboardHandlerTest, DownAndUpBetweenFramesLeavesEventsButNoPress) {
  tKeyboardHandler& kb = freshKeyboard();
  kb.keyDownEvent(TKEY_Q);
  kb.keyUpEvent(TKEY_Q);
  EXPECT_FALSE(kb.keyDown(TKEY_Q, 0));
  EXPECT_FALSE(kb.keyPressed(TKEY_Q, 0));
  EXPECT_EQ("v12 ^12", eventsOf(kb.getKeyIterator(0)));
  // Codes outside the table are dropped and answered neutrally.
  kb.keyDownEvent(128);
  kb.keyDownEvent(-1);
  EXPECT_FALSE(kb.keyDown(128, 0));
  EXPECT_TRUE(kb.keyUp(-5, 0));
  EXPECT_EQ("v12 ^12", eventsOf(kb.getKeyIterator(0)));
}

TEST(tKeyboardHandlerTest, ModifierChangesGiveFiveEventsAndIteratorPutsHeldKeysFirst) {
  tKeyboardHandler& kb = freshKeyboard();
  kb.modifiersChanged(false, false, true, false, false);  // Shift alone
  EXPECT_EQ("^55 ^57 v56 ^59 ^58", eventsOf(kb.getKeyIterator(0)));
  EXPECT_TRUE(kb.keyDown(TKEY_SHIFT, 0));
  EXPECT_TRUE(kb.keyPressed(TKEY_SHIFT, 0));

  kb.keyDownEvent(TKEY_A);
  tInputManager::instance().update();
  kb.keyDownEvent(TKEY_W);
  kb.keyUpEvent(TKEY_A);
  kb.keyDownEvent(TKEY_A);
  // Held: Shift (56) and a (0), highest code first, then the frame's events.
  tKeyIterator it = kb.getKeyIterator(0);
  EXPECT_EQ("v56 v0 v13 ^0 v0", eventsOf(it));
  EXPECT_TRUE(it.hasMoreUpEvents());
  EXPECT_EQ(TKEY_A, it.getNextUp().code);
  EXPECT_FALSE(it.hasMoreUpEvents());
  EXPECT_TRUE(it.hasMoreDownEvents());
  EXPECT_EQ(TKEY_A, it.getNextDown().code);
  EXPECT_FALSE(it.hasMoreEvents());
  EXPECT_EQ(TKEY_NONE, it.getNext().code);
  it.reset();
  EXPECT_EQ(TKEY_SHIFT, it.getNextDown().code);
  // Asking again adds the held keys again.
  EXPECT_EQ("v56 v0 v56 v0 v13 ^0 v0", eventsOf(kb.getKeyIterator(0)));
}

TEST(tKeyboardHandlerTest, KeyTableNamesAndCharacters) {
  struct {
    int code;
    const char* name;
    char printable;
  } rows[] = {
      {0, "a", 'a'},      {11, "b", 'b'},       {29, "0", '0'},       {22, "6", '6'},
      {36, "Return", 0},  {39, "'", '\''},      {42, "\\", '\\'},     {49, "Space", ' '},
      {50, "`", '`'},     {51, "Backspace", 0}, {57, "Caps Lock", 0}, {65, "Num .", '.'},
      {81, "Num =", '='}, {92, "Num 9", '9'},   {105, "F13", 0},      {116, "Page Up", 0},
      {126, "Up", 0},     {10, "???", 0},       {52, "???", 0},       {76, "???", 0},
      {127, "???", 0},    {128, "???", 0},      {-1, "???", 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.name, tKeyboardHandler::keycodeToIdentifier(row.code)) << row.code;
    EXPECT_EQ(row.printable, tKeyboardHandler::keycodeToPrintable(row.code)) << row.code;
  }
  int named = 0;
  for (int code = 0; code < TKEY_COUNT; ++code)
    named += tKeyboardHandler::keycodeToIdentifier(code) != "???";
  EXPECT_EQ(96, named);  // the whole table
}

}  // namespace
