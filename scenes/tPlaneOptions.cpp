#include "scenes/tPlaneOptions.h"

#include "expr/tFunction.h"
#include "fractal/tParameterPlane.h"

namespace {

const char kOnCategory[] = "Parameter Plane";
const char kAxesCategory[] = "Plane Axes";
const char kStartCategory[] = "Plane Start";

// Entry 0 of a category, or the fallback when there is none.
std::string entryOf(const tCategoricalDict& prefs, const char* category, const char* fallback) {
  if (!prefs.hasCategory(category) || prefs.numEntriesInCategory(category) == 0) return fallback;
  return prefs[category][0];
}

void setEntry(tCategoricalDict& prefs, const char* category, const std::string& text) {
  if (!prefs.hasCategory(category)) prefs.addCategory(category);
  if (prefs.numEntriesInCategory(category) == 0) {
    prefs.addEntryToCategory(category, text);
  } else {
    prefs[category][0] = text;
  }
}

// The text without the spaces around it.
std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

tPlaneOptions::tPlaneOptions() : on_(false), used_(false) {
  axes_.setText("a b");
  start_.setText("0, 0");
}

void tPlaneOptions::read(const tCategoricalDict& prefs) {
  used_ = prefs.hasCategory(kOnCategory);
  on_ = entryOf(prefs, kOnCategory, "0") == "1";
  axes_.setText(entryOf(prefs, kAxesCategory, "a b"));
  start_.setText(entryOf(prefs, kStartCategory, "0, 0"));
}

void tPlaneOptions::write(tCategoricalDict& prefs) const {
  if (!used_ && !on_) return;
  setEntry(prefs, kOnCategory, on_ ? "1" : "0");
  setEntry(prefs, kAxesCategory, axes_.getText());
  setEntry(prefs, kStartCategory, start_.getText());
}

bool tPlaneOptions::splitStart(std::string& x, std::string& y) const {
  const std::string text = start_.getText();
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos) return false;
  x = trimmed(text.substr(0, comma));
  y = trimmed(text.substr(comma + 1));
  return !x.empty() && !y.empty();
}

std::string tPlaneOptions::markUnusable() {
  std::string p, q, x, y;
  axes_.setMarked(on_ && !tParameterPlane::parseAxes(axes_.getText(), p, q));
  start_.setMarked(on_ && !splitStart(x, y));
  if (axes_.isMarked()) return "Plane axes must be two names, as \"a b\"";
  if (start_.isMarked()) return "Plane start must be two formulas, as \"0, 0\"";
  return "";
}

bool tPlaneOptions::make(const tFunction& f, std::unique_ptr<tParameterPlane>& plane,
                         std::unique_ptr<tFunction>& start, std::string& error) const {
  std::string p, q, x, y;
  if (!tParameterPlane::parseAxes(axes_.getText(), p, q) || !splitStart(x, y)) {
    error = "the plane's fields cannot be read";
    return false;
  }
  error = tParameterPlane::refusalFor(f, p, q);
  if (!error.empty()) return false;
  start = tParameterPlane::readStart(x, y, p, q, nullptr, error);
  if (!start) return false;
  plane = std::make_unique<tParameterPlane>(f, *start, p, q, tParameterPlane::BY_ITERATIONS);
  return true;
}
