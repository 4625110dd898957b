#ifndef ROOTWEAVER_BLAM_TBLAMCONTEXT_H
#define ROOTWEAVER_BLAM_TBLAMCONTEXT_H

#include <iosfwd>

class tBLAMOutputs;
class tBLAMProgress;
class tSession;

// What the statements of one script reach besides its variables, while it
// is read and while it runs. Whoever runs the script owns every part and
// hands the script this bundle of references, so that nothing of a run
// lives in the process: two scripts with contexts of their own run at once.
struct tBLAMContext {
  tSession& session;        // where the pictures are made, with its solver
  std::ostream& trace;      // where the trace goes: standard output, or nowhere
  tBLAMProgress& progress;  // the run's progress, its warnings and its failures
  tBLAMOutputs& outputs;    // where every file goes: the plain script's, a shard's, a merge's
};

#endif
