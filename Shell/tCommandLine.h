#ifndef ROOTWEAVER_SHELL_TCOMMANDLINE_H
#define ROOTWEAVER_SHELL_TCOMMANDLINE_H

#include <string>
#include <vector>

#include "Shell/tRenderCommand.h"
#include "blam/tBLAMBatchRunner.h"

// The command line of rootweaver given arguments: the mode they ask for (a
// script run whole or as a shard, a merge, a check of function files, one
// picture rendered, the usage or the version) and that mode's options, all
// read here so that every mode refuses a wrong command alike. The window,
// which takes no argument, is main's.
//
// Options begin with "-", come in any order and are given once each. One
// that takes values takes the arguments after it, which must not begin with
// "--": `--batch --seed 1` names the missing script, not a script called
// --seed. The other arguments are the files of --check, or the function of
// render, a word that comes first. A wrong command is
// one line naming the first argument at fault, in the order given, or the
// two that cannot go together; nothing runs and the exit status is
// USAGE_ERROR, so that a scheduler tells a wrong command from failed work.
class tCommandLine {
 public:
  // Bits, so that an option can name every mode it goes with.
  enum TMODE {
    MODE_HELP = 1,
    MODE_VERSION = 2,
    MODE_BATCH = 4,
    MODE_MERGE = 8,
    MODE_CHECK = 16,
    MODE_RENDER = 32
  };
  static constexpr int USAGE_ERROR = 2;
  // Most threads that --threads takes.
  static constexpr unsigned int MAX_THREADS = 4096;

  // What --check needs.
  struct tCheckOptions {
    std::vector<std::string> files;  // the function files, in the order given
    std::vector<double> bounds;      // --bounds MINX MAXX MINY MAXY; empty for the default
    bool quiet = false;              // --quiet: only failed files' reports, on standard error
  };

  // Reads the arguments after the program's name and does what they ask;
  // the exit status. A usage error is one line on standard error.
  static int run(const std::vector<std::string>& arguments);

  // Reads the arguments after the program's name; false, with the reason
  // ("unknown option --hlep") in error, when they are wrong.
  bool parse(const std::vector<std::string>& arguments, std::string& error);
  // Does what the arguments parsed ask; the exit status.
  int execute() const;

  TMODE getMode() const { return mode_; }
  const tBLAMBatchRunner::tOptions& getBatchOptions() const { return batch_; }
  const tCheckOptions& getCheckOptions() const { return check_; }
  const tRenderCommand::tOptions& getRenderOptions() const { return render_; }

 private:
  // How an option is read.
  struct tOption {
    const char* name;
    unsigned values;    // arguments that follow it
    unsigned asks;      // the TMODE it asks for; 0 when it only sets one up
    unsigned goesWith;  // the TMODEs it may be given in
    // Keeps its values; empty, or what it needs when they are wrong ("a
    // directory"). Null for an option without values.
    std::string (tCommandLine::*keep)(const std::vector<std::string>& values);
  };

  // Every option, in the order the usage gives them.
  static const std::vector<tOption>& options();
  static const tOption* find(const std::string& name);
  // The usage error of an argument that is no option: a misspelt one
  // (--threads=2), or one unknown.
  static std::string unknown(const std::string& argument);
  // "--batch, --merge or --check": the options that ask for the modes.
  static std::string modeNames(unsigned modes);
  // Why the option cannot be given in the mode the other asks for.
  static std::string conflict(const tOption& mode, const tOption& option);

  // Reads the option at arguments[i] and its values, leaving i at its last.
  bool readOption(const std::vector<std::string>& arguments, std::size_t& i, std::string& error);
  // Keeps an argument that is no option: a file of --check or the function
  // of render.
  bool keepArgument(const std::string& argument, bool takesFiles, std::string& error);
  // Sets mode_ from the options given, once each is read.
  bool chooseMode(std::string& error);
  // What render lacks, or has that does not go together; "" when nothing.
  std::string renderConflict() const;
  bool given(const char* name) const;
  int runCheck() const;

  std::string keepScript(const std::vector<std::string>& values);
  std::string keepMerge(const std::vector<std::string>& values);
  std::string keepSeed(const std::vector<std::string>& values);
  std::string keepThreads(const std::vector<std::string>& values);
  std::string keepOutputDirectory(const std::vector<std::string>& values);
  std::string keepShard(const std::vector<std::string>& values);
  std::string keepBounds(const std::vector<std::string>& values);
  std::string keepQuiet(const std::vector<std::string>& values);
  std::string keepNoProgress(const std::vector<std::string>& values);
  std::string keepMethod(const std::vector<std::string>& values);
  std::string keepSize(const std::vector<std::string>& values);
  std::string keepCenter(const std::vector<std::string>& values);
  std::string keepWidth(const std::vector<std::string>& values);
  std::string keepIterations(const std::vector<std::string>& values);
  std::string keepStep(const std::vector<std::string>& values);
  std::string keepPalette(const std::vector<std::string>& values);
  std::string keepShade(const std::vector<std::string>& values);
  std::string keepAnnotate(const std::vector<std::string>& values);
  std::string keepOutput(const std::vector<std::string>& values);

  TMODE mode_ = MODE_HELP;                // what the command asks for
  std::vector<const tOption*> given_;     // the options given, in order
  tBLAMBatchRunner::tOptions batch_;      // for MODE_BATCH and MODE_MERGE
  tCheckOptions check_;                   // for MODE_CHECK
  tRenderCommand::tOptions render_;       // for MODE_RENDER
};

#endif
