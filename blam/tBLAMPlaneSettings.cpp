#include "blam/tBLAMPlaneSettings.h"

#include "expr/tVariableEnv.h"

bool tBLAMPlaneSettings::read(tVariableEnv* env, const tFunction& f, std::string& error) {
  plane_.reset();
  const std::string axes = env->getStringVal("_parameterPlane");
  if (axes.empty()) return true;
  if (!tParameterPlane::parseAxes(axes, p_, q_)) {
    error = "_parameterPlane \"" + axes + "\" must name two parameters, as \"a b\"";
    return false;
  }
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

bool tBLAMPlaneSettings::readStart(tVariableEnv* env, std::string& error) {
  const std::string x = env->getStringVal("_planeStartX");
  const std::string y = env->getStringVal("_planeStartY");
  startText_ = x + "; " + y;
  start_ = tParameterPlane::readStart(x, y, p_, q_, env, error);
  if (start_) return true;
  error = "_planeStartX and _planeStartY: " + error;
  return false;
}

std::string tBLAMPlaneSettings::describe() const {
  if (!plane_) return "";
  return " plane=" + p_ + "," + q_ + " start=" + startText_ + " coloring=" + coloringText_;
}
