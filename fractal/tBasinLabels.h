#ifndef ROOTWEAVER_FRACTAL_TBASINLABELS_H
#define ROOTWEAVER_FRACTAL_TBASINLABELS_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fractal/tPacketSolver.h"

// What the first sample of every pixel of a basin picture came to: which
// root, or which failure, and after how many iterations.
//
// Colours can collide (two roots may draw the same random colour, and jitter
// averages colours); labels cannot, so whatever measures a picture reads its
// labels, never its pixels. A label is the picture's own number for a root,
// handed out in the order the painting meets roots, which is row-major: with
// the registry cleared before the picture, as a batch run and a new view do,
// it is the root's place in the registry too. When the registry keeps roots
// from earlier pictures (a zoom, _keepRootColors), the two differ, and
// getRegistryIndex gives the registry's place of a label's root, whose
// position and colour the registry holds. Only the roots that the first
// samples reach get labels, so every label names a root of the picture.
//
// The first sample is the unjittered one from the pixel's corner unless
// jitterFirst_ jitters it too; it is recorded whatever the pixel's later
// samples do, so a pixel painted grey by a failed later sample still carries
// the root of its first.
//
// Memory is four bytes a pixel, taken when the first label is recorded, so
// singular-set pictures, which record none, take none. Two bytes of label
// hold 65534 roots: roots beyond these in one picture share the last label.
// Two bytes of iterations hold counts up to 65535; larger counts read as
// 65535.
class tBasinLabels {
 public:
  // The labels of the two failures; root labels are 0 ... MAX_ROOTS - 1.
  static constexpr uint16_t NO_CONVERGENCE = 0xFFFE;
  static constexpr uint16_t SINGULAR = 0xFFFF;
  static constexpr std::size_t MAX_ROOTS = 0xFFFE;
  static constexpr uint16_t MAX_ITERATIONS = 0xFFFF;

  // Labels for a picture of side x side pixels, or of width x height; none
  // recorded yet.
  explicit tBasinLabels(std::size_t side);
  tBasinLabels(std::size_t width, std::size_t height);

  // Forgets every label and the roots they name, for a picture computed anew.
  void clear();
  // The first sample of pixel (row, column) ended with `outcome`; a
  // converged one reached the root at `registryIndex` of the registry.
  void record(std::size_t row, std::size_t column, const tPacketSolver::tOutcome& outcome,
              std::size_t registryIndex);
  // record for `count` pixels in row-major order from the row-major index
  // `pixel` on: pixel + i ended with outcomes[i], a converged one at
  // registryIndices[i].
  void recordRun(std::size_t pixel, const tPacketSolver::tOutcome* outcomes,
                 const std::size_t* registryIndices, std::size_t count);

  // Nothing recorded since creation or clear.
  bool empty() const { return labels_.empty(); }
  std::size_t getWidth() const { return width_; }
  std::size_t getHeight() const { return height_; }
  // Row-major labels and iteration counts, row 0 first; empty when nothing
  // was recorded.
  const std::vector<uint16_t>& getLabels() const { return labels_; }
  const std::vector<uint16_t>& getIterations() const { return iterations_; }
  uint16_t getLabel(std::size_t row, std::size_t column) const;
  uint16_t getIterationCount(std::size_t row, std::size_t column) const;
  // Root labels handed out: the labels 0 ... getRootCount() - 1.
  std::size_t getRootCount() const { return registryIndices_.size(); }
  // The registry's place of the root that `label` names.
  std::size_t getRegistryIndex(uint16_t label) const { return registryIndices_[label]; }

 private:
  // Takes the memory of every label, unless it is taken.
  void allocate();
  // The label of an outcome, a converged one at `registryIndex`.
  uint16_t labelOf(const tPacketSolver::tOutcome& outcome, std::size_t registryIndex);
  // The label of the root at `registryIndex`, handing out a new one when
  // this picture has not met the root yet.
  uint16_t labelOfRoot(std::size_t registryIndex);

  std::size_t width_;                           // pixels a row
  std::size_t height_;                          // rows
  std::vector<uint16_t> labels_;                // per pixel: a root label or a failure
  std::vector<uint16_t> iterations_;            // per pixel: iterations, held to MAX_ITERATIONS
  std::vector<std::size_t> registryIndices_;    // per root label: its registry place
  std::vector<uint16_t> labelsOfRegistry_;      // per registry place: its label, or none
};

#endif
