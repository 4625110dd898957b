#include "scenes/tTextEntry.h"

#include <GL/gl.h>

#include "graphics/tFontManager.h"
#include "graphics/tOGLUtils.h"
#include "graphics/tTextRenderer.h"
#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"
#include "lexer/tStringUtils.h"

namespace {

// Red for a marked field, light blue while typing, white otherwise.
void setFieldColor(bool marked, bool active, float a) {
  if (marked) {
    glColor4f(1.0f, 0.25f, 0.25f, a);
  } else if (active) {
    glColor4f(0.6f, 0.6f, 1.0f, 0.7f * a);
  } else {
    glColor4f(1.0f, 1.0f, 1.0f, 0.7f * a);
  }
}

}  // namespace

tTextEntry::tTextEntry() : active_(false), marked_(false) {}

void tTextEntry::update(float cx, float cy, float halfWidth, float h, float) {
  const tMouseHandler& mouse = tMouseHandler::instance();
  if (mouse.buttonPressed(TBUTTON_PRIMARY)) {
    const float x = static_cast<float>(mouse.getX());
    const float y = static_cast<float>(mouse.getY());
    active_ =
        x >= cx - halfWidth && x <= cx + halfWidth && y >= cy - h / 2.0f && y <= cy + h / 2.0f;
  }
  if (!active_) return;
  tKeyboardHandler& keys = tKeyboardHandler::instance();
  keys.enableRepeat();
  if (keys.keyPressed(TKEY_RETURN) || keys.keyPressed(TKEY_NUM_ENTER)) {
    active_ = false;
    return;
  }
  typeKeys();
  if (keys.keyPressed(TKEY_BACKSPACE) && !text_.empty()) text_.pop_back();
}

// The iterator lists the keys held since the previous frame as well as this
// frame's events; keyPressed decides which of them type now (a fresh press,
// or a repeat that is due).
void tTextEntry::typeKeys() {
  tKeyboardHandler& keys = tKeyboardHandler::instance();
  const bool shift = keys.keyDown(TKEY_SHIFT);
  tKeyIterator events = keys.getKeyIterator();
  while (events.hasMoreDownEvents()) {
    const tKeyEvent event = events.getNextDown();
    if (!keys.keyPressed(event.code)) continue;
    char c = tKeyboardHandler::keycodeToPrintable(event.code);
    if (shift) c = tStringUtils::shiftChar(c);
    if (c != '\0') text_ += c;
  }
}

void tTextEntry::draw(float cx, float cy, float halfWidth, float h, float a) const {
  const float shift = 2.0f * a;
  glDisable(GL_TEXTURE_2D);
  glColor4f(0.0f, 0.0f, 0.0f, 0.7f * a);
  tOGLUtils::drawBoxOutline(cx + shift, cy + shift, halfWidth, h / 2.0f);
  setFieldColor(marked_, active_, a);
  tOGLUtils::drawBoxOutline(cx, cy, halfWidth, h / 2.0f);

  glEnable(GL_TEXTURE_2D);
  tFontManager::instance().bindCurrentFont();
  tTextRenderer& text = tTextRenderer::instance();
  const std::string shown = active_ ? text_ + "_" : text_;
  const float left = cx - halfWidth;
  const float right = cx + halfWidth;
  const float top = cy - h / 2.0f;
  const float bottom = cy + h / 2.0f;
  const float baseline = cy + h / 4.0f;
  glColor4f(0.0f, 0.0f, 0.0f, 0.7f * a);
  text.drawString(shown, left + shift, baseline + shift, h, left, right, top, bottom);
  setFieldColor(marked_, active_, a);
  text.drawString(shown, left + shift, baseline, h, left, right, top, bottom);
}
