#include "scenes/tSetupBLAMScene.h"

#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "File/tFileDialogUtils.h"
#include "File/tFileUtils.h"
#include "Shell/tSceneManager.h"
#include "blam/tBLAMBackgroundRun.h"
#include "graphics/tOGLUtils.h"
#include "graphics/tTextRenderer.h"
#include "input/tMouseHandler.h"
#include "scenes/tBLAMStatusScene.h"
#include "scenes/tModeSelectScene.h"
#include "scenes/tPreferences.h"

namespace {

const char kCategory[] = "BLAM";
const char kScriptExtension[] = "blam";
const char kChooseLabel[] = "Choose BLAM Script";
const char kStartLabel[] = "BLAM it up!";
const char kReturnLabel[] = "Return To Mode Select";
const float kChooseSize = 20.0f;
const float kButtonSize = 16.0f;
const float kChooseHalfHeight = 16.0f;
const float kButtonHalfHeight = 12.0f;
// Outlines stand 5 pixels above their labels' baselines.
const float kOutlineRaise = 5.0f;
const float kNoticeDrop = 130.0f;

// A regular file that can be read.
bool isReadableFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), R_OK) == 0;
}

}  // namespace

const char* const tSetupBLAMScene::NO_SCRIPT = "<NONE>";

tSetupBLAMScene::tSetupBLAMScene()
    : tScene("Setup BLAM"), prefs_(tPreferences::load()), noticeTimeLeft_(0.0) {
  // The settings always hold an entry for "BLAM".
  scriptPath_ = prefs_[kCategory][0];
}

void tSetupBLAMScene::writeData() {
  prefs_[kCategory][0] = scriptPath_;
  tPreferences::save(prefs_);
}

void tSetupBLAMScene::draw() {
  if (!beginDrawing()) return;
  tTextRenderer& text = tTextRenderer::instance();
  const float w = viewWidth();
  const float h = viewHeight();
  const bool none = scriptPath_ == NO_SCRIPT;
  text.drawStringCentered("Setup BLAM", w / 2.0f, 80.0f, 40.0f * alpha_);
  text.drawStringCentered(kChooseLabel, w / 2.0f, h / 2.0f, kChooseSize * alpha_);
  text.drawStringCentered("Selected BLAM Script:", w / 2.0f, h / 2.0f + 50.0f,
                          kChooseSize * alpha_);
  text.drawStringCentered(kReturnLabel, w / 2.0f, h - 30.0f, kButtonSize * alpha_);
  if (none) {
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
  } else {
    glColor4f(0.6f, 0.6f, 1.0f, 1.0f);
  }
  text.drawStringCentered(tFileUtils::getFilenameFromPath(scriptPath_), w / 2.0f, h / 2.0f + 74.0f,
                          kChooseSize * alpha_);
  if (!notice_.empty()) {
    glColor4f(1.0f, 0.7f, 0.3f, 1.0f);
    text.drawStringCentered(notice_, w / 2.0f, h / 2.0f + kNoticeDrop, kButtonSize * alpha_);
  }
  if (none) {
    glColor4f(1.0f, 0.0f, 0.0f, 0.6f);
  } else {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  }
  text.drawStringCentered(kStartLabel, w / 2.0f, h - 80.0f, kButtonSize * alpha_);

  glDisable(GL_TEXTURE_2D);
  tOGLUtils::drawBoxOutline(w / 2.0f, h - 80.0f - kOutlineRaise,
                            buttonHalfWidth(kStartLabel, kButtonSize), kButtonHalfHeight);
  glColor4f(1.0f, 1.0f, 1.0f, alpha_);
  tOGLUtils::drawBoxOutline(w / 2.0f, h / 2.0f - kOutlineRaise,
                            buttonHalfWidth(kChooseLabel, kChooseSize), kChooseHalfHeight);
  tOGLUtils::drawBoxOutline(w / 2.0f, h - 30.0f - kOutlineRaise,
                            buttonHalfWidth(kReturnLabel, kButtonSize), kButtonHalfHeight);
  drawFadeOverlay();
}

void tSetupBLAMScene::update(double dt) {
  if (!followTransition()) return;
  noticeTimeLeft_ -= dt;
  if (noticeTimeLeft_ <= 0.0) notice_.clear();
  if (!tMouseHandler::instance().buttonPressed(TBUTTON_PRIMARY)) return;
  const float w = viewWidth();
  const float h = viewHeight();
  tSceneManager& scenes = tSceneManager::instance();
  if (mouseInRect(w / 2.0f, h / 2.0f - kOutlineRaise, buttonHalfWidth(kChooseLabel, kChooseSize),
                  kChooseHalfHeight)) {
    const std::string chosen = tFileDialogUtils::chooseSingleFile(kScriptExtension);
    if (!chosen.empty()) scriptPath_ = chosen;
  }
  if (mouseInRect(w / 2.0f, h - 80.0f - kOutlineRaise, buttonHalfWidth(kStartLabel, kButtonSize),
                  kButtonHalfHeight) &&
      scriptCanStart()) {
    writeData();
    scenes.beginTransition(new tBLAMStatusScene(scriptPath_), 1000.0f);
  }
  if (mouseInRect(w / 2.0f, h - 30.0f - kOutlineRaise, buttonHalfWidth(kReturnLabel, kButtonSize),
                  kButtonHalfHeight)) {
    writeData();
    scenes.beginTransition(new tModeSelectScene(), 1000.0f);
  }
}

bool tSetupBLAMScene::scriptCanStart() {
  if (scriptPath_ == NO_SCRIPT) return false;
  if (tBLAMBackgroundRun::inFlight()) {
    showNotice("A BLAM script is still running.");
    return false;
  }
  const std::string location = tBLAMBackgroundRun::scriptLocation(scriptPath_);
  const std::string name = tFileUtils::getFilenameFromPath(scriptPath_);
  if (!isReadableFile(location)) {
    showNotice("Script not found: " + name);
    return false;
  }
  const std::string refusal = tFileUtils::getReadRefusal(location);
  if (!refusal.empty()) {
    showNotice("Cannot read " + name + ": " + refusal);
    return false;
  }
  return true;
}

void tSetupBLAMScene::showNotice(const std::string& text) {
  notice_ = text;
  noticeTimeLeft_ = NOTICE_DURATION;
}
