"""The module's pictures are the batch's, byte for byte, and its arrays
describe the same pixels."""

import numpy as np
import pytest

import batchfiles
import rootweaver

NO_CONVERGENCE = (50, 50, 50)
SINGULAR = (255, 255, 0)


@pytest.mark.parametrize("index", range(len(batchfiles.PICTURES)))
def test_picture_is_the_batch_picture(index, real_map, batch_folder):
    result = batchfiles.compute(real_map, batchfiles.PICTURES[index])
    written = batchfiles.read_tga(batch_folder / batchfiles.image_name(index))
    assert result.size == written.shape[0]
    assert result.rgb.shape == written.shape
    assert np.array_equal(result.rgb, written)


def test_size_is_brought_to_a_power_of_two(real_map):
    assert [rootweaver.basins(real_map, size=n).size for n in (1, 90, 91, 100, 181)] == \
        [1, 64, 128, 128, 128]


def test_labels_give_the_colours_of_a_flat_picture(real_map):
    result = rootweaver.basins(real_map, size=128, seed=3, iterations=8)
    expected = np.zeros_like(result.rgb)
    expected[result.labels == -1] = NO_CONVERGENCE
    expected[result.labels == -2] = SINGULAR
    converged = result.labels >= 0
    expected[converged] = result.root_colors[result.labels[converged]]
    assert np.array_equal(result.rgb, expected)
    assert set(np.unique(result.labels)) == {-2, -1, 0, 1, 2, 3}
    x, y = result.roots.T
    assert np.all(np.abs(x * x + y * y - 2) < 1e-9) and np.all(np.abs(x * y - batchfiles.C) < 1e-9)


def test_iterations_line_up_with_labels(real_map):
    result = rootweaver.basins(real_map, size=128, iterations=8)
    assert result.iterations.dtype == np.uint16
    assert np.all(result.iterations[result.labels == -1] == 8)
    assert np.all(result.iterations[result.labels >= 0] < 8)


def test_singular_set_is_the_grey_pictures_black(real_map):
    result = rootweaver.singular_set(real_map, size=64)
    black = np.all(result.rgb == 0, axis=2)
    assert result.on_set.dtype == bool and np.array_equal(result.on_set, black)
    assert np.all(result.rgb[~black] == 200)
    assert black.any() and not black.all()
