#ifndef ROOTWEAVER_BLAM_TBLAMBATCHRUNNER_H
#define ROOTWEAVER_BLAM_TBLAMBATCHRUNNER_H

#include <condition_variable>
#include <iosfwd>
#include <mutex>
#include <optional>
#include <string>

#include "File/tFolderLock.h"
#include "blam/tBLAMProgress.h"
#include "fractal/tSession.h"

class tBLAMOutputs;
class tBLAMScript;

// Runs a BLAM script without a window (rootweaver --batch): the same trace on
// standard output (or, quiet, on a stream that drops it) and the same files
// as the windowed program. While the
// script runs with standard error on a terminal, a status line there shows
// the statement running, the share of the picture done and which run of how
// many is on with the time left, redrawn at most ten times a second by a
// thread of the runner and erased at the end. When standard error is no
// terminal (a log, a scheduler's output file), each run computed writes one
// line there instead: "run 3 of 16: sweep-fractal-3.png, 4.2 s, about 50 s
// left". The runs are counted beforehand by a pass over the script that
// computes nothing, as a shard plans its share.
//
// The same script may run as shard K of N of a sweep, each shard computing
// its share of the runs, and the shards' work is then merged into the files
// of one whole run (rootweaver --merge DIR; see tBLAMOutputs).
class tBLAMBatchRunner {
 public:
  // What the command line asks for.
  struct tOptions {
    std::string script;                // --batch FILE; empty for a merge
    std::string merge;                 // --merge DIR: the shards' output directory
    std::optional<unsigned int> seed;  // --seed N: _seed before the script starts
    unsigned int threads = 0;          // --threads N; 0 for the CPUs granted
    std::string outputDirectory;       // --output-dir DIR; empty for the default
    bool sharded = false;              // --shard K/N was given
    unsigned int shard = 0;            // K
    unsigned int shards = 1;           // N
    bool quiet = false;                // --quiet: nothing on standard output
    bool progress = true;              // no --progress=none: a status line or run lines
  };

  // Runs what the options ask for; the process's exit status: 0 when every
  // statement did all it asked and every output was written; 1 when the
  // script cannot be read (one line on standard error and no trace), the
  // output directory cannot be written or is in use by another process, a
  // merge cannot be made, or statements failed (they all run, each failure a
  // line on standard error, and one line at the end counts them); 2 when a
  // script cannot be run as shards. A merge removes the shard files only
  // when it exits with 0. Quiet, the same without a trace.
  static int run(const tOptions& options);

 private:
  // A runner whose scripts trace on the stream given and warn on standard
  // error; its session's random sequence is seeded by the clock, for the
  // pictures that draw random numbers without _seed.
  explicit tBLAMBatchRunner(std::ostream& trace);

  // The whole script, one shard's share of it, or the merge of the shards.
  int runWhole(const tOptions& options);
  int runShard(const tOptions& options);
  int runMerge(const tOptions& options);
  // The status once the script has run: 0, or 1 after the line that counts
  // the failed statements, followed by note.
  int finish(const std::string& note) const;
  // Takes the lock on the output directory; false, after a line on standard
  // error, when another process holds it.
  static bool takeLock(tFolderLock& lock, tFolderLock::KIND kind);
  // The line that says why a script cannot be read; status 1.
  static int refuseUnreadable(const std::string& path);
  // Creates the directory if it is missing and makes it the output
  // directory; false, after a line on standard error, when it cannot be
  // written to.
  static bool useOutputDirectory(const std::string& directory, bool create);
  // Loads the text as the script at path, _seed set to the seed given, and
  // runs it, its files going through the outputs given, with the status line
  // on a terminal and run lines elsewhere, unless progress is off.
  void loadAndRun(const std::string& path, const std::string& source,
                  std::optional<unsigned int> seed, tBLAMOutputs& outputs, bool progress);
  // The runs of the whole script, counted without computing any.
  unsigned long countRuns(const std::string& path, const std::string& source,
                          std::optional<unsigned int> seed);
  // The same without a trace, a status line or warnings: a pass that only
  // follows the script.
  void followQuietly(const std::string& path, const std::string& source,
                     std::optional<unsigned int> seed, tBLAMOutputs& outputs);
  // Loads the text as the script at path and sets _seed to the seed given.
  static void load(tBLAMScript& script, const std::string& path, const std::string& source,
                   std::optional<unsigned int> seed);

  // The status thread's loop: redraw, then wait a tenth of a second or for
  // the script to end.
  void showProgress();

  tSession session_;                // where the scripts' pictures are made
  std::ostream& trace_;             // where the scripts trace
  tBLAMProgress progress_;          // the traced run's status line, warnings and failures
  std::mutex mutex_;                // guards finished_
  std::condition_variable wakeUp_;  // signalled when the script ends
  bool finished_ = false;           // whether the script has ended
};

#endif
