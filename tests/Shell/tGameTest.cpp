#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "Shell/tGame.h"
#include "Shell/tMainApp.h"
#include "input/tInputManager.h"
#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"

namespace {

SDL_Event keyEvent(Uint32 type, SDL_Scancode scancode, Uint16 mod, Uint8 repeat) {
  SDL_Event event{};
  event.key.type = type;
  event.key.keysym.scancode = scancode;
  event.key.keysym.mod = mod;
  event.key.repeat = repeat;
  return event;
}

SDL_Event windowEvent(Uint8 what) {
  SDL_Event event{};
  event.window.type = SDL_WINDOWEVENT;
  event.window.event = what;
  return event;
}

TEST(tGameTest, EventsReachTheHandlersWithKeyCodesOfTheTableOnly) {
  tInputManager::instance().init();
  tInputManager::instance().update();
  tGame& game = tGame::instance();
  const SDL_Event keys[] = {
      keyEvent(SDL_KEYDOWN, SDL_SCANCODE_A, 0, 0),
      keyEvent(SDL_KEYDOWN, SDL_SCANCODE_A, 0, 1),     // SDL's own repeat
      keyEvent(SDL_KEYDOWN, SDL_SCANCODE_MUTE, 0, 0),  // no entry in the table
      keyEvent(SDL_KEYDOWN, SDL_SCANCODE_RSHIFT, KMOD_RSHIFT | KMOD_CAPS, 0),
      keyEvent(SDL_KEYUP, SDL_SCANCODE_A, KMOD_RSHIFT | KMOD_CAPS, 0),
      keyEvent(SDL_KEYUP, SDL_SCANCODE_MUTE, 0, 0),
  };
  for (const SDL_Event& e : keys) EXPECT_EQ(tGame::TEVENT_CONTINUE, game.handleEvent(e));
  std::string trace;
  tKeyIterator it = tKeyboardHandler::instance().getKeyIterator(0);
  while (it.hasMoreEvents()) {
    const tKeyEvent e = it.getNext();
    trace += (e.down ? "+" : "-") + std::to_string(e.code) + " ";
  }
  EXPECT_EQ("+0 -55 +57 +56 -59 -58 -0 ", trace);

  SDL_Event mouse{};
  mouse.button.type = SDL_MOUSEBUTTONDOWN;
  mouse.button.button = SDL_BUTTON_MIDDLE;  // not a button of the program
  game.handleEvent(mouse);
  mouse.button.button = SDL_BUTTON_RIGHT;
  game.handleEvent(mouse);
  mouse.motion = SDL_MouseMotionEvent{};
  mouse.motion.type = SDL_MOUSEMOTION;
  mouse.motion.x = 120;
  mouse.motion.y = 80;
  game.handleEvent(mouse);
  mouse.wheel = SDL_MouseWheelEvent{};
  mouse.wheel.type = SDL_MOUSEWHEEL;
  mouse.wheel.y = -2;
  game.handleEvent(mouse);
  const tMouseHandler& m = tMouseHandler::instance();
  EXPECT_FALSE(m.buttonDown(TBUTTON_PRIMARY, 0));
  EXPECT_TRUE(m.buttonPressed(TBUTTON_SECONDARY, 0));
  EXPECT_EQ(120, m.getX(0));
  EXPECT_EQ(80, m.getY(0));
  EXPECT_EQ(-2, m.getWheelDelta(0));

  EXPECT_EQ(tGame::TEVENT_CLOSE, game.handleEvent(windowEvent(SDL_WINDOWEVENT_CLOSE)));
  EXPECT_EQ(tGame::TEVENT_CONTINUE, game.handleEvent(windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED)));
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_EQ(tGame::TEVENT_QUIT, game.handleEvent(quit));
}

TEST(tGameDeathTest, AContextThatCannotBeMadeCurrentStopsTheProgram) {
  EXPECT_DEATH(tGame::instance().makeContextCurrent(),
               "Shell/tGame:[0-9]+: failed assertion `SDL_GL_MakeCurrent\\(window_, context_\\) "
               "== 0'\n");
}

TEST(tMainAppTest, AFontPictureThatCannotBeLoadedIsNamedOnStandardError) {
  char dirTemplate[] = "/tmp/rootweaver-font-XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(dirTemplate));
  const std::string dir = dirTemplate;
  std::ofstream(dir + "/Broken.tga") << "not a picture";
  for (const std::string name : {"Missing", "Broken"}) {
    const std::string path = dir + "/" + name + ".tga";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(tMainApp::loadFont(path, name));
    EXPECT_EQ("rootweaver: cannot load the font picture " + path + "\n",
              testing::internal::GetCapturedStderr());
  }
  std::remove((dir + "/Broken.tga").c_str());
  rmdir(dirTemplate);
}

}  // namespace
