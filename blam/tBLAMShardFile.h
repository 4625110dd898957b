#ifndef ROOTWEAVER_BLAM_TBLAMSHARDFILE_H
#define ROOTWEAVER_BLAM_TBLAMSHARDFILE_H

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "blam/tBLAMRunRecord.h"

// What one shard leaves for the merge, in the folder .rootweaver-shards/ of
// the output directory, as shard-K-of-N: the script (its path, its bytes and
// the seed the command line gave it, so that the merge runs what the shards
// ran), how many runs it has, and the records of the runs the shard computed.
//
// The file is text, one item a line: a keyword and fields separated by
// spaces, every byte of a field below 33 and every backslash written as "\"
// and two hexadecimal digits, numbers bound by runs as the 16 hexadecimal
// digits of their bits, so that values, tabs and line ends come back exactly.
// It is written beside its final name and renamed when complete, so a shard
// that was stopped leaves no file the merge could take for finished.
struct tBLAMShardFile {
  unsigned int shard = 0;               // K
  unsigned int shards = 1;              // N
  unsigned long runs = 0;               // runs of the whole script
  std::string script;                   // the script's path as given
  std::string source;                   // its bytes
  std::optional<unsigned int> seed;     // what --seed set _seed to
  std::vector<tBLAMRunRecord> records;  // the shard's runs, in order

  // <directory>.rootweaver-shards/, directory ending in "/".
  static std::string folderIn(const std::string& directory);
  // The file of shard K of N below directory.
  static std::string pathOf(const std::string& directory, unsigned int shard, unsigned int shards);

  // Writes the file below directory; false when it cannot.
  bool write(const std::string& directory) const;
  // Reads the file at path; false, with the reason in error, when it is not
  // a complete shard file.
  bool read(const std::string& path, std::string& error);

  // Reads every shard's file below directory and checks that they are the N
  // files of one sweep of one script, each run recorded once by its shard;
  // false, with the reason in error, when they are not.
  static bool readSweep(const std::string& directory, std::vector<tBLAMShardFile>& shards,
                        std::string& error);
  // All the records by run number, and the pictures they wrote.
  static std::map<unsigned long, tBLAMRunRecord> recordsOf(
      const std::vector<tBLAMShardFile>& shards, std::set<std::string>& pictures);
  // Removes the shards' files and their folder, if it is left empty.
  static void removeSweep(const std::string& directory, const std::vector<tBLAMShardFile>& shards);

 private:
  void writeRecord(std::string& out, const tBLAMRunRecord& record) const;
  // Reads the record whose first line is lines[index]; index ends after it.
  static bool readRecord(const std::vector<std::vector<std::string>>& lines, std::size_t& index,
                         tBLAMRunRecord& record);
  // Checks that the shards are one sweep, each run recorded once.
  static bool checkSweep(const std::vector<tBLAMShardFile>& shards, std::string& error);
};

#endif
