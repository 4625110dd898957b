#ifndef ROOTWEAVER_BLAM_TBLAMGRAPHSTATEMENT_H
#define ROOTWEAVER_BLAM_TBLAMGRAPHSTATEMENT_H

#include <string>

#include "blam/tBLAMNameCheck.h"
#include "blam/tBLAMStatement.h"

// graph "FILE" X Y: appends the point (X, Y) to the batch's graph file
// <batch>-FILE.txt, one "[x, y]" line per run, every line but a batch's last
// ending in a comma, so the file reads as a list of points; then plots the
// whole file anew as <batch>-FILE.svg beside it (tBLAMGraphPlot), unless the
// graph file is no regular file (a pipe, a device) that can be read back.
// X or Y holding no number reads as 0, with a warning (tBLAMNameCheck).
class tBLAMGraphStatement : public tBLAMStatement {
 public:
  void buildStatement(const std::string& fileName, const std::string& xName,
                      const std::string& yName);
  // Where X and Y stand in the script, for warnings.
  void setPlaces(const std::string& xPlace, const std::string& yPlace);

  void run(tVariableEnv* env, const tBLAMContext& context) override;
  void print(std::ostream& trace) const override;
  std::string describe() const override;

 private:
  // Appends the line of (X, Y) to the graph file; false, after a warning,
  // when it cannot.
  bool appendPoint(tVariableEnv* env, const std::string& path, const tBLAMContext& context) const;

  std::string fileName_;  // the quoted name after graph, without quotes
  std::string xName_;     // variable written first
  std::string yName_;     // variable written second
  tBLAMNameCheck names_;  // the two names, checked as the statement runs
};

#endif
