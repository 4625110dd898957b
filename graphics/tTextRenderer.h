#ifndef ROOTWEAVER_GRAPHICS_TTEXTRENDERER_H
#define ROOTWEAVER_GRAPHICS_TTEXTRENDERER_H

#include <string>

#include "graphics/tOGLUtils.h"

// Draws and measures text with the current font, in view pixels with y
// downwards. A text size s is the drawn height of the font's tallest glyph;
// every character cell is then drawn as a square of k = s / (tallest glyph
// height) pixels, and the pen moves on by the glyph's ink width plus a fixed
// spacing after every character.
//
// Inside a string, byte 1 and the four bytes after it change the drawing
// colour; they are neither drawn nor measured, and no byte of theirs ever
// breaks a line or a word, whatever its value. Bytes of 128 and above are
// not characters of the font: each UTF-8 sequence is drawn as one "?".
//
// Laying text out is kept apart from drawing it: layoutString produces the
// clipped glyph boxes and colour changes in drawing order and hands them to
// a sink, which is GL for the draw calls and a recorder in tests. Widths and
// wrapping need no GL at all.
class tTextRenderer {
 public:
  // Receives laid-out text, in drawing order.
  class tGlyphSink {
   public:
    virtual ~tGlyphSink() = default;
    virtual void drawGlyph(const tTexturedQuad& quad) = 0;
    virtual void setColor(unsigned char r, unsigned char g, unsigned char b, unsigned char a) = 0;
  };

  enum TTEXT_ALIGN {
    TTEXT_LEFT,     // lines start at x
    TTEXT_CENTERED  // lines are centred on x
  };

  static tTextRenderer& instance();

  // Bind the current font themselves and draw clipped to the view or to the
  // rectangle; the first baseline is at y and each further line lineSpacing_
  // x s lower.
  void drawString(const std::string& str, float x, float y, float s);
  void drawString(const std::string& str, float x, float y, float s, float minX, float maxX,
                  float minY, float maxY);
  void drawStringCentered(const std::string& str, float x, float y, float s);

  // Width of the widest line, the spacing after each character included.
  float getStringWidth(const std::string& str, float s) const;
  // Line breaks at white space, or hyphens inside long words, so that lines
  // fit maxWidth where they can.
  std::string formatStringToWidth(const std::string& str, float maxWidth, float s) const;
  // The five-byte escape for a colour with components in 0 ... 1.
  static std::string getColorChangeStringf(float r, float g, float b, float a);

  // The scale k of text size s with the current font; 0 without one.
  float getScale(float s) const;
  // The layout behind the draw calls, handed to a sink: one character with
  // the bound font at pen x on baseline y at scale k, returning the advance
  // (0 without a current font; the space is never drawn), and whole strings.
  float layoutChar(unsigned char c, float x, float y, float k, const tClipRect& clip,
                   tGlyphSink& sink) const;
  void layoutString(const std::string& str, float x, float y, float s, TTEXT_ALIGN align,
                    const tClipRect& clip, tGlyphSink& sink) const;

 private:
  tTextRenderer();
  tTextRenderer(const tTextRenderer&) = delete;
  tTextRenderer& operator=(const tTextRenderer&) = delete;

  void drawAligned(const std::string& str, float x, float y, float s, TTEXT_ALIGN align,
                   const tClipRect& clip);

  float charSpacing_;          // extra advance after every character, in units of the scale
  float lineSpacing_;          // distance between baselines, in units of the text size
  unsigned int wrapLookBack_;  // longest word tail, in characters, that wrapping moves whole
};

#endif
