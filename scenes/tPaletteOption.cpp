#include "scenes/tPaletteOption.h"

#include <cstdio>

#include "fractal/tPalette.h"

namespace {

const char kCategory[] = "Palette";

}  // namespace

tPaletteOption::tPaletteOption() : index_(0), used_(false) {}

void tPaletteOption::read(const tCategoricalDict& prefs) {
  index_ = 0;
  used_ = prefs.hasCategory(kCategory) && prefs.numEntriesInCategory(kCategory) > 0;
  if (!used_) return;
  const std::string name = prefs[kCategory][0];
  const std::vector<const tPalette*>& palettes = tPalette::all();
  for (std::size_t i = 0; i < palettes.size(); ++i) {
    if (palettes[i]->getName() == name) {
      index_ = i;
      return;
    }
  }
  std::fprintf(stderr, "rootweaver: the palette in prefs.txt: %s; the colours are classic\n",
               tPalette::describeUnknown(name).c_str());
}

void tPaletteOption::write(tCategoricalDict& prefs) const {
  if (!used_) return;
  if (!prefs.hasCategory(kCategory)) prefs.addCategory(kCategory);
  const std::string& name = getPalette().getName();
  if (prefs.numEntriesInCategory(kCategory) == 0) {
    prefs.addEntryToCategory(kCategory, name);
  } else {
    prefs[kCategory][0] = name;
  }
}

void tPaletteOption::step() {
  used_ = true;
  index_ = (index_ + 1) % tPalette::all().size();
}

const tPalette& tPaletteOption::getPalette() const { return *tPalette::all()[index_]; }
