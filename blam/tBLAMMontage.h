#ifndef ROOTWEAVER_BLAM_TBLAMMONTAGE_H
#define ROOTWEAVER_BLAM_TBLAMMONTAGE_H

#include <string>
#include <vector>

#include "graphics/tImage.h"

class tTextPainter;

// The montage of a montage file (the lines that montage statements append,
// each a picture's path and its caption) as one PNG picture beside it: the
// pictures read back from disk, TGA or PNG, side by side in a grid of a
// given number of columns, rows as needed, each with its caption centred
// beneath it in dark grey on white.
//
// Every cell is as large as the largest picture, or as wide as the widest
// caption when that is wider, and each picture keeps its own size, centred
// in its cell. The captions are drawn with the program's font picture
// (resources/Daduz.tga, where the window finds it) at 14 pixels for pictures
// of 256 pixels or less, in proportion for larger ones; the margins grow
// with the text. Like a graph's plot, the montage is written whole from the
// file after every line appended, and is the same bytes for the same file
// and pictures.
class tBLAMMontage {
 public:
  // One picture of the montage.
  struct tEntry {
    std::string picture;  // its path, relative to the montage file's folder unless absolute
    std::string caption;  // the text beneath it
  };

  // The montage file's line for the entry, line feed included. A caption
  // holds no tab or line feed, so the last tab of a line ends its path.
  static std::string lineOf(const tEntry& entry);
  // The entries of the montage file at path, in order; false, with the
  // reason in error, when the file cannot be read or a line holds no tab.
  static bool readEntries(const std::string& path, std::vector<tEntry>& entries,
                          std::string& error);
  // The montage of the pictures with their captions in the number of
  // columns given (at most one per picture), drawn with the font; false,
  // with the reason in error, when it would exceed the largest picture the
  // program reads.
  static bool compose(const std::vector<tImage>& pictures, const std::vector<std::string>& captions,
                      unsigned int columns, const tTextPainter& font, tImage& montage,
                      std::string& error);
  // Writes the montage of the montage file at listPath as a PNG at
  // montagePath; false, with the reason in error, when a picture or the
  // font cannot be read or the PNG cannot be written.
  static bool write(const std::string& listPath, const std::string& montagePath,
                    unsigned int columns, std::string& error);
};

#endif
