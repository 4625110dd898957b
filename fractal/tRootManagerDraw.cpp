// The drawing half of tRootManager, compiled with the windowed program.

#include <GL/gl.h>

#include <cstdio>
#include <vector>

#include "fractal/tRootManager.h"
#include "graphics/tTextRenderer.h"

namespace {

// A root inside the drawn rectangle, at its place in the view.
struct tRootMarker {
  double x;  // the root
  double y;
  float sx;  // its place in view pixels
  float sy;
};

const float kArm = 10.0f;        // half the size of a marker's plus sign
const float kLabelSize = 20.0f;  // text size of the labels

}  // namespace

void tRootManager::drawRoots(double minX, double maxX, double minY, double maxY, double left,
                             double top, double halfWidth, double halfHeight) const {
  if (!(maxX > minX) || !(maxY > minY)) return;
  std::vector<tRootMarker> markers;
  for (const auto& entry : roots_) {
    const double x = entry.first.x_;
    const double y = entry.first.y_;
    if (x < minX || x > maxX || y < minY || y > maxY) continue;
    const double sx = 2.0 * halfWidth * (x - minX) / (maxX - minX) + left;
    const double sy = (1.0 - (y - minY) / (maxY - minY)) * 2.0 * halfHeight + top;
    markers.push_back({x, y, static_cast<float>(sx), static_cast<float>(sy)});
  }

  const tPixel color = getTextColor();
  glDisable(GL_TEXTURE_2D);
  glColor4ub(color[0], color[1], color[2], color[3]);
  glBegin(GL_LINES);
  for (const tRootMarker& m : markers) {
    glVertex2f(m.sx, m.sy - kArm);
    glVertex2f(m.sx, m.sy + kArm);
    glVertex2f(m.sx - kArm, m.sy);
    glVertex2f(m.sx + kArm, m.sy);
  }
  glEnd();

  glEnable(GL_TEXTURE_2D);
  tTextRenderer& text = tTextRenderer::instance();
  for (const tRootMarker& m : markers) {
    char label[96];
    std::snprintf(label, sizeof label, "(%f, %f)", m.x, m.y);
    glColor4f(0.0f, 0.0f, 0.0f, 0.7f);
    text.drawString(label, m.sx + kArm + 1.0f, m.sy + kArm + 1.0f, kLabelSize);
    glColor4ub(color[0], color[1], color[2], color[3]);
    text.drawString(label, m.sx + kArm, m.sy + kArm, kLabelSize);
  }
}
