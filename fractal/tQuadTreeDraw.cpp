// The drawing half of tQuadTree, compiled with the windowed program.

#include <GL/gl.h>

#include "fractal/tQuadTree.h"
#include "graphics/tOGLUtils.h"

void tQuadTree::draw(float x, float y, float size) const {
  const float half = size / 2.0f;
  auto drawPass = [&]() {
    tOGLUtils::drawBoxOutline(x + half, y + half, half, half);
    if (root_ != nullptr) root_->draw(y, x, size);
  };
  glColor4f(0.0f, 0.0f, 0.0f, 0.3f);
  glPushMatrix();
  glTranslatef(1.0f, -1.0f, 0.0f);
  drawPass();
  glPopMatrix();
  glColor4f(1.0f, 1.0f, 1.0f, 0.7f);
  drawPass();
}

void tQuadTree::tQuadTreeNode::draw(float top, float left, float size) const {
  if (!mottled_) return;
  const float half = size / 2.0f;
  glBegin(GL_LINES);
  glVertex2f(left, top + half);
  glVertex2f(left + size, top + half);
  glVertex2f(left + half, top);
  glVertex2f(left + half, top + size);
  glEnd();
  if (children_[0] == nullptr) return;
  children_[0]->draw(top, left, half);
  children_[1]->draw(top, left + half, half);
  children_[2]->draw(top + half, left, half);
  children_[3]->draw(top + half, left + half, half);
}
