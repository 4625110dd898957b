#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "File/tFileTestSupport.h"
#include "Shell/tFrameTestSupport.h"
#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"

namespace {

SDL_Event event(Uint32 type) {
  SDL_Event e{};
  e.type = type;
  return e;
}

TEST(tGameTest, EventsReachTheHandlersWithKeyCodesOfTheTableOnly) {
  tInputManager::instance().init();
  tInputManager::instance().update();
  tGame& game = tGame::instance();
  auto key = [&game](Uint32 type, SDL_Scancode scancode, Uint16 mod, Uint8 repeat) {
    SDL_Event e = event(type);
    e.key.keysym.scancode = scancode;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat;
    EXPECT_EQ(tGame::TEVENT_CONTINUE, game.handleEvent(e));
  };
  key(SDL_KEYDOWN, SDL_SCANCODE_A, 0, 0);
  key(SDL_KEYDOWN, SDL_SCANCODE_A, 0, 1);     // SDL's own repeat
  key(SDL_KEYDOWN, SDL_SCANCODE_MUTE, 0, 0);  // no entry in the table
  key(SDL_KEYDOWN, SDL_SCANCODE_RSHIFT, KMOD_RSHIFT | KMOD_CAPS, 0);
  key(SDL_KEYUP, SDL_SCANCODE_A, KMOD_RSHIFT | KMOD_CAPS, 0);
  key(SDL_KEYUP, SDL_SCANCODE_MUTE, 0, 0);
  tKeyboardHandler& keys = tKeyboardHandler::instance();
  EXPECT_EQ("v0 ^55 v57 v56 ^59 ^58", eventsOf(keys.getKeyIterator()));
  tInputManager::instance().update();  // A's release, its second change, comes now
  EXPECT_EQ("v57 v56 ^0", eventsOf(keys.getKeyIterator()));

  // Clicks are driven through the window by the gui tests; the wheel is not.
  SDL_Event e = event(SDL_MOUSEWHEEL);
  e.wheel.y = -2;
  game.handleEvent(e);
  EXPECT_EQ(-2, tMouseHandler::instance().getWheelDelta());
  e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;  // the same turn, reported reversed
  game.handleEvent(e);
  EXPECT_EQ(2, tMouseHandler::instance().getWheelDelta());

  e = event(SDL_WINDOWEVENT);
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  EXPECT_EQ(tGame::TEVENT_CLOSE, game.handleEvent(e));
  e.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
  EXPECT_EQ(tGame::TEVENT_CONTINUE, game.handleEvent(e));
  EXPECT_EQ(tGame::TEVENT_QUIT, game.handleEvent(event(SDL_QUIT)));
}

// Without vsync a frame is followed by what is left of 1000/60 ms; with it,
// by what is left of 1 ms, as the swap already waits for the display.
TEST(tGameTest, FramesWithoutVsyncArePacedToSixtyASecond) {
  const double paced = 1000.0 / 60.0;
  const struct {
    double frameMs;
    bool vsync;
    double waitMs;
  } rows[] = {
      {0.0, false, paced},  {10.0, false, paced - 10.0}, {paced, false, 0.0},
      {40.0, false, 0.0},   {-3.6e6, false, paced},      {0.25, true, 0.75},
      {1.0, true, 0.0},     {16.0, true, 0.0},           {-3.6e6, true, 1.0},
  };
  for (const auto& row : rows) {
    EXPECT_DOUBLE_EQ(row.waitMs, tGame::frameWaitMs(row.frameMs, row.vsync))
        << row.frameMs << (row.vsync ? " with vsync" : "");
  }
}

TEST(tGameDeathTest, AContextThatCannotBeMadeCurrentStopsTheProgram) {
  EXPECT_DEATH(tGame::instance().makeContextCurrent(),
               "Shell/tGame:[0-9]+: failed assertion `SDL_GL_MakeCurrent\\(window_, context_\\) "
               "== 0'\n");
}

TEST(tMainAppTest, AFontPictureThatCannotBeLoadedIsNamedOnStandardError) {
  tScratchDirectory dir;
  writeRaw(dir / "Broken.tga", "not a picture");
  for (const std::string name : {"Missing", "Broken"}) {
    const std::string path = dir / (name + ".tga");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(tMainApp::loadFont(path, name));
    EXPECT_EQ("rootweaver: cannot load the font picture " + path + "\n",
              testing::internal::GetCapturedStderr());
  }
}

std::string probeLog;  // what the probe scenes saw, one line per update or deletion

// Follows the protocol and logs its alpha and whether it took input.
class tProbeScene : public tScene {
 public:
  explicit tProbeScene(const std::string& name) : tScene(name) {}
  ~tProbeScene() override { probeLog += name_ + " deleted\n"; }
  void draw() override {}
  void update(double) override {
    const bool input = followTransition();
    char line[64];
    std::snprintf(line, sizeof line, "%s %.3f%s\n", name_.c_str(), alpha_, input ? " input" : "");
    probeLog += line;
  }
};

TEST(tSceneManagerTest, CrossFadeAlphasAndHandOver) {
  startHeadless();
  tSceneManager& scenes = tSceneManager::instance();
  scenes.setCurrentScene(new tProbeScene("A"));
  probeLog.clear();
  runFrame();
  scenes.beginTransition(new tProbeScene("B"), 1000.0f);
  scenes.beginTransition(new tProbeScene("C"), 1000.0f);  // refused while B's runs
  for (const std::string t : {"250", "750", "1000", "1000.5"}) {
    setTransitionTime(std::stod(t));
    probeLog += "t " + t + "\n";
    runFrame();
  }
  EXPECT_EQ(
      "A 1.000 input\n"
      "C deleted\n"
      "t 250\nA 0.500\nB -1.000\n"
      "t 750\nA -1.000\nB 0.500\n"
      "t 1000\nA -1.000\nB 1.000\n"
      "t 1000.5\nA deleted\nB 1.000 input\n",
      probeLog);
  EXPECT_EQ("B", sceneState());
  scenes.setCurrentScene(nullptr);
}

}  // namespace

TEST(tSceneTest, MouseInRectIncludesItsEdges) {
  const struct {
    int x, y;
    bool inside;
  } rows[] = {{100, 50, true}, {90, 45, true},   {110, 55, true},  {90, 55, true},
              {89, 50, false}, {111, 50, false}, {100, 44, false}, {100, 56, false}};
  tProbeScene scene("probe");
  for (const auto& row : rows) {
    tMouseHandler::instance().moveEvent(row.x, row.y);
    EXPECT_EQ(row.inside, scene.mouseInRect(100.0f, 50.0f, 10.0f, 5.0f)) << row.x << "," << row.y;
  }
}
