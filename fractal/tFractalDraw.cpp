// The drawing half of tFractal, compiled with the windowed program; the
// engine half (fractal/tFractal.cpp) never touches GL.

#include <GL/gl.h>

#include "fractal/tFractal.h"
#include "fractal/tQuadTree.h"
#include "graphics/tOGLUtils.h"
#include "graphics/tTexture.h"

void tFractal::draw(double centerX, double centerY, double halfWidth, double halfHeight) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_->getTexID());
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  tOGLUtils::drawBoxTextured(static_cast<float>(centerX), static_cast<float>(centerY),
                             static_cast<float>(halfWidth), static_cast<float>(halfHeight));
  glDisable(GL_TEXTURE_2D);
}

void tFractal::drawTree(double centerX, double centerY, double halfWidth, double halfHeight) {
  if (quadTree_ == nullptr) return;
  glDisable(GL_TEXTURE_2D);
  quadTree_->draw(static_cast<float>(centerX - halfWidth), static_cast<float>(centerY - halfHeight),
                  static_cast<float>(2.0 * halfWidth));
  glEnable(GL_TEXTURE_2D);
}
