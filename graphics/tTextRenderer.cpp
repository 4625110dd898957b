#include "graphics/tTextRenderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "graphics/tFontDesc.h"
#include "graphics/tFontManager.h"

// Text is read as a sequence of units rather than bytes: a character of the
// font, a whole colour escape, or nothing (a stray byte, or an escape cut
// short by the end of the text). Line breaks, white space, widths, wrapping
// and trimming are all decided on units, so the bytes of an escape, which
// may take any value from 1 to 65, can never be taken for a line feed or a
// space and split.

namespace {

const unsigned char kEscape = 1;  // first byte of a colour escape
const int kEscapeLength = 5;      // the escape byte and four colour bytes

enum TUNIT_KIND {
  TUNIT_GLYPH,  // a character of the font
  TUNIT_COLOR,  // a complete colour escape
  TUNIT_NONE    // neither drawn nor measured
};

struct tTextUnit {
  std::size_t begin;       // first byte in the text
  std::size_t length;      // bytes in the text
  TUNIT_KIND kind;         // what the bytes are
  unsigned char code;      // the character, for a glyph
  unsigned char color[4];  // red, green, blue, alpha, for an escape
};

unsigned char colorFromByte(unsigned char b) {
  return b == 'A' ? 255 : static_cast<unsigned char>((4 * b - 4) & 0xFF);
}

bool isContinuationByte(unsigned char b) { return b >= 0x80 && b < 0xC0; }

tTextUnit unitAt(const std::string& str, std::size_t i) {
  tTextUnit u{i, 1, TUNIT_GLYPH, static_cast<unsigned char>(str[i]), {0, 0, 0, 0}};
  if (u.code == kEscape) {
    if (str.size() - i < static_cast<std::size_t>(kEscapeLength)) {
      u.length = str.size() - i;
      u.kind = TUNIT_NONE;
      return u;
    }
    u.length = kEscapeLength;
    u.kind = TUNIT_COLOR;
    for (int c = 0; c < 4; ++c)
      u.color[c] = colorFromByte(static_cast<unsigned char>(str[i + 1 + c]));
  } else if (isContinuationByte(u.code)) {
    u.kind = TUNIT_NONE;
  } else if (u.code >= 0x80) {
    u.code = '?';
    while (u.length < 4 && i + u.length < str.size() &&
           isContinuationByte(static_cast<unsigned char>(str[i + u.length]))) {
      ++u.length;
    }
  }
  return u;
}

std::vector<tTextUnit> cutUnits(const std::string& str) {
  std::vector<tTextUnit> units;
  for (std::size_t i = 0; i < str.size(); i += units.back().length) units.push_back(unitAt(str, i));
  return units;
}

bool isGlyph(const tTextUnit& u, char c) {
  return u.kind == TUNIT_GLYPH && u.code == static_cast<unsigned char>(c);
}

bool isLineBreak(const tTextUnit& u) { return isGlyph(u, '\n') || isGlyph(u, '\r'); }

bool isWhiteSpace(const tTextUnit& u) {
  return isGlyph(u, ' ') || isGlyph(u, '\t') || isLineBreak(u);
}

// The white space that trimming removes: spaces, tabs and line feeds.
bool isTrimmed(const tTextUnit& u) {
  return isGlyph(u, ' ') || isGlyph(u, '\t') || isGlyph(u, '\n');
}

// The lines of a text, each a run [first, last) of its units; every line
// feed and every carriage return ends a line.
struct tLine {
  std::size_t first;
  std::size_t last;
};

std::vector<tLine> splitLines(const std::vector<tTextUnit>& units) {
  std::vector<tLine> lines;
  std::size_t first = 0;
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (!isLineBreak(units[i])) continue;
    lines.push_back(tLine{first, i});
    first = i + 1;
  }
  lines.push_back(tLine{first, units.size()});
  return lines;
}

// The bytes of units [first, last).
std::string text(const std::string& str, const std::vector<tTextUnit>& units, std::size_t first,
                 std::size_t last) {
  if (first >= last) return "";
  return str.substr(units[first].begin,
                    units[last - 1].begin + units[last - 1].length - units[first].begin);
}

// The same with white space trimmed from both ends.
std::string trimmedText(const std::string& str, const std::vector<tTextUnit>& units,
                        std::size_t first, std::size_t last) {
  while (first < last && isTrimmed(units[first])) ++first;
  while (last > first && isTrimmed(units[last - 1])) --last;
  return text(str, units, first, last);
}

unsigned char colorToByte(float x) {
  if (!(x < 1.0f)) return 'A';
  if (!(x > 0.0f)) return 1;
  return static_cast<unsigned char>(static_cast<int>(std::floor(255.0f * x)) / 4 + 1);
}

// Draws what the layout produces, with the current GL state.
class tGLGlyphSink : public tTextRenderer::tGlyphSink {
 public:
  void drawGlyph(const tTexturedQuad& quad) override { tOGLUtils::drawTexturedQuad(quad); }
  void setColor(unsigned char r, unsigned char g, unsigned char b, unsigned char a) override {
    glColor4ub(r, g, b, a);
  }
};

tGLGlyphSink glSink;

}  // namespace

tTextRenderer& tTextRenderer::instance() {
  static tTextRenderer* renderer = new tTextRenderer();
  return *renderer;
}

tTextRenderer::tTextRenderer() : charSpacing_(0.08f), lineSpacing_(1.2f), wrapLookBack_(20) {}

void tTextRenderer::drawString(const std::string& str, float x, float y, float s) {
  drawAligned(str, x, y, s, TTEXT_LEFT, tOGLUtils::getViewRect());
}

void tTextRenderer::drawString(const std::string& str, float x, float y, float s, float minX,
                               float maxX, float minY, float maxY) {
  drawAligned(str, x, y, s, TTEXT_LEFT, tClipRect{minX, maxX, minY, maxY});
}

void tTextRenderer::drawStringCentered(const std::string& str, float x, float y, float s) {
  drawAligned(str, x, y, s, TTEXT_CENTERED, tOGLUtils::getViewRect());
}

void tTextRenderer::drawAligned(const std::string& str, float x, float y, float s,
                                TTEXT_ALIGN align, const tClipRect& clip) {
  if (!tFontManager::instance().bindCurrentFont()) return;
  layoutString(str, x, y, s, align, clip, glSink);
}

float tTextRenderer::getStringWidth(const std::string& str, float s) const {
  const tFontDesc* font = tFontManager::instance().getCurrentFont();
  const float k = getScale(s);
  if (font == nullptr || !(k > 0.0f)) return 0.0f;
  std::vector<tTextUnit> units = cutUnits(str);
  float widest = 0.0f;
  for (const tLine& line : splitLines(units)) {
    float width = 0.0f;
    for (std::size_t i = line.first; i < line.last; ++i) {
      if (units[i].kind == TUNIT_GLYPH)
        width += (font->getGlyph(units[i].code).width + charSpacing_) * k;
    }
    widest = std::max(widest, width);
  }
  return widest;
}

// The line grows one unit at a time while it fits. When it stops fitting, it
// breaks at its last white space if the overflowing word is short enough to
// move whole; otherwise the word is cut with a hyphen and its last two units
// start the next line. Widths too narrow for that are handled so that every
// line still makes progress: a unit alone on its line stays there however
// wide it is, and a line of two units breaks between them.
std::string tTextRenderer::formatStringToWidth(const std::string& str, float maxWidth,
                                               float s) const {
  std::vector<tTextUnit> units = cutUnits(str);
  std::string result;
  std::size_t lineFirst = 0;  // first unit of the line being built
  std::size_t lineStart = 0;  // where the text after the last break begins
  std::size_t lastSpace = 0;  // the last white space seen, or lineStart
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (isWhiteSpace(units[i])) lastSpace = i;
    if (i == lineFirst) continue;
    if (getStringWidth(text(str, units, lineFirst, i + 1), s) <= maxWidth) continue;
    if (lastSpace != lineStart && i - lastSpace <= wrapLookBack_) {
      result += trimmedText(str, units, lineStart, lastSpace) + "\n";
      i = lineStart = lastSpace;
    } else if (i - lineFirst >= 2) {
      result += trimmedText(str, units, lineFirst, i - 1) + "-\n";
      i -= 2;
      lineStart = lastSpace = i + 1;
    } else {
      result += trimmedText(str, units, lineFirst, i) + "\n";
      lineStart = lastSpace = i;
      --i;
    }
    lineFirst = i + 1;
  }
  return result + trimmedText(str, units, lineStart, units.size());
}

std::string tTextRenderer::getColorChangeStringf(float r, float g, float b, float a) {
  return std::string{static_cast<char>(kEscape), static_cast<char>(colorToByte(r)),
                     static_cast<char>(colorToByte(g)), static_cast<char>(colorToByte(b)),
                     static_cast<char>(colorToByte(a))};
}

float tTextRenderer::getScale(float s) const {
  const tFontDesc* font = tFontManager::instance().getCurrentFont();
  if (font == nullptr || !(font->getMaxCharHeight() > 0.0f)) return 0.0f;
  return s / font->getMaxCharHeight();
}

float tTextRenderer::layoutChar(unsigned char c, float x, float y, float k, const tClipRect& clip,
                                tGlyphSink& sink) const {
  const tFontDesc* font = tFontManager::instance().getCurrentFont();
  if (font == nullptr || c >= 128) return 0.0f;
  if (c != ' ') {
    const tTexCoords tc = font->getTexCoordsForChar(c);
    font->adjustCharacterPosition(c, k, x, y);
    const float half = k / 2.0f;
    tTexturedQuad quad;
    if (tOGLUtils::clipTexturedBox(x + half, y - half, half, half, tc, clip, &quad)) {
      sink.drawGlyph(quad);
    }
  }
  return font->getCharWidth(c, k);
}

void tTextRenderer::layoutString(const std::string& str, float x, float y, float s,
                                 TTEXT_ALIGN align, const tClipRect& clip, tGlyphSink& sink) const {
  const float k = getScale(s);
  if (!(k > 0.0f)) return;
  std::vector<tTextUnit> units = cutUnits(str);
  float baseline = y;
  for (const tLine& line : splitLines(units)) {
    float pen = x;
    if (align == TTEXT_CENTERED)
      pen -= getStringWidth(text(str, units, line.first, line.last), s) / 2.0f;
    for (std::size_t i = line.first; i < line.last; ++i) {
      const tTextUnit& u = units[i];
      if (u.kind == TUNIT_COLOR) sink.setColor(u.color[0], u.color[1], u.color[2], u.color[3]);
      if (u.kind == TUNIT_GLYPH)
        pen += layoutChar(u.code, pen, baseline, k, clip, sink) + charSpacing_ * k;
    }
    baseline += lineSpacing_ * s;
  }
}
