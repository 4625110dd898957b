#ifndef ROOTWEAVER_BLAM_TBLAMSCRIPT_H
#define ROOTWEAVER_BLAM_TBLAMSCRIPT_H

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "blam/tBLAMContext.h"
#include "blam/tBLAMStatement.h"
#include "expr/tVariableEnv.h"

class tSourceText;

// A BLAM script: read from a file, traced on the stream its context gives,
// parsed into a tree of statements and run against one variable environment
// that starts with the built-in variables.
//
// The file's lines, trimmed and without the comment lines, are joined with
// spaces and tokenized; tokens carry no kind, so the parser compares texts.
// Malformed input never stops the program: a form that fails ends its block,
// and a token that cannot begin a statement ends its block too (that is how
// end closes one). The first place where reading went wrong is named once
// among the warnings (on standard error in a batch) as path:line:column,
// counted in the original file, so that the user learns why the statements
// after it are missing; warnings never enter the trace.
class tBLAMScript {
 public:
  // Blocks nested deeper than this end the reading.
  static constexpr unsigned MAX_BLOCK_DEPTH = 100;

  using tStatements = std::vector<std::unique_ptr<tBLAMStatement>>;

  // The script's pictures are made in the context's session, its trace goes
  // to the context's stream and its progress, warnings and failures to the
  // context's record; all must outlive it.
  explicit tBLAMScript(const tBLAMContext& context);
  ~tBLAMScript();
  tBLAMScript(const tBLAMScript&) = delete;
  tBLAMScript& operator=(const tBLAMScript&) = delete;

  // Resets the variables to the built-in ones, then reads, traces and parses
  // the file, appending its statements. A file that cannot be read, or that
  // must not be (tFileUtils::getReadRefusal: a device, a pipe, a huge file),
  // is an empty script; the result says whether the file was read.
  bool loadScript(const std::string& path);
  // The same for a script's contents held in memory; path names the script
  // in warnings.
  void loadScriptText(const std::string& path, const std::string& contents);
  void loadDefaultValues();
  // Runs the top-level statements in order.
  void run();

  // The token at index, or "" past the end; index moves on in both cases.
  static std::string getNextToken(const std::vector<std::string>& tokens, unsigned& index);
  // Parses statements from index on into out, until the tokens run out, a
  // form fails, or a token cannot begin a statement (consumed). Called for
  // the script and for every batch and params body.
  void buildStatements(tStatements& out, const std::vector<std::string>& tokens, unsigned& index);
  // "[", the statements' prints separated by ", ", "]".
  static void printStatements(const tStatements& statements, std::ostream& trace);

  tVariableEnv* getEnv() const { return env_.get(); }

 private:
  // Reads, traces and parses the joined text of a script named path.
  void loadSource(const std::string& path, const tSourceText& source);
  bool buildBlock(tStatements& out, const std::vector<std::string>& tokens, unsigned& index);
  std::unique_ptr<tBLAMStatement> buildBatch(unsigned head, const std::vector<std::string>& tokens,
                                             unsigned& index);
  std::unique_ptr<tBLAMStatement> buildParams(unsigned head, const std::vector<std::string>& tokens,
                                              unsigned& index);
  std::unique_ptr<tBLAMStatement> buildGraph(const std::vector<std::string>& tokens,
                                             unsigned& index);
  std::unique_ptr<tBLAMStatement> buildMontage(const std::vector<std::string>& tokens,
                                               unsigned& index);
  std::unique_ptr<tBLAMStatement> buildNamed(unsigned head, const std::vector<std::string>& tokens,
                                             unsigned& index);
  // The bound of a range: a number, possibly signed, or the token there.
  static std::string getBound(const std::vector<std::string>& tokens, unsigned& index);
  // path:line:column of a token of the script being read; empty when unknown.
  std::string placeOf(unsigned token) const;
  // Records a failed form whose last token read is at index - 1, unless one
  // failed before; null.
  std::unique_ptr<tBLAMStatement> fail(const std::vector<std::string>& tokens, unsigned index,
                                       const std::string& reason = "");
  // The warning for the first place where reading went wrong, if any.
  void warnIfStoppedEarly(const tSourceText& source, const std::vector<std::string>& tokens,
                          const std::vector<unsigned>& offsets, unsigned stoppedAt,
                          bool complete) const;

  std::unique_ptr<tVariableEnv> env_;  // the script's variables
  tBLAMContext context_;               // where its pictures, trace and warnings go
  tStatements statements_;             // the top-level statements in script order

  // The script being parsed, so that messages can name places in it.
  std::string path_;                                // the script read
  const tSourceText* source_ = nullptr;             // its text, while it is parsed
  const std::vector<unsigned>* offsets_ = nullptr;  // where each token stands in it

  // State of one parse.
  unsigned depth_ = 0;          // blocks open around the statement being parsed
  bool failed_ = false;         // whether a form has failed
  unsigned failedToken_ = 0;    // token at which the first failed form failed
  bool failedPastEnd_ = false;  // whether that form needed a token past the last one
  std::string failedReason_;    // what the warning adds about that failure; may be empty
  bool tooDeep_ = false;        // whether blocks were nested too deeply
  unsigned strayToken_ = 0;     // the token that ended the top level early
};

#endif
