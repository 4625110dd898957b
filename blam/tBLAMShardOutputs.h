#ifndef ROOTWEAVER_BLAM_TBLAMSHARDOUTPUTS_H
#define ROOTWEAVER_BLAM_TBLAMSHARDOUTPUTS_H

#include <set>
#include <string>
#include <vector>

#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMRunRecord.h"

// The outputs of shard K of N (see tBLAMOutputs for the whole scheme), in
// two passes over the script.
//
// Planning computes nothing and writes nothing (it takes the directories
// the script makes as made): it numbers the runs, notes
// every picture path and every batch's removal in order, and notes the first
// run whose picture would depend on earlier runs, and the first output the
// script would put outside the output directory, which the merge could not
// take. From these, each picture is final when no later run writes the same
// path and no later removal deletes it.
//
// Computing then computes the shard's own runs: it writes their pictures
// where final, with the size and hash of each, records their appends and
// results instead of writing them, and drops the rest (other runs, graph
// lines and plots, removals), which the merge does.
class tBLAMShardOutputs : public tBLAMOutputs {
 public:
  tBLAMShardOutputs(unsigned int shard, unsigned int shards);

  // Why the script cannot be run as shards, naming the first run that
  // depends on earlier ones or the first output outside the output
  // directory; "" when it can.
  const std::string& getRefusal() const { return refusal_; }
  // Ends planning: finds the final pictures and starts counting again.
  void startComputing();
  // Runs met so far in the current pass.
  unsigned long getRunCount() const { return runs_; }
  // The records of the runs computed, in run order.
  const std::vector<tBLAMRunRecord>& getRecords() const { return records_; }

  void keepResults(const tResults& results) override;
  void endRun(bool complete) override;
  bool writePicture(const std::string& path, const tWriter& write, std::string& error) override;
  bool writeMade(const std::string& path, const tWriter& write, std::string& error) override;
  bool appendText(const std::string& path, const std::string& text, std::string& error) override;
  bool appendCSV(const std::string& path, const std::vector<std::string>& columns,
                 const std::vector<std::vector<std::string>>& rows, std::string& error) override;
  void makeDirectory(const std::string& directory) override;
  bool canWriteTo(const std::string& directory) const override;

 protected:
  TRUN_PART partOf(const tRunStart& start) override;
  std::vector<std::string> removeOutputsOf(const std::string& directory,
                                           const std::string& batchName) override;

 private:
  // A picture written or a batch's outputs removed, in script order.
  struct tEvent {
    unsigned long run;      // the run writing the picture; 0 for a removal
    std::string directory;  // the directory, normalised, without a final "/"
    std::string name;       // the picture's file name, or the batch's name
  };

  // The path relative to the output directory.
  static std::string relative(const std::string& path);
  // The run being computed by this shard, or null.
  tBLAMRunRecord* recording();
  // While planning: refuses the script when the path lies outside the
  // output directory.
  void planOutput(const std::string& path);

  unsigned int shard_;                     // K
  unsigned int shards_;                    // N
  bool planning_ = true;                   // the first pass is running
  unsigned long runs_ = 0;                 // runs met in the current pass
  std::string refusal_;                    // why the script cannot be sharded
  std::vector<tEvent> events_;             // planning: pictures and removals in order
  std::set<std::string> directories_;      // planning: directories the script makes
  std::set<unsigned long> finalPictures_;  // runs whose picture stays to the end
  std::vector<tBLAMRunRecord> records_;    // the runs computed, in order
  bool computing_ = false;                 // records_.back() is the run being computed
};

#endif
