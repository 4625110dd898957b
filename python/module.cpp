// The Python module rootweaver: the engine's basin pictures, singular sets and
// their measures as numpy arrays, byte for byte the pictures a batch run
// writes for the same settings.
//
// This file speaks Python and nothing else: it checks the arguments, so that
// a wrong one is named before anything is computed, releases the interpreter
// around every call into the engine (tEngineAdapter, where all of those are
// made), lets a signal handler stop a long call (the poll below raises
// KeyboardInterrupt on Ctrl-C), and hands the pictures over as arrays that
// view the adapter's own, without a copy.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "python/tEngineAdapter.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace {

using tPicturePointer = std::shared_ptr<tEngineAdapter::tPicture>;

// A basin picture as Python sees it (rootweaver.Basins).
struct tBasinsResult {
  py::array labels;      // int32 (size, size)
  py::array iterations;  // uint16 (size, size)
  py::array rgb;         // uint8 (size, size, 3)
  py::array roots;       // float64 (roots, 2)
  py::array rootColors;  // uint8 (roots, 3)
  py::tuple bounds;
  std::size_t size;
  tPicturePointer picture;  // what the arrays view, and what the measures read
};

// A singular-set picture as Python sees it (rootweaver.SingularSet).
struct tSingularSetResult {
  py::array rgb;    // uint8 (size, size, 3)
  py::array onSet;  // bool (size, size)
  py::tuple bounds;
  std::size_t size;
  tPicturePointer picture;
};

// Called by the adapter while it waits: a Python signal handler runs here,
// and what it raises stops the engine's work.
void checkSignals() {
  py::gil_scoped_acquire acquire;
  if (PyErr_CheckSignals() != 0) throw py::error_already_set();
}

// An adapter call made with the interpreter released.
template <typename tCall>
auto released(tCall call) {
  py::gil_scoped_release release;
  return call(tEngineAdapter::tPoll(checkSignals));
}

// An array that views the picture's vector, keeping the picture alive.
template <typename T>
py::array viewOf(const tPicturePointer& picture, std::vector<T>& data,
                 std::vector<py::ssize_t> shape) {
  const py::capsule owner(new tPicturePointer(picture),
                          [](void* held) { delete static_cast<tPicturePointer*>(held); });
  return py::array_t<T>(std::move(shape), data.data(), owner);
}

py::ssize_t sideOf(const tPicturePointer& picture) {
  return static_cast<py::ssize_t>(picture->side);
}

py::tuple boundsOf(const tEngineAdapter::tPicture& picture) {
  return py::make_tuple(picture.bounds[0], picture.bounds[1], picture.bounds[2], picture.bounds[3]);
}

void copyRoots(const tEngineAdapter::tPicture& picture, tBasinsResult& result) {
  const py::ssize_t count = static_cast<py::ssize_t>(picture.roots.size());
  py::array_t<double> roots({count, py::ssize_t{2}});
  py::array_t<uint8_t> colors({count, py::ssize_t{3}});
  auto at = roots.mutable_unchecked<2>();
  auto color = colors.mutable_unchecked<2>();
  for (py::ssize_t i = 0; i < count; ++i) {
    const tEngineAdapter::tRoot& root = picture.roots[static_cast<std::size_t>(i)];
    at(i, 0) = root.x;
    at(i, 1) = root.y;
    color(i, 0) = root.red;
    color(i, 1) = root.green;
    color(i, 2) = root.blue;
  }
  result.roots = roots;
  result.rootColors = colors;
}

tBasinsResult basinsOf(const tPicturePointer& picture) {
  const py::ssize_t side = sideOf(picture);
  tBasinsResult result;
  result.labels = viewOf(picture, picture->labels, {side, side});
  result.iterations = viewOf(picture, picture->iterations, {side, side});
  result.rgb = viewOf(picture, picture->rgb, {side, side, py::ssize_t{3}});
  copyRoots(*picture, result);
  result.bounds = boundsOf(*picture);
  result.size = picture->side;
  result.picture = picture;
  return result;
}

tSingularSetResult singularSetOf(const tPicturePointer& picture) {
  const py::ssize_t side = sideOf(picture);
  tSingularSetResult result;
  result.rgb = viewOf(picture, picture->rgb, {side, side, py::ssize_t{3}});
  result.onSet = viewOf(picture, picture->onSet, {side, side}).attr("view")("bool");
  result.bounds = boundsOf(*picture);
  result.size = picture->side;
  result.picture = picture;
  return result;
}

[[noreturn]] void raiseValueError(const std::string& message) { throw py::value_error(message); }

// A whole number from `least` to `most`, named `name` in the message.
long long checkedWhole(long long value, const char* name, long long least, long long most) {
  if (value >= least && value <= most) return value;
  raiseValueError(std::string(name) + " is " + std::to_string(value) +
                  "; it must be a whole number from " + std::to_string(least) + " to " +
                  std::to_string(most));
}

double checkedFinite(double value, const char* name) {
  if (std::isfinite(value)) return value;
  raiseValueError(std::string(name) + " must be a finite number, not " + std::to_string(value));
}

// Four finite numbers with min < max on both axes; anything else is named.
void checkBounds(const py::object& bounds, double out[4]) {
  const std::string wrong =
      "bounds must be four finite numbers (min_x, max_x, min_y, max_y) with min_x < max_x and "
      "min_y < max_y, not " +
      py::repr(bounds).cast<std::string>();
  bool fits = false;
  try {
    const py::tuple given(bounds);
    fits = given.size() == 4;
    for (std::size_t i = 0; fits && i < 4; ++i) out[i] = py::float_(py::object(given[i]));
  } catch (const py::error_already_set& error) {
    if (!error.matches(PyExc_TypeError) && !error.matches(PyExc_ValueError)) throw;
    raiseValueError(wrong);
  }
  for (std::size_t i = 0; fits && i < 4; ++i) fits = std::isfinite(out[i]);
  if (!fits || !(out[0] < out[1] && out[2] < out[3])) raiseValueError(wrong);
}

unsigned checkedSize(long long size) {
  const unsigned dimension = static_cast<unsigned>(checkedWhole(size, "size", 1, UINT_MAX));
  if (tEngineAdapter::acceptsSize(dimension)) return dimension;
  raiseValueError("size " + std::to_string(size) +
                  " makes no picture: its side, the nearest power of two, may be at most " +
                  std::to_string(tEngineAdapter::getMaxSide()));
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

std::string checkedMethod(const std::string& method) {
  const std::vector<std::string> names = tEngineAdapter::getMethodNames();
  for (const std::string& name : names)
    if (name == method) return method;
  raiseValueError("method '" + method + "' is unknown; the methods are " + joined(names));
}

// No method takes settings besides its iterations and step; the first
// other keyword is named, as Python names it.
void checkMethodParameters(const char* caller, const std::string& method,
                           const py::kwargs& parameters) {
  if (parameters.empty()) return;
  const std::string name = py::str(parameters.begin()->first);
  throw py::type_error(std::string(caller) + "() got an unexpected keyword argument '" + name +
                       "': " + method + " takes no settings besides iterations and step");
}

// The settings every picture takes, checked.
tEngineAdapter::tRequest requestOf(const char* caller, const py::object& bounds, long long size,
                                   const std::string& method, long long iterations, double step,
                                   std::optional<long long> threads, const py::kwargs& parameters) {
  tEngineAdapter::tRequest request{};
  checkBounds(bounds, request.bounds);
  request.size = checkedSize(size);
  request.method = checkedMethod(method);
  checkMethodParameters(caller, method, parameters);
  request.iterations = static_cast<uint32_t>(checkedWhole(iterations, "iterations", 0, UINT32_MAX));
  request.step = checkedFinite(step, "step");
  if (threads)
    request.threads = static_cast<unsigned>(checkedWhole(*threads, "threads", 1, UINT_MAX));
  request.jitter = 1;
  request.randomColors = true;
  return request;
}

// A method that cannot solve the function raises ValueError saying why.
void checkAccepted(const tEngineAdapter::tLoadedFunction& function,
                   const tEngineAdapter::tRequest& request) {
  const std::string refusal = tEngineAdapter::refusalOf(function, request);
  if (!refusal.empty()) raiseValueError(refusal);
}

tBasinsResult basins(const tEngineAdapter::tLoadedFunction& function, const py::object& bounds,
                     long long size, const std::string& method, long long iterations, double step,
                     long long jitter, std::optional<long long> seed,
                     std::optional<long long> threads, bool jitterFirst, bool randomColors,
                     bool shadeBySpeed, bool wadaTest, const py::kwargs& parameters) {
  tEngineAdapter::tRequest request =
      requestOf("basins", bounds, size, method, iterations, step, threads, parameters);
  checkAccepted(function, request);
  request.jitter = static_cast<uint32_t>(checkedWhole(jitter, "jitter", 1, UINT32_MAX));
  if (seed)
    request.seed =
        static_cast<unsigned>(checkedWhole(*seed, "seed", 0, tEngineAdapter::getMaxSeed()));
  request.jitterFirst = jitterFirst;
  request.randomColors = randomColors;
  request.shadeBySpeed = shadeBySpeed;
  request.wadaTest = wadaTest;
  auto picture = std::make_shared<tEngineAdapter::tPicture>(released(
      [&](const auto& poll) { return tEngineAdapter::makePicture(function, request, poll); }));
  return basinsOf(picture);
}

tSingularSetResult singularSet(const tEngineAdapter::tLoadedFunction& function,
                               const py::object& bounds, long long size, const std::string& method,
                               long long iterations, double step, std::optional<long long> threads,
                               const py::kwargs& parameters) {
  tEngineAdapter::tRequest request =
      requestOf("singular_set", bounds, size, method, iterations, step, threads, parameters);
  checkAccepted(function, request);
  request.singularSet = true;
  auto picture = std::make_shared<tEngineAdapter::tPicture>(released(
      [&](const auto& poll) { return tEngineAdapter::makePicture(function, request, poll); }));
  return singularSetOf(picture);
}

// A measure as Python holds it: the root count a whole number and the Wada
// verdict a truth value, None where the batch's CSV cell is empty.
py::object valueOf(const std::string& name, double value) {
  if (name != "roots" && name != "wada") return py::float_(value);
  if (std::isnan(value)) return py::none();
  if (name == "roots") return py::int_(static_cast<long long>(value));
  return py::bool_(value != 0.0);
}

py::dict statisticsOf(const tPicturePointer& picture) {
  const tEngineAdapter::tMeasures measures =
      released([&](const auto&) { return tEngineAdapter::measure(*picture); });
  py::dict statistics;
  for (const auto& [name, value] : measures.values)
    statistics[py::str(name)] = valueOf(name, value);
  py::list rows;
  for (const tEngineAdapter::tBasin& basin : measures.basins)
    rows.append(py::dict("root"_a = basin.root, "x"_a = basin.at.x, "y"_a = basin.at.y,
                         "red"_a = basin.at.red, "green"_a = basin.at.green,
                         "blue"_a = basin.at.blue, "fraction"_a = basin.fraction));
  statistics["basins"] = rows;
  return statistics;
}

// The reader's messages end in a line end each.
std::string withoutLastLineEnd(const std::string& messages) {
  return messages.substr(0, messages.size() - 1);
}

// Function(text=None, path=None)
tEngineAdapter::tLoadedFunction loadFunction(const py::object& text, const py::object& path) {
  if (text.is_none() == path.is_none())
    throw py::type_error("Function() takes either text or path, exactly one of them");
  const std::string given =
      text.is_none() ? py::str(py::module_::import("os").attr("fsdecode")(path)).cast<std::string>()
                     : text.cast<std::string>();
  const tEngineAdapter::tRead read = released([&](const auto&) {
    return text.is_none() ? tEngineAdapter::readFile(given) : tEngineAdapter::readText(given);
  });
  if (!read.unreadable.empty()) {
    PyErr_SetString(read.missing ? PyExc_FileNotFoundError : PyExc_OSError,
                    read.unreadable.c_str());
    throw py::error_already_set();
  }
  if (!read.errors.empty()) raiseValueError(withoutLastLineEnd(read.errors));
  if (!read.warnings.empty() &&
      PyErr_WarnEx(PyExc_UserWarning, withoutLastLineEnd(read.warnings).c_str(), 1) != 0)
    throw py::error_already_set();
  return read.loaded;
}

py::dict formulasOf(const tEngineAdapter::tLoadedFunction& function) {
  const auto formulas =
      released([&](const auto& poll) { return tEngineAdapter::getFormulas(function, poll); });
  py::dict result;
  for (const auto& [label, formula] : formulas) result[py::str(label)] = formula;
  return result;
}

std::string nameOf(const tEngineAdapter::tLoadedFunction& function) {
  return released([&](const auto& poll) { return tEngineAdapter::getName(function, poll); });
}

// A view that cannot be written to: parameters are set through
// set_parameter, which says when a name is no parameter.
py::object parametersOf(const tEngineAdapter::tLoadedFunction& function) {
  const auto parameters =
      released([&](const auto& poll) { return tEngineAdapter::getParameters(function, poll); });
  py::dict values;
  for (const auto& [name, value] : parameters) values[py::str(name)] = value;
  return py::module_::import("types").attr("MappingProxyType")(values);
}

void setParameter(const tEngineAdapter::tLoadedFunction& function, const std::string& name,
                  double value) {
  const bool known = released(
      [&](const auto& poll) { return tEngineAdapter::setParameter(function, name, value, poll); });
  if (known) return;
  const py::object names = py::str(", ").attr("join")(parametersOf(function));
  throw py::key_error("'" + name + "' is no parameter of " + nameOf(function) +
                      "; its parameters: " + names.cast<std::string>());
}

const char* const kModuleDoc = R"(Basins of attraction of root-finding methods on maps of the plane.

The pictures are the engine's own: byte for byte what `rootweaver --batch`
writes for the same settings, computed on several threads with the
interpreter released; Ctrl-C stops a long one with KeyboardInterrupt.
Pictures are made one at a time, whatever thread asks.

Per-pixel arrays hold the top row (largest y) first, as images are shown;
column 0 is the smallest x.)";

const char* const kFunctionDoc = R"(A map F(x, y) = (f1, f2) with its four partial derivatives.

Function(text=...) reads the text of a function file, Function(path=...) a
function file; exactly one of the two. A function the program would read
otherwise than written, or with a formula missing, raises ValueError with
the program's messages, each naming its place as path:line:column (a text's
place is <text>:line:column); a file that cannot be read raises OSError.
What the reader only warns about comes as a UserWarning.)";

const char* const kBasinsDoc = R"(The basins of attraction of `function` under `method`.

bounds: (min_x, max_x, min_y, max_y) of the rectangle of the plane.
size: the picture's dimension, brought to a power of two as the program
    does: the nearer of the two around it by ratio (100 gives 128, 90 gives
    64); the result's `size` is the side made.
method: a solver name a script's `use` takes: NewtonSolver,
    RefinedNewtonSolver, HeunSolver, RungeKuttaSolver4, RungeKuttaSolver2,
    AdamsBashforthSolver2, and for a map given as f(z) only HalleySolver,
    ChebyshevSolver, SuperHalleySolver, ChebyshevHalleySolver (with the
    parameter 0.5), SchroderSolver, TraubSolver, OstrowskiSolver,
    KingSolver (with b = 0.5), JarrattSolver, SteffensenSolver and
    LaguerreSolver (n the degree of a polynomial f(z)), which raise
    ValueError for another map, and for any map TraubSystemSolver,
    JarrattSystemSolver, ChebyshevSystemSolver, HalleySystemSolver and
    BacktrackingNewtonSolver (the two with second derivatives raise
    ValueError for a map that lacks one). None takes settings besides
    iterations (its limit) and step (its step size); any other keyword raises
    TypeError.
jitter: samples per pixel; jitter_first jitters the first one too.
seed: seeds the random sequence of jitter and random colours before the
    picture (the batch's _seed); without it the sequence goes on from the
    pictures before.
threads: computing threads; None for every CPU the process may use.
random_colors, shade_by_speed, wada_test: the batch's _useRandomColors,
    _shadeBySpeed and _wadaTest.

Returns a Basins: labels (int32, the registry index of the root that the
pixel's first sample reached, -1 where it gave up, -2 where the Jacobian had
no inverse), iterations (uint16, the iterations of the first sample, held to
65535), rgb (uint8, size x size x 3, the picture as the batch writes it),
roots (float64, one (x, y) row per root the picture met, by index) and
root_colors (uint8, their colours), bounds and size.)";

const char* const kSingularSetDoc =
    R"(The singular set of `function`, where its Jacobian has no inverse.

A pixel is on the set when the walks of `method` from its four corners do
not all stay on one side of it. The settings are those of basins(). Returns
a SingularSet: rgb (uint8, size x size x 3, black on the set, light grey
elsewhere, as the batch writes it), on_set (bool, size x size), bounds and
size.)";

const char* const kStatisticsDoc = R"(The measures the batch writes for the picture.

A dict under the column names of the batch's stats CSV: roots,
converged_fraction, no_convergence_fraction, singular_fraction,
basin_entropy, boundary_basin_entropy, box_dimension, box_dimension_error,
uncertainty_exponent, uncertainty_exponent_error, wada_distance,
wada_share, wada and fractal_dimension, each with the CSV's value (NaN, or
None for roots and wada, where its cell is empty); and under "basins" one
dict per basin with the columns of the basins CSV: root, x, y, red, green,
blue and fraction.)";

}  // namespace

PYBIND11_MODULE(rootweaver, m) {
  m.doc() = kModuleDoc;

  py::class_<tEngineAdapter::tLoadedFunction>(m, "Function", kFunctionDoc)
      .def(py::init(&loadFunction), "text"_a = py::none(), "path"_a = py::none())
      .def_property_readonly("name", &nameOf, "The path as given, or <text>.")
      .def_property_readonly("formulas", &formulasOf,
                             "The six formulas by label (f1, f2, f11, f12, f21, f22), as the "
                             "program holds them: derived or written out from f(z) where the "
                             "file gives neither.")
      .def_property_readonly("parameters", &parametersOf,
                             "The local constants and free names with the values a picture "
                             "uses (a free name not set is 0); read-only.")
      .def("set_parameter", &setParameter, "name"_a, "value"_a,
           "Sets a parameter for the pictures to come; KeyError for a name that is none.")
      .def("__repr__", [](const tEngineAdapter::tLoadedFunction& function) {
        return "<rootweaver.Function " + nameOf(function) + ">";
      });

  py::class_<tBasinsResult>(m, "Basins", "A basin picture; see basins().")
      .def_readonly("labels", &tBasinsResult::labels)
      .def_readonly("iterations", &tBasinsResult::iterations)
      .def_readonly("rgb", &tBasinsResult::rgb)
      .def_readonly("roots", &tBasinsResult::roots)
      .def_readonly("root_colors", &tBasinsResult::rootColors)
      .def_readonly("bounds", &tBasinsResult::bounds)
      .def_readonly("size", &tBasinsResult::size);

  py::class_<tSingularSetResult>(m, "SingularSet", "A singular-set picture; see singular_set().")
      .def_readonly("rgb", &tSingularSetResult::rgb)
      .def_readonly("on_set", &tSingularSetResult::onSet)
      .def_readonly("bounds", &tSingularSetResult::bounds)
      .def_readonly("size", &tSingularSetResult::size);

  const py::tuple square = py::make_tuple(-2.0, 2.0, -2.0, 2.0);
  m.def("basins", &basins, kBasinsDoc, "function"_a, "bounds"_a = square, "size"_a = 512,
        "method"_a = "NewtonSolver", "iterations"_a = 100, "step"_a = 1.0, "jitter"_a = 1,
        "seed"_a = py::none(), "threads"_a = py::none(), "jitter_first"_a = false,
        "random_colors"_a = true, "shade_by_speed"_a = false, "wada_test"_a = false);
  m.def("singular_set", &singularSet, kSingularSetDoc, "function"_a, "bounds"_a = square,
        "size"_a = 512, "method"_a = "NewtonSolver", "iterations"_a = 100, "step"_a = 1.0,
        "threads"_a = py::none());
  m.def(
      "statistics", [](const tBasinsResult& result) { return statisticsOf(result.picture); },
      kStatisticsDoc, "result"_a);
  m.def(
      "statistics", [](const tSingularSetResult& result) { return statisticsOf(result.picture); },
      "result"_a);
}
