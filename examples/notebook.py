"""The basins of z^3 - 1 under Newton's method, drawn with matplotlib.

With the module built, from the top of the source tree:

    PYTHONPATH=build/python /usr/bin/python3 examples/notebook.py [FIGURE.png]

prints each basin's share of the picture and saves the figure (notebook.png
unless another path is given): the picture over the plane's coordinates, a
legend of the roots with their colours, and the basin entropy in the title.
"""

import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402 (after the backend is chosen)
from matplotlib.patches import Patch  # noqa: E402

import rootweaver  # noqa: E402


def print_fractions(statistics):
    for basin in statistics["basins"]:
        print(f"root ({basin['x']:+.6f}, {basin['y']:+.6f}): {basin['fraction']:.6f}")
    print(f"no convergence: {statistics['no_convergence_fraction']:.6f}")
    print(f"singular Jacobian: {statistics['singular_fraction']:.6f}")


def legend_of(statistics):
    """A colour swatch and the coordinates of every basin's root."""
    return [Patch(color=(basin["red"] / 255, basin["green"] / 255, basin["blue"] / 255),
                  label=f"({basin['x']:+.3f}, {basin['y']:+.3f})")
            for basin in statistics["basins"]]


def draw(result, statistics, path):
    figure, axes = plt.subplots(figsize=(6, 6))
    # The rows come top first, as imshow shows them; bounds are its extent.
    axes.imshow(result.rgb, extent=result.bounds)
    axes.set_xlabel("x")
    axes.set_ylabel("y")
    axes.set_title(f"Newton's method on $z^3 - 1$: basin entropy {statistics['basin_entropy']:.4f}")
    axes.legend(handles=legend_of(statistics), title="roots", loc="upper left",
                bbox_to_anchor=(1.02, 1.0))
    figure.savefig(path, dpi=100, bbox_inches="tight")


def main(path):
    function = rootweaver.Function(text="f(z) = z^3 - 1")
    result = rootweaver.basins(function, size=512, random_colors=False)
    statistics = rootweaver.statistics(result)
    print_fractions(statistics)
    draw(result, statistics, path)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "notebook.png")
