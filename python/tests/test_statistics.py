"""statistics() gives the measures the batch writes to its CSV files, under
the same names."""

import math

import pytest

import batchfiles
import rootweaver

# Columns of the stats CSV that describe the run rather than measure its basins.
RUN_COLUMNS = {"image", "function", "solver", "step", "iterations", "side", "minX", "maxX",
               "minY", "maxY", "seconds", "seed", "c", "r"}


def cell(value):
    """A value as the CSV writes it."""
    if value is None:
        return ""
    if isinstance(value, bool):
        return "1" if value else "0"
    if isinstance(value, int):
        return str(value)
    return "%.17g" % value if math.isfinite(value) else ""


def rows_of(path, image):
    return [row for row in batchfiles.read_csv(path) if row.pop("image") == image]


@pytest.mark.parametrize("index", range(len(batchfiles.PICTURES)))
def test_statistics_are_the_batch_csv_values(index, real_map, batch_folder):
    image = batchfiles.image_name(index)
    statistics = rootweaver.statistics(batchfiles.compute(real_map, batchfiles.PICTURES[index]))
    basins = statistics.pop("basins")
    [written] = rows_of(batch_folder / "t-stats.csv", image)
    assert set(statistics) == set(written) - RUN_COLUMNS
    assert {name: cell(value) for name, value in statistics.items()} == \
        {name: written[name] for name in statistics}
    assert [{name: cell(value) for name, value in basin.items()} for basin in basins] == \
        rows_of(batch_folder / "t-basins.csv", image)

