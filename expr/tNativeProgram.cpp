#include "expr/tNativeProgram.h"

#include <xbyak/xbyak.h>

#include <algorithm>
#include <atomic>
#include <limits>

#include "expr/tFormulaProgram.h"
#include "expr/tInstructionSet.h"
#include "expr/tPacketEvaluator.h"

namespace {

constexpr std::size_t kDead = std::numeric_limits<std::size_t>::max();
constexpr unsigned kLanes = tFormulaProgram::LANES;
constexpr unsigned kWidth = 4;  // doubles per AVX2 register
// ymm14 and ymm15 hold the sign and the absolute-value masks.
constexpr int kValueRegisters = 14;
const Xbyak::Ymm kSignMask(14);
const Xbyak::Ymm kAbsMask(15);

std::atomic<bool> gEnabled{true};

enum KIND { ADD, SUB, MUL, DIV, NEG, ABS, INTERPRETED };

// An instruction as the translation sees it: registers as in the program.
struct tOp {
  KIND kind;
  uint32_t a;
  uint32_t b;
  uint32_t target;
  bool readsB;
  bool twoOperands() const { return kind == ADD || kind == SUB || kind == MUL || kind == DIV; }
};

// Where each register's value is read and written, to tell how long a
// value held in a vector register is still wanted.
class tUses {
 public:
  tUses(const std::vector<tOp>& ops, const std::vector<uint32_t>& outputs, uint32_t registers)
      : events_(registers), end_(ops.size()), output_(registers, false) {
    for (std::size_t i = 0; i < ops.size(); ++i) {
      events_[ops[i].a].push_back({i, true});
      if (ops[i].readsB) events_[ops[i].b].push_back({i, true});
      events_[ops[i].target].push_back({i, false});
    }
    for (uint32_t r : outputs) output_[r] = true;
  }

  // The first instruction from `from` on to read the value register r holds
  // before `from`; the program's end for an output; kDead when the register
  // is written again first, or never read.
  std::size_t next(uint32_t r, std::size_t from) const {
    const std::vector<tEvent>& events = events_[r];
    auto later = std::lower_bound(events.begin(), events.end(), from,
                                  [](const tEvent& e, std::size_t i) { return e.at < i; });
    if (later != events.end()) return later->read ? later->at : kDead;
    return output_[r] ? end_ : kDead;
  }

 private:
  struct tEvent {
    std::size_t at;
    bool read;
  };
  std::vector<std::vector<tEvent>> events_;  // per register, in program order
  std::size_t end_;
  std::vector<bool> output_;
};

// Writes the loop over the packet's vectors for one run of instructions,
// the registers held in ymm0 ... ymm13 while they are wanted.
class tRunWriter {
 public:
  tRunWriter(Xbyak::CodeGenerator& code, const std::vector<tOp>& ops, const tUses& uses,
             uint32_t registers)
      : as_(code), ops_(ops), uses_(uses), held_(registers, -1) {}

  // The function void(double* scratch) for instructions [begin, end).
  void write(std::size_t begin, std::size_t end) {
    using namespace Xbyak::util;
    as_.vpcmpeqq(kSignMask, kSignMask, kSignMask);
    as_.vpsrlq(kAbsMask, kSignMask, 1);
    as_.vpsllq(kSignMask, kSignMask, 63);
    as_.mov(ecx, kLanes / kWidth);
    Xbyak::Label loop;
    as_.L(loop);
    for (std::size_t i = begin; i < end; ++i) writeOp(i);
    for (int k = 0; k < kValueRegisters; ++k) {
      if (holds_[k] >= 0) release(k, end);
    }
    as_.add(rdi, kWidth * sizeof(double));
    as_.dec(ecx);
    as_.jnz(loop, Xbyak::CodeGenerator::T_NEAR);
    as_.vzeroupper();
    as_.ret();
  }

 private:
  // Register r's four lanes of the current vector, in the scratch.
  static Xbyak::Address slot(uint32_t r) {
    using namespace Xbyak::util;
    return yword[rdi + static_cast<int>(r * kLanes * sizeof(double))];
  }

  void writeOp(std::size_t i) {
    const tOp& op = ops_[i];
    const int a = load(op.a, op, i);
    if (!op.twoOperands() || held_[op.b] >= 0) {
      writeOp(i, a, Xbyak::Ymm(op.twoOperands() ? held_[op.b] : 0));
    } else {
      writeOp(i, a, slot(op.b));
    }
  }

  void writeOp(std::size_t i, int a, const Xbyak::Operand& b) {
    const tOp& op = ops_[i];
    const bool aDies = uses_.next(op.a, i + 1) == kDead;
    const bool bDies = op.twoOperands() && op.b != op.a && uses_.next(op.b, i + 1) == kDead;
    int target;
    if (aDies) {
      target = a;
    } else if (bDies && held_[op.b] >= 0) {
      target = held_[op.b];
    } else {
      target = take(op, i);
    }
    emit(op, target, a, b);
    if (aDies) unbind(a);
    if (bDies && held_[op.b] >= 0) unbind(held_[op.b]);
    // The target's register was free in the program: its old value is dead.
    if (held_[op.target] >= 0) unbind(held_[op.target]);
    bind(target, op.target, true);
  }

  void emit(const tOp& op, int target, int a, const Xbyak::Operand& b) {
    const Xbyak::Ymm t(target);
    const Xbyak::Ymm x(a);
    switch (op.kind) {
      case ADD:
        as_.vaddpd(t, x, b);
        break;
      case SUB:
        as_.vsubpd(t, x, b);
        break;
      case MUL:
        as_.vmulpd(t, x, b);
        break;
      case DIV:
        as_.vdivpd(t, x, b);
        break;
      case NEG:
        as_.vxorpd(t, x, kSignMask);
        break;
      case ABS:
        as_.vandpd(t, x, kAbsMask);
        break;
      case INTERPRETED:
        break;
    }
  }

  // The vector register holding r for instruction i, loaded if need be.
  int load(uint32_t r, const tOp& op, std::size_t i) {
    if (held_[r] >= 0) return held_[r];
    const int k = take(op, i);
    as_.vmovupd(Xbyak::Ymm(k), slot(r));
    bind(k, r, false);
    return k;
  }

  // A free vector register, or the one whose value is wanted last (stored
  // first if the scratch lacks it); never one of op's operands.
  int take(const tOp& op, std::size_t i) {
    int victim = -1;
    std::size_t farthest = 0;
    for (int k = 0; k < kValueRegisters; ++k) {
      if (holds_[k] < 0) return k;
      const uint32_t r = static_cast<uint32_t>(holds_[k]);
      if (r == op.a || (op.twoOperands() && r == op.b)) continue;
      const std::size_t next = uses_.next(r, i);
      if (victim < 0 || next > farthest) {
        victim = k;
        farthest = next;
      }
    }
    release(victim, i);
    return victim;
  }

  // Frees vector register k, storing its value when it is newer than the
  // scratch's and wanted from instruction `from` on.
  void release(int k, std::size_t from) {
    const uint32_t r = static_cast<uint32_t>(holds_[k]);
    if (dirty_[k] && uses_.next(r, from) != kDead) as_.vmovupd(slot(r), Xbyak::Ymm(k));
    unbind(k);
  }

  void bind(int k, uint32_t r, bool dirty) {
    holds_[k] = static_cast<int64_t>(r);
    dirty_[k] = dirty;
    held_[r] = k;
  }
  void unbind(int k) {
    held_[static_cast<uint32_t>(holds_[k])] = -1;
    holds_[k] = -1;
    dirty_[k] = false;
  }

  Xbyak::CodeGenerator& as_;
  const std::vector<tOp>& ops_;
  const tUses& uses_;
  std::vector<int> held_;  // per program register: the vector register holding it, or -1
  int64_t holds_[kValueRegisters] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  bool dirty_[kValueRegisters] = {};  // the scratch lacks the value
};

}  // namespace

bool tNativeProgram::isEnabled() { return gEnabled.load(std::memory_order_relaxed); }

void tNativeProgram::setEnabled(bool enabled) { gEnabled.store(enabled); }

std::shared_ptr<const tNativeProgram> tNativeProgram::translate(const tFormulaProgram& program) {
  if (!tInstructionSet::supports(tInstructionSet::AVX2)) return nullptr;
  std::vector<tOp> ops;
  for (const tFormulaProgram::tInstruction& in : program.code_) {
    KIND kind = INTERPRETED;
    switch (in.op) {
      case tFormulaProgram::OP_ADD:
        kind = ADD;
        break;
      case tFormulaProgram::OP_SUB:
        kind = SUB;
        break;
      case tFormulaProgram::OP_MUL:
        kind = MUL;
        break;
      case tFormulaProgram::OP_DIV:
        kind = DIV;
        break;
      case tFormulaProgram::OP_NEG:
        kind = NEG;
        break;
      case tFormulaProgram::OP_ABS:
        kind = ABS;
        break;
      default:
        break;
    }
    ops.push_back({kind, in.a, in.b, in.target, tFormulaProgram::hasTwoOperands(in.op)});
  }
  const std::vector<uint32_t> outputs(program.outputs_, program.outputs_ + program.outputCount_);
  const tUses uses(ops, outputs, program.registerCount_);
  std::shared_ptr<tNativeProgram> native(new tNativeProgram());
  std::vector<std::size_t> entries;
  try {
    // An instruction takes at most 9 bytes, with at most a load and a store
    // of 9 bytes each; a run's loop and the stores after it take fewer than
    // 200 more, and there are no more runs than instructions.
    const std::size_t bytes = 4096 + (3 * 9 + 200) * ops.size();
    native->code_ = std::make_unique<Xbyak::CodeGenerator>(bytes, Xbyak::DontSetProtectRWE);
    for (std::size_t begin = 0; begin < ops.size();) {
      const bool interpreted = ops[begin].kind == INTERPRETED;
      std::size_t end = begin + 1;
      while (end < ops.size() && (ops[end].kind == INTERPRETED) == interpreted) ++end;
      native->steps_.push_back({begin, end, nullptr});
      entries.push_back(native->code_->getSize());
      if (!interpreted)
        tRunWriter(*native->code_, ops, uses, program.registerCount_).write(begin, end);
      begin = end;
    }
    native->code_->setProtectModeRE();
  } catch (const std::exception&) {
    return nullptr;
  }
  bool anyRun = false;
  for (std::size_t k = 0; k < native->steps_.size(); ++k) {
    tStep& step = native->steps_[k];
    if (ops[step.begin].kind == INTERPRETED) continue;
    step.run = reinterpret_cast<tRun>(const_cast<uint8_t*>(native->code_->getCode()) + entries[k]);
    anyRun = true;
  }
  if (!anyRun) return nullptr;
  return native;
}

tNativeProgram::~tNativeProgram() = default;

void tNativeProgram::evaluate(const tFormulaProgram& program, unsigned mask,
                              double* scratch) const {
  for (const tStep& step : steps_) {
    if (step.run != nullptr) {
      step.run(scratch);
    } else {
      tPacketEvaluator::evaluateAvx2(program, mask, scratch, step.begin, step.end);
    }
  }
}
