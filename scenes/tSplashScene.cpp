#include "scenes/tSplashScene.h"

#include <cmath>

#include "Shell/tSceneManager.h"
#include "Shell/tTimer.h"
#include "graphics/tTextRenderer.h"
#include "input/tKeyboardHandler.h"
#include "scenes/tModeSelectScene.h"

tSplashScene::tSplashScene() : tScene("Splash") {}

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
  drawFadeOverlay();
}

void tSplashScene::update(double) {
  if (!followTransition()) return;
  if (tKeyboardHandler::instance().keyPressed(TKEY_SPACE, 0)) {
    tSceneManager::instance().beginTransition(new tModeSelectScene(), 1000.0f);
  }
}
