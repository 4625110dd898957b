#ifndef ROOTWEAVER_BLAM_TBLAMRUNRECORD_H
#define ROOTWEAVER_BLAM_TBLAMRUNRECORD_H

#include <cstdint>
#include <string>
#include <vector>

#include "blam/tBLAMOutputs.h"

// What a shard keeps of a run it computed, for the merge to replay in the
// run's place (tBLAMShardOutputs, tBLAMMergeOutputs): the values the run
// bound and the appends it made, paths relative to the output directory.
struct tBLAMRunRecord {
  // A picture the run wrote, as it was written.
  struct tPicture {
    std::string path;         // relative to the output directory
    std::uint64_t size = 0;   // its bytes
    std::uint64_t hash = 0;   // the XXH64 of its bytes
  };
  // One append of the run to a text or CSV file.
  struct tAppend {
    std::string path;                            // the file, relative to the output directory
    bool csv = false;                            // rows by column name, else text
    std::string text;                            // text: what was appended
    std::vector<std::string> columns;            // CSV: the rows' columns
    std::vector<std::vector<std::string>> rows;  // CSV: one cell per column
  };

  unsigned long number = 0;           // the run's number over the script, from 1
  std::string settings;               // what its picture depended on (tRunStart::settings)
  bool complete = false;              // its picture was written; else it left nothing else
  std::vector<tPicture> pictures;     // pictures it wrote
  tBLAMOutputs::tResults results;     // the variables it bound
  std::vector<tAppend> appends;       // its appends, in order
};

#endif
