#ifndef ROOTWEAVER_SHELL_TGAME_H
#define ROOTWEAVER_SHELL_TGAME_H

#include <SDL.h>

#include <string>

// The program's one contact with the windowing platform, here SDL2: the
// window and its OpenGL context (sharing objects with tGlobalGLContext), the
// events, and the frame loop that calls the application's two per-frame
// callbacks.
//
// A frame is always: make the context current, update, swap, draw. So a
// frame's drawing goes to the back buffer after the swap and is shown by the
// next frame's swap. Between frames the loop drains SDL's event queue,
// handing keyboard and mouse events to the input handlers, which only record
// them for the frames to read: the next frame, or a later one when a key or
// button changes more than once before it. When SDL grants vsync the buffer
// swap waits for the display, and frames follow each other at least 1 ms
// apart.
// Without vsync (virtual and some remote displays) nothing would hold the
// loop back, so frames are paced to about 60 a second: the loop handles
// events as they come until 1000/60 ms have passed since the frame began.
// The application measures its frame time; nothing here assumes one.
//
// Closing the window ends the process at once with status 0 through exit(),
// so the functions registered with atexit run; a quit request from the
// system (SDL_QUIT) ends the loop and run() returns.
class tGame {
 public:
  // A per-frame callback.
  using tFrameFunc = void (*)();

  // What an event asks of the loop.
  enum TEVENT_RESULT {
    TEVENT_CONTINUE,  // go on
    TEVENT_CLOSE,     // the window was closed: end the process
    TEVENT_QUIT       // the system asks the program to quit: end the loop
  };

  static tGame& instance();

  // Stores the requested size and the title. Until a window exists the view
  // is the requested size, so that scenes can lay themselves out headless.
  void init(unsigned int width, unsigned int height, const std::string& title);
  // Opens the visible window at (x, y) with its content of width x height
  // and a context sharing with tGlobalGLContext, made current; false (SDL
  // says why) when either cannot be made.
  bool createWindowGLContext(int x, int y, int width, int height, const std::string& title);
  // Only with a window. A maximum of 0 leaves the size unbounded above; the
  // window can be resized only when the bounds leave room to.
  void setResizeBounds(int minWidth, int minHeight, int maxWidth, int maxHeight);
  // Stops the program with the assertion message naming Shell/tGame when
  // SDL cannot make the context current.
  void makeContextCurrent();
  void swapBuffer();
  // Clears the window to black, then runs frames until a quit request.
  void run();
  // Re-reads the size of the window's drawable into the view size and the
  // GL viewport.
  void reshapeWindow();

  // The main display's current mode; 0 when SDL cannot tell.
  unsigned int getScreenWidth() const;
  unsigned int getScreenHeight() const;
  int getViewWidth() const { return windowWidth_; }
  int getViewHeight() const { return windowHeight_; }
  void setDrawFunc(tFrameFunc f) { drawFunc_ = f; }
  void setUpdateFunc(tFrameFunc f) { updateFunc_ = f; }

  // Hands one event to the input handlers or acts on the window. Key codes
  // without an entry in the key table and SDL's own key repeats are dropped
  // here, so the handlers only ever see codes of the table.
  TEVENT_RESULT handleEvent(const SDL_Event& event);
  // One frame: make current, update, swap, draw.
  void processFrame();
  // How long the loop waits for events before the next frame, in ms, when
  // the frame began frameMs ago: the rest of the frame's interval, which is
  // 1 ms with vsync and 1000/60 ms without; 0 when it has passed, and never
  // more than the interval.
  static double frameWaitMs(double frameMs, bool vsync);

 private:
  tGame();
  tGame(const tGame&) = delete;
  tGame& operator=(const tGame&) = delete;

  // Handles every pending event; false when the loop is to end.
  bool drainEvents();

  int windowWidth_;  // pixel size of the view: the window's drawable
  int windowHeight_;
  std::string title_;            // window title, given to init
  unsigned int requestedWidth_;  // window size given to init
  unsigned int requestedHeight_;
  tFrameFunc drawFunc_;     // draws a frame; may be null
  tFrameFunc updateFunc_;   // updates a frame; may be null
  SDL_Window* window_;      // the visible window; null when there is none
  SDL_GLContext context_;   // the window's context; null when there is none
  unsigned int frameMark_;  // tTimer mark of the start of the last frame
  bool vsync_;              // SDL granted a swap that waits for the display
};

#endif
