#ifndef ROOTWEAVER_BLAM_TBLAMROOTCOLORS_H
#define ROOTWEAVER_BLAM_TBLAMROOTCOLORS_H

#include <string>
#include <utility>
#include <vector>

#include "graphics/tPixel.h"
#include "graphics/tVector2.h"

// The text of _rootColors: the roots a picture's registry starts with, each
// with its colour, in the registry's order, as "x y red green blue" entries
// separated by "/" (a script's quoted text holds no other separator). A view
// saved from the window carries its registry so, as roots found in earlier
// pictures of the view keep their colours there; the coordinates are
// written to read back exactly.
class tBLAMRootColors {
 public:
  using tRoots = std::vector<std::pair<tVector2, tPixel>>;

  static std::string write(const tRoots& roots);
  // The roots of the text, "" giving none; false, with why in error, when an
  // entry is not two numbers and three whole numbers from 0 to 255.
  static bool read(const std::string& text, tRoots& roots, std::string& error);

 private:
  tBLAMRootColors() = default;
};

#endif
