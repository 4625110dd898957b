#include <SDL_mouse.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Shell/tFrameTestSupport.h"
#include "Shell/tSDLKeyMap.h"
#include "Shell/tTimer.h"
#include "input/tInputManager.h"
#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"

namespace {

// Fresh input with the pointer at the origin.
tKeyboardHandler& freshKeyboard() {
  tInputManager::instance().init();
  tMouseHandler::instance().moveEvent(0, 0);
  tInputManager::instance().update();
  return tKeyboardHandler::instance();
}

// All the mouse tells: "x,y wheel primary secondary", each button as the
// letters D down, P pressed, R released, '-' where false.
std::string mouseState() {
  const tMouseHandler& m = tMouseHandler::instance();
  std::string text = std::to_string(m.getX()) + "," + std::to_string(m.getY()) + " " +
                     std::to_string(m.getWheelDelta());
  for (int b : {TBUTTON_PRIMARY, TBUTTON_SECONDARY}) {
    text += " ";
    text += m.buttonDown(b) ? 'D' : '-';
    text += m.buttonPressed(b) ? 'P' : '-';
    text += m.buttonUnpressed(b) ? 'R' : '-';
  }
  return text;
}

TEST(tMouseHandlerTest, PositionButtonsAndWheel) {
  freshKeyboard();
  tMouseHandler& mouse = tMouseHandler::instance();
  mouse.moveEvent(110, 45);
  mouse.buttonEvent(3, true);  // not buttons of the program
  mouse.buttonEvent(0, true);
  mouse.buttonEvent(1, true);
  mouse.wheelEvent(3);
  mouse.wheelEvent(-2);  // the last turn counts
  EXPECT_EQ("110,45 -2 DP- ---", mouseState());
  tInputManager::instance().update();  // buttons never repeat
  EXPECT_EQ("110,45 0 D-- ---", mouseState());
  mouse.buttonEvent(1, false);
  mouse.buttonEvent(2, true);
  EXPECT_EQ("110,45 0 --R DP-", mouseState());
}

// Frames every 9 ms while a key is held, moving the key's repeat mark back
// instead of waiting; returns the frame times at which keyPressed said true.
// Each frame asks twice, as a scene and a widget might.
std::vector<int> pressedTimes(tKeyboardHandler& kb, int key, int untilMs) {
  std::vector<int> times;
  kb.keyDownEvent(key);
  for (int t = 0; t <= untilMs; t += 9) {
    bool first = kb.keyPressed(key);
    EXPECT_EQ(first, kb.keyPressed(key)) << "at " << t << " ms";
    if (first) times.push_back(t);
    tInputManager::instance().update();
    tTimer::instance().advanceMark(kb.getRepeatMark(key), -9);
  }
  kb.keyUpEvent(key);
  return times;
}

TEST(tKeyboardHandlerTest, RepeatWaitsTheFirstDelayThenTheInterval) {
  tKeyboardHandler& kb = freshKeyboard();  // repeat off
  EXPECT_EQ((std::vector<int>{0}), pressedTimes(kb, TKEY_B, 650));
  kb.enableRepeat(400, 50);
  // True at the press, in the first frame after more than 400 ms, then in
  // the first frame after more than 50 ms since the previous true answer.
  EXPECT_EQ((std::vector<int>{0, 405, 459, 513, 567, 621}), pressedTimes(kb, TKEY_A, 650));
}

// Held keys come first, highest code first, then the frame's events; codes
// outside the table are dropped and answered neutrally, and a key's second
// change waits for the next frame. The modifier events themselves are traced
// by tGameTest.
TEST(tKeyboardHandlerTest, IteratorPutsHeldKeysFirstAndDropsCodesOutsideTheTable) {
  tKeyboardHandler& kb = freshKeyboard();
  kb.modifiersChanged(false, false, true, false, false);  // Shift alone
  kb.keyDownEvent(TKEY_A);
  tInputManager::instance().update();
  kb.keyDownEvent(TKEY_Q);
  kb.keyDownEvent(128);
  kb.keyDownEvent(-1);
  EXPECT_FALSE(kb.keyDown(128) || kb.keyDown(-1) || kb.keyPressed(-5));
  kb.keyDownEvent(TKEY_W);
  kb.keyUpEvent(TKEY_A);
  kb.keyDownEvent(TKEY_A);
  kb.keyUpEvent(TKEY_Q);
  EXPECT_EQ("v56 v12 v13 ^0", eventsOf(kb.getKeyIterator()));
  // Asking again adds the held keys again.
  EXPECT_EQ("v56 v56 v12 v13 ^0", eventsOf(kb.getKeyIterator()));
  tInputManager::instance().update();
  EXPECT_EQ("v56 v13 v0 ^12", eventsOf(kb.getKeyIterator()));
}

// Puts events in, oldest first: "+k" and "-k" the key typing k going down
// and up, "+M" and "-M" the primary button, "@x,y" the pointer moving there.
void sendEvents(const std::string& script) {
  std::istringstream words(script);
  std::string word;
  while (words >> word) {
    int x = 0;
    int y = 0;
    if (std::sscanf(word.c_str(), "@%d,%d", &x, &y) == 2) {
      tMouseHandler::instance().moveEvent(x, y);
    } else if (word[1] == 'M') {
      tMouseHandler::instance().buttonEvent(1, word[0] == '+');
    } else if (word[0] == '+') {
      tKeyboardHandler::instance().keyDownEvent(keyTyping(word[1]));
    } else {
      tKeyboardHandler::instance().keyUpEvent(keyTyping(word[1]));
    }
  }
}

// What the frame sees, written as sendEvents reads it: the pointer where it
// moved to since the previous frame (pointer, which this updates), the
// button pressed or released, then in the iterator's order each key pressed
// ("+k") or released ("-k").
std::string frameSeen(std::string& pointer) {
  const tMouseHandler& mouse = tMouseHandler::instance();
  tKeyboardHandler& kb = tKeyboardHandler::instance();
  std::string seen;
  auto add = [&seen](const std::string& word) { seen += (seen.empty() ? "" : " ") + word; };
  const std::string at = "@" + std::to_string(mouse.getX()) + "," + std::to_string(mouse.getY());
  if (at != pointer) add(pointer = at);
  if (mouse.buttonPressed(TBUTTON_PRIMARY)) add("+M");
  if (mouse.buttonUnpressed(TBUTTON_PRIMARY)) add("-M");
  tKeyIterator it = kb.getKeyIterator();
  for (tKeyEvent e = it.getNext(); e.code != TKEY_NONE; e = it.getNext()) {
    const std::string k(1, tKeyboardHandler::keycodeToPrintable(e.code));
    if (e.down && kb.keyPressed(e.code)) add("+" + k);
    if (!e.down && !kb.keyDown(e.code)) add("-" + k);
  }
  return seen;
}

// However many events come between two frames, each press is seen by one
// frame and its release by a later one, and nothing overtakes: the keys and
// the button keep one order between them. (Taps typed faster than the frames:
// tMenuWidgetsTest.TextEntryKeepsEveryCharacterTypedBetweenFrames.)
TEST(tInputManagerTest, EveryPressIsSeenByOneFrameInOrder) {
  const struct {
    const char* what;
    std::vector<const char*> events;  // put in before each frame
    const char* seen;                 // what each frame sees, "|" between frames
  } rows[] = {
      {"a tap over two frames", {"+1", "-1"}, "+1|-1|"},
      {"a held key is pressed once", {"+1", "", "-1"}, "+1||-1|"},
      {"keys in one frame keep their order", {"+3 +1 +2 -3 -1 -2"}, "+3 +1 +2|-3 -1 -2|"},
      {"released and pressed again in one frame", {"+5", "-5 +5 -5"}, "+5|-5|+5|-5|"},
      {"a click where it was made", {"@10,20 +M -M @30,40"}, "@10,20 +M|@30,40 -M|"},
      {"a double click in one frame", {"+M -M +M -M"}, "+M|-M|+M|-M|"},
      {"a click, then typing", {"+M -M +1 -1"}, "+M|-M +1|-1|"},
  };
  for (const auto& row : rows) {
    freshKeyboard();
    const std::string expected = row.seen;
    const size_t frames = std::count(expected.begin(), expected.end(), '|') + 1;
    std::string seen;
    std::string pointer = "@0,0";
    for (size_t frame = 0; frame < frames; ++frame) {
      if (frame < row.events.size()) sendEvents(row.events[frame]);
      seen += (frame == 0 ? "" : "|") + frameSeen(pointer);
      tInputManager::instance().update();
    }
    EXPECT_EQ(expected, seen) << row.what;
  }
}

// The table's characters, the scancodes that reach it: every key that types
// a character can be typed and no scancode leaves the table.
TEST(tKeyboardHandlerTest, KeyTableAndScancodes) {
  const struct {
    int code;
    char printable;
  } keys[] = {
      {0, 'a'}, {42, '\\'}, {49, ' '}, {65, '.'}, {105, 0}, {10, 0}, {128, 0}, {-1, 0},
  };
  for (const auto& key : keys)
    EXPECT_EQ(key.printable, tKeyboardHandler::keycodeToPrintable(key.code)) << key.code;
  const struct {
    SDL_Scancode scancode;
    TKEYCODE code;
  } scancodes[] = {
      {SDL_SCANCODE_EQUALS, TKEY_EQUALS}, {SDL_SCANCODE_0, TKEY_0},
      {SDL_SCANCODE_KP_0, TKEY_NUM_0},    {SDL_SCANCODE_KP_ENTER, TKEY_NUM_ENTER},
      {SDL_SCANCODE_RSHIFT, TKEY_SHIFT},  {SDL_SCANCODE_LGUI, TKEY_COMMAND},
      {SDL_SCANCODE_UNKNOWN, TKEY_NONE},  {SDL_SCANCODE_MUTE, TKEY_NONE},
  };
  for (const auto& row : scancodes)
    EXPECT_EQ(row.code, tSDLKeyMap::lookup(row.scancode)) << row.scancode;

  std::set<int> reached;
  for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
    TKEYCODE code = tSDLKeyMap::lookup(static_cast<SDL_Scancode>(s));
    EXPECT_TRUE(code == TKEY_NONE || (code >= 0 && code < TKEY_COUNT)) << s;
    reached.insert(code);
  }
  int typing = 0;
  for (int code = 0; code < TKEY_COUNT; ++code) {
    if (tKeyboardHandler::keycodeToPrintable(code) == 0) continue;
    ++typing;
    EXPECT_EQ(1u, reached.count(code)) << code;
  }
  EXPECT_EQ(64, typing);  // the whole table

  EXPECT_EQ(1, tSDLKeyMap::platformButton(SDL_BUTTON_LEFT));
  EXPECT_EQ(2, tSDLKeyMap::platformButton(SDL_BUTTON_RIGHT));
  EXPECT_EQ(0, tSDLKeyMap::platformButton(SDL_BUTTON_MIDDLE));
}

}  // namespace
