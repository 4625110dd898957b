#ifndef ROOTWEAVER_FRACTAL_TPICTURECONTEXT_H
#define ROOTWEAVER_FRACTAL_TPICTURECONTEXT_H

#include "fractal/tRandom.h"
#include "fractal/tRootManager.h"

// What a series of pictures shares besides its function and solver: the
// random sequence that jitter and random colours draw from, and the root
// registry whose colours the pictures paint. Pictures of different contexts
// leave one another alone, so two can be computed at once in one process;
// the window and the batch runner each own one.
class tPictureContext {
 public:
  tPictureContext() : roots_(random_) {}
  tPictureContext(const tPictureContext&) = delete;
  tPictureContext& operator=(const tPictureContext&) = delete;

  tRandom& getRandom() { return random_; }
  tRootManager& getRoots() { return roots_; }
  const tRootManager& getRoots() const { return roots_; }

 private:
  tRandom random_;
  tRootManager roots_;  // draws its random colours from random_
};

#endif
