#ifndef ROOTWEAVER_TESTS_EXPR_INSTRUCTIONSETS_H
#define ROOTWEAVER_TESTS_EXPR_INSTRUCTIONSETS_H

#include <gtest/gtest.h>

#include <string>

#include "expr/tInstructionSet.h"

// A fixture for tests that run once on each instruction set of the packet
// code: SetUp switches to the set, and a processor without it skips the
// test, saying so; TearDown restores the set in use before.
class tOnEachInstructionSet : public testing::TestWithParam<tInstructionSet::KIND> {
 protected:
  void SetUp() override {
    before_ = tInstructionSet::current();
    if (!tInstructionSet::use(GetParam())) {
      GTEST_SKIP() << "this processor has no " << tInstructionSet::name(GetParam());
    }
  }
  void TearDown() override { tInstructionSet::use(before_); }

 private:
  tInstructionSet::KIND before_ = tInstructionSet::SSE2;
};

// Runs the TEST_Ps of `suite` (a fixture derived from tOnEachInstructionSet)
// as suite/sse2 and suite/avx2.
#define RUN_ON_EACH_INSTRUCTION_SET(suite)                                            \
  INSTANTIATE_TEST_SUITE_P(, suite,                                                   \
                           testing::Values(tInstructionSet::SSE2, tInstructionSet::AVX2), \
                           [](const testing::TestParamInfo<tInstructionSet::KIND>& info) { \
                             return std::string(tInstructionSet::name(info.param));     \
                           })

#endif
