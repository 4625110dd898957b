#include "blam/tBLAMProgress.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

tBLAMProgress::tBLAMProgress(std::ostream& messages) : messages_(messages) {}

void tBLAMProgress::setScript(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  script_ = path;
  summary_ = tSummary();
}

void tBLAMProgress::beginRun() { resetRun(true); }

void tBLAMProgress::endRun() { resetRun(false); }

void tBLAMProgress::resetRun(bool running) {
  std::lock_guard<std::mutex> lock(mutex_);
  running_ = running;
  batches_.clear();
  statement_.clear();
  pixelsDone_ = pixelsTotal_ = 0;
}

void tBLAMProgress::beginStatement(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  statement_ = text;
  pixelsDone_ = pixelsTotal_ = 0;
}

void tBLAMProgress::enterBatch(const std::string& name, std::uint32_t count) {
  std::lock_guard<std::mutex> lock(mutex_);
  batches_.push_back({name, 0, count});
}

void tBLAMProgress::setIteration(std::uint32_t n) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!batches_.empty()) batches_.back().n = n;
}

void tBLAMProgress::leaveBatch() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!batches_.empty()) batches_.pop_back();
}

void tBLAMProgress::expectRuns(unsigned long total) {
  std::lock_guard<std::mutex> lock(mutex_);
  runsTotal_ = total;
  runsDone_ = 0;
  runSeconds_ = 0.0;
}

void tBLAMProgress::writeRunLines(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  runLines_ = on;
}

void tBLAMProgress::endComputedRun(const std::string& picture, double seconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++runsDone_;
  runSeconds_ += seconds;
  if (!runLines_) return;
  std::string line = "run " + std::to_string(runsDone_);
  if (runsDone_ <= runsTotal_) line += " of " + std::to_string(runsTotal_);
  line += ": " + picture + ", " + formatSeconds(seconds);
  if (runsDone_ < runsTotal_) {
    const double mean = runSeconds_ / static_cast<double>(runsDone_);
    line +=
        ", about " + formatSeconds(mean * static_cast<double>(runsTotal_ - runsDone_)) + " left";
  }
  clearStatusLineLocked();
  messages_ << line + "\n" << std::flush;
}

void tBLAMProgress::beginPixels(std::uint64_t total) {
  std::lock_guard<std::mutex> lock(mutex_);
  pixelsDone_ = 0;
  pixelsTotal_ = total;
}

void tBLAMProgress::setPixelsDone(std::uint64_t done) {
  std::lock_guard<std::mutex> lock(mutex_);
  pixelsDone_ = done;
}

tBLAMProgress::tState tBLAMProgress::getState() const {
  std::lock_guard<std::mutex> lock(mutex_);
  tState state;
  state.script = script_;
  state.running = running_;
  for (const tBatchLevel& level : batches_) {
    if (!state.batches.empty()) state.batches += " > ";
    state.batches += level.name + " " + std::to_string(level.n) + "/" + std::to_string(level.count);
  }
  state.statement = statement_;
  state.pixelsDone = pixelsDone_;
  state.pixelsTotal = pixelsTotal_;
  state.runsDone = runsDone_;
  state.runsTotal = runsTotal_;
  state.runSeconds = runSeconds_;
  return state;
}

void tBLAMProgress::warn(const std::string& message) { writeWarning(": " + message); }

void tBLAMProgress::warnAt(unsigned line, unsigned column, const std::string& message) {
  writeWarning(":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message);
}

void tBLAMProgress::warnAtPlace(const std::string& place, const std::string& message) {
  if (place.empty()) {
    warn(message);
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  clearStatusLineLocked();
  messages_ << place + ": " + message + "\n" << std::flush;
}

void tBLAMProgress::fail(const std::string& message) {
  warn(message);
  countFailure(message);
}

void tBLAMProgress::failAt(unsigned line, unsigned column, const std::string& message) {
  warnAt(line, column, message);
  countFailure("line " + std::to_string(line) + ": " + message);
}

void tBLAMProgress::failAtPlace(const std::string& place, const std::string& message) {
  warnAtPlace(place, message);
  countFailure(message);
}

void tBLAMProgress::countFailure() { countFailure(""); }

void tBLAMProgress::countFailure(const std::string& message) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (summary_.failures++ == 0) summary_.firstFailure = message;
}

unsigned tBLAMProgress::getFailureCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return summary_.failures;
}

void tBLAMProgress::notePicture(const std::string& directory) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++summary_.pictures;
  std::vector<std::string>& folders = summary_.folders;
  if (std::find(folders.begin(), folders.end(), directory) == folders.end())
    folders.push_back(directory);
}

tBLAMProgress::tSummary tBLAMProgress::getSummary() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return summary_;
}

void tBLAMProgress::writeWarning(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  clearStatusLineLocked();
  messages_ << script_ + text + "\n" << std::flush;
}

std::string tBLAMProgress::formatState(const tState& state) {
  std::string line;
  if (!state.batches.empty()) line += "[" + state.batches + "] ";
  // Statements print expressions over several lines; the status line is one.
  for (char c : state.statement) line += (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
  if (state.pixelsTotal > 0)
    line += " " + std::to_string(state.pixelsDone * 100 / state.pixelsTotal) + "%";
  if (state.runsTotal > 0) line += " (" + formatRuns(state) + ")";
  return line;
}

std::string tBLAMProgress::formatRuns(const tState& state) {
  const unsigned long current = state.runsDone + 1;
  if (state.runsTotal == 0 || current > state.runsTotal) return "run " + std::to_string(current);
  std::string text = "run " + std::to_string(current) + " of " + std::to_string(state.runsTotal);
  if (state.runsDone == 0) return text;
  // The run under way counts as not begun: the estimate errs long.
  const double mean = state.runSeconds / static_cast<double>(state.runsDone);
  const double left = mean * static_cast<double>(state.runsTotal - state.runsDone);
  return text + ", about " + formatSeconds(left) + " left";
}

std::string tBLAMProgress::formatSeconds(double seconds) {
  char text[32];
  if (seconds < 10.0) {
    std::snprintf(text, sizeof text, "%.1f s", seconds);
  } else if (seconds < 120.0) {
    std::snprintf(text, sizeof text, "%.0f s", seconds);
  } else if (seconds < 7200.0) {
    std::snprintf(text, sizeof text, "%.0f min", seconds / 60.0);
  } else {
    std::snprintf(text, sizeof text, "%.1f h", seconds / 3600.0);
  }
  return text;
}

void tBLAMProgress::showStatusLine(unsigned width) {
  tState state = getState();
  std::string line = formatState(state);
  // A line that wraps could no longer be drawn over.
  if (width > 1 && line.size() >= width) line.resize(width - 1);
  std::lock_guard<std::mutex> lock(mutex_);
  messages_ << "\r" + line + "\x1b[K" << std::flush;
  lineShown_ = true;
}

void tBLAMProgress::clearStatusLine() {
  std::lock_guard<std::mutex> lock(mutex_);
  clearStatusLineLocked();
}

void tBLAMProgress::clearStatusLineLocked() {
  if (!lineShown_) return;
  messages_ << "\r\x1b[K" << std::flush;
  lineShown_ = false;
}
