#ifndef ROOTWEAVER_FRACTAL_TRANDOM_H
#define ROOTWEAVER_FRACTAL_TRANDOM_H

// Random numbers for the fractal grid's jitter and the root colours. All draws
// come from the one sequence of the standard rand(), which main seeds once, so
// a seeded run gives the same pictures every time.
class tRandom {
 public:
  // lo + (hi - lo) * r / 2^31 in single precision, r being the next rand().
  static float randInRange(float lo, float hi);
};

#endif
