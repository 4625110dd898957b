#include "blam/tBLAMSettings.h"

#include "expr/tVariableEnv.h"

namespace {

// A setting or a variable the program starts with: its name, type and
// starting value (a number, or a text for strings; a boolean's number is 0
// or 1). A setting without a default (_seed) is unset until a script sets it.
struct tEntry {
  const char* name;
  int type;
  bool hasDefault;
  double number;
  const char* text;
  bool isSetting;
};

const int kNumber = tVariableEnv::TYPE_NUMBER;
const int kString = tVariableEnv::TYPE_STRING;
const int kBool = tVariableEnv::TYPE_BOOL;

const tEntry kEntries[] = {
    {"_stepSize", kNumber, true, 1.0, "", true},
    {"_maxIterations", kNumber, true, 100, "", true},
    {"_methodParameter", kNumber, true, 0.5, "", true},
    {"_imageDimension", kNumber, true, 512, "", true},
    {"_imageWidth", kNumber, false, 0, "", true},
    {"_imageHeight", kNumber, false, 0, "", true},
    {"_minX", kNumber, true, -2, "", true},
    {"_maxX", kNumber, true, 2, "", true},
    {"_minY", kNumber, true, -2, "", true},
    {"_maxY", kNumber, true, 2, "", true},
    {"_outputDir", kString, true, 0, "", true},
    {"_outputDataFile", kString, true, 0, "fractal-data", true},
    {"_outputPrefix", kString, true, 0, "fractal", true},
    {"_jitter", kNumber, true, 1, "", true},
    {"_singularSet", kBool, true, 0, "", true},
    {"_jitterFirst", kBool, true, 0, "", true},
    {"_keepRootColors", kBool, true, 0, "", true},
    {"_useRandomColors", kBool, true, 1, "", true},
    {"_imageFormat", kString, true, 0, "tga", true},
    {"_shadeBySpeed", kBool, true, 0, "", true},
    {"_seed", kNumber, false, 0, "", true},
    {"_wadaTest", kBool, true, 0, "", true},
    {"_speedMeasures", kBool, true, 0, "", true},
    {"_parameterPlane", kString, true, 0, "", true},
    {"_planeStartX", kString, true, 0, "0", true},
    {"_planeStartY", kString, true, 0, "0", true},
    {"_planeColoring", kString, true, 0, "iterations", true},
    {"_palette", kString, true, 0, "classic", true},
    {"_annotate", kBool, true, 0, "", true},
    {"_rootColors", kString, true, 0, "", true},
    {"_fractalDimension_", kNumber, true, 0, "", false},
    {"_computationTime_", kNumber, true, 0, "", false},
    {"_batchNum_", kNumber, true, 1, "", false},
};

}  // namespace

int tBLAMSettings::typeOf(const std::string& name) {
  for (const tEntry& entry : kEntries)
    if (entry.isSetting && name == entry.name) return entry.type;
  return tVariableEnv::TYPE_UNBOUND;
}

const std::set<std::string>& tBLAMSettings::names() {
  static const std::set<std::string> settings = [] {
    std::set<std::string> made;
    for (const tEntry& entry : kEntries)
      if (entry.isSetting) made.insert(entry.name);
    return made;
  }();
  return settings;
}

void tBLAMSettings::loadDefaults(tVariableEnv& env) {
  for (const tEntry& entry : kEntries) {
    if (!entry.hasDefault) continue;
    if (entry.type == kString)
      env.extend(entry.name, entry.text);
    else if (entry.type == kBool)
      env.extend(entry.name, entry.number != 0);
    else
      env.extend(entry.name, entry.number);
  }
}

const std::vector<std::string>& tBLAMSettings::resultNames() {
  static const std::vector<std::string> results = {"_computationTime_",
                                                   "_fractalDimension_",
                                                   "_basinEntropy_",
                                                   "_boundaryBasinEntropy_",
                                                   "_boxDimension_",
                                                   "_boxDimensionError_",
                                                   "_uncertaintyExponent_",
                                                   "_uncertaintyExponentError_",
                                                   "_wadaDistance_",
                                                   "_rootCount_",
                                                   "_convergedFraction_",
                                                   "_wadaShare_",
                                                   "_wada_",
                                                   "_meanIterations_",
                                                   "_mostProbableIterations_",
                                                   "_failureFraction_"};
  return results;
}

const std::set<std::string>& tBLAMSettings::knownNames() {
  static const std::set<std::string> known = [] {
    std::set<std::string> made = names();
    made.insert(resultNames().begin(), resultNames().end());
    for (const char* name : {"_n_", "_batchMax_", "_batchName_", "_totalImages_", "_batchNum_"})
      made.insert(name);
    return made;
  }();
  return known;
}

std::string tBLAMSettings::describeType(int type) {
  if (type == tVariableEnv::TYPE_FUNCTION) return "a function";
  if (type == kString) return "quoted text";
  if (type == kBool) return "true or false";
  return "a number";
}
