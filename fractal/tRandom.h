#ifndef ROOTWEAVER_FRACTAL_TRANDOM_H
#define ROOTWEAVER_FRACTAL_TRANDOM_H

#include <cstddef>

// Random numbers for the fractal grid's jitter and the root colours. All draws
// come from the one sequence of the standard rand(), which main seeds once, so
// a seeded run gives the same pictures every time.
//
// The parallel picture computation needs to know jitter offsets before the
// pixels that draw them are painted, so values can be looked at ahead of
// time: peeking draws them from rand() and keeps them, in order, for the
// draws to come. Every draw takes the kept values first, so the values handed
// out are the sequence of rand() whoever peeked. The computation peeks only
// at values the picture will certainly use, so that a finished picture leaves
// none kept and rand() where one-by-one drawing would have left it.
class tRandom {
 public:
  // The largest seed a user gives (a script's _seed, --seed, the view's
  // settings): scripts read numbers in single precision, which holds every
  // whole number up to this one exactly, so a seed means the same wherever
  // it is written.
  static constexpr unsigned int MAX_SEED = 16777216;

  // lo + (hi - lo) * r / 2^31 in single precision, r being the next value.
  static float randInRange(float lo, float hi);
  // What randInRange(lo, hi) will give `ahead` draws from now (0 is the next
  // draw); draws from rand() what it needs and keeps it.
  static float peekInRange(std::size_t ahead, float lo, float hi);
  // Values drawn from rand() by peeking and not yet handed out.
  static std::size_t getKeptCount();
  // Seeds rand() and forgets the kept values, which belonged to the old seed.
  static void seed(unsigned int seed);

 private:
  static float inRange(float lo, float hi, int r);
};

#endif
