// The windowed half of tMainApp: start-up, the frame operations and the
// three free functions that the platform window and the process exit call.
// The run it holds is defined with the engine, in Shell/tMainApp.cpp.

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "File/tFileUtils.h"
#include "Shell/tGame.h"
#include "Shell/tGlobalGLContext.h"
#include "Shell/tMainApp.h"
#include "Shell/tScene.h"
#include "Shell/tSceneManager.h"
#include "Shell/tTimer.h"
#include "fractal/tRandom.h"
#include "graphics/tFontManager.h"
#include "graphics/tGLTextureUploader.h"
#include "graphics/tOGLUtils.h"
#include "input/tInputManager.h"
#include "input/tKeyboardHandler.h"
#include "scenes/tSplashScene.h"

namespace {

const int kWindowWidth = 800;
const int kWindowHeight = 600;
const char kTitle[] = "Rootweaver";

// The three free functions: the frame's two callbacks and the exit function.
void drawFrame() { tMainApp::instance().draw(); }

void updateFrame() {
  tMainApp::instance().update();
  tInputManager::instance().update();
}

void releaseAtExit() { tMainApp::instance().release(); }

// One line on standard error saying what failed and SDL's reason; the exit
// status of a program that cannot open its window.
int reportPlatformFailure(const char* what) {
  std::fprintf(stderr, "rootweaver: %s: %s\n", what, SDL_GetError());
  return 1;
}

}  // namespace

tMainApp& tMainApp::instance() {
  static tMainApp* app = new tMainApp();
  return *app;
}

tMainApp::tMainApp() = default;
tMainApp::~tMainApp() = default;

int tMainApp::runWindowed() {
  instance().getSession().getRandom().seed(static_cast<unsigned int>(std::time(nullptr)));
  std::atexit(releaseAtExit);
  tGame& game = tGame::instance();
  game.init(kWindowWidth, kWindowHeight, kTitle);
  tInputManager::instance().init();
  game.setDrawFunc(drawFrame);
  game.setUpdateFunc(updateFrame);
  if (!tGlobalGLContext::instance().createdSuccessfully()) {
    return reportPlatformFailure("cannot create the shared OpenGL context");
  }
  const int x = (static_cast<int>(game.getScreenWidth()) - kWindowWidth) / 2;
  const int y = (static_cast<int>(game.getScreenHeight()) - kWindowHeight) / 2;
  if (!game.createWindowGLContext(x, y, kWindowWidth, kWindowHeight, kTitle)) {
    return reportPlatformFailure("cannot open the window");
  }
  game.setResizeBounds(kWindowWidth, kWindowHeight, kWindowWidth, kWindowHeight);
  game.makeContextCurrent();
  tGLTextureUploader::install();
  instance().init();
  game.run();
  return 0;
}

bool tMainApp::loadFont(const std::string& path, const std::string& name) {
  tFontManager& fonts = tFontManager::instance();
  if (fonts.setCurrentFont(name) || fonts.loadAndSetFont(path, name)) return true;
  std::fprintf(stderr, "rootweaver: cannot load the font picture %s\n", path.c_str());
  return false;
}

void tMainApp::init() {
  frameMark_ = tTimer::instance().setMark();
  loadFont(tFileUtils::getResourceDirectory() + "Daduz.tga", "Daduz");
  // The scene that was current goes first: it may still be reading the run
  // (a view's Wada test), and stops doing so as it goes.
  tSceneManager::instance().setCurrentScene(new tSplashScene());
  setFunction(nullptr);
  setSolver(nullptr);
  setFractal(nullptr);
  tKeyboardHandler::instance().enableRepeat(400, 50);
}

void tMainApp::update() {
  tTimer& timer = tTimer::instance();
  const float dt = static_cast<float>(timer.timeSinceMark(frameMark_));
  timer.resetMark(frameMark_);
  tSceneManager& scenes = tSceneManager::instance();
  scenes.update();
  if (tScene* scene = scenes.getCurrentScene()) scene->update(dt);
  if (tScene* scene = scenes.getDestScene()) scene->update(dt);
}

void tMainApp::draw() {
  const tGame& game = tGame::instance();
  tOGLUtils::setOrthographicProjection(game.getViewWidth(), game.getViewHeight());
  glClear(GL_COLOR_BUFFER_BIT);
  const tSceneManager& scenes = tSceneManager::instance();
  if (tScene* scene = scenes.getCurrentScene()) scene->draw();
  if (tScene* scene = scenes.getDestScene()) scene->draw();
}

void tMainApp::release() {}
