#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "File/tFileDialogUtils.h"
#include "Shell/tMainApp.h"
#include "expr/tFunction.h"
#include "fractal/tFractal.h"
#include "fractal/tNewtonSolver.h"
#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tTGALoader.h"
#include "scenes/tFracScene.h"
#include "scenes/tSceneTestSupport.h"

// The fractal view driven headless over a run of quadratic.func. At 800 x 600
// the picture covers x 100..700 and y 0..600, so over [-3, 3] x [-3, 3] the
// mouse at (x, y) is the plane point ((x - 400) / 100, (300 - y) / 100).

namespace {

// Newton's method that notes every pixel it starts from as "row,column " and
// can spend a frame's budget at chosen solves.
class tRecordingSolver : public tNewtonSolver {
 public:
  tRecordingSolver() : tNewtonSolver(50, 1.0) {}
  tSolution solve(tFunction* f, const tVector2& start, bool fullPath) const override {
    log_ += std::to_string(static_cast<int>(start[1])) + "," +
            std::to_string(static_cast<int>(start[0])) + " ";
    if (++solves_ % spendEvery_ == 0) tTimer::instance().advanceMark(frameMark_, -2000);
    return tNewtonSolver::solve(f, start, fullPath);
  }

  mutable std::string log_;     // the pixels solved, in order
  mutable int solves_ = 0;      // solves so far
  int spendEvery_ = 1 << 30;    // every this many solves the budget is spent
  unsigned int frameMark_ = 0;  // the scene's frame mark
};

class tFracSceneTest : public testing::Test {
 protected:
  // A picture of side `dimension` over [lo, hi]^2, current and taking input.
  void openView(unsigned int dimension, double lo, double hi) {
    startHeadless();
    tMainApp& app = tMainApp::instance();
    testing::internal::CaptureStdout();
    app.setFunction(new tFunction("quadratic.func"));
    testing::internal::GetCapturedStdout();
    app.setFractal(tFractal::create(dimension, lo, hi, lo, hi));
    solver_ = new tRecordingSolver();
    app.setSolver(solver_);
    scene_ = new tFracScene();
    solver_->frameMark_ = scene_->getFrameMark();
    tSceneManager::instance().setCurrentScene(scene_);
  }
  void TearDown() override { tFileDialogUtils::setStandIn(nullptr); }

  tFractal& fractal() { return *tMainApp::instance().getFractal(); }
  void setBounds(double lo, double hi) {
    fractal().minX_ = fractal().minY_ = lo;
    fractal().maxX_ = fractal().maxY_ = hi;
  }
  std::string bounds() {
    char text[128];
    std::snprintf(text, sizeof text, "[%g, %g] x [%g, %g]", fractal().minX_, fractal().maxX_,
                  fractal().minY_, fractal().maxY_);
    return text;
  }
  // Press at (x0, y0), hold past the double-click time, release at (x1, y1).
  void drag(int x0, int y0, int x1, int y1) {
    tMouseHandler& mouse = tMouseHandler::instance();
    mouse.moveEvent(x0, y0);
    mouse.buttonEvent(1, true);
    runFrame();
    tTimer::instance().advanceMark(scene_->getClickMark(), -300);
    runFrame();
    mouse.moveEvent(x1, y1);
    mouse.buttonEvent(1, false);
    runFrame();
  }

  tRecordingSolver* solver_ = nullptr;  // the run's solver, owned by tMainApp
  tFracScene* scene_ = nullptr;         // the view, owned by the scene manager
};

// Over [0, 4]^2 a 4 x 4 picture starts pixel (row, column) at x = column,
// y = row. The budget is spent at every fifth solve; that pixel is solved
// again first in the next frame.
TEST_F(tFracSceneTest, PixelsInRowMajorOrderAcrossFramesAndTogglesWaitForThePicture) {
  openView(4, 0.0, 4.0);
  solver_->spendEvery_ = 5;
  // t, r and i go down before the first and the last frame.
  tKeyboardHandler& keys = tKeyboardHandler::instance();
  std::string frames;
  for (int frame = 0; frame < 4; ++frame) {
    for (int key : {TKEY_T, TKEY_R, TKEY_I}) {
      if (frame == 0 || frame == 3) keys.keyDownEvent(key);
    }
    runFrame();
    for (int key : {TKEY_T, TKEY_R, TKEY_I}) keys.keyUpEvent(key);
    frames += solver_->log_ + "| " + std::to_string(scene_->getProgress()).substr(0, 5) + " " +
              (scene_->isDone() ? "done " : "") + (scene_->isDimensionDone() ? "measured " : "") +
              (scene_->showsTree() ? "t" : "") + (scene_->showsRoots() ? "r" : "") +
              (scene_->showsInfo() ? "i" : "") + "\n";
    solver_->log_.clear();
  }
  EXPECT_EQ(
      "0,0 0,1 0,2 0,3 1,0 | 0.250 \n"
      "1,0 1,1 1,2 1,3 2,0 | 0.500 \n"
      "2,0 2,1 2,2 2,3 3,0 | 0.750 \n"
      "3,0 3,1 3,2 3,3 | 1.000 done measured i\n",
      frames);
  runFrame();  // the keys go up
  tapKey(TKEY_T);
  tapKey(TKEY_R);
  EXPECT_TRUE(scene_->showsTree() && scene_->showsRoots());
}

TEST_F(tFracSceneTest, KeyZoomDragSquaresAndDoubleClicks) {
  openView(8, -3.0, 3.0);
  tKeyboardHandler::instance().keyDownEvent(TKEY_EQUALS);
  for (int frame = 0; frame < 3; ++frame) runFrame();
  EXPECT_FALSE(scene_->isDone());  // started over
  tKeyboardHandler::instance().keyUpEvent(TKEY_EQUALS);
  EXPECT_NEAR(6.0 * 0.9 * 0.9 * 0.9, fractal().maxX_ - fractal().minX_, 1e-12);
  EXPECT_NEAR(0.0, fractal().maxX_ + fractal().minX_, 1e-12);
  EXPECT_NEAR(fractal().maxX_ - fractal().minX_, fractal().maxY_ - fractal().minY_, 1e-12);

  const struct {
    int x0, y0, x1, y1;  // drag from, to
    const char* bounds;
  } drags[] = {
      {400, 300, 500, 0, "[0, 3] x [0, 3]"},      // (0, 0) to (1, 3)
      {400, 300, 200, 200, "[-2, 0] x [0, 2]"},   // (0, 0) to (-2, 1)
      {400, 300, 400, 300, "[-3, 3] x [-3, 3]"},  // spans nothing
  };
  for (const auto& d : drags) {
    runFrame();  // the picture completes
    setBounds(-3.0, 3.0);
    drag(d.x0, d.y0, d.x1, d.y1);
    EXPECT_EQ(d.bounds, bounds()) << d.x1 << "," << d.y1;
  }

  const struct {
    double apart;  // ms between the clicks
    const char* bounds;
  } clicks[] = {{100, "[-2, 4] x [-2, 4]"}, {300, "[-3, 3] x [-3, 3]"}};
  for (const auto& c : clicks) {
    runFrame();
    setBounds(-3.0, 3.0);
    tapMouse(400, 300);
    tTimer::instance().advanceMark(scene_->getClickMark(), -c.apart);
    tapMouse(500, 200);  // (1, 1)
    EXPECT_EQ(c.bounds, bounds()) << c.apart;
  }
}

// "Write File" asks for a name, appends ".tga" unless the name holds it, and
// writes the picture; it reacts while the buttons are hidden.
TEST_F(tFracSceneTest, WriteFileNamesAndFailures) {
  const tScratchDirectory dir;
  const std::string base = dir.path();
  openView(8, -3.0, 3.0);
  runFrame();
  tapKey(TKEY_I);
  EXPECT_FALSE(scene_->showsInfo());
  std::string answer;
  tFileDialogUtils::setStandIn([&](tFileDialogUtils::TDIALOG_KIND kind, const std::string&) {
    return kind == tFileDialogUtils::TDIALOG_SAVE ? answer : "wrong dialog";
  });
  const struct {
    std::string answer;
    std::string written;  // "" when nothing is
    std::string message;
  } rows[] = {
      {base + "pic", base + "pic.tga", ""},
      {base + "two.tga.old", base + "two.tga.old", ""},
      {"", "", ""},
      {base + "no/such/dir", "", "Cannot write " + base + "no/such/dir.tga"},
  };
  for (const auto& row : rows) {
    answer = row.answer;
    tapMouse(400, 515);
    EXPECT_EQ(row.message, scene_->getMessage()) << row.answer;
    if (row.written.empty()) continue;
    tImage written;
    ASSERT_TRUE(tTGALoader::instance().load(row.written, &written)) << row.written;
    EXPECT_TRUE(imagesEqual(*fractal().image_, written)) << row.written;
  }
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(base)) files += entry.exists();
  EXPECT_EQ(2, files);

  tTestPrefs prefs;
  tapMouse(400, 565);  // "Back to Zirudadazevu"
  EXPECT_EQ("Frac -> Setup Frac", sceneState());
}

}  // namespace
