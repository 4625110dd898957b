#include "expr/tFunction.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>

#include "File/tFileUtils.h"
#include "File/tSourceText.h"
#include "expr/tDerivative.h"
#include "expr/tFormulaText.h"
#include "expr/tFunctionReader.h"

const tFunction::tSlot tFunction::SLOTS[6] = {
    {"f1", "fx = ", &tFunction::f1_},    {"f2", "fy = ", &tFunction::f2_},
    {"f11", "fxx = ", &tFunction::f11_}, {"f12", "fxy = ", &tFunction::f12_},
    {"f21", "fyx = ", &tFunction::f21_}, {"f22", "fyy = ", &tFunction::f22_}};

namespace {

const char* const kSecondLabels[tFunction::SECOND_FORMULAS] = {"f1xx", "f1xy", "f1yy",
                                                               "f2xx", "f2xy", "f2yy"};

// Each second derivative, in tFunction's order, by the first derivative it is
// taken from and the variable. The mixed one is taken once and stands for both
// orders: d(f12)/dx is the same function but another formula, which rounds
// differently, and a Hessian with two different mixed entries would not be
// symmetric. It is d(f11)/dy (and d(f21)/dy for f2), the order the label
// f1xy names when subscripts are read as usual: by x first, then by y.
const struct {
  unsigned slot;
  bool byY;
} kSecondDerivatives[] = {{2, false}, {2, true}, {3, true}, {4, false}, {4, true}, {5, true}};

}  // namespace

tFunction::tFunction()
    : localVars_(std::make_unique<tVariableEnv>()),
      treeWalk_(false),
      trace_(&std::cout),
      messages_(&std::cerr) {
  compile();
}

tFunction::tFunction(const std::string& name) : tFunction(name, std::cout, std::cerr) {}

tFunction::tFunction(const std::string& name, std::ostream& trace, std::ostream& messages)
    : name_(name),
      localVars_(std::make_unique<tVariableEnv>()),
      treeWalk_(false),
      trace_(&trace),
      messages_(&messages) {
  const std::string path = locate(name);
  // A file that cannot be read has no tokens.
  tSourceText source;
  readable_ = source.read(path);
  tFunctionReader(*this, trace, messages).readText(source, path);
}

void tFunction::readText(const std::string& contents, const std::string& path) {
  tFunctionReader(*this, *trace_, *messages_).readText(tSourceText(contents), path);
}

double tFunction::evaluateSlot(const std::unique_ptr<tExprTree>& tree, const tVector2& p) {
  return tree ? tree->evaluate(p[0], p[1]) : 0.0;
}

const tExprNode* tFunction::rootOf(const std::unique_ptr<tExprTree>& tree) {
  return tree ? tree->getRoot() : nullptr;
}

std::string tFunction::locate(const std::string& name) {
  if (!name.empty() && tFileUtils::isCompletePath(name)) return name;
  return tFileUtils::getDataDirectory() + "Shared Functions/" + name;
}

tVector2 tFunction::value(const tVector2& p) const {
  if (treeWalk_) return valueByTree(p);
  double f[2];
  valueProgram_.evaluate(p[0], p[1], f);
  return tVector2(f[0], f[1]);
}

tMatrix2 tFunction::jacobianInverse(const tVector2& p) const {
  if (treeWalk_) return jacobianInverseByTree(p);
  double j[4];
  jacobianProgram_.evaluate(p[0], p[1], j);
  return invertJacobian(j[0], j[1], j[2], j[3]);
}

void tFunction::secondDerivatives(double x, double y, double out[6]) const {
  if (treeWalk_) return secondDerivativesByTree(x, y, out);
  prepareSecond();
  secondProgram_.evaluate(x, y, out);
}

void tFunction::secondDerivativesByTree(double x, double y, double out[6]) const {
  if (unwritten_) return tComplexLowering::evaluate(secondParts(), x, y, out);
  prepareSecond();
  for (unsigned k = 0; k < SECOND_FORMULAS; ++k)
    out[k] = second_[k] ? second_[k]->evaluate(x, y) : 0.0;
}

tVector2 tFunction::valueByTree(const tVector2& p) const {
  if (unwritten_) {
    const std::vector<tComplexLowering::tOutput> parts = slotParts();
    double f[2];
    tComplexLowering::evaluate({parts.begin(), parts.begin() + 2}, p[0], p[1], f);
    return tVector2(f[0], f[1]);
  }
  double f1 = evaluateSlot(f1_, p);
  double f2 = evaluateSlot(f2_, p);
  return tVector2(f1, f2);
}

tMatrix2 tFunction::jacobianInverseByTree(const tVector2& p) const {
  if (unwritten_) {
    const std::vector<tComplexLowering::tOutput> parts = slotParts();
    double j[4];
    tComplexLowering::evaluate({parts.begin() + 2, parts.end()}, p[0], p[1], j);
    return invertJacobian(j[0], j[1], j[2], j[3]);
  }
  double f11 = evaluateSlot(f11_, p);
  double f12 = evaluateSlot(f12_, p);
  double f21 = evaluateSlot(f21_, p);
  double f22 = evaluateSlot(f22_, p);
  return invertJacobian(f11, f12, f21, f22);
}

tMatrix2 tFunction::invertJacobian(double f11, double f12, double f21, double f22) {
  tMatrix2 jacobian(f11, f12, f21, f22);
  const double determinant = jacobian.determinant();
  // A determinant that overflowed (or a NaN one) says nothing about
  // singularity: the inverse is all NaN, which no step recovers from, so the
  // solve ends as no convergence, never as a singular Jacobian.
  if (!(std::fabs(determinant) <= std::numeric_limits<double>::max())) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return tMatrix2(nan, nan, nan, nan);
  }
  if (std::fabs(determinant) < INVERTIBLE_CUTOFF) return tMatrix2();
  return jacobian.invert();
}

// A map given as f(z) is compiled from f(z) and f'(z), whether it was
// written out or not: the lowering gives the written-out formulas' bits.
void tFunction::compile() {
  secondReady_.store(false, std::memory_order_release);
  if (lowered_) {
    const std::vector<tComplexLowering::tOutput> parts = slotParts();
    tComplexLowering::compile({parts.begin(), parts.begin() + 2}, parameters_, valueProgram_);
    tComplexLowering::compile({parts.begin() + 2, parts.end()}, parameters_, jacobianProgram_);
    tComplexLowering::compile(parts, parameters_, program_);
    return;
  }
  const tExprNode* roots[6];
  for (int k = 0; k < 6; ++k) {
    const std::unique_ptr<tExprTree>& tree = this->*SLOTS[k].tree;
    roots[k] = tree ? tree->getRoot() : nullptr;
  }
  valueProgram_.compile(roots, 2, parameters_);
  jacobianProgram_.compile(roots + 2, 4, parameters_);
  program_.compile(roots, 6, parameters_);
}

std::vector<tComplexLowering::tOutput> tFunction::slotParts() const {
  const tExprNode* f = rootOf(complex_);
  const tExprNode* derivative = rootOf(complexDerivatives_[0]);
  // f1 = Re f, f2 = Im f; f11 = f22 = Re f' and f21 = -f12 = Im f', as the
  // expansion writes them.
  return {{f, false, false},        {f, true, false},          {derivative, false, false},
          {derivative, true, true}, {derivative, true, false}, {derivative, false, false}};
}

// By the Cauchy-Riemann equations: f1xx = f2xy = Re f'', f2xx = Im f'',
// f1xy = f2yy = -Im f'', f1yy = -Re f''.
std::vector<tComplexLowering::tOutput> tFunction::secondParts() const {
  const tExprNode* second = rootOf(complexDerivatives_[1]);
  return {{second, false, false}, {second, true, true},   {second, false, true},
          {second, true, false},  {second, false, false}, {second, true, true}};
}

std::unique_ptr<tFunction> tFunction::copyWithParameters(const std::string& p,
                                                         const std::string& q) const {
  auto copy = std::make_unique<tFunction>();
  auto copyTree = [](const std::unique_ptr<tExprTree>& tree) {
    return tree ? std::make_unique<tExprTree>(tree->getRoot()->copy()) : nullptr;
  };
  for (const tSlot& slot : SLOTS) copy.get()->*slot.tree = copyTree(this->*slot.tree);
  copy->complex_ = copyTree(complex_);
  for (unsigned k = 0; k < 2; ++k) copy->complexDerivatives_[k] = copyTree(complexDerivatives_[k]);
  std::copy(std::begin(origins_), std::end(origins_), std::begin(copy->origins_));
  copy->lowered_ = lowered_;
  copy->unwritten_ = unwritten_;
  copy->name_ = name_;
  copy->parameters_ = {p, q};
  copy->compile();
  return copy;
}

void tFunction::setParameters(double p, double q) {
  parameterValues_[0] = p;
  parameterValues_[1] = q;
  for (tFormulaProgram* program : {&valueProgram_, &jacobianProgram_, &program_}) {
    program->setParameter(0, p);
    program->setParameter(1, q);
  }
  if (secondReady_.load(std::memory_order_acquire)) {
    secondProgram_.setParameter(0, p);
    secondProgram_.setParameter(1, q);
  }
}

// Second derivatives of a large map, such as those of an expanded f(z), are
// trees many times the size of its other formulas, and most pictures use no
// method that asks for them: deriving and compiling them at every read and
// substitution would take most of its time. They are derived from the first
// derivatives as they stand, numbers put in, which gives the trees that
// deriving first and putting the numbers in after would give. Threads that
// ask at once wait for one preparation.
void tFunction::prepareSecond() const {
  if (secondReady_.load(std::memory_order_acquire)) return;
  std::lock_guard<std::mutex> lock(secondPreparing_);
  if (secondReady_.load(std::memory_order_relaxed)) return;
  if (unwritten_) {
    tComplexLowering::compile(secondParts(), parameters_, secondProgram_);
  } else {
    compileSecondFormulas();
  }
  for (unsigned k = 0; k < parameters_.size(); ++k)
    secondProgram_.setParameter(k, parameterValues_[k]);
  secondReady_.store(true, std::memory_order_release);
}

void tFunction::compileFirst(const std::vector<unsigned>& slots, tFormulaProgram& program) const {
  if (lowered_) {
    const std::vector<tComplexLowering::tOutput> all = slotParts();
    std::vector<tComplexLowering::tOutput> chosen;
    for (unsigned slot : slots) chosen.push_back(all[slot]);
    tComplexLowering::compile(chosen, parameters_, program);
  } else {
    std::vector<const tExprNode*> roots;
    for (unsigned slot : slots) roots.push_back(rootOf(this->*SLOTS[slot].tree));
    program.compile(roots.data(), static_cast<unsigned>(roots.size()), parameters_);
  }
  for (unsigned k = 0; k < parameters_.size(); ++k) program.setParameter(k, parameterValues_[k]);
}

void tFunction::compileSecond(const std::vector<unsigned>& slots, tFormulaProgram& program) const {
  prepareSecond();
  if (unwritten_) {
    const std::vector<tComplexLowering::tOutput> all = secondParts();
    std::vector<tComplexLowering::tOutput> chosen;
    for (unsigned slot : slots) chosen.push_back(all[slot]);
    tComplexLowering::compile(chosen, parameters_, program);
  } else {
    std::vector<const tExprNode*> roots;
    for (unsigned slot : slots) roots.push_back(rootOf(second_[slot]));
    program.compile(roots.data(), static_cast<unsigned>(roots.size()), parameters_);
  }
  for (unsigned k = 0; k < parameters_.size(); ++k) program.setParameter(k, parameterValues_[k]);
}

void tFunction::compileSecondFormulas() const {
  const tExprNode* roots[SECOND_FORMULAS];
  for (unsigned k = 0; k < SECOND_FORMULAS; ++k) {
    second_[k] = deriveSecond(kSecondDerivatives[k].slot, kSecondDerivatives[k].byY);
    roots[k] = rootOf(second_[k]);
  }
  secondProgram_.compile(roots, SECOND_FORMULAS, parameters_);
}

std::unique_ptr<tExprTree> tFunction::deriveSecond(unsigned slot, bool byY) const {
  const std::unique_ptr<tExprTree>& first = this->*SLOTS[slot].tree;
  if (!first) return nullptr;
  const tExprNode& f = *first->getRoot();
  std::unique_ptr<tExprNode> derived = byY ? tDerivative::ofY(f) : tDerivative::ofX(f);
  return derived ? std::make_unique<tExprTree>(std::move(derived)) : nullptr;
}

const char* tFunction::getLabel(unsigned slot) { return SLOTS[slot].label; }

const tExprNode* tFunction::getFormula(unsigned slot) const {
  const std::unique_ptr<tExprTree>& tree = this->*SLOTS[slot].tree;
  return tree ? tree->getRoot() : nullptr;
}

std::string tFunction::getFormulaText(unsigned slot) const {
  if (unwritten_) return UNWRITTEN;
  return tFormulaText::of(getFormula(slot));
}

const tExprNode* tFunction::getComplexFormula() const {
  return complex_ ? complex_->getRoot() : nullptr;
}

const tExprNode* tFunction::getComplexDerivative(int order) const {
  return order == 1 || order == 2 ? rootOf(complexDerivatives_[order - 1]) : nullptr;
}

const char* tFunction::getSecondLabel(unsigned slot) { return kSecondLabels[slot]; }

const tExprNode* tFunction::getSecondFormula(unsigned slot) const {
  prepareSecond();
  return rootOf(second_[slot]);
}

std::vector<std::pair<std::string, double>> tFunction::getLocalConstants() const {
  std::vector<std::pair<std::string, double>> constants;
  for (const std::string& name : constantNames_)
    constants.emplace_back(name, localVars_->getDoubleVal(name));
  return constants;
}

bool tFunction::stoppedAtBrokenStatement(unsigned& head) const {
  head = readEnd_.head;
  return readEnd_.how == TREAD_BROKEN;
}

void tFunction::processTokens(const std::vector<std::string>& tokens, unsigned& pos) {
  processTokens(tokens, pos, tPlaceNamer());
}

void tFunction::processTokens(const std::vector<std::string>& tokens, unsigned& pos,
                              const tPlaceNamer& placeOf) {
  tFunctionReader(*this, *trace_, *messages_).readTokens(tokens, pos, placeOf);
}

std::string tFunction::missingFormulas() const {
  std::string missing;
  for (unsigned k = 0; k < FORMULAS; ++k) {
    if (hasFormula(k)) continue;
    missing += missing.empty() ? "" : ", ";
    missing += SLOTS[k].label;
  }
  return missing;
}

void tFunction::substituteVars(tVariableEnv* env) {
  substituteInto(localVars_.get());
  if (env) substituteInto(env);
  compile();
}

void tFunction::substituteInto(tVariableEnv* env) {
  for (const tSlot& slot : SLOTS)
    if (this->*slot.tree) (this->*slot.tree)->substituteVars(env);
  if (complex_) complex_->substituteVars(env);
  for (std::unique_ptr<tExprTree>& tree : complexDerivatives_)
    if (tree) tree->substituteVars(env);
}

double tFunction::getValueFor(const std::string& name, tVariableEnv* env) const {
  if (env && env->hasDoubleVal(name)) return env->getDoubleVal(name);
  return localVars_->getDoubleVal(name);
}

// The variables of a map too large to write out are those of f(z) but the
// point and the imaginary unit, which its written-out formulas would not hold.
void tFunction::freeVars(std::set<std::string>& names) const {
  for (const tSlot& slot : SLOTS)
    if (this->*slot.tree) (this->*slot.tree)->freeVars(names);
  if (!unwritten_) return;
  std::set<std::string> read;
  complex_->freeVars(read);
  read.erase("z");
  read.erase("i");
  names.insert(read.begin(), read.end());
}

void tFunction::clearLocalVars() {
  localVars_->clear();
  constantNames_.clear();
}

void tFunction::print(std::ostream& out) const {
  for (const tSlot& slot : SLOTS) {
    out << slot.printLabel;
    const std::unique_ptr<tExprTree>& tree = this->*slot.tree;
    if (tree)
      tree->print(out);
    else
      out << (unwritten_ ? UNWRITTEN : "<none>") << "\n";
    out << "\n";
  }
}
