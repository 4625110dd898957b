#include "scenes/tModeSelectScene.h"

#include <GL/gl.h>

#include "Shell/tSceneManager.h"
#include "graphics/tOGLUtils.h"
#include "graphics/tTextRenderer.h"
#include "input/tMouseHandler.h"
#include "scenes/tSetupBLAMScene.h"
#include "scenes/tSetupFracScene.h"

namespace {

const char kInteractiveLabel[] = "Vadoduraraz\nMode";
const char kBatchLabel[] = "BLAM\nMode";
const float kTextSize = 40.0f;
const float kButtonHalfHeight = 50.0f;
// Labels stand 15 pixels above their buttons' centres: the first of their
// two lines is the baseline, and the second hangs below it.
const float kLabelRaise = 15.0f;

}  // namespace

tModeSelectScene::tModeSelectScene() : tScene("Mode Select") {}

void tModeSelectScene::draw() {
  if (!beginDrawing()) return;
  tTextRenderer& text = tTextRenderer::instance();
  const float w = viewWidth();
  const float buttonY = viewHeight() / 2.0f + 55.0f;
  const float size = kTextSize * alpha_;
  text.drawStringCentered("Mode Select!", w / 2.0f, 80.0f, size);
  text.drawStringCentered(kInteractiveLabel, w / 4.0f, buttonY - kLabelRaise, size);
  text.drawStringCentered(kBatchLabel, 3.0f * w / 4.0f, buttonY - kLabelRaise, size);

  glDisable(GL_TEXTURE_2D);
  glColor4f(1.0f, 1.0f, 1.0f, alpha_);
  const float halfWidth = buttonHalfWidth(kInteractiveLabel, kTextSize);
  tOGLUtils::drawBoxOutline(w / 4.0f, buttonY, halfWidth, kButtonHalfHeight);
  tOGLUtils::drawBoxOutline(3.0f * w / 4.0f, buttonY, halfWidth, kButtonHalfHeight);
  drawFadeOverlay();
}

void tModeSelectScene::update(double) {
  if (!followTransition()) return;
  if (!tMouseHandler::instance().buttonPressed(TBUTTON_PRIMARY)) return;
  const float w = viewWidth();
  const float buttonY = viewHeight() / 2.0f + 55.0f;
  const float halfWidth = buttonHalfWidth(kInteractiveLabel, kTextSize * alpha_);
  const float halfHeight = kButtonHalfHeight * alpha_;
  tSceneManager& scenes = tSceneManager::instance();
  if (mouseInRect(w / 4.0f, buttonY, halfWidth, halfHeight)) {
    scenes.beginTransition(new tSetupFracScene(), 1000.0f);
  }
  if (mouseInRect(3.0f * w / 4.0f, buttonY, halfWidth, halfHeight)) {
    scenes.beginTransition(new tSetupBLAMScene(), 1000.0f);
  }
}
