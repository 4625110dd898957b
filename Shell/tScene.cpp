#include "Shell/tScene.h"

#include <GL/gl.h>

#include "Shell/tGame.h"
#include "Shell/tSceneManager.h"
#include "graphics/tFontManager.h"
#include "graphics/tOGLUtils.h"
#include "graphics/tTextRenderer.h"
#include "input/tMouseHandler.h"

tScene::tScene(const std::string& name) : name_(name), alpha_(1.0f) {}

tScene::~tScene() = default;

bool tScene::mouseInRect(float cx, float cy, float halfWidth, float halfHeight) const {
  const tMouseHandler& mouse = tMouseHandler::instance();
  const float x = static_cast<float>(mouse.getX());
  const float y = static_cast<float>(mouse.getY());
  return x >= cx - halfWidth && x <= cx + halfWidth && y >= cy - halfHeight && y <= cy + halfHeight;
}

bool tScene::followTransition() {
  const tSceneManager& scenes = tSceneManager::instance();
  const float beta = scenes.getBeta();
  alpha_ = beta;
  if (!scenes.transitionInProgress()) return true;
  if (beta > 0.5f) {
    alpha_ = scenes.getCurrentScene() != this ? 2.0f * (beta - 0.5f) : -1.0f;
  } else {
    alpha_ = scenes.getDestScene() != this ? 2.0f * (0.5f - beta) : -1.0f;
  }
  return false;
}

bool tScene::beginDrawing() const {
  if (alpha_ < 0.0f) return false;
  tFontManager& fonts = tFontManager::instance();
  fonts.setCurrentFont("Daduz");
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  fonts.bindCurrentFont();
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  return true;
}

void tScene::drawFadeOverlay() const {
  if (alpha_ >= 1.0f) return;
  glDisable(GL_TEXTURE_2D);
  glColor4f(0.0f, 0.0f, 0.0f, 1.0f - alpha_);
  const float halfWidth = viewWidth() / 2.0f;
  const float halfHeight = viewHeight() / 2.0f;
  tOGLUtils::drawBoxFilled(halfWidth, halfHeight, halfWidth, halfHeight);
}

float tScene::viewWidth() { return static_cast<float>(tGame::instance().getViewWidth()); }

float tScene::viewHeight() { return static_cast<float>(tGame::instance().getViewHeight()); }

float tScene::buttonHalfWidth(const char* label, float size) {
  tFontManager::instance().setCurrentFont("Daduz");
  return 0.6f * tTextRenderer::instance().getStringWidth(label, size);
}
