#include <gtest/gtest.h>
// Xlib's macros (None, Bool, Status) would break gtest's templates: after it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// The real program in a virtual X server (run by xvfb-run): the splash scene,
// Space, the mode-select scene, then closing the window. The two screenshots
// are kept in the build's screenshots/ folder for a person to look at.

namespace {

using tClock = std::chrono::steady_clock;

const char* const kProgram = ROOTWEAVER_PROGRAM;
const std::string kShotDir = ROOTWEAVER_SCREENSHOT_DIR;

// The window's content, 8-bit RGB, row 0 at the top; empty when it could
// not be read.
struct tShot {
  int width = 0;                   // pixels per row
  int height = 0;                  // rows
  std::vector<unsigned char> rgb;  // red, green, blue of each pixel, row by row

  // Anything but (near) black; false outside the picture.
  bool lit(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    const unsigned char* p = &rgb[3 * (y * width + x)];
    return p[0] > 40 || p[1] > 40 || p[2] > 40;
  }
  // Lit pixels in [x0, x1) x [y0, y1).
  int litIn(int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += lit(x, y);
    return n;
  }
  // Middle of the leftmost and rightmost lit columns of rows [y0, y1).
  double litCentreX(int y0, int y1) const {
    int lo = width, hi = -1;
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < width; ++x)
        if (lit(x, y)) {
          lo = std::min(lo, x);
          hi = std::max(hi, x);
        }
    return (lo + hi) / 2.0;
  }
};

// What each scene shows, in window pixels: both titles stand around (400, 80);
// the splash's prompt around (400, 520); the mode-select buttons' bottom
// edges cross x = 200 and x = 600 at y = 405; nothing at all between the
// title and the buttons.
bool titleShown(const tShot& s) { return s.litIn(250, 40, 550, 100) > 200; }
bool promptShown(const tShot& s) { return s.litIn(300, 500, 500, 530) > 50; }
bool buttonsShown(const tShot& s) {
  return s.litIn(190, 402, 210, 409) >= 20 && s.litIn(590, 402, 610, 409) >= 20;
}
bool emptyBandBlack(const tShot& s) { return s.litIn(0, 150, 800, 280) == 0; }

void appendBigEndian(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void appendChunk(std::string& png, const char* type, const std::string& data) {
  appendBigEndian(png, static_cast<uint32_t>(data.size()));
  const std::string body = type + data;
  png += body;
  appendBigEndian(png, static_cast<uint32_t>(
                           crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
}

bool writePng(const tShot& s, const std::string& path) {
  std::string raw;
  for (int y = 0; y < s.height; ++y) {
    raw += '\0';
    raw.append(reinterpret_cast<const char*>(&s.rgb[3 * y * s.width]), 3 * s.width);
  }
  uLongf size = compressBound(raw.size());
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(&packed[0]), &size,
                reinterpret_cast<const Bytef*>(raw.data()), raw.size(), 6) != Z_OK) {
    return false;
  }
  packed.resize(size);
  std::string header;
  appendBigEndian(header, s.width);
  appendBigEndian(header, s.height);
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  appendChunk(png, "IHDR", header);
  appendChunk(png, "IDAT", packed);
  appendChunk(png, "IEND", "");
  std::ofstream out(path, std::ios::binary);
  return static_cast<bool>(out << png);
}

// Polls until the condition holds or the time is up.
bool waitFor(double seconds, const std::function<bool()>& condition) {
  const auto end = tClock::now() + std::chrono::duration<double>(seconds);
  while (!condition()) {
    if (tClock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

class tWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    // A window that goes away while it is read must not end the test.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, display_) << "no X display: run under xvfb-run";
    mkdir(kShotDir.c_str(), 0755);
  }
  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (display_ != nullptr) XCloseDisplay(display_);
  }

  void start() {
    pid_ = fork();
    if (pid_ == 0) {
      std::freopen((kShotDir + "/rootweaver-stderr.txt").c_str(), "w", stderr);
      execl(kProgram, kProgram, static_cast<char*>(nullptr));
      _exit(127);
    }
  }

  // The viewable top-level window titled "Rootweaver"; 0 while there is none.
  Window findWindow() {
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

  tShot grab() {
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

  // Waits for the scene and keeps its picture.
  tShot awaitScene(const std::function<bool(const tShot&)>& scene, const std::string& name) {
    tShot shot;
    EXPECT_TRUE(waitFor(10, [&] { return scene(shot = grab()); })) << name << " not shown";
    EXPECT_TRUE(writePng(shot, kShotDir + "/" + name + ".png"));
    return shot;
  }

  void pressSpace() {
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    const KeyCode space = XKeysymToKeycode(display_, XK_space);
    XTestFakeKeyEvent(display_, space, True, 0);
    XFlush(display_);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    XTestFakeKeyEvent(display_, space, False, 0);
    XFlush(display_);
  }

  void closeWindow() {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window_, False, NoEventMask, &event);
    XFlush(display_);
  }

  // The child's exit status; -1 when it does not end in time.
  int awaitExit() {
    int status = 0;
    if (!waitFor(10, [&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) return -1;
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  Display* display_ = nullptr;  // connection to the virtual server
  Window window_ = 0;           // the program's window
  pid_t pid_ = 0;               // the program while it runs
};

TEST_F(tWindowTest, SplashThenSpaceShowsModeSelectAndClosingEndsWithStatus0) {
  start();
  ASSERT_TRUE(waitFor(10, [&] { return (window_ = findWindow()) != 0; }));
  XWindowAttributes a;
  XGetWindowAttributes(display_, window_, &a);
  const Screen* screen = DefaultScreenOfDisplay(display_);
  EXPECT_EQ(800, a.width);
  EXPECT_EQ(600, a.height);
  EXPECT_EQ((screen->width - 800) / 2, a.x);  // centred
  EXPECT_EQ((screen->height - 600) / 2, a.y);

  const tShot splash = awaitScene(
      [](const tShot& s) { return titleShown(s) && promptShown(s) && emptyBandBlack(s); },
      "splash");
  EXPECT_FALSE(buttonsShown(splash));
  EXPECT_NEAR(400.0, splash.litCentreX(40, 100), 3.0);

  // Pressed again should a key press be lost while the window takes the focus.
  bool fading = false;
  for (int attempt = 0; attempt < 3 && !fading; ++attempt) {
    pressSpace();
    fading = waitFor(2, [&] { return !promptShown(grab()); });
  }
  ASSERT_TRUE(fading) << "Space did not start the cross-fade";
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));  // past the cross-fade
  const tShot modes = awaitScene(
      [](const tShot& s) { return titleShown(s) && buttonsShown(s) && emptyBandBlack(s); },
      "modeselect");
  EXPECT_FALSE(promptShown(modes));
  EXPECT_NEAR(400.0, modes.litCentreX(40, 100), 3.0);

  closeWindow();
  EXPECT_EQ(0, awaitExit());
  std::ifstream err(kShotDir + "/rootweaver-stderr.txt");
  std::stringstream text;
  text << err.rdbuf();
  EXPECT_EQ("", text.str());
}

// Without a display the program cannot make its shared context, whichever
// video driver SDL falls back to: it says why in one line and ends with
// status 1.
TEST(tWindowFailureTest, NoDisplayIsReportedInOneLineWithStatus1) {
  const char* const environments[] = {"env -u DISPLAY -u WAYLAND_DISPLAY",
                                      "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11",
                                      "env SDL_VIDEODRIVER=dummy"};
  // A runtime directory, as a desktop session has, keeps SDL's probe of
  // Wayland quiet: the only line is then the program's.
  char runtimeDir[] = "/tmp/rootweaver-runtime-XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(runtimeDir));
  const std::string err = std::string(runtimeDir) + "/stderr.txt";
  for (const char* env : environments) {
    const std::string command = std::string(env) + " XDG_RUNTIME_DIR=" + runtimeDir +
                                " timeout 20 '" + kProgram + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << env;
    std::ifstream in(err);
    std::string line, rest;
    std::getline(in, line);
    EXPECT_FALSE(std::getline(in, rest)) << env;
    const std::string prefix = "rootweaver: cannot create the shared OpenGL context: ";
    EXPECT_EQ(prefix, line.substr(0, prefix.size())) << env;
    EXPECT_GT(line.size(), prefix.size()) << env;
  }
  std::remove(err.c_str());
  rmdir(runtimeDir);
}

}  // namespace
