#include "scenes/tPlaceholderScene.h"

#include "Shell/tSceneManager.h"
#include "graphics/tTextRenderer.h"
#include "input/tKeyboardHandler.h"
#include "scenes/tModeSelectScene.h"

tPlaceholderScene::tPlaceholderScene(const std::string& name, const std::string& modeName)
    : tScene(name), message_(modeName + ": coming soon") {}

void tPlaceholderScene::draw() {
  if (!beginDrawing()) return;
  tTextRenderer& text = tTextRenderer::instance();
  const float w = viewWidth();
  const float h = viewHeight();
  text.drawStringCentered(message_, w / 2.0f, h / 2.0f, 40.0f * alpha_);
  text.drawStringCentered("Press Space To Return", w / 2.0f, h - 80.0f, 16.0f * alpha_);
  drawFadeOverlay();
}

void tPlaceholderScene::update(double) {
  if (!followTransition()) return;
  if (tKeyboardHandler::instance().keyPressed(TKEY_SPACE, 0)) {
    tSceneManager::instance().beginTransition(new tModeSelectScene(), 1000.0f);
  }
}
