// The drawing half of tFractal, compiled with the windowed program; the
// engine half (fractal/tFractal.cpp) never touches GL.

#include <GL/gl.h>

#include "fractal/tFractal.h"
#include "fractal/tQuadTree.h"

void tFractal::drawTree(double centerX, double centerY, double halfWidth, double halfHeight) {
  if (quadTree_ == nullptr) return;
  glDisable(GL_TEXTURE_2D);
  quadTree_->draw(static_cast<float>(centerX - halfWidth), static_cast<float>(centerY - halfHeight),
                  static_cast<float>(2.0 * halfWidth));
  glEnable(GL_TEXTURE_2D);
}
