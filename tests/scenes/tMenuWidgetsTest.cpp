#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>

#include "Shell/tFrameTestSupport.h"
#include "Shell/tTimer.h"
#include "input/tInputManager.h"
#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"
#include "scenes/tStringSelect.h"
#include "scenes/tTextEntry.h"

// The two widgets driven frame by frame without a scene: each step puts its
// events in, runs the widgets' updates and closes the input frame.

namespace {

tKeyboardHandler& keys() { return tKeyboardHandler::instance(); }

void startInput() {
  tInputManager::instance().init();
  keys().enableRepeat(400, 50);
}

void setShift(bool down) { keys().modifiersChanged(false, false, down, false, false); }

void mouseDown(int x, int y) {
  tMouseHandler::instance().moveEvent(x, y);
  tMouseHandler::instance().buttonEvent(1, true);
}

void mouseUp() { tMouseHandler::instance().buttonEvent(1, false); }

// Down and up of the key that types c, with no frame between: '<' is
// Backspace, '>' Return, and capitals and '!' hold Shift.
void tapChar(char c) {
  const bool shift = std::isupper(static_cast<unsigned char>(c)) || c == '!';
  const char plain = c == '!' ? '1' : static_cast<char>(std::tolower(c));
  const int key = c == '<' ? TKEY_BACKSPACE : c == '>' ? TKEY_RETURN : keyTyping(plain);
  if (shift) setShift(true);
  keys().keyDownEvent(key);
  keys().keyUpEvent(key);
  if (shift) setShift(false);
}

// One frame over a list whose first row is centred at (175, 150), rows of 20
// from y = 140, x from 25 to 325: the pointer at (x, y), clicked there or
// the wheel turned, a key pressed (-1: none).
void listFrame(tStringSelect& list, int x, int y, bool click, int wheel, int key) {
  tMouseHandler::instance().moveEvent(x, y);
  if (wheel != 0) tMouseHandler::instance().wheelEvent(wheel);
  if (click) mouseDown(x, y);
  if (key >= 0) keys().keyDownEvent(key);
  list.update(175, 150, 150, 20, 1);
  tInputManager::instance().update();
  if (key >= 0) keys().keyUpEvent(key);
  mouseUp();
  tInputManager::instance().update();
}

TEST(tMenuWidgetsTest, StringSelectKeysAndClicks) {
  startInput();
  tStringSelect list;
  for (const char* item : {"A", "B", "C", "D", "E", "F"}) list.addString(item);
  list.setSelectedItem(3);
  list.setSelectedItem(6);  // past the end: ignored
  const struct {
    int key;   // pressed this frame, or -1
    int x, y;  // clicked this frame unless x < 0
    unsigned int selected;
    bool focused;
  } steps[] = {
      {TKEY_DOWN, -1, 0, 3, false},  // no focus yet
      {-1, 100, 121, 0, true},       // less than a row above the top: row 0
      {TKEY_UP, -1, 0, 5, true},     // wraps to the last
      {TKEY_DOWN, -1, 0, 0, true},   // wraps to the first
      {TKEY_DOWN, -1, 0, 1, true},
      {-1, 175, 120, 1, false},  // a full row above: no row, focus gone
      {TKEY_DOWN, -1, 0, 1, false},
      {-1, 325, 259, 5, true},   // right edge, bottom row
      {-1, 326, 200, 5, false},  // right of the list
      {-1, 25, 260, 5, false},   // below the last row
      {-1, 25, 140, 0, true},
  };
  for (const auto& step : steps) {
    listFrame(list, step.x, step.y, step.x >= 0, 0, step.key);
    EXPECT_EQ(step.selected, list.getSelectedItem()) << step.key << " " << step.x << "," << step.y;
    EXPECT_EQ(step.focused, list.isFocused()) << step.key << " " << step.x << "," << step.y;
  }
}

// Six rows of which three show: the wheel over the list scrolls it within
// the list, a click picks the row shown there, and the keys scroll the
// window to keep the selection shown.
TEST(tMenuWidgetsTest, StringSelectScrollsItsWindow) {
  startInput();
  tStringSelect list;
  for (const char* item : {"A", "B", "C", "D", "E", "F"}) list.addString(item);
  list.setVisibleRows(3);
  list.setSelectedItem(4);
  EXPECT_EQ(2u, list.getFirstShown());
  const struct {
    int wheel;  // this frame, over the list at (175, y)
    int y;      // where the mouse is; clicked when click
    bool click;
    int key;  // pressed this frame, or -1
    unsigned int first, selected;
  } steps[] = {
      {1, 150, false, -1, 1, 4},   // up a row
      {5, 150, false, -1, 0, 4},   // held at the top
      {-1, 210, false, -1, 0, 4},  // below the rows shown: no scroll
      {-9, 150, false, -1, 3, 4},  // held at the bottom
      {0, 170, true, -1, 3, 4},    // the second row shown is E
      {0, 150, false, TKEY_UP, 3, 3}, {0, 150, false, TKEY_UP, 2, 2},
      {0, 150, false, TKEY_UP, 1, 1}, {0, 150, false, TKEY_UP, 0, 0},
      {0, 150, false, TKEY_UP, 3, 5},  // wraps to the last, shown at the bottom
  };
  for (const auto& step : steps) {
    listFrame(list, 175, step.y, step.click, step.wheel, step.key);
    EXPECT_EQ(step.first, list.getFirstShown()) << step.wheel << " " << step.key;
    EXPECT_EQ(step.selected, list.getSelectedItem()) << step.wheel << " " << step.key;
  }
}

// Two fields side by side: A centred at (100, 100), B at (300, 100), both 70
// wide and 20 high. Each step acts, then both fields update in one frame. A
// held key types again (when: tKeyboardHandlerTest.RepeatWaitsTheFirstDelayThenTheInterval).
TEST(tMenuWidgetsTest, TextEntryTypingFocusRepeatShiftAndEnd) {
  startInput();
  tTextEntry a;
  tTextEntry b;
  b.setText("x");
  auto frame = [&] {
    a.update(100, 100, 35, 20, 1);
    b.update(300, 100, 35, 20, 1);
    tInputManager::instance().update();
    mouseUp();
  };
  // The keys go down together in one frame and up in the next.
  auto type = [&](std::initializer_list<int> codes, bool shift = false) {
    setShift(shift);
    for (int key : codes) keys().keyDownEvent(key);
    frame();
    for (int key : codes) keys().keyUpEvent(key);
    setShift(false);
    frame();
  };
  auto click = [&](int x, int y) {
    mouseDown(x, y);
    frame();
  };
  auto holdB = [&](double ms) {
    tTimer::instance().advanceMark(keys().getRepeatMark(TKEY_B), -ms);
    frame();
  };
  const struct {
    const char* what;
    std::function<void()> act;
    const char* textA;
    const char* textB;
    bool activeA, activeB;
  } steps[] = {
      {"type while inactive", [&] { type({TKEY_1}); }, "", "x", false, false},
      {"click A's top-left corner", [&] { click(65, 90); }, "", "x", true, false},
      {"1", [&] { type({TKEY_1}); }, "1", "x", true, false},
      {"Shift 1 a", [&] { type({TKEY_1, TKEY_A}, true); }, "1!A", "x", true, false},
      {"keypad 7, a", [&] { type({TKEY_NUM_7, TKEY_A}); }, "1!A7a", "x", true, false},
      {"no characters", [&] { type({TKEY_LEFT, TKEY_F1, TKEY_TAB}); }, "1!A7a", "x", true, false},
      {"Backspace", [&] { type({TKEY_BACKSPACE}); }, "1!A7", "x", true, false},
      {"b goes down", [&] { keys().keyDownEvent(TKEY_B); }, "1!A7", "x", true, false},
      {"b held", [&] { holdB(0); }, "1!A7b", "x", true, false},
      {"b held 401 ms", [&] { holdB(401); }, "1!A7bb", "x", true, false},
      {"b goes up", [&] { keys().keyUpEvent(TKEY_B); }, "1!A7bb", "x", true, false},
      {"click B", [&] { click(300, 110); }, "1!A7bb", "x", false, true},
      {"Return with y", [&] { type({TKEY_Y, TKEY_RETURN}); }, "1!A7bb", "x", false, false},
      {"click B's right edge", [&] { click(335, 100); }, "1!A7bb", "x", false, true},
      {"keypad Enter", [&] { type({TKEY_NUM_ENTER}); }, "1!A7bb", "x", false, false},
      {"click B", [&] { click(300, 100); }, "1!A7bb", "x", false, true},
      {"Backspace", [&] { type({TKEY_BACKSPACE}); }, "1!A7bb", "", false, true},
      {"Backspace on empty", [&] { type({TKEY_BACKSPACE}); }, "1!A7bb", "", false, true},
      {"click between", [&] { click(200, 100); }, "1!A7bb", "", false, false},
  };
  for (const auto& step : steps) {
    step.act();
    EXPECT_EQ(step.textA, a.getText()) << step.what;
    EXPECT_EQ(step.textB, b.getText()) << step.what;
    EXPECT_EQ(step.activeA, a.isActive()) << step.what;
    EXPECT_EQ(step.activeB, b.isActive()) << step.what;
  }
}

// Typing faster than the frames: a click on the field and the keys come
// between two frames, or split by a frame at each "|"; frames then run until
// all is typed. Every character arrives, in order.
TEST(tMenuWidgetsTest, TextEntryKeepsEveryCharacterTypedBetweenFrames) {
  const struct {
    const char* typed;  // as tapChar reads it, "|" for a frame
    const char* text;   // the field's text after all the frames
    bool active;        // the field still takes typing
  } rows[] = {
      {"1000", "1000", true}, {"10|00", "1000", true}, {"1|0|0|0", "1000", true},
      {"12<3", "13", true},   {"aA!a", "aA!a", true},  {"12>34", "12", false},
  };
  for (const auto& row : rows) {
    startInput();
    tTextEntry field;
    auto frame = [&field] {
      field.update(100, 100, 35, 20, 1);
      tInputManager::instance().update();
    };
    mouseDown(100, 100);
    mouseUp();
    std::istringstream parts(row.typed);
    std::string part;
    while (std::getline(parts, part, '|')) {
      for (char c : part) tapChar(c);
      frame();
    }
    for (int i = 0; i < 30; ++i) frame();
    EXPECT_EQ(row.text, field.getText()) << row.typed;
    EXPECT_EQ(row.active, field.isActive()) << row.typed;
  }
}

}  // namespace
