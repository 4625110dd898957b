#include "scenes/tBLAMStatusScene.h"

#include <GL/gl.h>

#include "File/tFileUtils.h"
#include "Shell/tMainApp.h"
#include "Shell/tSceneManager.h"
#include "graphics/tOGLUtils.h"
#include "graphics/tTextRenderer.h"
#include "input/tKeyboardHandler.h"
#include "scenes/tSetupBLAMScene.h"

namespace {

const char kRunningText[] = "BLAM Status Activated!\nPlease be patient while BLAM rolls.";
const char kFinishedText[] = "Press Space to Escape!";
// The progress, below the two lines of the message: the bar, its share in
// per cent to its right, and the statement under the bar.
const float kBarDrop = 70.0f;
const float kBarHalfWidth = 200.0f;
const float kBarHalfHeight = 8.0f;
const float kStatementDrop = 110.0f;
const float kProgressTextSize = 16.0f;
const float kMargin = 40.0f;

}  // namespace

tBLAMStatusScene::tBLAMStatusScene(const std::string& scriptPath)
    : tScene("BLAM Status"), armed_(false), finished_(false), scriptPath_(scriptPath) {}

std::string tBLAMStatusScene::getStatusText() const {
  if (!finished_) return kRunningText;
  const unsigned failures = summary_.failures;
  if (failures == 0) return "Done: " + outputsText() + "\n" + kFinishedText;
  std::string text = std::to_string(failures) + (failures == 1 ? " statement" : " statements") +
                     " failed; outputs incomplete\n";
  text += summary_.firstFailure.empty() ? "(see the terminal)" : summary_.firstFailure;
  return text + "\nOutputs: " + outputsText() + "\n" + kFinishedText;
}

std::string tBLAMStatusScene::outputsText() const {
  const unsigned pictures = summary_.pictures;
  if (pictures == 0) return "no pictures";
  std::string folder = summary_.folders.front();
  const std::string base = tFileUtils::getOutputDirectory();
  if (folder.size() > base.size() && folder.compare(0, base.size(), base) == 0)
    folder.erase(0, base.size());
  std::string text = std::to_string(pictures) + (pictures == 1 ? " picture in " : " pictures in ") +
                     folder;
  const std::size_t others = summary_.folders.size() - 1;
  if (others > 0)
    text += " and " + std::to_string(others) + (others == 1 ? " other folder" : " other folders");
  return text;
}

tBLAMProgress::tState tBLAMStatusScene::progressState() const {
  if (!run_) return tBLAMProgress::tState();
  return run_->getProgress().getState();
}

std::string tBLAMStatusScene::getProgressText() const {
  tBLAMProgress::tState state = progressState();
  if (!state.running || state.statement.empty()) return "";
  // Without a picture the line carries no share; the bar shows that.
  state.pixelsTotal = 0;
  return tBLAMProgress::formatState(state);
}

void tBLAMStatusScene::draw() {
  if (!beginDrawing()) return;
  tTextRenderer& text = tTextRenderer::instance();
  const float w = viewWidth();
  const float h = viewHeight();
  text.drawStringCentered("BLAM Status", w / 2.0f, 80.0f, 40.0f * alpha_);
  const float size = 16.0f * alpha_;
  std::string status = text.formatStringToWidth(getStatusText(), w - 2.0f * kMargin, size);
  if (finished_) {
    // The verdict in green or red, the rest in white.
    const bool failed = summary_.failures > 0;
    status.insert(status.find('\n'), tTextRenderer::getColorChangeStringf(1, 1, 1, alpha_));
    status.insert(0, tTextRenderer::getColorChangeStringf(failed ? 1.0f : 0.5f,
                                                          failed ? 0.4f : 1.0f,
                                                          failed ? 0.4f : 0.5f, alpha_));
  }
  text.drawStringCentered(status, w / 2.0f, h / 2.0f, size);
  if (!finished_) drawProgress(progressState());
  drawFadeOverlay();
}

void tBLAMStatusScene::drawProgress(const tBLAMProgress::tState& state) const {
  if (!state.running) return;
  tTextRenderer& text = tTextRenderer::instance();
  const float w = viewWidth();
  const float h = viewHeight();
  const float size = kProgressTextSize * alpha_;
  const float barY = h / 2.0f + kBarDrop;
  glColor4f(0.6f, 0.6f, 1.0f, 1.0f);
  const std::string line = text.formatStringToWidth(getProgressText(), w - 2.0f * kMargin, size);
  text.drawStringCentered(line, w / 2.0f, h / 2.0f + kStatementDrop, size);
  if (state.pixelsTotal == 0) return;

  const std::uint64_t percent = state.pixelsDone * 100 / state.pixelsTotal;
  text.drawString(std::to_string(percent) + "%", w / 2.0f + kBarHalfWidth + 12.0f,
                  barY + size / 2.0f, size);
  glDisable(GL_TEXTURE_2D);
  const float share = static_cast<float>(state.pixelsDone) / static_cast<float>(state.pixelsTotal);
  const float left = w / 2.0f - kBarHalfWidth;
  tOGLUtils::drawBoxFilled(left + share * kBarHalfWidth, barY, share * kBarHalfWidth,
                           kBarHalfHeight);
  glColor4f(1.0f, 1.0f, 1.0f, alpha_);
  tOGLUtils::drawBoxOutline(w / 2.0f, barY, kBarHalfWidth, kBarHalfHeight);
  glEnable(GL_TEXTURE_2D);
}

void tBLAMStatusScene::update(double) {
  if (!followTransition()) return;
  if (!armed_ && !finished_) {
    armed_ = true;
    return;
  }
  if (armed_) {
    if (!run_) {
      run_ = tBLAMBackgroundRun::start(scriptPath_, tMainApp::instance().getSession());
    } else if (run_->finished()) {
      summary_ = run_->getProgress().getSummary();
      run_.reset();
      armed_ = false;
      finished_ = true;
    }
    return;
  }
  if (tKeyboardHandler::instance().keyPressed(TKEY_SPACE)) {
    tSceneManager::instance().beginTransition(new tSetupBLAMScene(), 1000.0f);
  }
}
