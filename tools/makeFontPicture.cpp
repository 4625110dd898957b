// Makes the program's font picture from a TrueType font.
//
// The text renderer draws every character from one 32-bit picture of 16 x 8
// cells, codes 0 to 127 row by row from the top of the displayed picture, and
// measures each glyph from the picture itself: a pixel with non-zero alpha is
// ink, and the lowest pixel with non-zero alpha in a cell's first column marks
// the baseline. This tool renders the printable codes 33 to 126 with FreeType
// into such a picture, white everywhere with the glyph coverage as alpha, so
// that filtering and mipmapping never darken the edges of the glyphs.
//
// Invariants of the picture it writes:
// - every cell's first column is empty except for its baseline marker, and
//   the second column is empty too, so ink starts at the third column;
// - all cells share one baseline row, chosen so that the highest ascender and
//   the deepest descender both stay a few pixels inside the cell, and the
//   pixel size is the largest for which that holds and every glyph fits the
//   cell's width; a margin on every side keeps linear filtering of one cell
//   from reaching the ink of its neighbours;
// - the renderer places a glyph by its measured extent and then adds a fixed
//   spacing of 0.08 of a cell, which knows nothing of the font's own side
//   bearings. So each glyph also gets two pixels of alpha 1 (invisible, but
//   measured) on its baseline: one at its origin and one at its advance less
//   that spacing. The renderer then moves the pen by the font's own advance
//   and spaces the letters as their designer did; the space, which has no
//   ink, measures exactly its advance too. Codes without a glyph (control
//   codes and 127) are empty cells with only their marker.
//
// Usage: makeFontPicture FONT.ttf OUT.tga [MORE.tga ...]; every output gets
// the same bytes. Exit status 0 on success, 1 with a message otherwise.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

const int kColumns = 16;              // cells per row of the picture
const int kRows = 8;                  // rows of cells
const int kCell = 64;                 // side of a cell in pixels
const int kWidth = kColumns * kCell;  // picture width
const int kHeight = kRows * kCell;    // picture height
const int kInkColumn = 2;             // first cell column that holds ink
const int kMargin = 3;                // empty pixels kept inside every other cell edge
const int kLastPrintable = 126;       // '~'
const int kRendererSpacing = 5;       // the renderer's spacing after a glyph, 0.08 of a cell

// One rendered glyph: its coverage bitmap, top row first, and where it sits
// relative to the pen and the baseline.
struct tRenderedGlyph {
  int width = 0;                      // bitmap columns
  int rows = 0;                       // bitmap rows
  int top = 0;                        // rows of the bitmap above the baseline
  int left = 0;                       // columns from the origin to the bitmap (may be negative)
  int advance = 0;                    // pixels from this origin to the next
  std::vector<unsigned char> pixels;  // coverage, rows * width bytes, top row first

  // Cell column of the origin, so that no ink lies left of the ink column.
  int origin() const { return kInkColumn + std::max(0, -left); }
  // Cell column of the last pixel that is ink or measured.
  int lastColumn() const {
    return std::max(origin() + left + width - 1, origin() + advance - kRendererSpacing);
  }
};

// The picture in memory, RGBA with row 0 at the top of the displayed picture.
class tPicture {
 public:
  tPicture() : rgba_(static_cast<size_t>(kWidth) * kHeight * 4, 0) {
    for (size_t i = 0; i < rgba_.size(); i += 4) rgba_[i] = rgba_[i + 1] = rgba_[i + 2] = 255;
  }

  void setAlpha(int x, int y, unsigned char alpha) { rgba_[index(x, y) + 3] = alpha; }
  void raiseAlpha(int x, int y, unsigned char alpha) {
    rgba_[index(x, y) + 3] = std::max(rgba_[index(x, y) + 3], alpha);
  }

  // Uncompressed 32-bit TGA, bottom row first (the format's default origin).
  bool writeTGA(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    unsigned char header[18] = {0,
                                0,
                                2,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                static_cast<unsigned char>(kWidth & 0xFF),
                                static_cast<unsigned char>(kWidth >> 8),
                                static_cast<unsigned char>(kHeight & 0xFF),
                                static_cast<unsigned char>(kHeight >> 8),
                                32,
                                8};
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    std::vector<unsigned char> row(static_cast<size_t>(kWidth) * 4);
    for (int y = kHeight - 1; y >= 0; --y) {
      const unsigned char* src = &rgba_[static_cast<size_t>(y) * kWidth * 4];
      for (int x = 0; x < kWidth; ++x) {
        row[x * 4 + 0] = src[x * 4 + 2];
        row[x * 4 + 1] = src[x * 4 + 1];
        row[x * 4 + 2] = src[x * 4 + 0];
        row[x * 4 + 3] = src[x * 4 + 3];
      }
      out.write(reinterpret_cast<const char*>(row.data()),
                static_cast<std::streamsize>(row.size()));
    }
    return static_cast<bool>(out);
  }

 private:
  static size_t index(int x, int y) { return (static_cast<size_t>(y) * kWidth + x) * 4; }

  std::vector<unsigned char> rgba_;  // kWidth x kHeight pixels, four bytes each
};

bool renderGlyph(FT_Face face, int code, tRenderedGlyph* glyph) {
  if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL)) {
    return false;
  }
  const FT_Bitmap& bitmap = face->glyph->bitmap;
  glyph->width = static_cast<int>(bitmap.width);
  glyph->rows = static_cast<int>(bitmap.rows);
  glyph->top = face->glyph->bitmap_top;
  glyph->left = face->glyph->bitmap_left;
  glyph->advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
  glyph->pixels.assign(static_cast<size_t>(glyph->width) * glyph->rows, 0);
  for (int r = 0; r < glyph->rows; ++r) {
    for (int c = 0; c < glyph->width; ++c) {
      glyph->pixels[static_cast<size_t>(r) * glyph->width + c] =
          bitmap.buffer[r * bitmap.pitch + c];
    }
  }
  return true;
}

// The printable glyphs at one pixel size, with the extremes that decide
// whether they fit the cells.
struct tGlyphSet {
  std::vector<tRenderedGlyph> glyphs;  // by code; codes 32 to 126 are filled
  int ascent = 0;                      // highest row above the baseline over all glyphs
  int descent = 0;                     // deepest row below the baseline over all glyphs
  int lastColumn = 0;                  // the rightmost cell column any glyph uses
};

bool renderAll(FT_Face face, int pixelSize, tGlyphSet* set) {
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize))) return false;
  *set = tGlyphSet();
  set->glyphs.resize(kColumns * kRows);
  for (int code = ' '; code <= kLastPrintable; ++code) {
    tRenderedGlyph& g = set->glyphs[code];
    if (!renderGlyph(face, code, &g)) return false;
    set->lastColumn = std::max(set->lastColumn, g.lastColumn());
    if (g.rows == 0) continue;
    set->ascent = std::max(set->ascent, g.top);
    set->descent = std::max(set->descent, g.rows - g.top);
  }
  return true;
}

bool fitsCells(const tGlyphSet& set) {
  return set.ascent + set.descent <= kCell - 2 * kMargin && set.lastColumn < kCell - kMargin;
}

// Row of the picture (from the top) that a pixel of a cell occupies, given
// its height above the cell's bottom edge.
int pictureRow(int cellRow, int heightInCell) { return (cellRow + 1) * kCell - 1 - heightInCell; }

void drawCell(tPicture& picture, int code, const tRenderedGlyph& glyph, int baselineRow) {
  const int cellX = (code % kColumns) * kCell;
  const int cellRow = code / kColumns;
  const int baselineY = pictureRow(cellRow, baselineRow);
  picture.setAlpha(cellX, baselineY, 255);
  if (code < ' ' || code > kLastPrintable) return;
  const int inkX = cellX + glyph.origin() + glyph.left;
  for (int r = 0; r < glyph.rows; ++r) {
    const int y = pictureRow(cellRow, baselineRow + glyph.top - 1 - r);
    for (int c = 0; c < glyph.width; ++c) {
      picture.raiseAlpha(inkX + c, y, glyph.pixels[static_cast<size_t>(r) * glyph.width + c]);
    }
  }
  picture.raiseAlpha(cellX + glyph.origin(), baselineY, 1);
  picture.raiseAlpha(cellX + glyph.origin() + glyph.advance - kRendererSpacing, baselineY, 1);
}

bool makePicture(FT_Face face, tPicture& picture) {
  // Grow the size while the glyphs still fit; DejaVu Sans stops near 55.
  tGlyphSet set;
  int size = 16;
  if (!renderAll(face, size, &set) || !fitsCells(set)) return false;
  for (tGlyphSet bigger; renderAll(face, size + 1, &bigger) && fitsCells(bigger);) {
    set = bigger;
    ++size;
  }
  int room = kCell - set.ascent - set.descent;
  int baselineRow = (room + 1) / 2 + set.descent;
  for (int code = 0; code < kColumns * kRows; ++code) {
    drawCell(picture, code, set.glyphs[code], baselineRow);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: makeFontPicture FONT.ttf OUT.tga [MORE.tga ...]\n");
    return 1;
  }
  FT_Library library;
  if (FT_Init_FreeType(&library)) {
    std::fprintf(stderr, "makeFontPicture: FreeType does not start\n");
    return 1;
  }
  FT_Face face;
  if (FT_New_Face(library, argv[1], 0, &face)) {
    std::fprintf(stderr, "makeFontPicture: cannot read the font %s\n", argv[1]);
    FT_Done_FreeType(library);
    return 1;
  }
  tPicture picture;
  bool made = makePicture(face, picture);
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  if (!made) {
    std::fprintf(stderr, "makeFontPicture: the glyphs of %s do not fit the cells\n", argv[1]);
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    if (!picture.writeTGA(argv[i])) {
      std::fprintf(stderr, "makeFontPicture: cannot write %s\n", argv[i]);
      return 1;
    }
  }
  return 0;
}
