#ifndef ROOTWEAVER_BENCH_TMANYROOTSBENCH_H
#define ROOTWEAVER_BENCH_TMANYROOTSBENCH_H

// What the number of roots costs: pictures of f1 = sin(Kx), f2 = sin(Ky) over
// [-pi, pi]^2, whose roots (m pi / K, n pi / K) number (2K + 1)^2 in the
// window, and Newton's steps reach some outside it (841, 1,225, 3,025 and
// 6,889 in all for K = 5, 10, 23 and 37), by Newton's method at 200 x 200
// pixels, 40 iterations, random colours on, one thread. The formulas cost the
// same for every K, so the time per iteration made should not grow with the
// roots: every new root is looked up and given a colour in time independent
// of the roots already met.
class tManyRootsBench {
 public:
  // Prints the table: per K the roots met, the seconds (median of `runs`),
  // the nanoseconds per iteration made and their ratio to the first row's.
  static void run(int runs);
};

#endif
