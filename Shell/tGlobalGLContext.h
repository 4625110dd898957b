#ifndef ROOTWEAVER_SHELL_TGLOBALGLCONTEXT_H
#define ROOTWEAVER_SHELL_TGLOBALGLCONTEXT_H

#include <SDL.h>

// The hidden OpenGL context that every visible context shares its objects
// with, so that textures (the font, the fractal picture) belong to all of
// them whichever window draws. It lives in a hidden SDL window of its own and
// is made on first use, before any visible window; SDL's video subsystem is
// started here for the same reason. Without a display SDL may fall back to a
// driver that draws nowhere (offscreen, dummy); that counts as no context, so
// the program never runs on unseen.
//
// Both this context and the window's are made by openWindowWithContext, so
// they share one pixel format: an OpenGL 2.1 compatibility context (immediate
// mode), double-buffered, true colour, with the deepest depth buffer the
// driver grants of 32, 24 and 16 bits. No destination alpha is asked for: the
// program never reads it, and on X11 it would pick a translucent visual.
class tGlobalGLContext {
 public:
  static tGlobalGLContext& instance();

  bool createdSuccessfully() const { return created_; }
  // Makes the shared context current, so that the next context made shares
  // with it; false when there is none or SDL refuses.
  bool makeCurrent() const;

  // A window with a context of the program's pixel format, made current;
  // with share set the context shares objects with the context current
  // before. False, with both results null and SDL_GetError() saying why,
  // when no depth size works.
  static bool openWindowWithContext(const char* title, int x, int y, int width, int height,
                                    Uint32 flags, bool share, SDL_Window** window,
                                    SDL_GLContext* context);

 private:
  tGlobalGLContext();
  tGlobalGLContext(const tGlobalGLContext&) = delete;
  tGlobalGLContext& operator=(const tGlobalGLContext&) = delete;

  SDL_Window* window_;     // the hidden window that holds the context; null when none
  SDL_GLContext context_;  // the shared context; null when it could not be made
  bool created_;           // both the window and the context were made
};

#endif
