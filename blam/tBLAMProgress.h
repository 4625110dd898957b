#ifndef ROOTWEAVER_BLAM_TBLAMPROGRESS_H
#define ROOTWEAVER_BLAM_TBLAMPROGRESS_H

#include <cstdint>
#include <iosfwd>
#include <mutex>
#include <string>
#include <vector>

// What one run of a BLAM script is doing, readable from any thread: the
// statement running, the batches around it with their iterations, and for a
// picture the pixels done out of the pixels to do. Whoever runs the script
// owns the record and hands it to the script (tBLAMContext); the statements
// write it as they go, the headless runner draws it as a status line on a
// terminal, and a window shows it while the script runs in the background.
//
// Runs are counted too: given how many the process will compute, each one
// computed adds its time, and the status line and the run lines (one line
// a log can read after each run, for a standard error that is no terminal)
// tell which run of how many is on and about how long the rest will take.
//
// Warnings about the script go through here too, on the stream of messages
// the record was made with (standard error, or nowhere for a pass that must
// stay silent), so that a status line there is cleared before a warning is
// written below it, and the failures among them are counted, for the exit
// status of a batch.
class tBLAMProgress {
 public:
  // A consistent copy of the record.
  struct tState {
    std::string script;             // path of the script loaded last
    bool running = false;           // whether its statements are running
    std::string batches;            // enclosing batches, outermost first: sweep 2/3 > inner 1/4
    std::string statement;          // the statement running, as describe() gives it
    std::uint64_t pixelsDone = 0;   // pixels of the current picture computed
    std::uint64_t pixelsTotal = 0;  // pixels of the current picture; 0 when there is none
    unsigned long runsDone = 0;     // runs computed
    unsigned long runsTotal = 0;    // runs to compute; 0 when not known
    double runSeconds = 0.0;        // the time the runs computed took
  };

  // A record whose warnings and status line go to messages, which must
  // outlive it.
  explicit tBLAMProgress(std::ostream& messages);
  tBLAMProgress(const tBLAMProgress&) = delete;
  tBLAMProgress& operator=(const tBLAMProgress&) = delete;

  // Where the warnings go; a function file's reader writes its own there,
  // while the script is read and no status line is shown.
  std::ostream& getMessages() const { return messages_; }

  // A script is being read: its path names it in warnings, and no failure
  // is counted yet.
  void setScript(const std::string& path);
  void beginRun();
  void endRun();
  // A new statement starts: its text replaces the last, and no picture is on.
  void beginStatement(const std::string& text);
  void enterBatch(const std::string& name, std::uint32_t count);
  void setIteration(std::uint32_t n);
  void leaveBatch();
  // The process will compute this many runs; 0 when it does not know.
  void expectRuns(unsigned long total);
  // Whether each run computed writes its run line.
  void writeRunLines(bool on);
  // A run computed its picture, named so, in this many seconds: one more
  // run done, and its run line when they are on.
  void endComputedRun(const std::string& picture, double seconds);
  void beginPixels(std::uint64_t total);
  void setPixelsDone(std::uint64_t done);
  tState getState() const;

  // Writes the script's path, ": ", the message and a line feed on the
  // stream of messages.
  void warn(const std::string& message);
  // The same for a place in the script: path:line:column: message.
  void warnAt(unsigned line, unsigned column, const std::string& message);
  // The same for a place given whole (path:line:column, as tSourceText
  // names it); the script's path alone when the place is empty.
  void warnAtPlace(const std::string& place, const std::string& message);
  // A statement could not do all it asked (or reading stopped before the
  // script's end): the warning, and one more failure counted.
  void fail(const std::string& message);
  void failAt(unsigned line, unsigned column, const std::string& message);
  // The same at a place given whole, as warnAtPlace takes it.
  void failAtPlace(const std::string& place, const std::string& message);
  // One more failure, already reported (by a function file's reader).
  void countFailure();
  // Failures since the script was set.
  unsigned getFailureCount() const;
  // A run wrote its picture into the directory (ending in "/").
  void notePicture(const std::string& directory);

  // What the script did, for a last word on it.
  struct tSummary {
    unsigned pictures = 0;             // pictures written
    std::vector<std::string> folders;  // where, in the order first written to
    unsigned failures = 0;             // statements that failed
    std::string firstFailure;          // the first failure's message; "" when not known
  };
  tSummary getSummary() const;
  // Draws the state as one line of at most width characters on the stream
  // of messages, over the line drawn before ("\r"); for terminals only.
  void showStatusLine(unsigned width);
  // Erases the status line, if one is shown.
  void clearStatusLine();

  // The state as the status line shows it.
  static std::string formatState(const tState& state);
  // "run 3 of 16, about 50 s left": the run after the runs done, of how many,
  // and the time left at their mean time; the count alone while none is
  // done, and "run 3" when the total is not known or passed.
  static std::string formatRuns(const tState& state);
  // A time for people: "4.2 s", "50 s", "12 min", "2.5 h".
  static std::string formatSeconds(double seconds);

 private:
  // An empty record, running or not.
  void resetRun(bool running);
  // Counts a failure, keeping the first one's message.
  void countFailure(const std::string& message);
  void clearStatusLineLocked();
  // Writes the script's path, the text and a line feed on the stream of
  // messages.
  void writeWarning(const std::string& text);

  // One batch around the running statement.
  struct tBatchLevel {
    std::string name;     // the batch's name
    std::uint32_t n;      // current iteration, from 1; 0 before the first
    std::uint32_t count;  // number of iterations
  };

  std::ostream& messages_;            // where warnings and the status line go
  mutable std::mutex mutex_;          // guards every field below
  std::string script_;                // path of the script loaded last
  bool running_ = false;              // whether the script's statements are running
  std::vector<tBatchLevel> batches_;  // the batches around the statement, outermost first
  std::string statement_;             // the statement running
  std::uint64_t pixelsDone_ = 0;      // pixels of the current picture computed
  std::uint64_t pixelsTotal_ = 0;     // pixels of the current picture; 0 when none
  bool lineShown_ = false;            // whether a status line stands on messages_
  bool runLines_ = false;             // whether each run computed writes a line
  unsigned long runsDone_ = 0;        // runs computed
  unsigned long runsTotal_ = 0;       // runs to compute; 0 when not known
  double runSeconds_ = 0.0;           // the time they took
  tSummary summary_;                  // what the script did since it was set
};

#endif
