#include "Shell/tGlobalGLContext.h"

namespace {

// Depth buffer sizes in order of preference; a driver that refuses one gets
// the next.
const int kDepthSizes[] = {32, 24, 16};

void setPixelFormat(bool share) {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, share ? 1 : 0);
}

// SDL falls back to drivers that draw nowhere when there is no display; a
// program whose window nobody can see would run on unseen, so they count as
// no display at all.
bool showsWindows(const char* driver) {
  return SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0;
}

}  // namespace

tGlobalGLContext& tGlobalGLContext::instance() {
  static tGlobalGLContext* context = new tGlobalGLContext();
  return *context;
}

tGlobalGLContext::tGlobalGLContext() : window_(nullptr), context_(nullptr), created_(false) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!showsWindows(driver)) {
    SDL_SetError("no display (SDL's video driver is \"%s\")", driver);
    return;
  }
  created_ = openWindowWithContext("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN, false,
                                   &window_, &context_);
}

bool tGlobalGLContext::makeCurrent() const {
  return created_ && SDL_GL_MakeCurrent(window_, context_) == 0;
}

bool tGlobalGLContext::openWindowWithContext(const char* title, int x, int y, int width, int height,
                                             Uint32 flags, bool share, SDL_Window** window,
                                             SDL_GLContext* context) {
  *window = nullptr;
  *context = nullptr;
  setPixelFormat(share);
  for (int depth : kDepthSizes) {
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
    SDL_Window* w = SDL_CreateWindow(title, x, y, width, height, flags);
    if (w == nullptr) continue;
    SDL_GLContext c = SDL_GL_CreateContext(w);
    if (c != nullptr) {
      *window = w;
      *context = c;
      return true;
    }
    SDL_DestroyWindow(w);
  }
  return false;
}
