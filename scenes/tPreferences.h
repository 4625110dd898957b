#ifndef ROOTWEAVER_SCENES_TPREFERENCES_H
#define ROOTWEAVER_SCENES_TPREFERENCES_H

#include <optional>
#include <string>

#include "File/tCategoricalDict.h"

// The settings file prefs.txt in the resource directory, as the two setup
// scenes read and write it: one entry (entry 0) in each of the categories
// "Step Size", "Iterations", "Dim", "minX", "maxX", "minY", "maxY",
// "Singular Set", "Random Colors", "Solver", "Function" and "BLAM".
//
// Loading always yields a usable dictionary: a category that is missing or
// has no entry gets its default entry, and so does a "Solver" entry that is
// not an index from 0 to 21. A file is taken whole or not at all: one that
// exists but cannot be read, breaks the file format, or gives a setting a
// control character (which the text renderer would take for a colour
// escape) is never overwritten unseen: its bytes are kept beside it as
// prefs.txt.bad, one line on standard error says so, and every setting takes
// its default. Whatever was supplied reaches the file at the next save.
//
// One setting has no default: "seed", the seed of the view's pictures,
// absent unless the user adds it, when the clock seeds them. Its absence is
// no fault, and a seed that cannot be used spoils nothing else: it is
// named on standard error and the clock seeds the pictures.
class tPreferences {
 public:
  // The settings of the resource directory's prefs.txt, completed with
  // defaults as above.
  static tCategoricalDict load();
  // Writes the whole dictionary as the resource directory's prefs.txt,
  // creating the directory and the file when they are absent. False, with
  // one line on standard error, when it cannot; the old file then stays.
  static bool save(const tCategoricalDict& prefs);
  // The seed that entry 0 of "seed" gives, a whole number from 0 to
  // tRandom::MAX_SEED in decimal digits; none when there is no such entry,
  // and none, after one line on standard error, when it is not such a
  // number.
  static std::optional<unsigned int> seedOf(const tCategoricalDict& prefs);
  // The default entry of a category; "" for a category that is not a setting.
  static std::string defaultFor(const std::string& category);
  // What load would say about the settings file, without keeping or
  // reporting anything: "" when it can be used (or is absent), else a line
  // for the screen.
  static std::string describeFault();

 private:
  // Adds the default entry wherever a setting lacks a usable one.
  static void supplyDefaults(tCategoricalDict& prefs);
  // Why the settings file at path cannot be used, read into prefs; "" when
  // it can.
  static std::string readFault(tCategoricalDict& prefs, const std::string& path);
  // Keeps the bytes of a settings file that could not be read as
  // <path>.bad; false when they could not be kept.
  static bool keepBadFile(const std::string& path);
};

#endif
