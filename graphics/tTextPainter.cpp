#include "graphics/tTextPainter.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

const double kSpacing = 0.08;  // the pen's advance after each glyph, in units of the scale

bool isContinuationByte(unsigned char b) { return b >= 0x80 && b < 0xC0; }

// The length of [a0, a1) inside [b0, b1).
double overlap(double a0, double a1, double b0, double b1) {
  return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
}

}  // namespace

tTextPainter::tTextPainter(tImage picture) : picture_(std::move(picture)), metrics_(picture_) {}

std::string tTextPainter::characters(const std::string& text) {
  std::string result;
  for (char byte : text) {
    const unsigned char b = static_cast<unsigned char>(byte);
    if (!isContinuationByte(b)) result += b < 0x80 ? byte : '?';
  }
  return result;
}

double tTextPainter::getScale(double size) const {
  return ok() ? size / metrics_.getMaxCharHeight() : 0.0;
}

double tTextPainter::getWidth(const std::string& text, double size) const {
  const double k = getScale(size);
  double width = 0.0;
  for (char c : characters(text))
    width += (metrics_.getGlyph(static_cast<unsigned char>(c)).width + kSpacing) * k;
  return width;
}

double tTextPainter::getAscent(double size) const {
  // The topmost ink row reaches one pixel row above its own bottom edge.
  const double row = ok() ? 1.0 / metrics_.getCellHeight() : 0.0;
  double ascent = 0.0;
  for (int c = 0; c < tFontMetrics::kCharCount; ++c) {
    const tFontMetrics::tGlyph& g = metrics_.getGlyph(static_cast<unsigned char>(c));
    if (g.height > 0.0f) ascent = std::max(ascent, g.top + row - g.baseline);
  }
  return ascent * getScale(size);
}

double tTextPainter::getDescent(double size) const {
  double descent = 0.0;
  for (int c = 0; c < tFontMetrics::kCharCount; ++c) {
    const tFontMetrics::tGlyph& g = metrics_.getGlyph(static_cast<unsigned char>(c));
    if (g.height > 0.0f) descent = std::max<double>(descent, g.baseline - (g.top - g.height));
  }
  return descent * getScale(size);
}

void tTextPainter::draw(tImage& image, const std::string& text, double x, double y, double size,
                        const tPixel& color) const {
  const double k = getScale(size);
  if (!(k > 0.0)) return;
  for (char byte : characters(text)) {
    const unsigned char c = static_cast<unsigned char>(byte);
    const tFontMetrics::tGlyph& g = metrics_.getGlyph(c);
    if (c != ' ') drawCell(image, c, x - g.left * k, y - g.baseline * k, k, color);
    x += (g.width + kSpacing) * k;
  }
}

void tTextPainter::drawCell(tImage& image, unsigned char c, double left, double bottom, double k,
                            const tPixel& color) const {
  const int columns = static_cast<int>(image.getWidth());
  const int rows = static_cast<int>(image.getHeight());
  const int firstColumn = std::max(0, static_cast<int>(std::floor(left)));
  const int lastColumn = std::min(columns - 1, static_cast<int>(std::ceil(left + k)) - 1);
  const int firstRow = std::max(0, static_cast<int>(std::floor(bottom)));
  const int lastRow = std::min(rows - 1, static_cast<int>(std::ceil(bottom + k)) - 1);
  // Cell pixels per image pixel.
  const double across = metrics_.getCellWidth() / k;
  const double up = metrics_.getCellHeight() / k;
  for (int row = firstRow; row <= lastRow; ++row) {
    const double v0 = (row - bottom) * up;
    for (int column = firstColumn; column <= lastColumn; ++column) {
      const double u0 = (column - left) * across;
      const double alpha = coverage(c, u0, u0 + across, v0, v0 + up);
      if (!(alpha > 0.0)) continue;
      tPixel& pixel = image(row, column);
      for (unsigned int channel = 0; channel < 3; ++channel) {
        const double from = pixel[channel];
        const double to = color[channel];
        pixel[channel] = static_cast<unsigned char>(std::lround(from + (to - from) * alpha));
      }
    }
  }
}

double tTextPainter::coverage(unsigned char c, double u0, double u1, double v0, double v1) const {
  const int width = metrics_.getCellWidth();
  const int height = metrics_.getCellHeight();
  const int x0 = metrics_.cellColumn(c);
  const int y0 = metrics_.cellRow(c);
  double sum = 0.0;
  for (int v = std::max(0, static_cast<int>(std::floor(v0)));
       v < std::min(height, static_cast<int>(std::ceil(v1))); ++v) {
    const double rowShare = overlap(v, v + 1, v0, v1);
    for (int u = std::max(0, static_cast<int>(std::floor(u0)));
         u < std::min(width, static_cast<int>(std::ceil(u1))); ++u) {
      sum += picture_.getPixelub(y0 + v, x0 + u, 3) * rowShare * overlap(u, u + 1, u0, u1);
    }
  }
  return sum / (255.0 * (u1 - u0) * (v1 - v0));
}
