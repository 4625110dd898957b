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

tStringSelect::tStringSelect() : selected_(0), focused_(false), visibleRows_(0), first_(0) {}

void tStringSelect::addString(const std::string& s) { items_.push_back(s); }

void tStringSelect::setSelectedItem(unsigned int i) {
  if (i >= items_.size()) return;
  selected_ = i;
  showSelected();
}

unsigned int tStringSelect::shownRows() const {
  const auto count = static_cast<unsigned int>(items_.size());
  return visibleRows_ == 0 || visibleRows_ > count ? count : visibleRows_;
}

void tStringSelect::scroll(int rows) {
  const long last = static_cast<long>(items_.size()) - static_cast<long>(shownRows());
  const long first = static_cast<long>(first_) + rows;
  first_ = static_cast<unsigned int>(first < 0 ? 0 : (first > last ? last : first));
}

void tStringSelect::showSelected() {
  if (selected_ < first_) first_ = selected_;
  if (selected_ >= first_ + shownRows()) first_ = selected_ + 1 - shownRows();
}

int tStringSelect::rowAt(float y, float cy, float h) const {
  if (!(h > 0.0f)) return -1;
  const float row = (y - (cy - h / 2.0f)) / h;
  if (!(row > -1.0f) || !(row < static_cast<float>(shownRows()))) return -1;
  return static_cast<int>(row);
}

void tStringSelect::update(float cx, float cy, float halfWidth, float h, float) {
  tKeyboardHandler& keys = tKeyboardHandler::instance();
  const unsigned int count = static_cast<unsigned int>(items_.size());
  if (focused_ && count > 0) {
    if (keys.keyPressed(TKEY_UP)) selected_ = selected_ == 0 ? count - 1 : selected_ - 1;
    if (keys.keyPressed(TKEY_DOWN)) selected_ = selected_ + 1 == count ? 0 : selected_ + 1;
    showSelected();
  }
  const tMouseHandler& mouse = tMouseHandler::instance();
  const float x = static_cast<float>(mouse.getX());
  const bool over = x >= cx - halfWidth && x <= cx + halfWidth;
  const int row = over ? rowAt(static_cast<float>(mouse.getY()), cy, h) : -1;
  // The wheel turns away from the user (a positive delta) to scroll up.
  if (row >= 0) scroll(-mouse.getWheelDelta());
  if (!mouse.buttonPressed(TBUTTON_PRIMARY)) return;
  focused_ = false;
  if (row < 0) return;
  selected_ = first_ + static_cast<unsigned int>(row);
  focused_ = true;
}

void tStringSelect::draw(float cx, float cy, float halfWidth, float h, float a) const {
  const float n = static_cast<float>(shownRows());
  const float shift = 2.0f * a;
  glDisable(GL_TEXTURE_2D);
  glColor4f(0.0f, 0.0f, 0.0f, 0.7f * a);
  tOGLUtils::drawBoxOutline(cx + shift, cy + shift + (n - 1.0f) * h / 2.0f, halfWidth,
                            n * h / 2.0f);
  setItemColor(focused_, a);
  tOGLUtils::drawBoxOutline(cx, cy + (n - 1.0f) * h / 2.0f, halfWidth, n * h / 2.0f);
  // The bar of a scrolled list: as long against the box as the window
  // against the list.
  if (shownRows() < items_.size()) {
    const float top = cy - h / 2.0f;
    const float scale = n * h / static_cast<float>(items_.size());
    tOGLUtils::drawBoxFilled(cx + halfWidth - 3.0f,
                             top + (static_cast<float>(first_) + n / 2.0f) * scale, 2.0f,
                             n * scale / 2.0f);
  }

  glEnable(GL_TEXTURE_2D);
  tFontManager::instance().bindCurrentFont();
  tTextRenderer& text = tTextRenderer::instance();
  const tClipRect view = tOGLUtils::getViewRect();
  const float left = cx - halfWidth;
  const float right = cx + halfWidth;
  for (unsigned int row = 0; row < shownRows(); ++row) {
    const std::size_t i = first_ + row;
    const float baseline = cy + h / 4.0f + static_cast<float>(row) * h;
    glColor4f(0.0f, 0.0f, 0.0f, 0.7f * a);
    text.drawString(items_[i], left + shift, baseline + shift, h, left, right, view.minY,
                    view.maxY);
    setItemColor(i == selected_, a);
    text.drawString(items_[i], left + shift, baseline, h, left, right, view.minY, view.maxY);
  }
}
