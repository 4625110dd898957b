#ifndef ROOTWEAVER_SCENES_TPALETTEOPTION_H
#define ROOTWEAVER_SCENES_TPALETTEOPTION_H

#include <cstddef>

#include "File/tCategoricalDict.h"

class tPalette;

// The setup's choice of the palette the roots take (tPalette): a button
// naming the palette, which steps to the next one, in tPalette::all()'s
// order, at every press. The settings keep it under "Palette", written only
// once the button has been pressed or the file had the entry, so that a
// settings file that never had it stays as it was. An entry that names no
// palette is said on standard error and the palette is the classic one.
class tPaletteOption {
 public:
  tPaletteOption();

  void read(const tCategoricalDict& prefs);
  void write(tCategoricalDict& prefs) const;
  // The next palette, after the last the first.
  void step();
  const tPalette& getPalette() const;

 private:
  std::size_t index_;  // in tPalette::all()
  bool used_;          // the settings had the entry, or the button was pressed
};

#endif
