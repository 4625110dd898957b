#ifndef ROOTWEAVER_BLAM_TBLAMSHARDFILE_H
#define ROOTWEAVER_BLAM_TBLAMSHARDFILE_H

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "blam/tBLAMRunRecord.h"

// What one shard leaves for the merge, in the folder .rootweaver-shards/ of
// the output directory, as shard-K-of-N: the script (its path, its bytes and
// the seed the command line gave it, so that the merge runs what the shards
// ran), how many runs it has, what decides the last bits of its numbers on
// the machine it ran on, and the records of the runs the shard computed,
// each picture with its size and hash.
//
// The file is text, one item a line: a keyword and fields separated by
// spaces, every byte of a field below 33 and every backslash written as "\"
// and two hexadecimal digits, numbers bound by runs as the 16 hexadecimal
// digits of their bits, so that values, tabs and line ends come back exactly.
// Its last line, "done" and the XXH64 of every byte before it, shows that
// the file is whole and unchanged: a flipped bit or a lost line is caught
// before anything is merged. It is written whole or not at all
// (tFileWriter), so a shard that was stopped leaves no file the merge could
// take for finished.
//
// The merge trusts nothing in the folder: only regular files with names
// shard-K-of-N (K < N, plain decimal) are read, every path a record names
// must lie below the output directory, and every picture must still be
// there as it was written.
struct tBLAMShardFile {
  unsigned int shard = 0;               // K
  unsigned int shards = 1;              // N
  unsigned long runs = 0;               // runs of the whole script
  std::string script;                   // the script's path as given
  std::string source;                   // its bytes
  std::optional<unsigned int> seed;     // what --seed set _seed to
  std::string engine;                   // the packets' instruction set (tInstructionSet)
  std::string mathLibrary;              // the build of the C library's functions it ran
  std::string libraryVersion;           // the C library's version
  std::vector<tBLAMRunRecord> records;  // the shard's runs, in order

  // <directory>.rootweaver-shards/, directory ending in "/".
  static std::string folderIn(const std::string& directory);
  // The file of shard K of N below directory.
  static std::string pathOf(const std::string& directory, unsigned int shard, unsigned int shards);
  // The size and XXH64 of the file at path; false when it cannot be read.
  static bool hashFile(const std::string& path, std::uint64_t& size, std::uint64_t& hash);

  // Writes the file below directory, with this machine's instruction sets;
  // false, with the reason in error, when it cannot.
  bool write(const std::string& directory, std::string& error);
  // Reads the file at path; false, with the reason in error, when it is not
  // a whole, unchanged shard file.
  bool read(const std::string& path, std::string& error);

  // Reads every shard's file below directory and checks that they are the N
  // files of one sweep of one script, each run recorded once by its shard,
  // with every picture they wrote as it was written; false, with the reason
  // in error, when they are not.
  static bool readSweep(const std::string& directory, std::vector<tBLAMShardFile>& shards,
                        std::string& error);
  // A warning when the shards ran where the C library's functions round
  // differently; "" when they all ran alike.
  static std::string machineWarning(const std::vector<tBLAMShardFile>& shards);
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
  // Lists the shard files in the folder by K; false, with the reason in
  // error, when it holds something else or they are not all there.
  static bool listSweep(const std::string& folder, std::vector<std::string>& paths,
                        std::string& error);
  // Checks that the shards are one sweep, each run recorded once.
  static bool checkSweep(const std::vector<tBLAMShardFile>& shards, std::string& error);
  // Checks that every picture of the shard is still as it was written.
  bool checkPictures(const std::string& directory, std::string& error) const;
  // "shard K of N", for messages.
  std::string name() const;
};

#endif
