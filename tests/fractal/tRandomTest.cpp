#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "fractal/tRandom.h"

namespace {

// The sequence is rand()'s after srand(seed) for every seed, including 0
// (which rand() takes as 1) and seeds above 2^31, however it is drawn: one
// by one, many at once across the generator's blocks, or peeked at first.
TEST(tRandomTest, DrawsAreRandsSequence) {
  for (unsigned int seed : {0u, 1u, 16777216u, 2147483648u, 4294967295u}) {
    std::srand(seed);
    tRandom random;
    random.seed(seed);
    std::vector<float> drawn;
    std::vector<std::pair<std::size_t, float>> peeked;  // (place in drawn, value)
    for (int round = 0; round < 6; ++round) {
      peeked.emplace_back(drawn.size() + round, random.peekInRange(round, 0.0f, 1.0f));
      for (int k = 0; k < 2 * round + 1; ++k) drawn.push_back(random.randInRange(0.0f, 1.0f));
      std::vector<float> many(700);
      random.drawInRange(0.0f, 1.0f, many.size(), many.data());
      drawn.insert(drawn.end(), many.begin(), many.end());
    }
    for (std::size_t k = 0; k < drawn.size(); ++k) {
      ASSERT_EQ(static_cast<float>(std::rand()) * (1.0f / 2147483648.0f), drawn[k])
          << seed << " " << k;
    }
    for (const auto& [place, value] : peeked) EXPECT_EQ(drawn[place], value) << seed << place;
  }
}

}  // namespace
