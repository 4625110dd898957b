"""examples/notebook.py prints the basins' shares of its picture and saves
its figure."""

import pathlib
import subprocess
import sys

import rootweaver

EXAMPLE = pathlib.Path(__file__).parents[2] / "examples" / "notebook.py"


def test_example_prints_the_fractions_and_saves_the_figure(tmp_path):
    figure = tmp_path / "figure.png"
    printed = subprocess.run([sys.executable, str(EXAMPLE), str(figure)], capture_output=True,
                             text=True, timeout=60, check=True)
    statistics = rootweaver.statistics(rootweaver.basins(
        rootweaver.Function(text="f(z) = z^3 - 1"), size=512, random_colors=False))
    shares = [f"root ({b['x']:+.6f}, {b['y']:+.6f}): {b['fraction']:.6f}"
              for b in statistics["basins"]]
    assert printed.stdout.splitlines() == shares + [
        f"no convergence: {statistics['no_convergence_fraction']:.6f}",
        f"singular Jacobian: {statistics['singular_fraction']:.6f}"]
    assert printed.stderr == ""
    assert figure.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
