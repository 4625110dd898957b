#include "blam/tBLAMMontage.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "File/tFileUtils.h"
#include "graphics/tImageLoader.h"
#include "graphics/tPNGLoader.h"
#include "graphics/tTGALoader.h"
#include "graphics/tTextPainter.h"

namespace {

const char kFont[] = "Daduz.tga";  // the program's font picture, in its resources
const tPixel kBackground(255, 255, 255, 255);
const tPixel kInk(64, 64, 64, 255);  // the captions' dark grey

// The caption size: 14 pixels suit pictures up to 256 pixels, and larger
// pictures get larger text in proportion, so that the captions keep their
// share of the montage.
double captionSize(unsigned int side) { return 14.0 * std::max(256u, side) / 256.0; }

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool readPicture(const std::string& path, tImage& picture, std::string& error) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    error = "cannot read the picture " + path + ": it does not exist";
    return false;
  }
  const std::string refusal = tFileUtils::getReadRefusal(path);
  if (!refusal.empty()) {
    error = "cannot read the picture " + path + ": " + refusal;
    return false;
  }
  const bool png = endsWith(path, ".png") || endsWith(path, ".PNG");
  const bool read = png ? tPNGLoader().load(path, &picture) : tTGALoader().load(path, &picture);
  if (read) return true;
  error = "cannot read the picture " + path + ": it is no " + (png ? "PNG" : "TGA") + " picture";
  return false;
}

// Copies the picture into the montage with its top-left corner at the
// column and the row counted from the montage's top.
void place(const tImage& picture, int left, int top, tImage& montage) {
  const int height = static_cast<int>(picture.getHeight());
  const int bottomRow = static_cast<int>(montage.getHeight()) - top - height;
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < static_cast<int>(picture.getWidth()); ++column)
      montage.setPixel(bottomRow + row, left + column, picture.getPixel(row, column));
}

// Where the montage puts its cells: a gap of half the text size around and
// between them, and beneath each picture's cell a quarter of it, then a band
// that holds the font's whole reach about the baseline.
struct tLayout {
  tLayout(const std::vector<tImage>& pictures, const std::vector<std::string>& captions,
          unsigned int wanted, const tTextPainter& font) {
    unsigned int largest = 0;
    double widest = 0.0;
    for (const tImage& picture : pictures) {
      widest = std::max<double>(widest, picture.getWidth());
      cellHeight = std::max(cellHeight, static_cast<int>(picture.getHeight()));
      largest = std::max({largest, picture.getWidth(), picture.getHeight()});
    }
    textSize = captionSize(largest);
    for (const std::string& caption : captions)
      widest = std::max(widest, font.getWidth(caption, textSize));
    cellWidth = static_cast<int>(std::ceil(widest));
    gap = static_cast<int>(std::lround(textSize / 2));
    captionGap = static_cast<int>(std::lround(textSize / 4));
    rowHeight = cellHeight + captionGap +
                static_cast<int>(std::ceil(font.getAscent(textSize) + font.getDescent(textSize)));
    columns = std::min<std::uint64_t>(wanted, pictures.size());
    const std::uint64_t rows = (pictures.size() + columns - 1) / columns;
    width = columns * (cellWidth + gap) + gap;
    height = rows * (rowHeight + gap) + gap;
  }

  double textSize;        // of the captions
  int cellWidth = 0;      // of every cell
  int cellHeight = 0;     // of every picture's cell, above its caption
  int gap = 0;            // around and between the cells
  int captionGap = 0;     // between a picture's cell and its caption
  int rowHeight = 0;      // of a picture's cell, with its caption
  std::uint64_t columns;  // of the grid
  std::uint64_t width;    // of the montage
  std::uint64_t height;
};

}  // namespace

std::string tBLAMMontage::lineOf(const tEntry& entry) {
  return entry.picture + "\t" + entry.caption + "\n";
}

bool tBLAMMontage::readEntries(const std::string& path, std::vector<tEntry>& entries,
                               std::string& error) {
  std::string text;
  if (!tFileUtils::readRegularFile(path, text, tFileUtils::MAX_READ_SIZE, error)) return false;
  entries.clear();
  unsigned int number = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    const std::size_t tab = line.rfind('\t');
    if (tab == std::string::npos) {
      error = "line " + std::to_string(number) + " of " + path + " names no picture and caption";
      return false;
    }
    entries.push_back({line.substr(0, tab), line.substr(tab + 1)});
  }
  return true;
}

bool tBLAMMontage::compose(const std::vector<tImage>& pictures,
                           const std::vector<std::string>& captions, unsigned int columns,
                           const tTextPainter& font, tImage& montage, std::string& error) {
  const tLayout layout(pictures, captions, columns, font);
  if (layout.width * layout.height > tImageLoader::kMaxPixels) {
    error = "the montage would be " + std::to_string(layout.width) + " x " +
            std::to_string(layout.height) + " pixels, more than the program reads back";
    return false;
  }
  montage.reinitialize(static_cast<unsigned int>(layout.width),
                       static_cast<unsigned int>(layout.height));
  std::fill(montage.getPixelData(), montage.getPixelData() + layout.width * layout.height,
            kBackground);
  for (std::size_t k = 0; k < pictures.size(); ++k) {
    const int left =
        layout.gap + static_cast<int>(k % layout.columns) * (layout.cellWidth + layout.gap);
    const int top =
        layout.gap + static_cast<int>(k / layout.columns) * (layout.rowHeight + layout.gap);
    const tImage& picture = pictures[k];
    place(picture, left + (layout.cellWidth - static_cast<int>(picture.getWidth())) / 2,
          top + (layout.cellHeight - static_cast<int>(picture.getHeight())) / 2, montage);
    const double baseline = static_cast<double>(layout.height) - top - layout.cellHeight -
                            layout.captionGap - font.getAscent(layout.textSize);
    const double pen =
        left + layout.cellWidth / 2.0 - font.getWidth(captions[k], layout.textSize) / 2.0;
    font.draw(montage, captions[k], pen, baseline, layout.textSize, kInk);
  }
  return true;
}

bool tBLAMMontage::write(const std::string& listPath, const std::string& montagePath,
                         unsigned int columns, std::string& error) {
  std::vector<tEntry> entries;
  if (!readEntries(listPath, entries, error)) return false;
  if (entries.empty()) {
    error = listPath + " names no picture";
    return false;
  }
  const std::string folder = listPath.substr(0, listPath.rfind('/') + 1);
  std::vector<tImage> pictures(entries.size());
  std::vector<std::string> captions;
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const std::string& path = entries[k].picture;
    if (!readPicture(tFileUtils::isCompletePath(path) ? path : folder + path, pictures[k], error))
      return false;
    captions.push_back(entries[k].caption);
  }
  const std::string fontPath = tFileUtils::getResourceDirectory() + kFont;
  tImage fontPicture;
  if (!tTGALoader().load(fontPath, &fontPicture)) {
    error = "cannot read the font picture " + fontPath;
    return false;
  }
  const tTextPainter font(std::move(fontPicture));
  if (!font.ok()) {
    error = "the font picture " + fontPath + " holds no glyphs";
    return false;
  }
  tImage montage;
  if (!compose(pictures, captions, columns, font, montage, error)) return false;
  return tPNGLoader().write(montagePath, &montage, &error);
}
