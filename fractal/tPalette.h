#ifndef ROOTWEAVER_FRACTAL_TPALETTE_H
#define ROOTWEAVER_FRACTAL_TPALETTE_H

#include <cstddef>
#include <string>
#include <vector>

#include "graphics/tPixel.h"
#include "graphics/tVector2.h"

// A named way of colouring roots, chosen by a script (_palette), the
// command line or the window's setup. The failure colours (singular yellow,
// no-convergence grey) are the same under every palette.
//
// - "classic": the three preset colours, then random ones (or random ones
//   from the first root with random colours on); the registry does this
//   itself, so that pictures stay what they always were.
// - "okabe-ito": the colour-blind-safe categorical colours of Okabe and Ito
//   (2008) in order of discovery: orange, sky blue, bluish green, blue,
//   vermillion, reddish purple, yellow, black. Their yellow and black come
//   last, as they lie nearest the singular yellow and the no-convergence
//   grey. The ninth root on takes an extension that is the same on every
//   machine: from the 4096 colours whose channels are multiples of 17, the
//   one farthest from every colour chosen so far (the eight, the two failure
//   colours and white, the window's root markers), again and again, the
//   first of equals winning. Distances are the "redmean" weighted RGB
//   distance, in integers. After EXTENDED_COLORS colours the sequence starts
//   again from orange.
// - "argument": hue by the argument of the root, as in published Newton
//   pictures: red on the positive real axis, then yellow, green, cyan, blue
//   and magenta counterclockwise, at full saturation and value, so the n-th
//   roots of unity take n evenly spaced hues. The modulus is ignored: roots
//   on one ray share a colour. The argument is rounded to 1/4096 of a turn,
//   far coarser than the roots are known and far finer than the colours
//   tell apart, so that a root's colour does not depend on the last bits of
//   the arctangent. The hue of 60 degrees is the singular yellow itself.
// - "argument-modulus": the same hue, and a lightness that grows with the
//   modulus m: L = 0.5 + 0.3 (m^2 - 1) / (m^2 + 1) in HSL, so roots on the
//   unit circle have "argument"'s colours, roots inside are darker (towards
//   L = 0.2) and roots outside paler (towards 0.8), and roots on one ray
//   differ.
//
// A root closer to 0 than the root tolerance has no argument: it is white
// under "argument" and black under "argument-modulus".
class tPalette {
 public:
  // How many colours "okabe-ito" gives before it repeats.
  static constexpr std::size_t EXTENDED_COLORS = 256;

  // The palette of the name; null when no palette has it.
  static const tPalette* find(const std::string& name);
  static const tPalette& classic();
  // Every palette, in the order the window offers them.
  static const std::vector<const tPalette*>& all();
  // "classic, okabe-ito, argument, argument-modulus", for messages.
  static std::string listNames();
  // "'NAME' is no palette; palettes are ...", for a name find refuses.
  static std::string describeUnknown(const std::string& name);

  const std::string& getName() const { return name_; }
  // Whether roots take the registry's presets and random colours.
  bool isClassic() const { return kind_ == CLASSIC; }
  // The colour of a new root, registered as the index-th (from 0) since the
  // registry was last cleared; not for the classic palette.
  tPixel colorFor(const tVector2& root, std::size_t index) const;

 private:
  enum TKIND { CLASSIC, CATEGORICAL, ARGUMENT, ARGUMENT_MODULUS };

  tPalette(const char* name, TKIND kind) : name_(name), kind_(kind) {}

  // The categorical colours: Okabe and Ito's eight and their extension.
  static const std::vector<tPixel>& categoricalColors();
  // The hue of the root's argument; false for a root at 0, which has none.
  static bool hueOf(const tVector2& root, double& hue);

  std::string name_;
  TKIND kind_;
};

#endif
