#ifndef ROOTWEAVER_FILE_TCATEGORICALDICT_H
#define ROOTWEAVER_FILE_TCATEGORICALDICT_H

#include <map>
#include <string>
#include <vector>

// Named categories, each an ordered list of text entries, kept in the order
// they were added and stored as a line-oriented text file of blocks:
//
//   {
//   category name
//   entry
//   ...
//   }
//
// The settings file prefs.txt is one of these.
class tCategoricalDict {
 public:
  tCategoricalDict();

  bool hasCategory(const std::string& name) const;
  // Does nothing when the category is already there.
  void addCategory(const std::string& name);
  // Does nothing for an unknown category.
  void addEntryToCategory(const std::string& name, const std::string& entry);
  // 0 for an unknown category.
  unsigned int numEntriesInCategory(const std::string& name) const;

  // The category must exist: a missing one stops the program with an
  // assertion message.
  std::vector<std::string>& operator[](const std::string& name);
  std::vector<std::string> operator[](const std::string& name) const;

  // Adds the file's blocks to what is held. False when the file cannot be
  // opened or a line breaks the format; the blocks before it are kept.
  bool readFile(const std::string& path);
  // Replaces the file with every category and its entries, whole or not at
  // all (tFileWriter); error, when given, receives the reason it failed.
  bool writeFile(const std::string& path, std::string* error = nullptr) const;

 private:
  typedef std::map<std::string, std::vector<std::string>> tDictMap;

  std::vector<std::string> categories_;  // category names in the order they were added
  tDictMap dict_;                        // entries of each category, in order
};

#endif
