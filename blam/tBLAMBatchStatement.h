#ifndef ROOTWEAVER_BLAM_TBLAMBATCHSTATEMENT_H
#define ROOTWEAVER_BLAM_TBLAMBATCHSTATEMENT_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "blam/tBLAMStatement.h"

class tBLAMScript;

// batch "NAME" of COUNT ... end: runs its body COUNT times in a scope of its
// own, numbering the iterations (_n_), the images (_totalImages_) and the
// batches (_batchNum_), after removing the outputs an earlier run of the same
// batch left and creating the output directory.
//
// Only files that this batch itself writes are removed: the batch's name
// taken literally, "-", at least one letter, digit, "-" or "_", then ".txt",
// ".tga", ".png" or ".svg" (data and graph files, images, plots); and the
// batch's name, "-" and ".txt" or ".svg", the data or graph file that an
// empty name gives and its plot. The name is never read as a pattern, so batch
// "a" leaves the outputs of batch "ab" alone and a batch with an empty name
// leaves every file whose name does not begin with "-".
class tBLAMBatchStatement : public tBLAMStatement {
 public:
  // Stores count and name and parses the body from index with the script's
  // parser; the body ends at the first token that cannot begin a statement.
  void buildStatement(std::uint32_t count, const std::string& name,
                      const std::vector<std::string>& tokens, unsigned& index, tBLAMScript& script);

  void run(tVariableEnv* env, const tBLAMContext& context) override;
  void print(std::ostream& trace) const override;
  std::string describe() const override;

  // Whether a file of that name is one of the outputs of the batch named
  // batchName.
  static bool isOutputOf(const std::string& fileName, const std::string& batchName);

 private:
  std::uint32_t count_ = 0;                                  // number of iterations
  std::string name_;                                         // the batch's name, without quotes
  std::vector<std::unique_ptr<tBLAMStatement>> statements_;  // the body, in order
};

#endif
