#ifndef ROOTWEAVER_TESTS_GUI_TXVFBPROGRAM_H
#define ROOTWEAVER_TESTS_GUI_TXVFBPROGRAM_H

// Xlib's macros (None, Bool, Status) would break gtest's templates: include
// this header after gtest.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "File/tFileTestSupport.h"

// The real program in a virtual X server (run by xvfb-run), from a copy of
// the application folder, driven as a user would: its window found by title,
// its content read back as pictures, the pointer and the keyboard faked
// through XTest.
class tXvfbProgram {
 public:
  // The window's content, 8-bit RGB, row 0 at the top; empty when it could
  // not be read.
  struct tShot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // red, green, blue of each pixel, row by row

    // Anything but (near) black.
    static bool isLit(const unsigned char* p) { return p[0] > 40 || p[1] > 40 || p[2] > 40; }
    // Pixels of [x0, x1) x [y0, y1) for which the test holds.
    int countIn(int x0, int y0, int x1, int y1,
                const std::function<bool(const unsigned char*)>& test) const {
      int n = 0;
      for (int y = std::max(0, y0); y < std::min(y1, height); ++y)
        for (int x = std::max(0, x0); x < std::min(x1, width); ++x)
          n += test(&rgb[3 * (y * width + x)]);
      return n;
    }
    int litIn(int x0, int y0, int x1, int y1) const { return countIn(x0, y0, x1, y1, isLit); }
    // Texts and button outlines are white; no colour of a picture is near it.
    int whiteIn(int x0, int y0, int x1, int y1) const {
      return countIn(x0, y0, x1, y1, [](const unsigned char* p) {
        return p[0] > 200 && p[1] > 200 && p[2] > 200;
      });
    }

    // Kept as <build>/screenshots/<name>.ppm for a person to look at.
    void keep(const std::string& name) const {
      std::error_code ignored;
      std::filesystem::create_directories(ROOTWEAVER_SCREENSHOT_DIR, ignored);
      std::ofstream(ROOTWEAVER_SCREENSHOT_DIR "/" + name + ".ppm", std::ios::binary)
          << "P6\n" << width << " " << height << "\n255\n"
          << std::string(rgb.begin(), rgb.end());
    }
  };
  using tScene = std::function<bool(const tShot&)>;  // whether a picture shows a scene

  // Every scene's title stands around (400, 80); the mode-select buttons'
  // bottom edges cross x = 200 and x = 600 at y = 405.
  static bool titleShown(const tShot& s) { return s.litIn(250, 40, 550, 100) > 200; }
  static bool modeSelectShown(const tShot& s) {
    return titleShown(s) && s.litIn(190, 402, 210, 409) >= 20 && s.litIn(590, 402, 610, 409) >= 20;
  }

  // Polls every 50 ms until the condition holds; false when the time is up,
  // which a slow build stretches.
  static bool waitFor(double seconds, const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::duration<double>(seconds * ROOTWEAVER_TEST_SLOWDOWN);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
  }

  // Copies the application folder, with the settings given unless empty,
  // and connects to the server, where a window that goes away while it is
  // read must not end the test.
  explicit tXvfbProgram(const std::string& prefs = "") {
    std::filesystem::copy(ROOTWEAVER_APP_DIR, folder_.path(),
                          std::filesystem::copy_options::recursive);
    if (!prefs.empty()) writeRaw(folder_ / "resources/prefs.txt", prefs);
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    display_ = XOpenDisplay(nullptr);
  }
  ~tXvfbProgram() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  tXvfbProgram(const tXvfbProgram&) = delete;
  tXvfbProgram& operator=(const tXvfbProgram&) = delete;

  // The copy of the application folder, removed after the program.
  const tScratchDirectory& folder() const { return folder_; }

  // Lays the copy out as an installed program: bin/rootweaver beside
  // share/rootweaver/ (its resources, functions and examples), started from
  // the folder work/ with $XDG_CONFIG_HOME the folder config/.
  void install() {
    namespace fs = std::filesystem;
    const std::string data = folder_ / "share/rootweaver/";
    fs::create_directories(folder_ / "bin");
    fs::create_directories(data);
    fs::create_directories(folder_ / "work");
    fs::rename(folder_ / "rootweaver", folder_ / "bin/rootweaver");
    for (const char* own : {"resources", "Shared Functions", "examples"})
      fs::rename(folder_ / own, data + own);
    fs::remove(data + "resources/prefs.txt");
    program_ = "bin/rootweaver";
    workFolder_ = folder_ / "work";
  }

  // Starts the program with no argument, its standard output and error into
  // stdout.txt and stderr.txt of the folder, and waits for its window; false
  // without a server (the tests run under xvfb-run) or a window.
  bool start() {
    if (display_ == nullptr) return false;
    pid_ = fork();
    if (pid_ == 0) {
      std::freopen((folder_ / "stdout.txt").c_str(), "w", stdout);
      std::freopen((folder_ / "stderr.txt").c_str(), "w", stderr);
      if (!workFolder_.empty()) {
        setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
        if (chdir(workFolder_.c_str()) != 0) _exit(127);
      }
      const std::string program = folder_ / program_;
      execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    return waitFor(10, [&] { return (window_ = findWindow()) != 0; });
  }

  XWindowAttributes attributes() const {
    XWindowAttributes a{};
    XGetWindowAttributes(display_, window_, &a);
    return a;
  }

  tShot grab() const {
    tShot s;
    XWindowAttributes a;
    if (!XGetWindowAttributes(display_, window_, &a)) return s;
    XImage* image = XGetImage(display_, window_, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (image == nullptr) return s;
    s.width = a.width;
    s.height = a.height;
    s.rgb.resize(3 * s.width * s.height);
    for (int y = 0; y < s.height; ++y) {
      for (int x = 0; x < s.width; ++x) {
        const unsigned long p = XGetPixel(image, x, y);
        unsigned char* out = &s.rgb[3 * (y * s.width + x)];
        out[0] = (p & image->red_mask) >> __builtin_ctzl(image->red_mask);
        out[1] = (p & image->green_mask) >> __builtin_ctzl(image->green_mask);
        out[2] = (p & image->blue_mask) >> __builtin_ctzl(image->blue_mask);
      }
    }
    XDestroyImage(image);
    return s;
  }

  // Waits up to the time given for a picture that shows the scene, and gives
  // the last picture read; with a name, that picture is kept.
  tShot awaitScene(double seconds, const tScene& scene, const std::string& name = "") const {
    tShot shot;
    waitFor(seconds, [&] { return scene(shot = grab()); });
    if (!name.empty()) shot.keep(name);
    return shot;
  }

  void pressKey(KeySym key) {
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    const KeyCode code = XKeysymToKeycode(display_, key);
    XTestFakeKeyEvent(display_, code, True, 0);
    flushAndPause();
    XTestFakeKeyEvent(display_, code, False, 0);
    XFlush(display_);
  }

  // Gives the window the keyboard, so that keys sent to the server reach it.
  void focus() {
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    flushAndPause();
  }

  // A click of the primary button at (x, y) of the window's content.
  void click(int x, int y) {
    pointAt(x, y);
    XTestFakeButtonEvent(display_, 1, True, 0);
    flushAndPause();
    XTestFakeButtonEvent(display_, 1, False, 0);
    XFlush(display_);
  }

  // One turn of the wheel at (x, y): away from the user (X's button 4) or
  // towards (button 5).
  void turnWheel(int x, int y, bool away) {
    pointAt(x, y);
    XTestFakeButtonEvent(display_, away ? 4 : 5, True, 0);
    XTestFakeButtonEvent(display_, away ? 4 : 5, False, 0);
    XFlush(display_);
  }

  // Clicks until the scene shows, at most four times: a click in a
  // cross-fade is not taken. Gives the last picture read.
  tShot clickUntil(int x, int y, const tScene& scene) {
    tShot shot;
    for (int attempt = 0; attempt < 4 && !scene(shot); ++attempt) {
      click(x, y);
      shot = awaitScene(3, scene);
    }
    return shot;
  }

  // Splash, Space, mode select, then the mode's button (x = 200 or 600)
  // until the setup scene shows, past its fade-in; false when a step fails.
  bool walkToSetup(int buttonX, const tScene& setup) {
    bool shown = titleShown(awaitScene(10, titleShown));
    // A press can be lost while the window takes the focus: at most three.
    for (int attempt = 0; shown && attempt < 3 && !modeSelectShown(grab()); ++attempt) {
      pressKey(XK_space);
      awaitScene(4, modeSelectShown);
    }
    shown = shown && modeSelectShown(grab()) && setup(clickUntil(buttonX, 355, setup));
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    return shown;
  }

  // Closes the window as a user would; the program's exit status, -1 when it
  // does not end in time.
  int close() {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window_, False, NoEventMask, &event);
    XFlush(display_);
    int status = 0;
    if (!waitFor(10, [&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) return -1;
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  void pointAt(int x, int y) {
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    XWarpPointer(display_, 0, window_, 0, 0, 0, 0, x, y);
    flushAndPause();
  }
  void flushAndPause() {
    XFlush(display_);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }

  // The viewable top-level window titled "Rootweaver"; 0 while there is none.
  Window findWindow() const {
    Window root, parent, *children = nullptr, found = 0;
    unsigned int count = 0;
    XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count && found == 0; ++i) {
      char* name = nullptr;
      XWindowAttributes a;
      if (XFetchName(display_, children[i], &name) && std::string(name) == "Rootweaver" &&
          XGetWindowAttributes(display_, children[i], &a) && a.map_state == IsViewable) {
        found = children[i];
      }
      if (name != nullptr) XFree(name);
    }
    if (children != nullptr) XFree(children);
    return found;
  }

  const tScratchDirectory folder_;
  std::string program_ = "rootweaver";  // the program, relative to the folder
  std::string workFolder_;              // the program's working folder; empty: the test's
  Display* display_ = nullptr;          // connection to the virtual server
  Window window_ = 0;                   // the program's window
  pid_t pid_ = 0;                       // the program while it runs
};

#endif
