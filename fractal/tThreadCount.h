#ifndef ROOTWEAVER_FRACTAL_TTHREADCOUNT_H
#define ROOTWEAVER_FRACTAL_TTHREADCOUNT_H

// How many threads a picture and its statistics are computed on when the
// caller does not say. By default, the CPUs the process may run on: its
// affinity mask, which is what a batch scheduler (Slurm's --cpus-per-task)
// or taskset grants, rather than every core of the machine, so that a job
// does not crowd out its neighbours on a shared node. The command line can
// set the count (rootweaver --batch --threads N); the pictures are the same
// whatever it is.
class tThreadCount {
 public:
  // The count set, else the CPUs available; at least 1.
  static unsigned int get();
  // Sets the count; 0 goes back to the CPUs available. Called before any
  // computation starts.
  static void set(unsigned int threads);
  // The CPUs in the process's affinity mask; the machine's cores when the
  // mask cannot be read.
  static unsigned int available();
};

#endif
