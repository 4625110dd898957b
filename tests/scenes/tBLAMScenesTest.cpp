#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>

#include "File/tFileDialogUtils.h"
#include "File/tFileUtils.h"
#include "blam/tBLAMBackgroundRun.h"
#include "graphics/tGLTextureUploader.h"
#include "scenes/tBLAMStatusScene.h"
#include "scenes/tPreferences.h"
#include "scenes/tSceneTestSupport.h"
#include "scenes/tSetupBLAMScene.h"

// The batch mode's two scenes driven headless, the script running for real
// on its background thread. Its graph files are named pipes, which hold the
// script at the statement until the test reads them.

namespace {

namespace fs = std::filesystem;

const int kChooseY = 295;  // the three buttons' centres, on x = 400
const int kStartY = 515;
const int kReturnY = 565;

void finishTransition() {
  setTransitionTime(1000.5);
  runFrame();
}

// Everything one writing of the pipe holds; waits for the writer.
std::string readPipe(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  std::string text;
  char buffer[256];
  ssize_t n;
  while (fd >= 0 && (n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, n);
  if (fd >= 0) close(fd);
  return text;
}

template <typename T>
T* currentScene() {
  return static_cast<T*>(tSceneManager::instance().getCurrentScene());
}

// A fresh folder below the application directory, named by its path
// relative to it, and the settings file for this test alone.
class tBLAMScenesTest : public testing::Test {
 protected:
  void SetUp() override {
    startHeadless();
    std::string pattern = tFileUtils::getApplicationDirectory() + "blamscenes-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(&pattern[0]));
    dir_ = fs::path(pattern).filename().string();
  }
  void TearDown() override {
    tFileDialogUtils::setStandIn(nullptr);
    startHeadless();  // the scenes go
    fs::remove_all(path(""));
  }

  std::string path(const std::string& name) const {
    return tFileUtils::getApplicationDirectory() + dir_ + "/" + name;
  }
  static void setScriptInPrefs(const std::string& script) {
    tCategoricalDict prefs = tPreferences::load();
    prefs["BLAM"][0] = script;
    prefs["Dim"][0] = "77";
    ASSERT_TRUE(tPreferences::save(prefs));
  }

  // Writes the script into the folder, names it in the settings and starts
  // it from the setup; the status scene, past its fade-in.
  tBLAMStatusScene* startScript(const std::string& name, const std::string& text) {
    writeRaw(path(name), text);
    setScriptInPrefs(dir_ + "/" + name);
    tSceneManager::instance().setCurrentScene(new tSetupBLAMScene());
    tapMouse(400, kStartY);
    EXPECT_EQ("Setup BLAM -> BLAM Status", sceneState());
    finishTransition();
    return currentScene<tBLAMStatusScene>();
  }

  tTestPrefs prefs_;  // the settings file, held for the test
  std::string dir_;   // the folder, relative to the application directory
};

TEST_F(tBLAMScenesTest, ScriptRunsInTheBackgroundAndSpaceLeadsBackToSetup) {
  ASSERT_EQ(0, mkfifo(path("-gate1.txt").c_str(), 0600));
  ASSERT_EQ(0, mkfifo(path("-gate2.txt").c_str(), 0600));
  testing::internal::CaptureStdout();  // the trace
  tBLAMStatusScene* status = startScript(
      "gate.blam", "// two runs, each followed by a graph into a pipe\n_outputDir = \"" + dir_ +
                       "\"\n_imageDimension = 8\nf = loadFunction \"quadratic.func\"\n"
                       "use NewtonSolver\nrun f\ngraph \"gate1\" _imageDimension _n_\n"
                       "_imageDimension = 4\nrun f\ngraph \"gate2\" _maxIterations _n_\n");
  const std::string waiting = "BLAM Status Activated!\nPlease be patient while BLAM rolls.";
  EXPECT_EQ(waiting, status->getStatusText());  // armed: shown, not yet started
  EXPECT_FALSE(tBLAMBackgroundRun::inFlight());
  runFrame();
  EXPECT_TRUE(tBLAMBackgroundRun::inFlight());

  // Held at each graph statement in turn, while frames go on and Space is no escape.
  const struct {
    const char* pipe;
    const char* statement;
    const char* line;
  } gates[] = {{"-gate1.txt", "graph \"gate1\" _imageDimension _n_", "[8.000000, 0.000000]\n"},
               {"-gate2.txt", "graph \"gate2\" _maxIterations _n_", "[100.000000, 0.000000]\n"}};
  for (const auto& gate : gates) {
    EXPECT_TRUE(framesUntil([&] { return status->getProgressText() == gate.statement; }))
        << gate.statement << ", seen: " << status->getProgressText();
    tapKey(TKEY_SPACE);
    EXPECT_EQ("BLAM Status", sceneState());
    EXPECT_EQ(waiting, status->getStatusText());
    EXPECT_EQ(gate.line, readPipe(path(gate.pipe)));
  }
  const std::string done = "Done: 2 pictures in " + dir_ + "/\nPress Space to Escape!";
  EXPECT_TRUE(framesUntil([&] { return status->getStatusText() == done; }))
      << status->getStatusText();
  EXPECT_FALSE(tBLAMBackgroundRun::inFlight());
  EXPECT_EQ("", status->getProgressText());
  EXPECT_EQ(2u, countOf(testing::internal::GetCapturedStdout(), "Cooked fractal in: "));
  // Outside a batch the images are numbered from 0.
  EXPECT_EQ(18u + 8 * 8 * 3, fs::file_size(path("-fractal-0.tga")));
  EXPECT_EQ(18u + 4 * 4 * 3, fs::file_size(path("-fractal-1.tga")));

  tapKey(TKEY_SPACE);
  EXPECT_EQ("BLAM Status -> Setup BLAM", sceneState());
  finishTransition();
  EXPECT_EQ(dir_ + "/gate.blam", currentScene<tSetupBLAMScene>()->getScriptPath());
}

// A script whose statements fail says how many when it ends, where the user
// looks, with the first failure and where its pictures went; the warnings go
// to standard error as in a batch run.
TEST_F(tBLAMScenesTest, AScriptWithFailedStatementsSaysSoWhenItEnds) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  tBLAMStatusScene* status = startScript(
      "typo.blam", "use NewtonSolvr\nuse NewtonSolver\n_imageDimension = 4\n_outputDir = \"" +
                       dir_ + "\"\nf = loadFunction \"quadratic.func\"\nrun f\n");
  const std::string waiting = status->getStatusText();
  EXPECT_TRUE(framesUntil([&] { return status->getStatusText() != waiting; }));
  testing::internal::GetCapturedStdout();
  const std::string err = testing::internal::GetCapturedStderr();
  const std::size_t at = err.find("use NewtonSolvr: unknown solver (");
  ASSERT_NE(std::string::npos, at) << err;
  EXPECT_EQ("1 statement failed; outputs incomplete\n" + err.substr(at, err.find('\n', at) - at) +
                "\nOutputs: 1 picture in " + dir_ + "/\nPress Space to Escape!",
            status->getStatusText());
}

TEST_F(tBLAMScenesTest, SetupChoosesKeepsAndRefusesScripts) {
  setScriptInPrefs("<NONE>");
  tSceneManager::instance().setCurrentScene(new tSetupBLAMScene());
  tSetupBLAMScene* setup = currentScene<tSetupBLAMScene>();
  EXPECT_EQ("<NONE>", setup->getScriptPath());
  tapMouse(400, kStartY);  // no script: nothing happens, nothing is said
  EXPECT_EQ("Setup BLAM", sceneState());
  EXPECT_EQ("", setup->getNotice());

  // The dialog's answers in turn: a script, then a cancel that keeps it.
  std::string answer = "/nowhere/gone.blam";
  tFileDialogUtils::setStandIn(
      [&](tFileDialogUtils::TDIALOG_KIND, const std::string&) { return answer; });
  tapMouse(400, kChooseY);
  answer = "";
  tapMouse(400, kChooseY);
  EXPECT_EQ("/nowhere/gone.blam", setup->getScriptPath());

  // A missing script is named for a while instead of started.
  tapMouse(400, kStartY);
  EXPECT_EQ("Setup BLAM", sceneState());
  EXPECT_EQ("Script not found: gone.blam", setup->getNotice());
  setup->update(tSetupBLAMScene::NOTICE_DURATION - 100.0);
  EXPECT_EQ("Script not found: gone.blam", setup->getNotice());
  setup->update(200.0);
  EXPECT_EQ("", setup->getNotice());

  // A script too large to read whole is named with the reason.
  writeRaw(path("huge.blam"), "x = 1\n");
  fs::resize_file(path("huge.blam"), tFileUtils::MAX_READ_SIZE + 1);
  answer = dir_ + "/huge.blam";
  tapMouse(400, kChooseY);
  tapMouse(400, kStartY);
  EXPECT_EQ("Setup BLAM", sceneState());
  EXPECT_EQ("Cannot read huge.blam: larger than 64 MiB", setup->getNotice());

  // While a script runs (held at a graph into a pipe), none other starts.
  const std::string held = dir_ + "/held.blam";
  writeRaw(path("held.blam"), "_outputDir = \"" + dir_ + "\" graph \"gate\" a b");
  ASSERT_EQ(0, mkfifo(path("-gate.txt").c_str(), 0600));
  answer = held;
  tapMouse(400, kChooseY);
  testing::internal::CaptureStdout();
  std::unique_ptr<tBLAMBackgroundRun> run =
      tBLAMBackgroundRun::start(held, tMainApp::instance().getSession());
  ASSERT_NE(nullptr, run);
  EXPECT_EQ(nullptr, tBLAMBackgroundRun::start(held, tMainApp::instance().getSession()));
  tapMouse(400, kStartY);
  const std::string notice = setup->getNotice();
  readPipe(path("-gate.txt"));
  run.reset();
  const std::string trace = testing::internal::GetCapturedStdout();
  EXPECT_EQ("Setup BLAM", sceneState());
  EXPECT_EQ("A BLAM script is still running.", notice);
  EXPECT_FALSE(tBLAMBackgroundRun::inFlight());
  // The script's trace, on standard output as in a batch run.
  EXPECT_NE(std::string::npos, trace.find("BLAM statements = [[ASSIGN : _outputDir = " + dir_ +
                                          "], [GRAPH x = a y = b to gate]]"));

  // Leaving stores the script, not run, with the other settings as they were.
  tapMouse(400, kReturnY);
  EXPECT_EQ("Setup BLAM -> Mode Select", sceneState());
  const tCategoricalDict prefs = tPreferences::load();
  EXPECT_EQ(held, prefs["BLAM"][0]);
  EXPECT_EQ("77", prefs["Dim"][0]);
}

// Off the thread that installed the uploader no texture object is made: the
// check comes before any GL call, so this runs without a context.
TEST(tGLTextureUploaderTest, OtherThreadsGetNoTextures) {
  tGLTextureUploader::install();
  tImage image(3, 5);
  unsigned int uploaded = 1, bound = 1;
  std::thread([&] {
    uploaded = tGLTextureUploader::instance().upload(image, false);
    tGLTextureUploader::instance().release(7);
    tTexture texture;
    texture.bindWithImage(&image, true, true);
    bound = texture.getTexID();
  }).join();
  tTexture::setUploader(nullptr);
  EXPECT_EQ(0u, uploaded);
  EXPECT_EQ(0u, bound);
}

}  // namespace
