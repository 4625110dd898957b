#ifndef ROOTWEAVER_SHELL_TRENDERCOMMAND_H
#define ROOTWEAVER_SHELL_TRENDERCOMMAND_H

#include <optional>
#include <string>
#include <vector>

// rootweaver render: one picture of a function without a script, written as
// a PNG (or a TGA) and its path printed on standard output.
//
// The picture has exactly the size asked, any width and height, and its
// pixels are square in the plane, as plotting programs keep them:
// - --center X Y --width W spans W across, and W * height / width up;
// - --bounds are kept exactly when their sides have the picture's aspect to
//   within half a pixel; otherwise their x extent is kept and the y extent
//   is made to fit about the same middle, which one line on standard error
//   says. Without --size, --bounds choose the size: 512 pixels along the
//   longer side;
// - neither gives the view of scripts, x from -2 to 2, about y = 0.
// Colours are the registry's presets unless a palette says otherwise; the
// picture is byte for byte the one a script with the same settings makes.
class tRenderCommand {
 public:
  // The side of a picture when no size is given (a script's _imageDimension).
  static constexpr unsigned int DEFAULT_SIDE = 512;

  struct tOptions {
    std::string function;  // a function file, or an f(z) = ... text
    std::string method = "NewtonSolver";
    unsigned int width = 0;  // --size; 0 when not given
    unsigned int height = 0;
    std::vector<double> bounds;        // --bounds MINX MAXX MINY MAXY; empty when not given
    std::vector<double> center;        // --center X Y; empty when not given
    double viewWidth = 0.0;            // --width W; 0 when not given
    unsigned long iterations = 100;    // --iterations K
    double step = 1.0;                 // --step H
    std::string palette = "classic";   // --palette NAME
    bool shade = false;                // --shade: shaded by convergence speed
    bool annotate = false;             // --annotate: an SVG page beside the picture
    std::optional<unsigned int> seed;  // --seed N; the clock otherwise
    unsigned int threads = 0;          // --threads N; 0 for the CPUs granted
    std::string output;                // -o; empty for NAME.png in the current directory
  };

  // The picture's size and rectangle, once the options are settled.
  struct tFrame {
    unsigned int width;
    unsigned int height;
    double minX, maxX, minY, maxY;
    std::string note;  // why the rectangle is not the --bounds given; "" when it is
  };

  // The palettes --palette takes, the default first.
  static const std::vector<std::string>& paletteNames();
  // Whether the name, taken as a path, ends in an extension render writes.
  static bool writesTo(const std::string& output);
  // The size and rectangle the options ask for.
  static tFrame frame(const tOptions& options);
  // The output path: -o, or the function file's name with .png in the
  // current directory ("render.png" for a text).
  static std::string outputOf(const tOptions& options);

  // Draws and writes the picture; the exit status: 0 when written, 1 when
  // the function cannot be read or used with the method, or the picture
  // cannot be written (one line on standard error saying why).
  static int run(const tOptions& options);
};

#endif
