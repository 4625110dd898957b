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
// Checking writes nothing: it makes sure that every run has its record, that
// its shard wrote its picture, that each run's settings are those its shard
// computed with (which fails when a run's settings come from an earlier
// run's results: a shard did not know them), that a record names only the
// files its run writes, and that the script keeps every output inside the
// output directory. Shard files come from a folder others may write to, and
// their script is replayed: nothing they say may send a write or a removal
// elsewhere. Writing then replays the runs' appends, lets graph statements
// write their lines and plots, and removes old outputs where the script
// does, sparing the pictures the shards wrote; every write and removal
// checks again that its folder, links followed, lies inside the output
// directory.
class tBLAMMergeOutputs : public tBLAMOutputs {
 public:
  // The records of all N shards by run number, and the paths of the
  // pictures the shards wrote, relative to the output directory.
  tBLAMMergeOutputs(std::map<unsigned long, tBLAMRunRecord> records,
                    const std::set<std::string>& pictures, unsigned int shards);

  // Why the records or the script do not fit, naming the first run or
  // output that does not; "" when they do.
  const std::string& getFailure() const { return failure_; }
  // Ends checking; the second pass writes.
  void startWriting();
  // Runs met so far in the current pass.
  unsigned long getRunCount() const { return runs_; }

  const tBLAMRunRecord* getReplayed() const override { return replayed_; }
  void endRun(bool complete) override;
  bool appendText(const std::string& path, const std::string& text, std::string& error) override;
  bool writeMade(const std::string& path, const tWriter& write, std::string& error) override;
  bool appendCSV(const std::string& path, const std::vector<std::string>& columns,
                 const std::vector<std::vector<std::string>>& rows, std::string& error) override;
  void makeDirectory(const std::string& directory) override;
  bool canWriteTo(const std::string& directory) const override;

 protected:
  TRUN_PART partOf(const tRunStart& start) override;
  std::vector<std::string> removeOutputsOf(const std::string& directory,
                                           const std::string& batchName) override;
  bool keeps(const std::string& path) const override;

 private:
  // A path made comparable: absolute below the output directory, normalised.
  static std::string normalPath(const std::string& path);
  // Why the record does not fit the run about to start; "" when it does.
  std::string misfitOf(const tBLAMRunRecord& record, const tRunStart& start) const;
  // Whether the path may be written or removed: it lies inside the output
  // directory as written and with the links of its existing folders
  // followed. Else error says so, and while checking the first such path is
  // the failure.
  bool mayWrite(const std::string& path, std::string& error);

  std::map<unsigned long, tBLAMRunRecord> records_;  // every computed run, by number
  std::set<std::string> pictures_;                   // the shards' pictures, normalised
  unsigned int shards_;                              // N
  bool checking_ = true;                             // the first pass is running
  unsigned long runs_ = 0;                           // runs met in the current pass
  std::string failure_;                              // why the records do not fit
  const tBLAMRunRecord* replayed_ = nullptr;         // the run being replayed
};

#endif
