#ifndef ROOTWEAVER_BLAM_TBLAMRUNOUTPUT_H
#define ROOTWEAVER_BLAM_TBLAMRUNOUTPUT_H

#include <string>
#include <vector>

#include "fractal/tWadaGrid.h"

struct tBLAMContext;
class tBasinStatistics;
class tFractal;
class tFunction;
class tIterationHistogram;
class tIterativeSolver;
class tVariableEnv;

// One of the files a finished run writes: the picture (TGA or PNG), the data
// block, a statistics row, the basins' rows, the histogram of iterations.
// Each is a class of its own, so that the run statement reads as the order of
// events and a new output is a new class rather than a new branch.
class tBLAMRunOutput {
 public:
  // What a finished run leaves for its outputs, all measured by then; the
  // names of the files are known before.
  struct tRun {
    std::string statement;               // the run as written, for warnings
    std::string directory;               // where the outputs go, ending in "/"
    std::string prefix;                  // the batch's name, which begins every file's name
    std::string imageName;               // the picture's file name
    tFunction* function;                 // what was run
    tIterativeSolver* solver;            // with what
    tFractal* fractal;                   // the picture, with its dimension
    const tBasinStatistics* statistics;  // its measures
    double milliseconds;                 // the time it took
    std::string seed;                    // of the random sequence; "" when the clock seeded it
    tVariableEnv* env;                   // the variables after the run
    const tBLAMContext* context;         // the script's: where files go, failures count
    const tWadaGrid::tResult* wada = nullptr;  // the grid Wada test; null when not asked for
    // The histogram of iterations for the speed measures; null when
    // _speedMeasures does not ask for them.
    const tIterationHistogram* iterations = nullptr;
  };

  virtual ~tBLAMRunOutput() = default;
  // The path of the file this output of the run writes; known before the
  // run is computed.
  virtual std::string getPath(const tRun& run) const = 0;
  // Writes this output of the run; false, after a failure of the run's
  // statement, when it cannot.
  virtual bool write(const tRun& run) const = 0;
  // Rewrites the files made from what this output has appended so far (a
  // plot), through the script's outputs (tBLAMOutputs::writeMade), which
  // leave them to the merge in a sharded sweep; false, after a failure of
  // the run's statement, when it cannot. Called after every output has
  // written, and after a merge replays the run's appends, so it reads only
  // the files and the run's names.
  virtual bool writeMade(const tRun& run) const;

 protected:
  // Appends rows to the CSV file of this output through the script's
  // outputs (tBLAMOutputs::appendCSV).
  bool appendToCSV(const tRun& run, const std::vector<std::string>& columns,
                   const std::vector<std::vector<std::string>>& rows) const;
  // The failure of the run's statement that error describes; false.
  static bool fail(const tRun& run, const std::string& error);
};

#endif
