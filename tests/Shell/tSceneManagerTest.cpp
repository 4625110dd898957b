#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Shell/tFrameTestSupport.h"
#include "input/tMouseHandler.h"

namespace {

std::string probeLog;  // what the probe scenes saw, one line per update or deletion

// Follows the protocol and logs its alpha and whether it took input.
class tProbeScene : public tScene {
 public:
  explicit tProbeScene(const std::string& name) : tScene(name) {}
  ~tProbeScene() override { probeLog += name_ + " deleted\n"; }
  void draw() override {}
  void update(double) override {
    const bool input = followTransition();
    char line[64];
    std::snprintf(line, sizeof line, "%s %.3f%s\n", name_.c_str(), alpha_, input ? " input" : "");
    probeLog += line;
  }
};

TEST(tSceneManagerTest, CrossFadeAlphasAndHandOver) {
  startHeadless();
  tSceneManager& scenes = tSceneManager::instance();
  scenes.setCurrentScene(new tProbeScene("A"));
  probeLog.clear();
  runFrame();
  scenes.beginTransition(new tProbeScene("B"), 1000.0f);
  scenes.beginTransition(new tProbeScene("C"), 1000.0f);  // refused while B's runs
  for (double t : {250.0, 750.0, 1000.0, 1000.5}) {
    setTransitionTime(t);
    char line[32];
    std::snprintf(line, sizeof line, "t %g\n", t);
    probeLog += line;
    runFrame();
  }
  EXPECT_EQ(
      "A 1.000 input\n"
      "C deleted\n"
      "t 250\nA 0.500\nB -1.000\n"
      "t 750\nA -1.000\nB 0.500\n"
      "t 1000\nA -1.000\nB 1.000\n"
      "t 1000.5\nA deleted\nB 1.000 input\n",
      probeLog);
  EXPECT_EQ("B", sceneState());
  EXPECT_FALSE(scenes.transitionInProgress());
  scenes.setCurrentScene(nullptr);
}

TEST(tSceneTest, MouseInRectIncludesTheEdges) {
  const struct {
    int x, y;
    bool inside;
  } rows[] = {{100, 50, true}, {90, 45, true},   {110, 55, true},  {90, 55, true},
              {89, 50, false}, {111, 50, false}, {100, 44, false}, {100, 56, false}};
  tProbeScene scene("probe");
  for (const auto& row : rows) {
    tMouseHandler::instance().moveEvent(row.x, row.y);
    EXPECT_EQ(row.inside, scene.mouseInRect(100.0f, 50.0f, 10.0f, 5.0f)) << row.x << "," << row.y;
  }
}

}  // namespace
