#include "File/tCategoricalDict.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "File/tFileWriter.h"
#include "File/tTextFile.h"
#include "lexer/tStringUtils.h"

// Reading is a three-state walk over the file's trimmed lines: outside a
// block a line must open one with "{", the next line names the category, and
// inside the block every line is an entry until "}" closes it. A line that
// breaks this order stops the read with false, keeping whatever was added
// before it; reaching the end of the file in any state is a success, so a
// last block without its "}" still counts.
//
// categories_ and dict_ always hold the same names: categories are only ever
// added through addCategory, which updates both.

namespace {

[[noreturn]] void failAssertion(const char* expression, unsigned int line) {
  std::fprintf(stderr, "%s:%u: failed assertion `%s'\n", "File/tCategoricalDict", line,
               expression);
  std::abort();
}

#define CATEGORY_ASSERT(expression) \
  ((expression) ? static_cast<void>(0) : failAssertion(#expression, __LINE__))

enum tReadState { OUTSIDE_BLOCK, EXPECTING_NAME, INSIDE_BLOCK };

}  // namespace

tCategoricalDict::tCategoricalDict() {}

bool tCategoricalDict::hasCategory(const std::string& name) const {
  return std::find(categories_.begin(), categories_.end(), name) != categories_.end();
}

void tCategoricalDict::addCategory(const std::string& name) {
  if (hasCategory(name)) return;
  categories_.push_back(name);
  dict_[name];
}

void tCategoricalDict::addEntryToCategory(const std::string& name, const std::string& entry) {
  tDictMap::iterator itr = dict_.find(name);
  if (itr != dict_.end()) itr->second.push_back(entry);
}

unsigned int tCategoricalDict::numEntriesInCategory(const std::string& name) const {
  tDictMap::const_iterator itr = dict_.find(name);
  return itr == dict_.end() ? 0 : static_cast<unsigned int>(itr->second.size());
}

std::vector<std::string>& tCategoricalDict::operator[](const std::string& name) {
  tDictMap::iterator itr = dict_.find(name);
  CATEGORY_ASSERT(itr != dict_.end());
  return itr->second;
}

std::vector<std::string> tCategoricalDict::operator[](const std::string& name) const {
  tDictMap::const_iterator itr = dict_.find(name);
  CATEGORY_ASSERT(itr != dict_.end());
  return itr->second;
}

bool tCategoricalDict::readFile(const std::string& path) {
  tTextFile file(path);
  if (!file.isOpen()) return false;
  tReadState state = OUTSIDE_BLOCK;
  std::string category;
  while (!file.eof()) {
    std::string line = tStringUtils::pack(file.readLine());
    switch (state) {
      case OUTSIDE_BLOCK:
        if (line != "{") return false;
        state = EXPECTING_NAME;
        break;
      case EXPECTING_NAME:
        if (line == "{" || line == "}") return false;
        category = line;
        addCategory(category);
        state = INSIDE_BLOCK;
        break;
      case INSIDE_BLOCK:
        if (line == "{") return false;
        if (line == "}")
          state = OUTSIDE_BLOCK;
        else
          addEntryToCategory(category, line);
        break;
    }
  }
  return true;
}

bool tCategoricalDict::writeFile(const std::string& path, std::string* error) const {
  std::string text;
  for (const std::string& name : categories_) {
    text += "{\n" + name + "\n";
    for (const std::string& entry : dict_.find(name)->second) text += entry + "\n";
    text += "}\n";
  }
  std::string failure;
  if (tFileWriter::writeWhole(path, text, failure)) return true;
  if (error) *error = failure;
  return false;
}
