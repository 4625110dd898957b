#include "blam/tBLAMPlaneSettings.h"

#include <set>
#include <sstream>

#include "expr/tVariableEnv.h"

namespace {

// Where the start formulas' reading is traced: nowhere.
std::ostream& nowhere() {
  static std::ostream stream(nullptr);
  return stream;
}

}  // namespace

bool tBLAMPlaneSettings::read(tVariableEnv* env, const tFunction& f, std::string& error) {
  plane_.reset();
  const std::string axes = env->getStringVal("_parameterPlane");
  if (axes.empty()) return true;
  if (!readAxes(axes, error)) return false;
  error = tParameterPlane::refusalFor(f, p_, q_);
  if (!error.empty()) return false;
  if (env->getBoolVal("_singularSet") || env->getBoolVal("_wadaTest")) {
    error = "a parameter plane is drawn without _singularSet and _wadaTest";
    return false;
  }
  if (env->getDoubleVal("_jitter") > 1.0 || env->getBoolVal("_jitterFirst")) {
    error = "a parameter plane takes one sample a pixel, without _jitter or _jitterFirst";
    return false;
  }
  coloringText_ = env->getStringVal("_planeColoring");
  tParameterPlane::COLORING coloring;
  if (!tParameterPlane::parseColoring(coloringText_, coloring)) {
    error = "_planeColoring \"" + coloringText_ + "\" is neither \"iterations\" nor \"root\"";
    return false;
  }
  if (!readStart(env, error)) return false;
  plane_ = std::make_unique<tParameterPlane>(f, *start_, p_, q_, coloring);
  return true;
}

bool tBLAMPlaneSettings::readAxes(const std::string& text, std::string& error) {
  std::istringstream words(text);
  std::string extra;
  if (!(words >> p_ >> q_) || (words >> extra)) {
    error = "_parameterPlane \"" + text + "\" must name two parameters, as \"a b\"";
    return false;
  }
  return true;
}

bool tBLAMPlaneSettings::readStart(tVariableEnv* env, std::string& error) {
  const std::string x = env->getStringVal("_planeStartX");
  const std::string y = env->getStringVal("_planeStartY");
  startText_ = x + "; " + y;
  std::ostringstream messages;
  start_ = std::make_unique<tFunction>();
  start_->setStreams(nowhere(), messages);
  // Zero derivatives: the start is only evaluated, and nothing is derived.
  start_->readText("f1 = " + x + "\nf2 = " + y + "\nf11 = 0\nf12 = 0\nf21 = 0\nf22 = 0\n");
  unsigned head = 0;
  if (start_->isRefused() || start_->stoppedAtBrokenStatement(head) || !messages.str().empty()) {
    error = "the start \"" + startText_ + "\" (_planeStartX, _planeStartY) is not two formulas";
    return false;
  }
  std::set<std::string> names;
  start_->freeVars(names);
  for (const std::string& name : names) {
    if (name == p_ || name == q_ || env->hasDoubleVal(name)) continue;
    error = "the start \"" + startText_ + "\" reads '" + name + "', which holds no number";
    return false;
  }
  start_->substituteVars(env);
  return true;
}

std::string tBLAMPlaneSettings::describe() const {
  if (!plane_) return "";
  return " plane=" + p_ + "," + q_ + " start=" + startText_ + " coloring=" + coloringText_;
}
