#ifndef ROOTWEAVER_FRACTAL_TWADAGRID_H
#define ROOTWEAVER_FRACTAL_TWADAGRID_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fractal/tPacketSolver.h"
#include "graphics/tVector2.h"

class tBasinLabels;
class tFractal;
class tFunction;
class tIterativeSolver;
class tRootManager;

// The Wada test of a finished basin picture by the grid method of Daza,
// Wagemakers, Sanjuan and Yorke (Scientific Reports 2015): where the picture
// is too coarse to tell whether a boundary touches every basin, it looks
// closer, solving new starts with the picture's own function and solver.
//
// A box is the square between four neighbouring pixels' sample points,
// (row, column), (row, column + 1), (row + 1, column) and (row + 1,
// column + 1): one pixel wide, (W - 1)(H - 1) of them on a W x H picture. Its
// corners' outcomes are those pixels' labels (tBasinLabels). A box is on a
// boundary when its corners are not all one outcome and one of them is a
// root: the failures (no convergence, a singular Jacobian) are outcomes but
// not basins. N_A is the number of roots that label some pixel.
//
// Each boundary box is refined along its four edges: every segment of an
// edge whose two ends reached different outcomes is halved by a new start at
// its middle, at most MAX_DEPTH times, and the box stops as soon as its edges
// show all N_A basins. W_j is the share of boundary boxes whose edges showed
// j basins in the end (j = 1 ... N_A; the W_j sum to 1), and the picture is
// Wada when N_A >= 3 and W_{N_A} >= WADA_SHARE.
//
// A boundary that touches every basin holds pieces of the missing ones near
// every place where it crosses an edge, and halving the segment that holds a
// crossing closes in on it; a boundary between two basins never shows a
// third, at any depth. How near the pieces lie differs from map to map, hence
// the depth: Newton's pictures of z^3 - 1, z^5 - 1 and z^8 + 15z^4 - 16 show
// every basin in 95% of their boxes within 6 to 9 halvings, but z^3 - 2z + 2
// hides its real root's pieces along the boundary of its two complex roots'
// basins far finer: 70% of its boxes after 8 halvings, 95% after 22 to 24,
// 97% after 30, 2^-30 of a pixel (still hundreds of rounding steps of a
// double apart on the largest picture of [-2, 2]^2). The share at a given
// depth falls slowly as the picture grows, since its boxes are smaller:
// 0.975, 0.973 and 0.972 at 256, 512 and 1024 pixels a side. Deep halvings
// are cheap: a crossing takes one start per halving, and by then most boxes
// have stopped (each of the last halvings makes a few per cent of the starts
// at most). The share asked is not 1 because a finite depth leaves some
// boxes unresolved (a corner that is a lone failed pixel, pieces finer
// still), and 0.95 keeps clear of both sides: the Wada pictures above reach
// 0.97 to 1, boundaries of two basins at a time stay near 0 (only boxes
// where three basins meet show three). Where two basins' boundary crosses an
// edge ever more often as it is halved (a fractal boundary that is not
// Wada), an edge with more than MAX_EDGE_POINTS points is halved no more, so
// no box costs more than about 500 starts.
//
// Only segments whose ends differ are halved, and a halving keeps the points
// it had, so what an edge shows only grows with its depth, and its points do
// not depend on which box asks. Two neighbouring boxes share an edge, which is
// refined once for both, as long as one of them still looks. The result is
// the one of refining every box on its own to full depth: a box that stops
// shows all N_A basins however deep it would go. Boxes are taken in bands of
// rows that hold some 2^14 of them, which bounds the memory on the largest
// pictures; an edge on the border of two bands is refined in each, which
// costs starts but changes no box.
//
// The new starts of a halving are solved together on every CPU granted
// (tThreadCount), in packets (tPacketSolver) that give each start the outcome
// that solve() gives it alone, on either instruction set. A converged start
// is matched against the root registry as the picture's pixels were, to the
// first root registered within the root tolerance, and takes that root's
// label in the picture; a root that no pixel of the picture reached (not
// registered, or registered by another picture) is no basin of the picture,
// an outcome like a failure. The registry is read, never written, and no
// random number is drawn, so later pictures keep their colours. Every
// outcome lands in its own place and is read in a fixed order, so the result
// is the same on any number of threads.
//
// With jitterFirst_ a pixel's label comes from a point up to half a pixel
// away from its sample point; the boxes are still laid on the sample points.
class tWadaGrid {
 public:
  // Halvings of a box's edges, at most.
  static constexpr unsigned MAX_DEPTH = 30;
  // Points of an edge beyond which it is halved no more.
  static constexpr std::size_t MAX_EDGE_POINTS = 64;
  // The share of boundary boxes showing every basin that makes a picture Wada.
  static constexpr double WADA_SHARE = 0.95;

  struct tResult {
    bool measured = false;          // labels were there, their roots registered, no cancel came
    std::size_t basins = 0;         // N_A: roots that label some pixel
    std::size_t boundaryBoxes = 0;  // boxes on a boundary
    std::vector<std::size_t> boxesShowing;   // [j - 1]: boundary boxes that showed j basins
    std::vector<std::size_t> completeAfter;  // [q]: boundary boxes that showed all N_A basins
                                             //   after q halvings, q = 0 ... MAX_DEPTH
    std::size_t newStarts = 0;      // solves made
    double milliseconds = 0.0;      // time the measure took

    // W_j, the share of boundary boxes that showed j basins; NaN when not
    // measured or without a boundary box, 0 for j outside 1 ... N_A.
    double getShare(std::size_t j) const;
    // N_A >= 3 and W_{N_A} >= WADA_SHARE.
    bool isWada() const;
  };

  // Measures a finished basin picture of f under `solver`, as it was
  // computed, on `threads` threads (0 for tThreadCount::get()). The root
  // registry must still hold the picture's roots. A singular-set picture is
  // not measured, nor one whose cancel is set before the end.
  static tResult measure(const tFractal& fractal, const tFunction& f,
                         const tIterativeSolver& solver, unsigned threads = 0,
                         const std::atomic<bool>* cancel = nullptr);

 private:
  // An outcome of a start: a root label, one of tBasinLabels' two failures,
  // or a root that is no basin of the picture.
  using tOutcomeLabel = uint32_t;
  // A segment of an edge whose two ends reached different outcomes: where it
  // begins, in 1/2^MAX_DEPTH of the edge from its first corner (its length
  // follows from the edge's depth), and what its two ends reached.
  struct tSegment {
    uint32_t from;
    tOutcomeLabel first;
    tOutcomeLabel second;
  };
  // A side of a box between two neighbouring sample points. Only what is
  // still to halve is kept of its points: the segments whose ends differ,
  // and the basins that its points reached.
  struct tEdge {
    uint32_t row;                     // the row of its first corner's pixel
    uint32_t column;                  // the column of that pixel
    bool vertical;                    // the second corner is the pixel above, else the one right
    unsigned depth;                   // halvings made
    std::size_t points;               // points computed on it, the two corners included
    std::vector<tSegment> differing;  // segments whose ends differ, by position
    std::vector<tOutcomeLabel> basins;  // root labels its points reached, each once
    std::size_t firstStart;           // its first new start in the halving at hand
  };
  struct tBox {
    std::size_t edges[4];  // places in edges_: bottom, top, left, right
    std::size_t shown;     // basins its edges showed when last looked at
  };

  tWadaGrid(const tFractal& fractal, const tFunction& f, const tIterativeSolver& solver,
            unsigned threads, const std::atomic<bool>* cancel);
  tResult run();
  // Reads which registry roots are the picture's basins; false when a
  // label's root is no longer registered.
  bool readRegistry(const tBasinLabels& labels, const tRootManager& roots);
  // The boundary boxes of the rows of boxes from firstRow on, until there are
  // kBandBoxes of them, with their edges; the row after the last one taken.
  std::size_t findBoundaryBoxes(const tBasinLabels& labels, std::size_t firstRow);
  // Refines the boxes found and adds what they showed to the result; false
  // when cancelled.
  bool measureBand(tResult& result);
  // The halving at `depth` (1 ... MAX_DEPTH) of the edges of the boxes still
  // open; false when cancelled.
  bool halve(unsigned depth);
  // Solves starts_ into outcomes_ on the threads; false when cancelled.
  bool solveStarts();
  tOutcomeLabel outcomeOf(const tPacketSolver::tOutcome& outcome) const;
  // Basins shown on the box's edges.
  std::size_t basinsShownBy(const tBox& box);
  // Adds what a new point of the edge reached to the basins it shows.
  static void addOutcome(tEdge& edge, tOutcomeLabel outcome);

  const tFractal& fractal_;              // the picture measured
  const tFunction& function_;            // its function
  const tIterativeSolver& solver_;       // its solver, with its settings
  unsigned threads_;                     // threads that solve
  const std::atomic<bool>* cancel_;      // stops the measure when set; may be null
  std::size_t width_;                    // W, pixels a row
  std::size_t height_;                   // H, rows
  std::vector<tVector2> registry_;       // the registry's roots, in its order
  std::vector<tOutcomeLabel> labelOfRegistered_;  // per registry place: its root label, or none
  std::size_t basins_;                   // N_A
  double sameRootLimit_;                 // squared distances below this are one root
  std::vector<tEdge> edges_;             // edges of the band's boxes, by key
  std::vector<tBox> boxes_;              // the band's boundary boxes
  std::vector<std::size_t> open_;        // boxes yet to show every basin
  std::vector<tVector2> starts_;         // new starts of the halving at hand
  std::vector<tOutcomeLabel> outcomes_;  // what each reached
  std::vector<std::size_t> refined_;     // edges that got new starts in the halving
  std::vector<tSegment> halves_;         // an edge's differing segments after a halving
  std::vector<uint64_t> seen_;           // per root label: the last count that saw it
  uint64_t seenMark_;                    // the count at hand
};

#endif
