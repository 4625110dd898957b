#ifndef ROOTWEAVER_FRACTAL_TRANDOM_H
#define ROOTWEAVER_FRACTAL_TRANDOM_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

// A random sequence for the fractal grid's jitter and the root colours: the
// sequence of the C library's rand() after srand(seed), but a sequence of its
// own, so that two pictures computed at once in one process draw what each
// would draw alone. Seeded with 1 until seed() is called, as rand() is.
//
// The parallel picture computation needs to know jitter offsets before the
// pixels that draw them are painted, so values can be looked at ahead of
// time: peeking draws them and keeps them, in order, for the draws to come.
// Every draw takes the kept values first, so the values handed out are the
// sequence whoever peeked. The computation peeks only at values the picture
// will certainly use, so that a finished picture leaves none kept and the
// sequence where one-by-one drawing would have left it.
class tRandom {
 public:
  // The largest seed a user gives (a script's _seed, --seed, the view's
  // settings): scripts read numbers in single precision, which holds every
  // whole number up to this one exactly, so a seed means the same wherever
  // it is written.
  static constexpr unsigned int MAX_SEED = 16777216;

  tRandom();
  tRandom(const tRandom&) = delete;
  tRandom& operator=(const tRandom&) = delete;

  // lo + (hi - lo) * r / 2^31 in single precision, r being the next value.
  float randInRange(float lo, float hi);
  // The next `count` values of randInRange(lo, hi), into `out`, under one
  // lock.
  void drawInRange(float lo, float hi, std::size_t count, float* out);
  // What randInRange(lo, hi) will give `ahead` draws from now (0 is the next
  // draw); draws what it needs and keeps it.
  float peekInRange(std::size_t ahead, float lo, float hi);
  // Values drawn by peeking and not yet handed out.
  std::size_t getKeptCount();
  // Starts the sequence of srand(seed) and forgets the kept values, which
  // belonged to the old seed.
  void seed(unsigned int seed);

 private:
  // rand()'s generator: each sum is the sum 31 and 3 places back, modulo
  // 2^32, and a value is a sum without its lowest bit.
  static constexpr std::size_t kLag = 31;
  static constexpr std::size_t kShortLag = 3;
  // Sums are made this many at a time, which is what makes many draws cheap.
  static constexpr std::size_t kBlock = 513;

  static float inRange(float lo, float hi, int r);
  int draw();
  // Makes the next block of sums after the last kLag.
  void refill();

  std::mutex mutex_;              // guards everything below
  std::deque<int> kept_;          // values drawn ahead of their draws, oldest first
  uint32_t sums_[kLag + kBlock];  // the kLag sums before the block, then the block
  std::size_t next_;              // the block's next sum to hand out
};

#endif
