#include "scenes/tSplashScene.h"

#include <GL/gl.h>

#include <cmath>

#include "Shell/tSceneManager.h"
#include "Shell/tTimer.h"
#include "graphics/tTextRenderer.h"
#include "input/tKeyboardHandler.h"
#include "scenes/tModeSelectScene.h"
#include "scenes/tPreferences.h"

tSplashScene::tSplashScene()
    : tScene("Splash"),
      notice_(tPreferences::describeFault()),
      noticeMark_(tTimer::instance().setMark()) {}

std::string tSplashScene::getNotice() const {
  if (tTimer::instance().timeSinceMark(noticeMark_) > NOTICE_TIME) return "";
  return notice_;
}

// The prompt's size swings between 15 and 17 with a period of 2 pi seconds.
void tSplashScene::draw() {
  if (!beginDrawing()) return;
  tTextRenderer& text = tTextRenderer::instance();
  const float w = viewWidth();
  const float h = viewHeight();
  text.drawStringCentered("Rootweaver 2k6", w / 2.0f, 80.0f, 40.0f * alpha_);
  const double t = tTimer::instance().getElapsed();
  const float pulse = 16.0f + static_cast<float>(std::sin(0.001 * t));
  text.drawStringCentered("Press Space To Continue!", w / 2.0f, h - 80.0f, alpha_ * pulse);
  const std::string notice = text.formatStringToWidth(getNotice(), w - 80.0f, 16.0f);
  if (!notice.empty()) {
    glColor4f(1.0f, 0.3f, 0.3f, alpha_);
    text.drawStringCentered(notice, w / 2.0f, h / 2.0f + 40.0f, 16.0f * alpha_);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  }
  drawFadeOverlay();
}

void tSplashScene::update(double) {
  if (!followTransition()) return;
  if (tKeyboardHandler::instance().keyPressed(TKEY_SPACE)) {
    tSceneManager::instance().beginTransition(new tModeSelectScene(), 1000.0f);
  }
}
