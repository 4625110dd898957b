// Makes the desktop icon from a picture the program itself has drawn.
//
// The build runs rootweaver --batch on tools/icon.blam, a small basin picture
// with fixed colours, and this tool turns the TGA it writes into an XPM
// image, the text format that desktop icon themes read besides PNG and SVG,
// so the icon needs no image library. A basin picture without jitter has a
// handful of colours, one character each; XPM lists rows from the top, the
// TGA reader gives row 0 at the bottom.
//
// Usage: makeIcon IN.tga OUT.xpm. Exit status 0 on success, 1 with a message
// otherwise.

#include <cstdio>
#include <map>
#include <string>

#include "graphics/tImage.h"
#include "graphics/tTGALoader.h"

namespace {

// Characters that stand for colours, one each.
const char kCodes[] =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.+@#$%&*=-;:>,<";

std::string hexColor(const tPixel& pixel) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", pixel[0], pixel[1], pixel[2]);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: makeIcon IN.tga OUT.xpm\n");
    return 1;
  }
  tImage image;
  if (!tTGALoader::instance().load(argv[1], &image)) {
    std::fprintf(stderr, "makeIcon: cannot read %s\n", argv[1]);
    return 1;
  }
  const int width = static_cast<int>(image.getWidth());
  const int height = static_cast<int>(image.getHeight());
  std::map<std::string, char> codes;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const std::string color = hexColor(image.getPixel(row, column));
      if (codes.count(color) != 0) continue;
      if (codes.size() + 1 >= sizeof kCodes) {
        std::fprintf(stderr, "makeIcon: %s has too many colours\n", argv[1]);
        return 1;
      }
      codes[color] = kCodes[codes.size()];
    }
  }

  std::string xpm = "/* XPM */\nstatic char* rootweaver[] = {\n";
  xpm += "\"" + std::to_string(width) + " " + std::to_string(height) + " " +
         std::to_string(codes.size()) + " 1\",\n";
  for (const auto& [color, code] : codes) xpm += std::string("\"") + code + " c " + color + "\",\n";
  for (int row = height - 1; row >= 0; --row) {
    xpm += "\"";
    for (int column = 0; column < width; ++column)
      xpm += codes[hexColor(image.getPixel(row, column))];
    xpm += row > 0 ? "\",\n" : "\"};\n";
  }
  std::FILE* out = std::fopen(argv[2], "wb");
  if (!out || std::fwrite(xpm.data(), 1, xpm.size(), out) != xpm.size() || std::fclose(out) != 0) {
    std::fprintf(stderr, "makeIcon: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
