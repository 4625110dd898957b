#ifndef ROOTWEAVER_BLAM_TBLAMMERGEOUTPUTS_H
#define ROOTWEAVER_BLAM_TBLAMMERGEOUTPUTS_H

#include <map>
#include <set>
#include <string>

#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMRunRecord.h"

// The outputs of a merge (see tBLAMOutputs for the whole scheme): every run
// is replayed from the record of the shard that computed it, in two passes
// over the script.
//
// Checking writes nothing: it makes sure that every run has its record and
// that each run's settings are those its shard computed with, which fails
// when a run's settings come from an earlier run's results (a shard did not
// know them). Writing then replays the runs' appends, lets graph statements
// write their lines and plots, and removes old outputs where the script
// does, sparing the pictures the shards wrote.
class tBLAMMergeOutputs : public tBLAMOutputs {
 public:
  // The records of all shards by run number, and the paths of the pictures
  // the shards wrote, relative to the output directory.
  tBLAMMergeOutputs(std::map<unsigned long, tBLAMRunRecord> records,
                    const std::set<std::string>& pictures);

  // Why the records do not fit the script, naming the first run that does
  // not fit; "" when they do.
  const std::string& getFailure() const { return failure_; }
  // Ends checking; the second pass writes.
  void startWriting();
  // Runs met so far in the current pass.
  unsigned long getRunCount() const { return runs_; }

  TRUN_PART beginRun(const tRunStart& start) override;
  const tBLAMRunRecord* getReplayed() const override { return replayed_; }
  void endRun(bool complete) override;
  bool appendText(const std::string& path, const std::string& text) override;
  bool writeMade(const std::string& path, const tWriter& write) override;
  bool appendCSV(const std::string& path, const std::vector<std::string>& columns,
                 const std::vector<std::vector<std::string>>& rows,
                 std::vector<std::string>& leftOut) override;
  void removeOutputsOf(const std::string& directory, const std::string& batchName,
                       const std::string& statement) override;

 protected:
  bool keeps(const std::string& path) const override;

 private:
  // A path made comparable: absolute below the output directory, normalised.
  static std::string normalPath(const std::string& path);

  std::map<unsigned long, tBLAMRunRecord> records_;  // every computed run, by number
  std::set<std::string> pictures_;                   // the shards' pictures, normalised
  bool checking_ = true;                             // the first pass is running
  unsigned long runs_ = 0;                           // runs met in the current pass
  std::string failure_;                              // why the records do not fit
  const tBLAMRunRecord* replayed_ = nullptr;         // the run being replayed
};

#endif
