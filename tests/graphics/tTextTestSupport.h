#ifndef ROOTWEAVER_TESTS_GRAPHICS_TTEXTTESTSUPPORT_H
#define ROOTWEAVER_TESTS_GRAPHICS_TTEXTTESTSUPPORT_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "graphics/tFontManager.h"
#include "graphics/tImage.h"
#include "graphics/tOGLUtils.h"
#include "graphics/tTextRenderer.h"

// Records laid-out text: the quads with their texture rectangles and the
// colour changes, in order, as text lines.
class tRecordingSink : public tTextRenderer::tGlyphSink {
 public:
  void drawGlyph(const tTexturedQuad& q) override {
    quads_.push_back(q);
    char line[160];
    std::snprintf(line, sizeof line, "quad x %.2f..%.2f y %.2f..%.2f s %.4f..%.4f t %.4f..%.4f\n",
                  q.left, q.right, q.top, q.bottom, q.tex.s0, q.tex.s1, q.tex.t0, q.tex.t1);
    log_ += line;
  }
  void setColor(unsigned char r, unsigned char g, unsigned char b, unsigned char a) override {
    log_ += "color " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b) + " " +
            std::to_string(a) + "\n";
  }

  std::string log_;                   // one line per call
  std::vector<tTexturedQuad> quads_;  // the quads, in order
};

// Makes the named font current, loading it from path the first time.
inline bool useFont(const std::string& path, const std::string& name) {
  tFontManager& fonts = tFontManager::instance();
  return fonts.setCurrentFont(name) || fonts.loadAndSetFont(path, name);
}

// Composes laid-out glyph quads into a picture of the given size, white text
// on black (view row y is image row height - 1 - y, as tImage keeps row 0 at
// the bottom), sampling the font picture the way a
// mipmapped texture is drawn: every output pixel averages 4 x 4 bilinear
// samples of the texture rectangle under it.
inline tImage composeText(const std::vector<tTexturedQuad>& quads, const tImage& fontPicture,
                          unsigned int width, unsigned int height) {
  tImage out(width, height);
  const float fw = static_cast<float>(fontPicture.getWidth());
  const float fh = static_cast<float>(fontPicture.getHeight());
  for (const tTexturedQuad& q : quads) {
    const int x0 = std::max(0, static_cast<int>(std::floor(q.left)));
    const int x1 = std::min(static_cast<int>(width), static_cast<int>(std::ceil(q.right)));
    const int y0 = std::max(0, static_cast<int>(std::floor(q.top)));
    const int y1 = std::min(static_cast<int>(height), static_cast<int>(std::ceil(q.bottom)));
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        float sum = 0.0f;
        for (int sy = 0; sy < 4; ++sy) {
          for (int sx = 0; sx < 4; ++sx) {
            const float px = x + (sx + 0.5f) / 4.0f;
            const float py = y + (sy + 0.5f) / 4.0f;
            if (px < q.left || px > q.right || py < q.top || py > q.bottom) continue;
            const float s = q.tex.s0 + (px - q.left) / (q.right - q.left) * (q.tex.s1 - q.tex.s0);
            const float t = q.tex.t0 + (q.bottom - py) / (q.bottom - q.top) * (q.tex.t1 - q.tex.t0);
            const float row = std::min(t * fh - 0.5f, fh - 1.0f);
            const float column = std::min(s * fw - 0.5f, fw - 1.0f);
            sum += fontPicture.getPixelBilinearf(std::max(row, 0.0f), std::max(column, 0.0f), 3);
          }
        }
        const float value = std::min(1.0f, out.getPixelf(height - 1 - y, x, 0) + sum / 16.0f);
        out.setPixelf(height - 1 - y, x, value, value, value, 1.0f);
      }
    }
  }
  return out;
}

#endif
