#include "expr/tVariableEnv.h"

#include <utility>

tVariableEnv::tVariableEnv() = default;

// Saved scopes are unchained one at a time, so however many scopes are open
// their destruction does not recurse.
tVariableEnv::~tVariableEnv() {
  std::unique_ptr<tVariableEnv> saved = std::move(parent_);
  while (saved) saved = std::move(saved->parent_);
}

bool tVariableEnv::canBind(const std::string& name, TVARIABLE_TYPE type) const {
  int bound = getType(name);
  return bound == type || bound == TYPE_UNBOUND;
}

void tVariableEnv::extend(std::string name, double value) {
  if (canBind(name, TYPE_NUMBER)) doubles_[name] = value;
}

void tVariableEnv::extend(std::string name, int value) {
  extend(std::move(name), static_cast<double>(value));
}

void tVariableEnv::extend(std::string name, bool value) {
  if (canBind(name, TYPE_BOOL)) bools_[name] = value;
}

void tVariableEnv::extend(std::string name, std::string value) {
  if (canBind(name, TYPE_STRING)) strings_[name] = std::move(value);
}

void tVariableEnv::extend(std::string name, const char* value) {
  extend(std::move(name), std::string(value ? value : ""));
}

void tVariableEnv::extend(std::string name, std::shared_ptr<tFunction> value) {
  if (canBind(name, TYPE_FUNCTION)) functions_[name] = std::move(value);
}

template <typename T>
const T* tVariableEnv::lookup(std::map<std::string, T> tVariableEnv::*map,
                              const std::string& name) const {
  for (const tVariableEnv* scope = this; scope; scope = scope->parent_.get()) {
    const std::map<std::string, T>& bindings = scope->*map;
    auto it = bindings.find(name);
    if (it != bindings.end()) return &it->second;
  }
  return nullptr;
}

double tVariableEnv::getDoubleVal(std::string name) const {
  const double* value = lookup(&tVariableEnv::doubles_, name);
  return value ? *value : 0.0;
}

std::string tVariableEnv::getStringVal(std::string name) const {
  const std::string* value = lookup(&tVariableEnv::strings_, name);
  return value ? *value : std::string();
}

tFunction* tVariableEnv::getFunctionVal(std::string name) const {
  const std::shared_ptr<tFunction>* value = lookup(&tVariableEnv::functions_, name);
  return value ? value->get() : nullptr;
}

bool tVariableEnv::getBoolVal(std::string name) const {
  const bool* value = lookup(&tVariableEnv::bools_, name);
  return value ? *value : false;
}

bool tVariableEnv::hasDoubleVal(const std::string& name) const {
  return lookup(&tVariableEnv::doubles_, name) != nullptr;
}

int tVariableEnv::findType(const std::string& name) const {
  for (const tVariableEnv* scope = this; scope; scope = scope->parent_.get()) {
    const int type = scope->getType(name);
    if (type != TYPE_UNBOUND) return type;
  }
  return TYPE_UNBOUND;
}

void tVariableEnv::collectNames(std::set<std::string>& names, int type) const {
  for (const tVariableEnv* scope = this; scope; scope = scope->parent_.get()) {
    if (type == TYPE_UNBOUND || type == TYPE_NUMBER)
      for (const auto& binding : scope->doubles_) names.insert(binding.first);
    if (type == TYPE_UNBOUND || type == TYPE_STRING)
      for (const auto& binding : scope->strings_) names.insert(binding.first);
    if (type == TYPE_UNBOUND || type == TYPE_FUNCTION)
      for (const auto& binding : scope->functions_) names.insert(binding.first);
    if (type == TYPE_UNBOUND || type == TYPE_BOOL)
      for (const auto& binding : scope->bools_) names.insert(binding.first);
  }
}

bool tVariableEnv::containsVal(std::string name) const {
  return getType(std::move(name)) != TYPE_UNBOUND;
}

int tVariableEnv::getType(std::string name) const {
  if (doubles_.count(name)) return TYPE_NUMBER;
  if (strings_.count(name)) return TYPE_STRING;
  if (functions_.count(name)) return TYPE_FUNCTION;
  if (bools_.count(name)) return TYPE_BOOL;
  return TYPE_UNBOUND;
}

void tVariableEnv::takeBindings(tVariableEnv& from) {
  doubles_ = std::move(from.doubles_);
  strings_ = std::move(from.strings_);
  functions_ = std::move(from.functions_);
  bools_ = std::move(from.bools_);
  from.clear();
}

void tVariableEnv::extendScope() {
  auto saved = std::make_unique<tVariableEnv>();
  saved->parent_ = std::move(parent_);
  saved->takeBindings(*this);
  parent_ = std::move(saved);
}

void tVariableEnv::revertScope() {
  if (!parent_) return;
  clear();
  std::unique_ptr<tVariableEnv> saved = std::move(parent_);
  takeBindings(*saved);
  parent_ = std::move(saved->parent_);
}

void tVariableEnv::clear() {
  doubles_.clear();
  strings_.clear();
  functions_.clear();
  bools_.clear();
}
