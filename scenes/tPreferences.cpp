#include "scenes/tPreferences.h"

#include <sys/stat.h>

#include <cstdio>

#include "File/tFileUtils.h"
#include "File/tFileWriter.h"
#include "fractal/tRandom.h"
#include "lexer/tStringUtils.h"

namespace {

// Every setting with its default entry, in the order a new file lists them.
// resources/prefs.txt holds exactly these.
struct tSetting {
  const char* category;
  const char* entry;
};
const tSetting kDefaults[] = {
    {"Step Size", "1"},
    {"Iterations", "50"},
    {"Dim", "512"},
    {"minX", "-2"},
    {"maxX", "2"},
    {"minY", "-2"},
    {"maxY", "2"},
    {"Singular Set", "0"},
    {"Random Colors", "0"},
    {"Solver", "0"},
    {"Function", "quadratic.func"},
    {"BLAM", "examples/sweep.blam"},
};
const char kSolverCategory[] = "Solver";
const char kSeedCategory[] = "seed";
const int kSolverCount = 22;

// A solver index from 0 to 21 in decimal, without leading zeros.
bool isSolverIndex(const std::string& text) {
  if (text.empty() || text.size() > 2 || (text.size() == 2 && text[0] == '0')) return false;
  int index = 0;
  for (char digit : text) {
    if (digit < '0' || digit > '9') return false;
    index = 10 * index + (digit - '0');
  }
  return index < kSolverCount;
}

std::string prefsPath() { return tFileUtils::getSettingsDirectory() + "prefs.txt"; }

bool exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

bool copyFile(const std::string& from, const std::string& to) {
  std::string bytes, error;
  return tFileUtils::readBytes(from, bytes) && tFileWriter::writeWhole(to, bytes, error);
}

}  // namespace

tCategoricalDict tPreferences::load() {
  tCategoricalDict prefs;
  const std::string path = prefsPath();
  const bool present = !tFileUtils::getSettingsDirectory().empty() && exists(path);
  const std::string fault = present ? readFault(prefs, path) : "";
  if (!fault.empty()) {
    const bool kept = keepBadFile(path);
    std::fprintf(stderr, "rootweaver: %s %s%s; every setting takes its default\n", path.c_str(),
                 fault.c_str(), kept ? ", kept as prefs.txt.bad" : " and could not be kept");
    prefs = tCategoricalDict();
  }
  supplyDefaults(prefs);
  return prefs;
}

std::string tPreferences::describeFault() {
  const std::string path = prefsPath();
  if (tFileUtils::getSettingsDirectory().empty() || !exists(path)) return "";
  tCategoricalDict prefs;
  const std::string fault = readFault(prefs, path);
  if (fault.empty()) return "";
  return "The settings file " + fault + ": every setting takes its default, and the file is "
         "kept as prefs.txt.bad";
}

bool tPreferences::save(const tCategoricalDict& prefs) {
  const std::string directory = tFileUtils::getSettingsDirectory();
  if (directory.empty()) {
    // Said once: the window saves on every change of scene.
    static bool said = false;
    if (!said) {
      std::fprintf(stderr,
                   "rootweaver: neither XDG_CONFIG_HOME nor HOME names a folder; the settings "
                   "are not kept\n");
      said = true;
    }
    return false;
  }
  tFileUtils::makePath(directory);
  std::string error;
  if (prefs.writeFile(prefsPath(), &error)) return true;
  std::fprintf(stderr, "rootweaver: the settings are not kept: %s\n", error.c_str());
  return false;
}

std::optional<unsigned int> tPreferences::seedOf(const tCategoricalDict& prefs) {
  if (prefs.numEntriesInCategory(kSeedCategory) == 0) return std::nullopt;
  const std::string text = prefs[kSeedCategory][0];
  const bool digits = !text.empty() && text.size() <= 8 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  if (digits && std::stoul(text) <= tRandom::MAX_SEED) return std::stoul(text);
  std::fprintf(stderr,
               "rootweaver: the seed in prefs.txt is not a whole number from 0 to %u; the clock "
               "seeds the pictures\n",
               tRandom::MAX_SEED);
  return std::nullopt;
}

std::string tPreferences::defaultFor(const std::string& category) {
  for (const tSetting& setting : kDefaults) {
    if (category == setting.category) return setting.entry;
  }
  return "";
}

void tPreferences::supplyDefaults(tCategoricalDict& prefs) {
  for (const tSetting& setting : kDefaults) {
    prefs.addCategory(setting.category);
    if (prefs.numEntriesInCategory(setting.category) == 0) {
      prefs.addEntryToCategory(setting.category, setting.entry);
    }
  }
  std::string& solver = prefs[kSolverCategory][0];
  if (!isSolverIndex(solver)) solver = defaultFor(kSolverCategory);
}

std::string tPreferences::readFault(tCategoricalDict& prefs, const std::string& path) {
  if (!prefs.readFile(path)) return "could not be read";
  for (const tSetting& setting : kDefaults) {
    for (unsigned int i = 0; i < prefs.numEntriesInCategory(setting.category); ++i) {
      if (tStringUtils::hasControlCharacter(prefs[setting.category][i])) {
        return std::string("holds a control character under \"") + setting.category + "\"";
      }
    }
  }
  return "";
}

// A copy keeps the file in place until the next save replaces it; a file
// that cannot even be read is moved aside instead, so that no save can
// overwrite it.
bool tPreferences::keepBadFile(const std::string& path) {
  const std::string bad = path + ".bad";
  return copyFile(path, bad) || std::rename(path.c_str(), bad.c_str()) == 0;
}
