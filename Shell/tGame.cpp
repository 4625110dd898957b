#include "Shell/tGame.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "Shell/tGlobalGLContext.h"
#include "Shell/tSDLKeyMap.h"
#include "Shell/tTimer.h"
#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"

namespace {

// The shortest time from the start of one frame to the start of the next:
// with vsync the stand-in for a frame timer of 1 ms, as the swap paces the
// frames; without, the interval of a 60 Hz display.
const double kVsyncFrameMs = 1.0;
const double kPacedFrameMs = 1000.0 / 60.0;

[[noreturn]] void failedAssertion(unsigned int line, const char* expression) {
  std::fprintf(stderr, "%s:%u: failed assertion `%s'\n", "Shell/tGame", line, expression);
  std::abort();
}

#define TGAME_ASSERT(expression) \
  ((expression) ? static_cast<void>(0) : failedAssertion(__LINE__, #expression))

void handleKey(const SDL_KeyboardEvent& key) {
  if (key.repeat != 0) return;
  const TKEYCODE code = tSDLKeyMap::lookup(key.keysym.scancode);
  if (code == TKEY_NONE) return;
  tKeyboardHandler& keyboard = tKeyboardHandler::instance();
  if (tKeyboardHandler::isModifierKey(code)) {
    const Uint16 mod = key.keysym.mod;
    keyboard.modifiersChanged((mod & KMOD_GUI) != 0, (mod & KMOD_CAPS) != 0,
                              (mod & KMOD_SHIFT) != 0, (mod & KMOD_CTRL) != 0,
                              (mod & KMOD_ALT) != 0);
  } else if (key.type == SDL_KEYDOWN) {
    keyboard.keyDownEvent(code);
  } else {
    keyboard.keyUpEvent(code);
  }
}

}  // namespace

tGame& tGame::instance() {
  static tGame* game = new tGame();
  return *game;
}

tGame::tGame()
    : windowWidth_(0),
      windowHeight_(0),
      requestedWidth_(0),
      requestedHeight_(0),
      drawFunc_(nullptr),
      updateFunc_(nullptr),
      window_(nullptr),
      context_(nullptr),
      frameMark_(tTimer::instance().setMark()),
      vsync_(false) {}

void tGame::init(unsigned int width, unsigned int height, const std::string& title) {
  requestedWidth_ = width;
  requestedHeight_ = height;
  windowWidth_ = static_cast<int>(width);
  windowHeight_ = static_cast<int>(height);
  title_ = title;
  context_ = nullptr;
  window_ = nullptr;
}

bool tGame::createWindowGLContext(int x, int y, int width, int height, const std::string& title) {
  windowWidth_ = width;
  windowHeight_ = height;
  if (!tGlobalGLContext::instance().makeCurrent()) {
    if (!tGlobalGLContext::instance().createdSuccessfully()) SDL_SetError("no shared context");
    return false;
  }
  if (!tGlobalGLContext::openWindowWithContext(title.c_str(), x, y, width, height,
                                               SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN, true, &window_,
                                               &context_)) {
    return false;
  }
  if (SDL_GL_MakeCurrent(window_, context_) != 0) return false;
  vsync_ = SDL_GL_SetSwapInterval(1) == 0;
  return true;
}

void tGame::setResizeBounds(int minWidth, int minHeight, int maxWidth, int maxHeight) {
  if (window_ == nullptr) return;
  SDL_SetWindowMinimumSize(window_, minWidth, minHeight);
  const bool bounded = maxWidth != 0 && maxHeight != 0;
  if (bounded) SDL_SetWindowMaximumSize(window_, maxWidth, maxHeight);
  const bool roomToResize = !bounded || maxWidth > minWidth || maxHeight > minHeight;
  SDL_SetWindowResizable(window_, roomToResize ? SDL_TRUE : SDL_FALSE);
}

void tGame::makeContextCurrent() { TGAME_ASSERT(SDL_GL_MakeCurrent(window_, context_) == 0); }

void tGame::swapBuffer() { SDL_GL_SwapWindow(window_); }

void tGame::run() {
  makeContextCurrent();
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  swapBuffer();
  while (drainEvents()) processFrame();
}

void tGame::reshapeWindow() {
  makeContextCurrent();
  SDL_GL_GetDrawableSize(window_, &windowWidth_, &windowHeight_);
  glViewport(0, 0, windowWidth_, windowHeight_);
}

unsigned int tGame::getScreenWidth() const {
  SDL_DisplayMode mode;
  return SDL_GetCurrentDisplayMode(0, &mode) == 0 ? static_cast<unsigned int>(mode.w) : 0;
}

unsigned int tGame::getScreenHeight() const {
  SDL_DisplayMode mode;
  return SDL_GetCurrentDisplayMode(0, &mode) == 0 ? static_cast<unsigned int>(mode.h) : 0;
}

tGame::TEVENT_RESULT tGame::handleEvent(const SDL_Event& event) {
  tMouseHandler& mouse = tMouseHandler::instance();
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      handleKey(event.key);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      mouse.buttonEvent(tSDLKeyMap::platformButton(event.button.button),
                        event.type == SDL_MOUSEBUTTONDOWN);
      break;
    case SDL_MOUSEMOTION:
      mouse.moveEvent(event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEWHEEL:
      // Turned away from the user is up, whatever the system's scrolling.
      mouse.wheelEvent(event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y
                                                                       : event.wheel.y);
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) return TEVENT_CLOSE;
      if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && window_ != nullptr) {
        reshapeWindow();
      }
      break;
    case SDL_QUIT:
      return TEVENT_QUIT;
  }
  return TEVENT_CONTINUE;
}

void tGame::processFrame() {
  tTimer::instance().resetMark(frameMark_);
  makeContextCurrent();
  if (updateFunc_ != nullptr) updateFunc_();
  swapBuffer();
  if (drawFunc_ != nullptr) drawFunc_();
}

// A clock set back gives a frame that began in the future: it waits one
// interval, not until the clock catches up.
double tGame::frameWaitMs(double frameMs, bool vsync) {
  const double interval = vsync ? kVsyncFrameMs : kPacedFrameMs;
  return std::clamp(interval - frameMs, 0.0, interval);
}

// Events are handled as they come while the frame's interval runs out, so
// input is recorded at once however long the wait; the next frame starts
// when the interval has passed and nothing more is pending.
bool tGame::drainEvents() {
  tTimer& timer = tTimer::instance();
  SDL_Event event;
  for (;;) {
    const double waitMs = frameWaitMs(timer.timeSinceMark(frameMark_), vsync_);
    const int pending = waitMs > 0.0
                            ? SDL_WaitEventTimeout(&event, static_cast<int>(std::ceil(waitMs)))
                            : SDL_PollEvent(&event);
    if (pending == 0) {
      if (waitMs > 0.0) continue;
      return true;
    }
    const TEVENT_RESULT result = handleEvent(event);
    if (result == TEVENT_CLOSE) std::exit(0);
    if (result == TEVENT_QUIT) return false;
  }
}
