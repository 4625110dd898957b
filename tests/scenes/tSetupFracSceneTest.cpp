#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "File/tFileDialogUtils.h"
#include "File/tFileTestSupport.h"
#include "File/tFileUtils.h"
#include "Shell/tMainApp.h"
#include "expr/tFunction.h"
#include "fractal/tFractal.h"
#include "fractal/tIterativeSolver.h"
#include "fractal/tPalette.h"
#include "fractal/tRootManager.h"
#include "fractal/tSession.h"
#include "graphics/tImage.h"
#include "graphics/tTextRenderer.h"
#include "scenes/tFracScene.h"
#include "scenes/tPreferences.h"
#include "scenes/tSceneTestSupport.h"
#include "scenes/tSetupFracScene.h"
#include "scenes/tSplashScene.h"
#include "scenes/tTextEntry.h"

// The settings file and the interactive setup scene, driven headless.

namespace {

using tSettings = std::vector<std::pair<std::string, std::string>>;

const char* const kCategories[] = {"Step Size",     "Iterations", "Dim",      "minX",
                                   "maxX",          "minY",       "maxY",     "Singular Set",
                                   "Random Colors", "Solver",     "Function", "BLAM"};

// The file of the settings in order; an entry may hold several lines.
std::string prefsText(const tSettings& settings) {
  std::string text;
  for (const auto& s : settings) text += "{\n" + s.first + "\n" + s.second + "\n}\n";
  return text;
}

// The settings followed by the defaults of the categories they lack.
tSettings withDefaults(tSettings settings) {
  for (const char* category : kCategories) {
    bool present = false;
    for (const auto& s : settings) present = present || s.first == category;
    if (!present) settings.emplace_back(category, tPreferences::defaultFor(category));
  }
  return settings;
}

// The first column of fields at 800 x 600, and its dimension's row.
int fieldX() {
  return static_cast<int>(470 + tTextRenderer::instance().getStringWidth("Max Iterations:", 20));
}
const int kDimY = 365;

class tSetupFracSceneTest : public testing::Test {
 protected:
  void SetUp() override { startHeadless(); }
  void TearDown() override { tFileDialogUtils::setStandIn(nullptr); }

  // The scene over the settings given.
  void openScene(const tSettings& settings) {
    prefs_.write(prefsText(settings));
    tSceneManager::instance().setCurrentScene(scene_ = new tSetupFracScene());
  }
  // Presses Go; gives what it wrote on standard error.
  static std::string pressGo() {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    tapMouse(400, 515);
    testing::internal::GetCapturedStdout();
    return testing::internal::GetCapturedStderr();
  }
  // Which of the seven fields are marked, in update order, as "0"/"1".
  std::string marks() const {
    std::string m;
    for (unsigned int i = 0; i < 7; ++i) m += scene_->getEntry(i).isMarked() ? '1' : '0';
    return m;
  }

  tTestPrefs prefs_;
  tSetupFracScene* scene_ = nullptr;  // the current scene, owned by the scene manager
};

// Input during a transition is ignored, except by the incoming scene once the
// cross-fade is over.
TEST_F(tSetupFracSceneTest, ReachedFromTheSplashIgnoringInputDuringTransitions) {
  EXPECT_EQ("Splash", sceneState());
  tapKey(TKEY_SPACE);
  EXPECT_EQ("Splash -> Mode Select", sceneState());
  const tScene* modeSelect = tSceneManager::instance().getDestScene();
  setTransitionTime(250);
  tapKey(TKEY_SPACE);
  EXPECT_EQ(modeSelect, tSceneManager::instance().getDestScene());

  setTransitionTime(1000.5);
  tapMouse(200, 355);
  EXPECT_EQ("Mode Select -> Setup Frac", sceneState());
  setTransitionTime(750);
  tapMouse(600, 355);  // the other button, during the transition: ignored
  setTransitionTime(1000.5);
  runFrame();
  EXPECT_EQ("Setup Frac", sceneState());
}

TEST_F(tSetupFracSceneTest, LoadSuppliesDefaultsAndKeepsUnreadableFiles) {
  const std::string absent = "\x01";
  const std::string unreadable = "could not be read";
  const struct {
    std::string file;   // absent: no file
    tSettings kept;     // what the loaded settings hold before the defaults
    std::string fault;  // why the file is kept as prefs.txt.bad; "" when it is not
  } rows[] = {
      {absent, {}, ""},
      {"{\nDim\n77\n}\n{\nOther\nx\ny\n}\n", {{"Dim", "77"}, {"Other", "x\ny"}}, ""},
      {"{\nSolver\n}\n{\nBLAM\n}\n", {{"Solver", "0"}, {"BLAM", "examples/sweep.blam"}}, ""},
      {"{\nSolver\n21\n}\n", {{"Solver", "21"}}, ""},
      {"{\nSolver\n22\n}\n", {{"Solver", "0"}}, ""},
      {"{\nSolver\n06\n}\n", {{"Solver", "0"}}, ""},
      {"{\nSolver\n3x\n}\n", {{"Solver", "0"}}, ""},
      {"{\nSolver\n5\n2\n}\n", {{"Solver", "5\n2"}}, ""},
      {"{\nseed\n42\n}\n", {{"seed", "42"}}, ""},
      {"{\nseed\nnot a number\n}\n", {{"seed", "not a number"}}, ""},
      {"{\nOther\na\x01"
       "bcde\n}\n",
       {{"Other",
         "a\x01"
         "bcde"}},
       ""},
      {"garbage\n", {}, unreadable},  // as every file the dictionary cannot read
      {"{\nDim\n77\n}\n{\nStep Size\n\x01"
       "bage}\n}\n",
       {},
       "holds a control character under \"Step Size\""},
      {"{\nFunction\na\tb.func\n}\n", {}, "holds a control character under \"Function\""},
  };
  for (const auto& row : rows) {
    std::remove((tTestPrefs::path() + ".bad").c_str());
    if (row.file == absent) {
      std::remove(tTestPrefs::path().c_str());
    } else {
      prefs_.write(row.file);
    }
    const bool bad = !row.fault.empty();
    // The title screen says so for a few seconds, as the terminal does.
    tSplashScene splash;
    EXPECT_EQ(bad ? "The settings file " + row.fault +
                        ": every setting takes its default, and the file is kept as prefs.txt.bad"
                  : "",
              splash.getNotice())
        << row.file;
    tTimer::instance().advanceMark(splash.getNoticeMark(), -tSplashScene::NOTICE_TIME - 1);
    EXPECT_EQ("", splash.getNotice());
    testing::internal::CaptureStderr();
    const tCategoricalDict loaded = tPreferences::load();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(bad ? "rootweaver: " + tTestPrefs::path() + " " + row.fault +
                        ", kept as prefs.txt.bad; every setting takes its default\n"
                  : "",
              err)
        << row.file;
    EXPECT_EQ(bad, std::filesystem::exists(tTestPrefs::path() + ".bad")) << row.file;
    if (bad) {
      EXPECT_EQ(row.file, readRaw(tTestPrefs::path() + ".bad"));
    }
    EXPECT_TRUE(tPreferences::save(loaded));
    EXPECT_EQ(prefsText(withDefaults(row.kept)), prefs_.read()) << row.file;
  }
  // The defaults are what the application folder starts with.
  std::remove(tTestPrefs::path().c_str());
  EXPECT_TRUE(tPreferences::save(tPreferences::load()));
  EXPECT_EQ(readRaw(ROOTWEAVER_SOURCE_DIR "/resources/prefs.txt"), prefs_.read());
}

TEST_F(tSetupFracSceneTest, EditsAreReadAndWrittenBackOnReturn) {
  openScene({{"Other", "keep me"},
             {"Singular Set", "yes"},
             {"Random Colors", "0"},
             {"Solver", "1"},
             {"Dim", "7x"},
             {"Function", "<NONE>"}});
  EXPECT_EQ("0000001", marks());
  std::string answer = "/some/where/cubic.func";
  tFileDialogUtils::setStandIn(
      [&](tFileDialogUtils::TDIALOG_KIND, const std::string&) { return answer; });
  tapMouse(400, 515);  // Go without a function: nothing
  tapMouse(175, 175);  // row 3 of the solvers: rows of 15 from y = 122.5
  tapMouse(410, 455);  // "Use Random Colors" box
  tapMouse(450, 415);  // the label of "Find Singular Set": nothing
  tapMouse(175, 320);  // "Choose Function"
  answer = "";
  tapMouse(175, 320);  // cancelled: the choice stays
  EXPECT_EQ("/some/where/cubic.func", scene_->getFunctionPath());
  tapMouse(fieldX(), kDimY);
  for (int key : {TKEY_BACKSPACE, TKEY_BACKSPACE, TKEY_6, TKEY_4, TKEY_RETURN}) tapKey(key);
  EXPECT_EQ("0000000", marks());  // corrected by typing
  EXPECT_EQ("Setup Frac", sceneState());
  tapMouse(400, 565);  // "Return To Mode Select"
  EXPECT_EQ("Setup Frac -> Mode Select", sceneState());
  EXPECT_EQ(prefsText(withDefaults({{"Other", "keep me"},
                                    {"Singular Set", "1"},
                                    {"Random Colors", "1"},
                                    {"Solver", "3"},
                                    {"Dim", "64"},
                                    {"Function", "/some/where/cubic.func"}})),
            prefs_.read());
}

// Each row puts one value in the file; the fields that cannot make a picture
// are marked (in update order: step, iterations, minX, maxX, minY, maxY,
// dimension) and Go, even with a function chosen, only says which.
TEST_F(tSetupFracSceneTest, GoRefusesUnusableValuesAndMarksThem) {
  const std::string dim = "Dimension must be a whole number from 1 to about 23000";
  const std::string x = "x Bounds must be two numbers, the first the smaller";
  const struct {
    const char* category;
    const char* value;
    const char* marks;
    std::string said;  // the message after a press of Go
  } rows[] = {
      {"Dim", "0", "0000001", dim},
      {"Dim", "100000", "0000001", dim},
      {"Dim", "16384", "0000000", ""},
      {"Dim", "64x", "0000001", dim},
      {"Iterations", "0", "0100000", "Max Iterations must be a whole number from 1"},
      {"Step Size", "1e", "1000000", "Step Size must be a number"},
      {"Step Size", " 0.5 ", "0000000", ""},
      {"minX", "2", "0011000", x},
      {"minY", "x", "0000100", "y Bounds must be two numbers, the first the smaller"},
      {"maxY", "1e39", "0000010", "y Bounds must be two numbers, the first the smaller"},
      {"maxX", "nan", "0001000", x},
  };
  for (const auto& row : rows) {
    openScene({{row.category, row.value}, {"Function", "quadratic.func"}});
    EXPECT_EQ(row.marks, marks()) << row.category << " " << row.value;
    if (row.said.empty()) continue;
    tapMouse(400, 515);
    EXPECT_EQ("Setup Frac", sceneState()) << row.category << " " << row.value;
    EXPECT_EQ(row.said, scene_->getMessage()) << row.category << " " << row.value;
  }
}

// The plane's option (its box at (35, 432)) draws a plane over the
// function's two parameters (its runs: GoStartsARunOrSaysWhyNot); the
// settings keep the plane's entries only once the option is used.
TEST_F(tSetupFracSceneTest, TheParameterPlaneOption) {
  const tSettings base = withDefaults({{"Function", "cubicplane.func"}, {"Dim", "8"}});
  openScene(base);
  tapMouse(400, 565);  // "Return To Mode Select"
  EXPECT_EQ(prefsText(base), prefs_.read());
  openScene(base);
  EXPECT_FALSE(scene_->getPlaneOptions().isOn());
  tapMouse(35, 432);
  EXPECT_TRUE(scene_->getPlaneOptions().isOn());
}

// What keeps the settings from a picture stays on screen, "Go" red: the
// methods for f(z), after the six solvers in the list, refuse a map given by
// real formulas; a function that cannot be read, said on standard error too.
// "Go" says which of the plane's fields cannot be read or name axes the
// function lacks. A run that starts has the solver chosen, and a plane only when asked.
TEST_F(tSetupFracSceneTest, GoStartsARunOrSaysWhyNot) {
  tScratchDirectory dir;
  writeRaw(dir / "huge.func", "f1 = x\n");
  std::filesystem::resize_file(dir / "huge.func", tFileUtils::MAX_READ_SIZE + 1);
  writeRaw(dir / "both.func", "f(z) = z^2\nf1 = x\n");
  writeRaw(dir / "sinn.func", "f(z) = sinn(z)\n");
  auto solver = [](const char* function, const char* solver) {
    return tSettings{{"Function", function}, {"Solver", solver}};
  };
  auto plane = [](const char* axes, const char* start) {
    return tSettings{{"Function", "cubicplane.func"},
                     {"Parameter Plane", "1"},
                     {"Plane Axes", axes},
                     {"Plane Start", start}};
  };
  auto function = [](const std::string& path) { return tSettings{{"Function", path}}; };
  const struct {
    tSettings settings;  // with a dimension of 8
    std::string message, err;
    const char* chosen;  // the solver of a run that starts
  } rows[] = {
      {solver("cubic.func", "6"),
       "Cannot use cubic.func: HalleySolver needs f'' of a map given as f(z), not a map given by "
       "real formulas",
       "", nullptr},
      {solver("cubicz.func", "10"), "", "", "SchroderSolver"},
      // Laguerre's n is the degree of f(z), which sin z has not.
      {solver("sinez.func", "16"),
       "Cannot use sinez.func: LaguerreSolver needs the degree of f, and f(z) is no polynomial in "
       "z of degree 1 or more; a script may give it as _methodParameter",
       "", nullptr},
      {solver("cubicz.func", "16"), "", "", "LaguerreSolver"},
      {plane("a", "0, 0"), "Plane axes must be two names, as \"a b\"", "", nullptr},
      {plane("a b", "0"), "Plane start must be two formulas, as \"0, 0\"", "", nullptr},
      {plane("a c", "0, 0"),
       "Cannot draw the plane of cubicplane.func: the function has no parameter named 'c'", "",
       nullptr},
      {plane("a b", "t, 0"),
       "Cannot draw the plane of cubicplane.func: the start \"t; 0\" reads 't', which holds no "
       "number",
       "", nullptr},
      {plane("a b", "a / 3, 0"), "", "", "NewtonSolver"},
      // The methods for any map follow, the last beyond the rows shown.
      {solver("cubic.func", "21"), "", "", "BacktrackingNewtonSolver"},
      {function("vanished.func"), "Cannot read vanished.func", "", nullptr},
      {function(dir / "huge.func"), "Cannot read huge.func", "", nullptr},
      {function(dir / "both.func"), "Cannot use both.func: f(z) and f1 both given (line 1)",
       dir / "both.func:1:1: f(z) and f1 (at " + dir / "both.func:2:1) both given; the "
                                                       "function is refused\n",
       nullptr},
      {function(dir / "sinn.func"),
       "Cannot use sinn.func: 'sinn' is not a function; functions are sin, cos, tan, sinh, "
       "cosh, tanh, exp, abs, sqrt, log (line 1)",
       dir / "sinn.func:1:8: 'sinn' is not a function; functions are sin, cos, tan, sinh, cosh, "
             "tanh, exp, abs, sqrt, log; the function is refused\n",
       nullptr},
  };
  for (const auto& row : rows) {
    tSettings settings = row.settings;
    const bool plane = settings.size() == 4;  // the plane's rows alone have four settings
    settings.emplace_back("Dim", "8");
    openScene(settings);
    runFrame();
    EXPECT_EQ(row.err, pressGo()) << row.message;
    EXPECT_EQ(row.message, scene_->getMessage());
    if (row.chosen != nullptr) {
      EXPECT_EQ("Setup Frac -> Frac", sceneState()) << row.chosen;
      ASSERT_TRUE(tMainApp::instance().getSolver());
      EXPECT_EQ(row.chosen, tMainApp::instance().getSolver()->getName());
      EXPECT_EQ(plane, tMainApp::instance().getSession().getPlane() != nullptr);
      continue;
    }
    EXPECT_EQ("Setup Frac", sceneState()) << row.message;
    if (plane) continue;  // the plane's fields are checked at Go only
    tTimer::instance().advanceMark(scene_->getMessageMark(), -4001);
    EXPECT_EQ(row.message, scene_->getMessage());
    EXPECT_FALSE(scene_->goReady()) << row.message;
  }
  // Choosing another file clears it.
  tFileDialogUtils::setStandIn([](tFileDialogUtils::TDIALOG_KIND, const std::string&) {
    return std::string(ROOTWEAVER_SOURCE_DIR "/Shared Functions/quadratic.func");
  });
  tapMouse(175, 320);
  EXPECT_EQ("", scene_->getMessage());
  EXPECT_TRUE(scene_->goReady());

  // A file that ends in "end" has its local constants in all the same.
  const std::string ended = dir / "ended.func";
  writeRaw(ended, readRaw(ROOTWEAVER_SOURCE_DIR "/Shared Functions/quadratic.func") + "end\n");
  openScene({{"Function", ended},
             {"Dim", "8"},
             {"Solver", "4"},
             {"Iterations", "30"},
             {"Step Size", "0.3"},
             {"minX", "-1.1"},
             {"Singular Set", "1"}});
  EXPECT_EQ("", pressGo());
  EXPECT_EQ("Setup Frac -> Frac", sceneState());
  const tMainApp& app = tMainApp::instance();
  ASSERT_TRUE(app.getFunction() && app.getFractal() && app.getSolver());
  EXPECT_EQ(ended, app.getFunction()->getName());
  EXPECT_EQ(tVector2(-1, 0), app.getFunction()->value(tVector2(0, 0)));
  const tFractal& f = *app.getFractal();
  EXPECT_EQ(8u, f.getImage()->getWidth());
  EXPECT_EQ(static_cast<double>(-1.1f), f.getMinX());  // read in single precision
  EXPECT_TRUE(f.isSingularSet());
  EXPECT_EQ(1u, f.getJitter());
  EXPECT_FALSE(f.getJitterFirst());
  EXPECT_EQ("RungeKuttaSolver4", app.getSolver()->getName());
  EXPECT_EQ(30u, app.getSolver()->getMaxIterations());
  EXPECT_EQ(static_cast<double>(0.3f), app.getSolver()->getStepSize());
}

// The palette button left of "Go" steps through the palettes, and "Go"
// paints the roots with the one it shows; the settings keep "Palette" once
// the button was pressed or the file had the entry. The view's seed is the
// settings' "seed" entry, absent by default. Entries that cannot be used are
// said on standard error: a palette is then the classic one, and a seed not
// a whole number from 0 to 16777216 is left to the clock.
TEST_F(tSetupFracSceneTest, ThePaletteAndTheSeedReachTheView) {
  const std::string unknown =
      "rootweaver: the palette in prefs.txt: 'rainbow' is no palette; palettes are classic, "
      "okabe-ito, argument, argument-modulus; the colours are classic\n";
  const std::string clock =
      "rootweaver: the seed in prefs.txt is not a whole number from 0 to 16777216; the clock "
      "seeds the pictures\n";
  const struct {
    const char *category, *entry;  // the entry in the file; null: none
    int presses;                   // of the palette button
    const char* palette;
    long seed;  // -1: from the clock
    std::string err;
  } rows[] = {
      {nullptr, nullptr, 0, "classic", -1, ""},
      {nullptr, nullptr, 1, "okabe-ito", -1, ""},
      {nullptr, nullptr, 4, "classic", -1, ""},
      {"Palette", "argument", 1, "argument-modulus", -1, ""},
      {"Palette", "rainbow", 0, "classic", -1, unknown},
      {"seed", "42", 0, "classic", 42, ""},
      {"seed", "16777216", 0, "classic", 16777216, ""},
      {"seed", "16777217", 0, "classic", -1, clock},
      {"seed", "4x", 0, "classic", -1, clock},
      {"seed", "-1", 0, "classic", -1, clock},
  };
  for (const auto& row : rows) {
    tSettings settings = withDefaults({{"Function", "quadratic.func"}, {"Dim", "8"}});
    if (row.category) settings.emplace_back(row.category, row.entry);
    testing::internal::CaptureStderr();
    openScene(settings);
    for (int i = 0; i < row.presses; ++i) tapMouse(160, 515);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(row.err, err + pressGo()) << row.palette << " " << row.seed;
    ASSERT_EQ("Setup Frac -> Frac", sceneState());
    EXPECT_EQ(row.palette, tMainApp::instance().getSession().getRoots().getPalette().getName());
    const auto* view = dynamic_cast<const tFracScene*>(tSceneManager::instance().getDestScene());
    ASSERT_NE(nullptr, view);
    if (row.seed >= 0) {
      EXPECT_EQ(row.seed, view->getSeed());
    }
    if (row.presses > 0 && !row.category) settings.emplace_back("Palette", "");
    if (row.presses > 0 || settings.back().first == "Palette") settings.back().second = row.palette;
    EXPECT_EQ(prefsText(settings), prefs_.read()) << row.palette << " " << row.seed;
  }
}

}  // namespace

// Without a display the dialogs answer as cancelled ones, with one line on
// standard error each time.
TEST(tFileDialogUtilsTest, NoDisplayAnswersEmptyWithOneLine) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  testing::internal::CaptureStderr();
  EXPECT_EQ("", tFileDialogUtils::chooseSingleFile("func"));
  EXPECT_EQ("", tFileDialogUtils::getSaveName());
  EXPECT_EQ(
      "rootweaver: cannot show a file dialog: GTK did not start\n"
      "rootweaver: cannot show a file dialog: GTK did not start\n",
      testing::internal::GetCapturedStderr());
}
