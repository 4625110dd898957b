#ifndef ROOTWEAVER_BLAM_TBLAMOUTPUTS_H
#define ROOTWEAVER_BLAM_TBLAMOUTPUTS_H

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct tBLAMRunRecord;

// Where every file of a running script goes: each picture, each text or CSV
// append of a run or a graph statement, each file made from those appends
// (a graph's plot), and each batch's removal of its old outputs and making
// of its directory passes through the tBLAMOutputs of the script's context
// (tBLAMContext), which whoever runs the script owns. This class is the plain
// script's, which writes and removes at once; shards and their merge give
// their scripts others (tBLAMShardOutputs, tBLAMMergeOutputs).
//
// Shards and merging. A sweep is split over N processes, on one machine or
// many, that share nothing but the output directory. Every shard runs the
// whole script, so that variables, ranges, batch counters and image numbers
// advance as in one process, but computes only its share of the runs: run
// r, counted over the whole script in execution order, belongs to shard
// (r - 1) mod N. The invariant is that the merged outputs are byte for byte
// those of the unsharded run, apart from measured times. It holds because:
//
// - A run's picture depends only on the variables when it runs: the root
//   registry starts empty for each picture, and _seed, where set, starts
//   the random sequence afresh. Scripts whose pictures depend on earlier
//   runs (kept root colours; random colours or jitter without _seed, which
//   continue one random sequence) are refused before any work; a setting
//   computed from an earlier run's results is caught at the merge, which
//   compares each run's settings with those its shard saw.
// - A shard writes the pictures it computes under their final names, but
//   only where no later event of the script overwrites or removes that name
//   (a nested batch rewrites its images on every outer iteration): a first
//   pass over the script that computes nothing finds those events, so no two
//   shards ever write one file.
// - What a computed run appends to text and CSV files is recorded, with the
//   values the run bound (its dimension, its statistics), in the shard's file
//   instead of being written: a CSV file's header is that of its first run,
//   and a graph of a run's dimension needs the value, whichever shard
//   computed it.
// - The merge runs the script once more without computing: each run binds
//   the recorded values and replays its recorded appends, and every other
//   statement runs as usual, so graph lines, assignments and the trace come
//   out as from one process. Files made from appended ones (a graph's plot)
//   belong to the merge in the same way, as only it has the whole file.
// - Old outputs are removed by the merge alone, in script order as one
//   process would, sparing the pictures the shards wrote. Shards start and
//   end in any order, so a removal by any of them could delete another's
//   finished picture; only the merge runs when all have ended.
class tBLAMOutputs {
 public:
  // What a run statement does with the run it has reached.
  enum TRUN_PART {
    RUN_COMPUTE,  // compute it and write its outputs
    RUN_SKIP,     // another process computes it: only advance the variables
    RUN_REPLAY,   // take its results and appends from its record
  };
  // A run about to start, as its statement sees it.
  struct tRunStart {
    std::string statement;           // the run as written, for messages
    std::string picture;             // the path its picture will be written to
    std::vector<std::string> files;  // the paths of the files it appends to
    std::string settings;            // everything its picture depends on, as text
    std::string dependence;          // why its picture depends on earlier runs; "" when not
    // The path of the annotated page written beside the picture, with it and
    // like it (tBLAMAnnotatedSVG); "" when there is none.
    std::string page;
  };
  // Variables a run binds, with their values, in binding order.
  using tResults = std::vector<std::pair<std::string, double>>;
  // Writes a picture or a file made from others to the path given; false,
  // with the reason in error, when it cannot.
  using tWriter = std::function<bool(const std::string& path, std::string& error)>;

  virtual ~tBLAMOutputs() = default;

  // The script's statements start running (again).
  void beginScript();
  // A run statement starts: until its run begins, the last run has no
  // picture.
  void beginRunStatement();
  // A run is about to start: what to do with it.
  TRUN_PART beginRun(const tRunStart& start);
  // The picture path of the last run statement's run in this pass over the
  // script, whichever process computes it; "" before the first, and when
  // that statement failed before its run began.
  const std::string& getLastPicture() const { return lastPicture_; }
  // Whether a run statement has started in this pass.
  bool hasRunStatement() const { return runStatement_; }
  // For RUN_REPLAY: the record to take the run from.
  virtual const tBLAMRunRecord* getReplayed() const;
  // The variables the computed run has bound.
  virtual void keepResults(const tResults& results);
  // The run is over; complete when its picture was written, as a run that
  // could not write it leaves nothing else.
  virtual void endRun(bool complete);

  // Each write is false, with "cannot write PATH: REASON" in error, when it
  // fails.
  // Writes a run's picture.
  virtual bool writePicture(const std::string& path, const tWriter& write, std::string& error);
  // Writes a file made from files the script appends to, such as a graph's
  // plot.
  virtual bool writeMade(const std::string& path, const tWriter& write, std::string& error);
  // Appends the text to the file at path.
  virtual bool appendText(const std::string& path, const std::string& text, std::string& error);
  // Appends rows to a CSV file by column name (tCSVFile::appendRows).
  virtual bool appendCSV(const std::string& path, const std::vector<std::string>& columns,
                         const std::vector<std::vector<std::string>>& rows, std::string& error);
  // Creates the directory (ending in "/") with every missing level.
  virtual void makeDirectory(const std::string& directory);
  // Whether outputs can be written into the directory.
  virtual bool canWriteTo(const std::string& directory) const;
  // Removes the old outputs of the batch named batchName from the directory
  // (ending in "/"; tBLAMBatchStatement::isOutputOf), and the temporary files
  // of their writes that a killed process left; why each removal that
  // failed did ("cannot remove old output PATH"), for the statement to fail
  // with.
  std::vector<std::string> removeBatchOutputs(const std::string& directory,
                                              const std::string& batchName);
  // Before the first output of a statement outside any batch into the
  // directory: removes the old outputs that such statements left there (as
  // a batch with an empty name does), once per directory and script run, so
  // that running a script again does not add to its earlier results; why
  // each removal that failed did.
  std::vector<std::string> prepareTopLevel(const std::string& directory);

 protected:
  // What beginRun decides.
  virtual TRUN_PART partOf(const tRunStart& start);
  // What removeBatchOutputs does.
  virtual std::vector<std::string> removeOutputsOf(const std::string& directory,
                                                   const std::string& batchName);
  // Whether a file that a removal would delete stays instead.
  virtual bool keeps(const std::string& path) const;
  // Whether the path, made absolute from the output directory and
  // normalised, is the output directory (given with its final "/") or lies
  // below it.
  static bool isInsideOutputDirectory(const std::string& path);

 private:
  std::set<std::string> preparedTopLevel_;  // directories cleared for statements outside batches
  std::string lastPicture_;                 // the picture of the last run statement's run
  bool runStatement_ = false;               // a run statement has started
};

#endif
