#include "expr/tFunctionCheck.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <limits>
#include <memory>
#include <set>

#include "File/tFileUtils.h"
#include "expr/tFormulaText.h"
#include "expr/tFunction.h"

namespace {

// cbrt of the machine epsilon: the step that balances a central
// difference's truncation error against its rounding error.
const double kStep = 6.0554544523933395e-06;
// The rounding of a value, in units of its last place, that the finite
// difference may amplify.
const double kRounding = 64 * std::numeric_limits<double>::epsilon();

const char* originText(tFunction::TFORMULA_ORIGIN origin) {
  switch (origin) {
    case tFunction::ORIGIN_GIVEN:
      return "given";
    case tFunction::ORIGIN_DERIVED:
      return "derived";
    case tFunction::ORIGIN_COMPLEX:
      return "from f(z)";
    default:
      return "none";
  }
}

// "f11 (given)", the label as the report names a formula.
std::string labelOf(const tFunction& f, unsigned slot) {
  return std::string(tFunction::getLabel(slot)) + " (" + originText(f.getOrigin(slot)) + ")";
}

std::string valueText(double value, int digits = 6) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*g", digits, value);
  return text;
}

std::string pointText(const tVector2& p) {
  return "(" + valueText(p[0]) + ", " + valueText(p[1]) + ")";
}

// Where tFunction reads the file from for a path given on the command line:
// a path that names a file from the working directory as it stands, any
// other in "Shared Functions/".
std::string locationOf(const std::string& path) {
  std::error_code error;
  if (tFileUtils::isCompletePath(path) || !std::filesystem::exists(path, error)) return path;
  return std::filesystem::absolute(path, error).string();
}

}  // namespace

void tFunctionCheck::setBounds(double minX, double maxX, double minY, double maxY) {
  minX_ = minX;
  maxX_ = maxX;
  minY_ = minY;
  maxY_ = maxY;
}

tFunctionCheck::TSTATUS tFunctionCheck::checkFile(const std::string& path,
                                                  std::ostream& out) const {
  const std::string location = locationOf(path);
  // The reading trace is for debugging the reader; the report replaces it.
  std::ostream nowhere(nullptr);
  const auto f = std::make_unique<tFunction>(location, nowhere, std::cerr);
  if (!f->isReadable()) {
    std::string refusal = tFileUtils::getReadRefusal(tFunction::locate(location));
    std::cerr << "rootweaver: cannot read function file " << path
              << (refusal.empty() ? "" : ": " + refusal) << "\n";
    return STATUS_UNREADABLE;
  }
  return checkFunction(*f, path, out);
}

tFunctionCheck::TSTATUS tFunctionCheck::checkFunction(const tFunction& f, const std::string& title,
                                                      std::ostream& out) const {
  out << title << "\n";
  writeFormulas(f, out);
  writeNames(f, out);
  if (f.isRefused()) {
    out << "  result: refused (see standard error)\n";
    return STATUS_DISAGREES;
  }
  std::string disagreeing;
  for (unsigned slot = 2; slot < tFunction::FORMULAS; ++slot) {
    if (writeComparison(f, slot, out)) continue;
    disagreeing += std::string(disagreeing.empty() ? "" : ", ") + tFunction::getLabel(slot);
  }
  if (!disagreeing.empty()) {
    out << "  result: wrong or missing: " << disagreeing << "\n";
    return STATUS_DISAGREES;
  }
  if (f.hasFileWarnings()) {
    out << "  result: read with warnings (see standard error)\n";
    return STATUS_DISAGREES;
  }
  out << "  result: the derivatives agree with finite differences over [" << valueText(minX_)
      << ", " << valueText(maxX_) << "] x [" << valueText(minY_) << ", " << valueText(maxY_)
      << "]\n";
  return STATUS_AGREES;
}

void tFunctionCheck::writeFormulas(const tFunction& f, std::ostream& out) const {
  if (const tExprNode* complex = f.getComplexFormula())
    out << "  f(z) = " << tFormulaText::of(complex) << "\n";
  for (unsigned slot = 0; slot < tFunction::FORMULAS; ++slot) {
    if (f.hasFormula(slot))
      out << "  " << labelOf(f, slot) << " = " << f.getFormulaText(slot) << "\n";
    else
      out << "  " << tFunction::getLabel(slot) << ": missing\n";
  }
}

void tFunctionCheck::writeNames(const tFunction& f, std::ostream& out) const {
  std::set<std::string> local;
  out << "  local constants:";
  for (const auto& [name, value] : f.getLocalConstants()) {
    out << (local.empty() ? " " : ", ") << name << " = " << tFormulaText::number(value);
    local.insert(name);
  }
  out << (local.empty() ? " none\n" : "\n");

  std::set<std::string> names;
  f.freeVars(names);
  std::string free;
  for (const std::string& name : names)
    if (!local.count(name)) free += (free.empty() ? "" : ", ") + name;
  if (free.empty())
    out << "  free names: none\n";
  else
    out << "  free names (a script sets them before a run; checked as 0): " << free << "\n";
}

bool tFunctionCheck::writeComparison(const tFunction& f, unsigned slot, std::ostream& out) const {
  if (!f.hasFormula(slot)) {
    out << "  " << tFunction::getLabel(slot) << ": missing\n";
    return false;
  }
  out << "  " << labelOf(f, slot) << ": ";
  const unsigned component = (slot - 2) / 2;
  if (!f.hasFormula(component)) {
    out << "not checked, " << tFunction::getLabel(component) << " is missing\n";
    return false;
  }
  const tComparison c = compare(f, slot);
  if (c.points == 0) {
    out << "not checked, no point where it is finite\n";
    return true;
  }
  out << "worst relative disagreement " << valueText(c.worst, 2);
  const bool agrees = c.worst < TOLERANCE;
  if (agrees) {
    out << " over " << c.points << " points\n";
    return true;
  }
  out << " at " << pointText(c.at) << ": formula " << valueText(c.formula) << ", finite difference "
      << valueText(c.estimate) << "; disagrees\n";
  return false;
}

tVector2 tFunctionCheck::pointAt(unsigned i) const {
  // 1 / g and 1 / g^2 for the plastic number g, the root of g^3 = g + 1.
  const double a1 = 0.75487766624669276005;
  const double a2 = 0.56984029099805326591;
  const double u = 0.5 + a1 * i, v = 0.5 + a2 * i;
  return tVector2(minX_ + (u - std::floor(u)) * (maxX_ - minX_),
                  minY_ + (v - std::floor(v)) * (maxY_ - minY_));
}

// The values come from the function's program, which gives its formulas'
// bits, and also has those of a map too large to write out.
tFunctionCheck::tComparison tFunctionCheck::compare(const tFunction& f, unsigned slot) const {
  auto formula = [&f](unsigned k, const tVector2& q) {
    double values[tFunction::FORMULAS];
    f.getProgram().evaluate(q[0], q[1], values);
    return values[k];
  };
  const unsigned component = (slot - 2) / 2;
  const unsigned axis = slot % 2;  // f12 and f22 go along y
  tComparison result;
  for (unsigned i = 1; i <= POINTS; ++i) {
    const tVector2 p = pointAt(i);
    const double h = kStep * std::max(1.0, std::fabs(p[axis]));
    // The component at p moved to the coordinate t along the axis.
    auto along = [&](double t) {
      tVector2 q = p;
      q[axis] = t;
      return formula(component, q);
    };
    const double up = p[axis] + h, down = p[axis] - h;
    const double up2 = p[axis] + 2 * h, down2 = p[axis] - 2 * h;
    const double g[4] = {along(up), along(down), along(up2), along(down2)};
    const double d = formula(slot, p);
    const double near = (g[0] - g[1]) / (up - down);
    const double far = (g[2] - g[3]) / (up2 - down2);
    if (!std::isfinite(d) || !std::isfinite(near) || !std::isfinite(far)) continue;
    ++result.points;
    double largest = 0.0;
    for (double value : g) largest = std::max(largest, std::fabs(value));
    const double resolution = std::fabs(near - far) + kRounding * largest / (up - down);
    const double scale = std::max(std::fabs(d), std::fabs(near)) + resolution / TOLERANCE;
    const double relative = scale > 0 ? std::fabs(d - near) / scale : 0.0;
    if (result.points > 1 && relative <= result.worst) continue;
    result.worst = relative;
    result.at = p;
    result.formula = d;
    result.estimate = near;
  }
  return result;
}
