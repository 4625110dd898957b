#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "File/tFileDialogUtils.h"
#include "Shell/tMainApp.h"
#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMProgress.h"
#include "blam/tBLAMScript.h"
#include "expr/tFunction.h"
#include "fractal/tBasinStatistics.h"
#include "fractal/tFractal.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tPalette.h"
#include "fractal/tRandom.h"
#include "fractal/tRootManager.h"
#include "fractal/tSpeedShading.h"
#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"
#include "lexer/tStringUtils.h"
#include "scenes/tFracScene.h"
#include "scenes/tSceneTestSupport.h"
#include "scenes/tSetupFracScene.h"

// The fractal view driven headless over a run of quadratic.func. At 800 x 600
// the picture covers x 100..700 and y 0..600, so over [-3, 3] x [-3, 3] the
// mouse at (x, y) is the plane point ((x - 400) / 100, (300 - y) / 100).

namespace {

// Newton's method that can be made slow, to keep a picture in flight.
class tSlowSolver : public tNewtonSolver {
 public:
  tSlowSolver() : tNewtonSolver(50, 1.0) {}
  LANE_EVENT advanceLane(tLane& lane, const tVector2& fx, const tMatrix2& m,
                         bool fullPath) const override {
    if (slow_) std::this_thread::sleep_for(std::chrono::microseconds(200));
    return tNewtonSolver::advanceLane(lane, fx, m, fullPath);
  }
  // Its lanes are advanced one at a time, through the sleep above.
  bool getPacketScheme(tPacketStep::SCHEME&) const override { return false; }

  std::atomic<bool> slow_{false};  // each step of a lane sleeps
};

class tFracSceneTest : public testing::Test {
 protected:
  // A picture of side `dimension` over [lo, hi]^2, current and taking input.
  void openView(unsigned int dimension, double lo, double hi,
                const std::string& function = "quadratic.func", bool randomColors = false,
                std::optional<unsigned int> seed = std::nullopt) {
    startHeadless();
    tMainApp& app = tMainApp::instance();
    testing::internal::CaptureStdout();
    app.setFunction(new tFunction(function));
    testing::internal::GetCapturedStdout();
    app.setFractal(
        tFractal::create(dimension, lo, hi, lo, hi, app.getSession().getPictureContext()));
    tMainApp::instance().getSession().getRoots().useRandomColors(randomColors);
    app.setSolver(solver_ = new tSlowSolver());
    tSceneManager::instance().setCurrentScene(scene_ = new tFracScene(seed));
  }
  void TearDown() override {
    tFileDialogUtils::setStandIn(nullptr);
    tTexture::setUploader(nullptr);
  }

  tFractal& fractal() { return *tMainApp::instance().getFractal(); }
  void setBounds(double lo, double hi) { fractal().setBounds(lo, hi, lo, hi); }
  std::string bounds() {
    char text[128];
    std::snprintf(text, sizeof text, "[%g, %g] x [%g, %g]", fractal().getMinX(),
                  fractal().getMaxX(), fractal().getMinY(), fractal().getMaxY());
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

  // Frames until the picture is complete and measured.
  void finishPicture() { ASSERT_TRUE(framesUntil([&] { return scene_->isDimensionDone(); })); }
  // The view's bounds computed one pixel after the other, colours from the
  // registry as it stands.
  std::unique_ptr<tFractal> oneByOne() {
    const unsigned int side = fractal().getImage()->getWidth();
    std::unique_ptr<tFractal> expected(
        tFractal::create(side, fractal().getMinX(), fractal().getMaxX(), fractal().getMinY(),
                         fractal().getMaxY(), fractal().getContext()));
    for (unsigned r = 0; r < side; ++r)
      for (unsigned c = 0; c < side; ++c)
        expected->computate(tMainApp::instance().getFunction(), solver_, r, c);
    return expected;
  }
  // The plane point under view pixel (x, y).
  std::pair<double, double> planePoint(int x, int y) {
    return {fractal().getMinX() + (fractal().getMaxX() - fractal().getMinX()) * (x - 100) / 600.0,
            fractal().getMaxY() - (fractal().getMaxY() - fractal().getMinY()) * (y - 0) / 600.0};
  }
  void turnWheel(int x, int y, int turns) {
    tMouseHandler::instance().moveEvent(x, y);
    tMouseHandler::instance().wheelEvent(turns);
    runFrame();
  }

  tSlowSolver* solver_ = nullptr;  // the run's solver, owned by tMainApp
  tFracScene* scene_ = nullptr;    // the view, owned by the scene manager
};

// Keys go down together for one frame and up again.
void pressTogether(std::initializer_list<int> codes) {
  for (int key : codes) tKeyboardHandler::instance().keyDownEvent(key);
  runFrame();
  for (int key : codes) tKeyboardHandler::instance().keyUpEvent(key);
}

// The picture grows in the background to the one-by-one row-major picture;
// "t", "r", "i" and "h" wait for it. "h" then shows it shaded by convergence
// speed, and flat again; shading stays on for the next complete picture.
TEST_F(tFracSceneTest, PictureGrowsInTheBackgroundAndTogglesWaitForIt) {
  openView(64, -3.0, 3.0);
  solver_->slow_ = true;
  pressTogether({TKEY_T, TKEY_R, TKEY_I, TKEY_H});
  EXPECT_FALSE(scene_->showsTree() || scene_->showsRoots() || scene_->showsInfo() ||
               scene_->showsShading());
  solver_->slow_ = false;
  finishPicture();
  EXPECT_TRUE(scene_->isDone());
  EXPECT_FALSE(scene_->isComputing());
  tMainApp::instance().getSession().getRoots().clearRoots();
  EXPECT_TRUE(imagesEqual(*oneByOne()->getImage(), *fractal().getImage()));
  tapKey(TKEY_T);
  tapKey(TKEY_R);
  EXPECT_TRUE(scene_->showsTree() && scene_->showsRoots());

  const tImage flat = *fractal().getImage();
  tImage shaded = flat;
  tSpeedShading::shade(&shaded, fractal().getBasinLabels());
  ASSERT_FALSE(imagesEqual(flat, shaded));
  tapKey(TKEY_H);
  EXPECT_TRUE(scene_->showsShading());
  EXPECT_TRUE(imagesEqual(shaded, *fractal().getImage()));
  tapKey(TKEY_H);
  EXPECT_TRUE(imagesEqual(flat, *fractal().getImage()));
  tapKey(TKEY_H);
  tapKey(TKEY_EQUALS);
  finishPicture();
  EXPECT_TRUE(scene_->showsShading());
  tImage expected = *oneByOne()->getImage();
  tSpeedShading::shade(&expected, fractal().getBasinLabels());
  EXPECT_TRUE(imagesEqual(expected, *fractal().getImage()));
}

// "s" shows the measures of the complete picture, which the view takes from
// its labels; a zoom drops them, and the labels start over with the picture.
// With three basins the panel reads the grid Wada test, which runs beside the
// view: "testing" first, then the verdict with the share of boxes that showed
// every basin; a zoom starts it over with the new picture.
TEST_F(tFracSceneTest, StatisticsPanelShowsTheCompletePicturesMeasuresAndWadaVerdict) {
  openView(64, -3.0, 3.0);
  pressTogether({TKEY_S});
  EXPECT_FALSE(scene_->showsStatistics());
  finishPicture();
  tapKey(TKEY_S);
  ASSERT_TRUE(scene_->showsStatistics());
  ASSERT_NE(nullptr, scene_->getStatistics());
  const std::vector<std::pair<std::string, int>> lines = {
      {"(-1.0000, 0.0000)  50.00%", 0},
      {"(1.0000, 0.0000)  48.44%", 1},
      {"no convergence 1.54%, singular 0.02%", -1},
      // The boundary is straight, though the column of failures on it puts
      // three outcomes in its boxes.
      {"S_b 0.0886   S_bb 1.0633  > ln 2, but dimension 1", -1},
      {"box dimension 1.0000 +- 0.0000", -1},
      {"uncertainty exponent 0.7925 +- 0.0321", -1},
      {"Wada: fewer than three basins", -1}};
  EXPECT_EQ(lines, scene_->getStatisticsLines());

  // Into the right half-plane, whose only root is the registry's second.
  drag(650, 250, 690, 290);
  EXPECT_EQ(nullptr, scene_->getStatistics());
  finishPicture();
  EXPECT_EQ(oneByOne()->getBasinLabels().getLabels(), fractal().getBasinLabels().getLabels());
  ASSERT_EQ(1u, scene_->getStatistics()->getBasins().size());
  EXPECT_EQ(1u, scene_->getStatistics()->getBasins()[0].registryIndex);

  openView(64, -2.0, 2.0, "cubic.func");
  finishPicture();
  tapKey(TKEY_S);
  auto wadaLine = [&] { return scene_->getStatisticsLines().back().first; };
  for (const char* verdict : {"Wada: yes (W_3 = 1.000 of ", "Wada: yes (W_3 = "}) {
    EXPECT_TRUE(framesUntil([&] { return wadaLine().find(verdict) == 0; })) << wadaLine();
    tapKey(TKEY_EQUALS);
    finishPicture();
  }
}

// A zoom shows the old picture resampled at once: zooming out by a tenth,
// the 6-wide picture takes the middle 58 of 64 pixels, black around it. Then
// the whole new picture shows coarse and sharpens: the top row, which the
// resampling leaves black and the row-major painting reaches last, shows
// within a few frames, in blocks, long before the picture is done. The wheel
// zooms by a tenth about the point under the pointer, which keeps its place
// and colour; over the margin it does nothing. A zoom or "Back" while the
// picture grows stops the work in flight.
TEST_F(tFracSceneTest, ZoomsShowTheOldPictureThenCoarseAndZoomOrBackCancelTheWorkInFlight) {
  tTestPrefs prefs;
  openView(64, -3.0, 3.0);
  finishPicture();
  const tImage before = *fractal().getImage();
  tRecordingUploader shown;  // its last picture is what the view shows
  tTexture::setUploader(&shown);
  solver_->slow_ = true;
  tapKey(TKEY_MINUS);
  EXPECT_EQ("[-3.3, 3.3] x [-3.3, 3.3]", bounds());
  EXPECT_TRUE(scene_->isComputing());
  // The computation starts again from row 0; the upper rows are the preview.
  const tImage& preview = *fractal().getImage();
  for (unsigned int c = 0; c < 64; ++c) {
    EXPECT_EQ(tPixel(0, 0, 0, 255), preview(63, c)) << c;
    EXPECT_EQ(tPixel(0, 0, 0, 255), preview(61, c)) << c;
  }
  EXPECT_EQ(tPixel(0, 0, 0, 255), preview(40, 2));
  EXPECT_EQ(before(52, 32), preview(50, 32));  // y = 1.908 lay in old row 52
  EXPECT_EQ(before(60, 61), preview(57, 58));
  EXPECT_EQ(before(32, 32), preview(32, 32));
  ASSERT_TRUE(framesUntil([&] {
    for (unsigned int c = 0; c < 64; ++c)
      if (shown.last_(63, c) == tPixel(0, 0, 0, 255)) return false;
    return true;
  }));
  EXPECT_LT(scene_->getProgress(), 0.25);  // the coarse passes solve a quarter of the pixels
  for (unsigned int c = 0; c < 64; ++c) {
    EXPECT_EQ(shown.last_(62, c & ~1u), shown.last_(63, c)) << c;
  }
  solver_->slow_ = false;
  finishPicture();
  const tImage whole = *fractal().getImage();
  EXPECT_TRUE(imagesEqual(*oneByOne()->getImage(), whole));  // nothing of the preview is left
  EXPECT_TRUE(imagesEqual(whole, shown.last_));

  solver_->slow_ = true;
  const std::pair<double, double> point = planePoint(250, 150);
  const double width = fractal().getMaxX() - fractal().getMinX();
  turnWheel(250, 150, 1);
  EXPECT_NEAR(0.9 * width, fractal().getMaxX() - fractal().getMinX(), 1e-12);
  EXPECT_NEAR(0.9 * width, fractal().getMaxY() - fractal().getMinY(), 1e-12);
  EXPECT_NEAR(point.first, planePoint(250, 150).first, 1e-12);
  EXPECT_NEAR(point.second, planePoint(250, 150).second, 1e-12);
  EXPECT_EQ(whole(48, 16), fractal().getPixel(48, 16));  // the pixel under the pointer
  runFrame();
  ASSERT_TRUE(scene_->isComputing());
  turnWheel(250, 150, -2);
  runFrame();
  EXPECT_TRUE(scene_->isComputing());  // started over
  EXPECT_NEAR(0.9 * 1.1 * 1.1 * width, fractal().getMaxX() - fractal().getMinX(), 1e-12);
  EXPECT_NEAR(point.first, planePoint(250, 150).first, 1e-12);
  const std::string unchanged = bounds();
  turnWheel(50, 150, 1);
  EXPECT_EQ(unchanged, bounds());
  tapMouse(400, 565);  // "Back to Zirudadazevu"
  EXPECT_FALSE(scene_->isComputing());
  EXPECT_EQ("Frac -> Setup Frac", sceneState());
}

// Every picture of the view starts its random sequence from the view's
// seed, shown while random colours are on: two views with the same seed
// paint z^4 - 1's roots in the same random colours, another seed in others.
TEST_F(tFracSceneTest, ViewsWithOneSeedDrawTheSameRandomColours) {
  std::vector<tImage> pictures;
  for (unsigned int seed : {11u, 11u, 12u}) {
    openView(16, -2.0, 2.0, "quartic.func", true, seed);
    finishPicture();
    EXPECT_EQ("Seed: " + std::to_string(seed), scene_->getSeedLine());
    pictures.push_back(*fractal().getImage());
  }
  EXPECT_TRUE(imagesEqual(pictures[0], pictures[1]));
  EXPECT_FALSE(imagesEqual(pictures[0], pictures[2]));
  openView(16, -2.0, 2.0);
  EXPECT_EQ("", scene_->getSeedLine());  // preset colours, no jitter
  EXPECT_LE(scene_->getSeed(), tRandom::MAX_SEED);  // from the clock
  // A named palette draws no colour at random, whatever the option says.
  tRootManager& roots = tMainApp::instance().getSession().getRoots();
  openView(16, -2.0, 2.0, "quartic.func", true, 11u);
  roots.usePalette(*tPalette::find("okabe-ito"));
  finishPicture();
  EXPECT_EQ("", scene_->getSeedLine());
  roots.usePalette(tPalette::classic());
}

TEST_F(tFracSceneTest, KeyZoomDragSquaresAndDoubleClicks) {
  openView(8, -3.0, 3.0);
  tKeyboardHandler::instance().keyDownEvent(TKEY_EQUALS);
  for (int frame = 0; frame < 3; ++frame) runFrame();
  EXPECT_FALSE(scene_->isDone());  // started over
  tKeyboardHandler::instance().keyUpEvent(TKEY_EQUALS);
  EXPECT_NEAR(6.0 * 0.9 * 0.9 * 0.9, fractal().getMaxX() - fractal().getMinX(), 1e-12);
  EXPECT_NEAR(0.0, fractal().getMaxX() + fractal().getMinX(), 1e-12);
  EXPECT_NEAR(fractal().getMaxX() - fractal().getMinX(), fractal().getMaxY() - fractal().getMinY(),
              1e-12);

  // From the plane's origin, a drag to (x, y), or a second click there.
  const struct {
    int x, y;
    double apart;  // ms between the clicks; -1: a drag
    const char* bounds;
  } rows[] = {
      {500, 0, -1, "[0, 3] x [0, 3]"},       // to (1, 3)
      {200, 200, -1, "[-2, 0] x [0, 2]"},    // to (-2, 1)
      {400, 300, -1, "[-3, 3] x [-3, 3]"},   // spans nothing
      {500, 200, 100, "[-2, 4] x [-2, 4]"},  // a double click at (1, 1)
      {500, 200, 300, "[-3, 3] x [-3, 3]"},  // two single clicks
  };
  for (const auto& row : rows) {
    finishPicture();
    setBounds(-3.0, 3.0);
    if (row.apart < 0) {
      drag(400, 300, row.x, row.y);
    } else {
      tapMouse(400, 300);
      tTimer::instance().advanceMark(scene_->getClickMark(), -row.apart);
      tapMouse(row.x, row.y);
    }
    EXPECT_EQ(row.bounds, bounds()) << row.x << "," << row.y << " " << row.apart;
  }
}

// While the picture grows, the line where the dimension will be gives the
// share computed, which never goes back; then it gives the dimension, in
// words when there is no boundary to measure (near the root (1, 0), every
// pixel reaches it).
TEST_F(tFracSceneTest, InfoLineShowsProgressThenTheDimension) {
  const struct {
    double lo, hi;
    const char* dimension;
  } rows[] = {
      {-3.0, 3.2, "Fractal Dimension: 1.000000"},
      {0.5, 1.5, "Fractal Dimension: no boundary at this scale"},
  };
  for (const auto& row : rows) {
    openView(64, row.lo, row.hi);
    solver_->slow_ = true;
    int linesSeen = 0;
    double seen = 0.0;
    ASSERT_TRUE(framesUntil([&] {
      // The share may grow while the line is made: it lies between two readings.
      const double before = scene_->getProgress();
      const std::string line = scene_->getInfoLine();
      const double after = scene_->getProgress();
      EXPECT_LE(seen, before);  // never back
      seen = after;
      if (!scene_->isDone()) {
        int percent = -1;
        EXPECT_EQ(1, std::sscanf(line.c_str(), "Computing: %d%%", &percent)) << line;
        EXPECT_LE(static_cast<int>(before * 100.0), percent);
        EXPECT_GE(static_cast<int>(after * 100.0), percent);
        linesSeen += percent > 0;
        solver_->slow_ = linesSeen < 2;
      }
      return scene_->isDimensionDone();
    }));
    EXPECT_LE(2, linesSeen);
    EXPECT_EQ(row.dimension, scene_->getInfoLine());
  }
}

// With the roots shown, a zoom out grows a picture that finds new roots while
// every frame draws them. The registry is read under the picture's lock; the
// ThreadSanitizer build (ROOTWEAVER_TSAN) reports any read without it.
TEST_F(tFracSceneTest, RootsAreDrawnWhileAGrowingPictureFindsNewOnes) {
  openView(32, -1.0, 1.0, "sine.func");
  finishPicture();
  tapKey(TKEY_R);
  ASSERT_TRUE(scene_->showsRoots());
  const std::size_t before = tMainApp::instance().getSession().getRoots().getRoots().size();
  // A band along the real axis, where sin has a root at every multiple of pi.
  fractal().setBounds(-200.0, 200.0, fractal().getMinY(), fractal().getMaxY());
  solver_->slow_ = true;
  tapKey(TKEY_MINUS);
  int drawsWhileGrowing = 0;
  ASSERT_TRUE(framesUntil([&] {
    scene_->draw();
    drawsWhileGrowing += scene_->isComputing();
    return scene_->isDone();
  }));
  EXPECT_LT(10, drawsWhileGrowing);
  EXPECT_LT(before + 20, tMainApp::instance().getSession().getRoots().getRoots().size());
}

// "Write File" asks for a name, writes a PNG for a name that ends in ".png",
// else a TGA, appending ".tga" unless the name holds it; it reacts while the
// buttons are hidden.
TEST_F(tFracSceneTest, WriteFileNamesAndFailures) {
  const tScratchDirectory dir;
  const std::string base = dir.path();
  openView(8, -3.0, 3.0);
  finishPicture();
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
      {base + "pic.png", base + "pic.png", ""},
      {"", "", ""},
      {base + "no/such/dir", "", "Cannot write " + base + "no/such/dir.tga"},
  };
  for (const auto& row : rows) {
    answer = row.answer;
    tapMouse(400, 515);
    EXPECT_EQ(row.message, scene_->getMessage()) << row.answer;
    if (row.written.empty()) continue;
    tImage written;
    ASSERT_TRUE(loadPicture(row.written, &written)) << row.written;
    EXPECT_TRUE(imagesEqual(*fractal().getImage(), written)) << row.written;
  }
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(base)) files += entry.exists();
  EXPECT_EQ(3, files);
}

// The corner lines: the view's centre and width, the point under the
// pointer while it is over the picture, with the decimals a pixel needs;
// "i" hides them with the other texts.
TEST_F(tFracSceneTest, CornerLinesShowTheViewAndThePointer) {
  openView(64, -3.0, 3.0);
  tMouseHandler::instance().moveEvent(500, 200);
  runFrame();
  EXPECT_EQ((std::vector<std::string>{"centre (0.000, 0.000)  width 6", "pointer (1.000, 1.000)"}),
            scene_->getViewLines());
  turnWheel(400, 300, 20);
  tMouseHandler::instance().moveEvent(50, 200);
  runFrame();
  EXPECT_EQ((std::vector<std::string>{"centre (0.000, 0.000)  width 0.7295"}),
            scene_->getViewLines());
}

// A zoomed view in random colours, shaded, saved as a script: the script
// draws the window's picture again byte for byte, its exact bounds read
// back from the text. "Write File" keeps the same settings in its PNG, and
// "Back" leaves the bounds in the settings for the setup's fields, where a
// view left unzoomed changes nothing.
TEST_F(tFracSceneTest, ASavedViewDrawsTheWindowsPictureAgain) {
  tTestPrefs prefs;
  const std::string original = "{\nminX\n-3\n}\n{\nmaxX\n3\n}\n{\nminY\n-3\n}\n{\nmaxY\n3\n}\n";
  prefs.write(original);
  openView(64, -3.0, 3.0, "cubicz.func", true, 5);
  finishPicture();
  tapMouse(400, 565);  // "Back to Zirudadazevu"
  EXPECT_EQ(original, prefs.read());

  openView(64, -3.0, 3.0, "cubicz.func", true, 5);
  finishPicture();
  turnWheel(250, 150, 3);
  finishPicture();
  tapKey(TKEY_H);
  const tScratchDirectory dir;
  std::string answer = dir.path() + "spot, (1)";
  tFileDialogUtils::setStandIn(
      [&](tFileDialogUtils::TDIALOG_KIND, const std::string&) { return answer; });
  tapKey(TKEY_K);
  EXPECT_EQ("", scene_->getMessage());
  const std::string script = readRaw(dir.path() + "spot, (1).blam");
  ASSERT_NE(std::string::npos,
            script.find("_minX = " + tStringUtils::writeNumber(fractal().getMinX()) + "\n"));
  tSession session;
  std::ostringstream trace;
  std::ostringstream messages;
  tBLAMProgress progress(messages);
  tBLAMOutputs outputs;
  {
    tBLAMScript run({session, trace, progress, outputs});
    run.loadScriptText("spot.blam", script);
    run.run();
  }
  EXPECT_EQ("", messages.str());
  const tFractal& again = *session.getFractal();
  EXPECT_EQ(
      (std::vector<double>{fractal().getMinX(), fractal().getMaxX(), fractal().getMinY(),
                           fractal().getMaxY()}),
      (std::vector<double>{again.getMinX(), again.getMaxX(), again.getMinY(), again.getMaxY()}));
  tImage drawn;
  ASSERT_TRUE(loadPicture(dir.path() + "spot, (1)-fractal-1.png", &drawn));
  EXPECT_TRUE(imagesEqual(*fractal().getImage(), drawn));

  answer = dir.path() + "spot.png";
  tapMouse(400, 515);  // "Write File"
  const std::string png = readRaw(answer);
  for (const std::string& text :
       {std::string("Software") + '\0' + "Rootweaver",
        "_maxX" + std::string(1, '\0') + tStringUtils::writeNumber(fractal().getMaxX())})
    EXPECT_NE(std::string::npos, png.find(text));

  const double minY = fractal().getMinY();
  tapMouse(400, 565);  // "Back to Zirudadazevu"
  EXPECT_NE(std::string::npos,
            prefs.read().find("{\nminY\n" + tStringUtils::writeNumber(minY) + "\n}\n"));
  runFrame();
  const auto* setup = dynamic_cast<tSetupFracScene*>(tSceneManager::instance().getDestScene());
  ASSERT_NE(nullptr, setup);
  EXPECT_EQ(tStringUtils::writeNumber(minY), setup->getEntry(4).getText());
}

}  // namespace
