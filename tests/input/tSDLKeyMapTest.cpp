#include <SDL_mouse.h>
#include <gtest/gtest.h>

#include <set>

#include "Shell/tSDLKeyMap.h"
#include "input/tKeyboardHandler.h"

namespace {

TEST(tSDLKeyMapTest, ScancodesMapToKeyCodes) {
  const struct {
    SDL_Scancode scancode;
    TKEYCODE code;
  } rows[] = {
      {SDL_SCANCODE_A, TKEY_A},           {SDL_SCANCODE_Q, TKEY_Q},
      {SDL_SCANCODE_1, TKEY_1},           {SDL_SCANCODE_0, TKEY_0},
      {SDL_SCANCODE_UP, TKEY_UP},         {SDL_SCANCODE_LEFT, TKEY_LEFT},
      {SDL_SCANCODE_KP_0, TKEY_NUM_0},    {SDL_SCANCODE_KP_9, TKEY_NUM_9},
      {SDL_SCANCODE_KP_ENTER, TKEY_NUM_ENTER}, {SDL_SCANCODE_RETURN, TKEY_RETURN},
      {SDL_SCANCODE_SPACE, TKEY_SPACE},   {SDL_SCANCODE_BACKSPACE, TKEY_BACKSPACE},
      {SDL_SCANCODE_LSHIFT, TKEY_SHIFT},  {SDL_SCANCODE_RSHIFT, TKEY_SHIFT},
      {SDL_SCANCODE_LGUI, TKEY_COMMAND},  {SDL_SCANCODE_CAPSLOCK, TKEY_CAPS_LOCK},
      {SDL_SCANCODE_RALT, TKEY_OPTION},   {SDL_SCANCODE_LCTRL, TKEY_CONTROL},
      {SDL_SCANCODE_UNKNOWN, TKEY_NONE},  {SDL_SCANCODE_MUTE, TKEY_NONE},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.code, tSDLKeyMap::lookup(row.scancode)) << row.scancode;

  // Every scancode gives a code of the table or none, and every named key
  // of the table can be typed.
  std::set<int> reached;
  for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
    TKEYCODE code = tSDLKeyMap::lookup(static_cast<SDL_Scancode>(s));
    if (code == TKEY_NONE) continue;
    EXPECT_TRUE(code >= 0 && code < TKEY_COUNT) << s;
    reached.insert(code);
  }
  for (int code = 0; code < TKEY_COUNT; ++code) {
    if (tKeyboardHandler::keycodeToIdentifier(code) == "???") continue;
    EXPECT_EQ(1u, reached.count(code)) << code;
  }
  EXPECT_EQ(5, tKeyboardHandler::isModifierKey(TKEY_SHIFT) + tKeyboardHandler::isModifierKey(55) +
                   tKeyboardHandler::isModifierKey(57) + tKeyboardHandler::isModifierKey(58) +
                   tKeyboardHandler::isModifierKey(59));
  EXPECT_FALSE(tKeyboardHandler::isModifierKey(TKEY_A));

  EXPECT_EQ(1, tSDLKeyMap::platformButton(SDL_BUTTON_LEFT));
  EXPECT_EQ(2, tSDLKeyMap::platformButton(SDL_BUTTON_RIGHT));
  EXPECT_EQ(0, tSDLKeyMap::platformButton(SDL_BUTTON_MIDDLE));
}

}  // namespace
