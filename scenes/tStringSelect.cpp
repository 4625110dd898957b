#include "scenes/tStringSelect.h"

#include <GL/gl.h>

#include "graphics/tFontManager.h"
#include "graphics/tOGLUtils.h"
#include "graphics/tTextRenderer.h"
#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"

namespace {

// The highlight of the focused list and the selected row.
void setItemColor(bool highlighted, float a) {
  if (highlighted) {
    glColor4f(0.6f, 0.6f, 1.0f, 0.7f * a);
  } else {
    glColor4f(1.0f, 1.0f, 1.0f, 0.7f * a);
  }
}

}  // namespace

tStringSelect::tStringSelect() : selected_(0), focused_(false) {}

void tStringSelect::addString(const std::string& s) { items_.push_back(s); }

void tStringSelect::setSelectedItem(unsigned int i) {
  if (i < items_.size()) selected_ = i;
}

std::string tStringSelect::getText() const {
  return items_.empty() ? std::string() : items_[selected_];
}

int tStringSelect::rowAt(float y, float cy, float h) const {
  if (!(h > 0.0f)) return -1;
  const float row = (y - (cy - h / 2.0f)) / h;
  if (!(row > -1.0f) || !(row < static_cast<float>(items_.size()))) return -1;
  return static_cast<int>(row);
}

void tStringSelect::update(float cx, float cy, float halfWidth, float h, float) {
  tKeyboardHandler& keys = tKeyboardHandler::instance();
  const unsigned int count = static_cast<unsigned int>(items_.size());
  if (focused_ && count > 0) {
    if (keys.keyPressed(TKEY_UP, 0)) selected_ = selected_ == 0 ? count - 1 : selected_ - 1;
    if (keys.keyPressed(TKEY_DOWN, 0)) selected_ = selected_ + 1 == count ? 0 : selected_ + 1;
  }
  const tMouseHandler& mouse = tMouseHandler::instance();
  if (!mouse.buttonPressed(TBUTTON_PRIMARY, 0)) return;
  focused_ = false;
  const float x = static_cast<float>(mouse.getX(0));
  if (x < cx - halfWidth || x > cx + halfWidth) return;
  const int row = rowAt(static_cast<float>(mouse.getY(0)), cy, h);
  if (row < 0) return;
  selected_ = static_cast<unsigned int>(row);
  focused_ = true;
}

void tStringSelect::draw(float cx, float cy, float halfWidth, float h, float a) const {
  const float n = static_cast<float>(items_.size());
  const float shift = 2.0f * a;
  glDisable(GL_TEXTURE_2D);
  glColor4f(0.0f, 0.0f, 0.0f, 0.7f * a);
  tOGLUtils::drawBoxOutline(cx + shift, cy + shift + (n - 1.0f) * h / 2.0f, halfWidth,
                            n * h / 2.0f);
  setItemColor(focused_, a);
  tOGLUtils::drawBoxOutline(cx, cy + (n - 1.0f) * h / 2.0f, halfWidth, n * h / 2.0f);

  glEnable(GL_TEXTURE_2D);
  tFontManager::instance().bindCurrentFont();
  tTextRenderer& text = tTextRenderer::instance();
  const tClipRect view = tOGLUtils::getViewRect();
  const float left = cx - halfWidth;
  const float right = cx + halfWidth;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const float baseline = cy + h / 4.0f + static_cast<float>(i) * h;
    glColor4f(0.0f, 0.0f, 0.0f, 0.7f * a);
    text.drawString(items_[i], left + shift, baseline + shift, h, left, right, view.minY,
                    view.maxY);
    setItemColor(i == selected_, a);
    text.drawString(items_[i], left + shift, baseline, h, left, right, view.minY, view.maxY);
  }
}
