#include "graphics/tOGLUtils.h"

#include <GL/gl.h>
#include <GL/glu.h>

int tOGLUtils::viewWidth_ = 0;
int tOGLUtils::viewHeight_ = 0;

void tOGLUtils::setOrthographicProjection(int width, int height, int viewportX, int viewportY,
                                          int viewportWidth, int viewportHeight) {
  viewWidth_ = width;
  viewHeight_ = height;
  glViewport(viewportX, viewportY, viewportWidth, viewportHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0.0, width, 0.0, height);
  glScalef(1.0f, -1.0f, 1.0f);
  glTranslatef(0.0f, static_cast<GLfloat>(-height), 0.0f);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void tOGLUtils::setOrthographicProjection(int width, int height) {
  setOrthographicProjection(width, height, 0, 0, width, height);
}

void tOGLUtils::drawBoxFilled(float cx, float cy, float hw, float hh) {
  glBegin(GL_TRIANGLE_STRIP);
  glVertex2f(cx - hw, cy - hh);
  glVertex2f(cx + hw, cy - hh);
  glVertex2f(cx - hw, cy + hh);
  glVertex2f(cx + hw, cy + hh);
  glEnd();
}

void tOGLUtils::drawBoxOutline(float cx, float cy, float hw, float hh) {
  glBegin(GL_LINE_LOOP);
  glVertex2f(cx - hw, cy - hh);
  glVertex2f(cx + hw, cy - hh);
  glVertex2f(cx + hw, cy + hh);
  glVertex2f(cx - hw, cy + hh);
  glEnd();
}

void tOGLUtils::drawBoxTextured(float cx, float cy, float hw, float hh, const tTexCoords& tc,
                                float minX, float maxX, float minY, float maxY) {
  tTexturedQuad quad;
  if (clipTexturedBox(cx, cy, hw, hh, tc, tClipRect{minX, maxX, minY, maxY}, &quad)) {
    drawTexturedQuad(quad);
  }
}

void tOGLUtils::drawBoxTextured(float cx, float cy, float hw, float hh, const tTexCoords& tc) {
  tClipRect view = getViewRect();
  drawBoxTextured(cx, cy, hw, hh, tc, view.minX, view.maxX, view.minY, view.maxY);
}

void tOGLUtils::drawBoxTextured(float cx, float cy, float hw, float hh) {
  drawBoxTextured(cx, cy, hw, hh, getDefaultTexCoords());
}

tTexCoords tOGLUtils::getDefaultTexCoords() { return tTexCoords{0.0f, 1.0f, 0.0f, 1.0f}; }

// Each cut is a fraction of the whole box, measured with the box's original
// edges, so cutting one side never changes how much another side loses.
bool tOGLUtils::clipTexturedBox(float cx, float cy, float hw, float hh, const tTexCoords& tc,
                                const tClipRect& clip, tTexturedQuad* quad) {
  const float left = cx - hw;
  const float right = cx + hw;
  const float top = cy - hh;
  const float bottom = cy + hh;
  if (clip.minX > right || left > clip.maxX || top > clip.maxY || clip.minY > bottom) return false;
  if (!(hw > 0.0f) || !(hh > 0.0f)) return false;

  const float ds = tc.s1 - tc.s0;
  const float dt = tc.t1 - tc.t0;
  tTexturedQuad q{left, right, top, bottom, tc};
  float sExtent = ds;
  float tExtent = dt;
  if (right > clip.maxX) {
    sExtent -= (1.0f - (clip.maxX - left) / (2.0f * hw)) * ds;
    q.right = clip.maxX;
  }
  if (clip.minX > left) {
    float f = (clip.minX - left) / (2.0f * hw);
    q.tex.s0 += f * ds;
    sExtent -= f * ds;
    q.left = clip.minX;
  }
  if (clip.minY > top) {
    tExtent -= (1.0f - (bottom - clip.minY) / (2.0f * hh)) * dt;
    q.top = clip.minY;
  }
  if (bottom > clip.maxY) {
    float f = (bottom - clip.maxY) / (2.0f * hh);
    q.tex.t0 += f * dt;
    tExtent -= f * dt;
    q.bottom = clip.maxY;
  }
  q.tex.s1 = q.tex.s0 + sExtent;
  q.tex.t1 = q.tex.t0 + tExtent;
  *quad = q;
  return true;
}

void tOGLUtils::drawTexturedQuad(const tTexturedQuad& quad) {
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(quad.tex.s0, quad.tex.t1);
  glVertex2f(quad.left, quad.top);
  glTexCoord2f(quad.tex.s1, quad.tex.t1);
  glVertex2f(quad.right, quad.top);
  glTexCoord2f(quad.tex.s0, quad.tex.t0);
  glVertex2f(quad.left, quad.bottom);
  glTexCoord2f(quad.tex.s1, quad.tex.t0);
  glVertex2f(quad.right, quad.bottom);
  glEnd();
}

tClipRect tOGLUtils::getViewRect() {
  return tClipRect{0.0f, static_cast<float>(viewWidth_), 0.0f, static_cast<float>(viewHeight_)};
}
