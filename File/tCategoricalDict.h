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
  // Reads the file; an unreadable or faulty file leaves what was read before
  // the fault.
  explicit tCategoricalDict(const std::string& path);

  bool hasCategory(const std::string& name) const;
  // Does nothing when the category is already there.
  void addCategory(const std::string& name);
  // Both do nothing for an unknown category.
  void addEntryToCategory(const std::string& name, const std::string& entry);
  void addEntryToCategory(unsigned int index, const std::string& entry);
  // 0 for an unknown category.
  unsigned int numEntriesInCategory(const std::string& name) const;
  unsigned int numEntriesInCategory(unsigned int index) const;
  unsigned int numCategories() const { return static_cast<unsigned int>(categories_.size()); }

  // The category must exist: a missing one stops the program with an
  // assertion message.
  std::vector<std::string>& operator[](const std::string& name);
  std::vector<std::string> operator[](const std::string& name) const;
  std::vector<std::string>& operator[](unsigned int index);
  std::vector<std::string> operator[](unsigned int index) const;

  // Adds the file's blocks to what is held. False when the file cannot be
  // opened or a line breaks the format; the blocks before it are kept.
  bool readFile(const std::string& path);
  // Replaces the file with every category and its entries, whole or not at
  // all (tFileWriter); error, when given, receives the reason it failed.
  bool writeFile(const std::string& path, std::string* error = nullptr) const;

 private:
  typedef std::map<std::string, std::vector<std::string>> tDictMap;

  // The category at index, or dict_.end() when the index is out of range.
  tDictMap::iterator findAt(unsigned int index);
  tDictMap::const_iterator findAt(unsigned int index) const;

  std::vector<std::string> categories_;  // category names in the order they were added
  tDictMap dict_;                        // entries of each category, in order
};

#endif
