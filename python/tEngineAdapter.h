#ifndef ROOTWEAVER_PYTHON_TENGINEADAPTER_H
#define ROOTWEAVER_PYTHON_TENGINEADAPTER_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class tBasinLabels;
class tFunction;
class tVariableEnv;

// The Python module's one way into the engine: every call the module makes
// to the engine is made here, and nothing here knows Python.
//
// Every picture is made in a picture context of its own (its root registry
// and random sequence), so pictures on several threads run at once, each the
// way a fresh batch run makes its picture (tBLAMRunStatement): an empty
// registry, the random sequence seeded by the seed given (else the clock),
// the solver made as `use` makes it, the picture computed in the background
// by tFractalComputation, then measured, tested and shaded in the batch's
// order. A picture is so byte for byte the batch's for the same settings.
// Functions are read with their trace dropped and their warnings kept; only
// setting a parameter, which changes a function's formulas, waits for the
// pictures and readers in progress.
//
// The caller releases the interpreter while it waits here. Every
// POLL_MILLISECONDS of waiting, for the lock or for the engine, it is polled,
// and it may throw to stop (a keyboard interrupt): the engine's work is then
// cancelled and waited for, the lock freed, and the exception goes on.
class tEngineAdapter {
 public:
  static constexpr double POLL_MILLISECONDS = 20.0;
  using tPoll = std::function<void()>;

  // A function read for Python (rootweaver.Function), with the numbers set
  // for its parameters since.
  struct tLoadedFunction {
    std::shared_ptr<tFunction> function;  // null when the file could not be read
    std::shared_ptr<tVariableEnv> set;    // the parameters set, by name
  };
  // How reading a function went.
  struct tRead {
    tLoadedFunction loaded;  // what was read
    std::string unreadable;  // why the file could not be read; empty when it was read
    bool missing = false;    // the file is not there
    std::string errors;      // why the function cannot be used, a message a line
    std::string warnings;    // what the reader warned about that does not stop it
  };
  // One picture's settings, checked by the caller.
  struct tRequest {
    double bounds[4];              // minX, maxX, minY, maxY
    unsigned size;                 // the dimension asked; tFractal::acceptsDimension holds
    std::string method;            // a name of getMethodNames()
    uint32_t iterations;           // the solver's iteration limit
    double step;                   // its step size
    uint32_t jitter;               // samples per pixel, at least 1
    bool jitterFirst;              // the first sample is jittered too
    bool randomColors;             // roots take random colours, not the presets
    std::optional<unsigned> seed;  // seeds the random sequence first
    unsigned threads;              // computing threads; 0 for tThreadCount::get()
    bool singularSet;              // the singular set instead of the basins
    bool shadeBySpeed;             // shaded by convergence speed once measured
    bool wadaTest;                 // the grid Wada test is made
  };
  // A root of the registry with its colour.
  struct tRoot {
    double x, y;
    uint8_t red, green, blue;
  };
  // A finished picture. Per-pixel arrays are row-major with the top row
  // (largest y) first, as images are shown; the engine's row 0 is the bottom.
  struct tPicture {
    std::size_t side = 0;              // pixels a side, a power of two
    double bounds[4] = {};             // as asked
    std::vector<uint8_t> rgb;          // side x side x 3, as the batch writes it
    std::vector<int32_t> labels;       // registry index of the first sample's root; -1 gave
                                       //   up, -2 singular; empty for the singular set
    std::vector<uint16_t> iterations;  // the first sample's iterations, held to 65535
    std::vector<uint8_t> onSet;        // singular set only: 1 where a pixel is on it
    std::vector<tRoot> roots;          // the registry, in the order roots were met
    double fractalDimension = 0.0;     // the quad tree's estimate, of the flat picture
    double wadaShare = 0.0;            // W_{N_A} of the grid Wada test; NaN when not made
    double wada = 0.0;                 // its verdict, 1 or 0; NaN when not made
    unsigned threads = 0;              // as asked, for the measures
    std::shared_ptr<const tBasinLabels> basinLabels;  // what the measures read
  };
  // A basin of a picture, as a row of the batch's basins CSV.
  struct tBasin {
    std::size_t root;  // its registry index
    tRoot at;          // the root and its colour
    double fraction;   // its share of the pixels
  };
  // The measures of a picture, as the batch's stats and basins CSV give them.
  struct tMeasures {
    std::vector<std::pair<std::string, double>> values;  // by column; NaN for an empty cell
    std::vector<tBasin> basins;
  };

  static tRead readText(const std::string& text);
  static tRead readFile(const std::string& path);
  // The six formulas by label, as the engine holds them.
  static std::vector<std::pair<std::string, std::string>> getFormulas(const tLoadedFunction& loaded,
                                                                      const tPoll& poll);
  static std::string getName(const tLoadedFunction& loaded, const tPoll& poll);
  // The local constants in their order, then the other free names
  // alphabetically, each with the value a picture uses.
  static std::vector<std::pair<std::string, double>> getParameters(const tLoadedFunction& loaded,
                                                                   const tPoll& poll);
  // False when the function has no parameter of the name.
  static bool setParameter(const tLoadedFunction& loaded, const std::string& name, double value,
                           const tPoll& poll);

  static std::vector<std::string> getMethodNames();
  static bool acceptsSize(unsigned size);
  static unsigned getMaxSeed();
  static unsigned getMaxSide();

  // Why the request's method cannot solve the function, or nothing when it can.
  static std::string refusalOf(const tLoadedFunction& loaded, const tRequest& request);
  static tPicture makePicture(const tLoadedFunction& loaded, const tRequest& request,
                              const tPoll& poll);
  static tMeasures measure(const tPicture& picture);
};

#endif
