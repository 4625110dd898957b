"""The program the tests set the module against, and the batch of
batchfiles.PICTURES it writes."""

import os
import subprocess

import pytest

import batchfiles
import rootweaver


@pytest.fixture(scope="session")
def program():
    path = os.environ.get("ROOTWEAVER_PROGRAM")
    if not path or not os.access(path, os.X_OK):
        pytest.fail("ROOTWEAVER_PROGRAM must name the built rootweaver program")
    return path


@pytest.fixture(scope="session")
def real_map_file(tmp_path_factory):
    path = tmp_path_factory.mktemp("functions") / "realmap.func"
    path.write_text(batchfiles.REAL_MAP)
    return path


@pytest.fixture
def real_map(real_map_file):
    function = rootweaver.Function(path=real_map_file)
    function.set_parameter("c", batchfiles.C)
    return function


@pytest.fixture(scope="session")
def batch_folder(program, real_map_file, tmp_path_factory):
    """The folder of the batch's images and CSV files."""
    folder = tmp_path_factory.mktemp("batch")
    script = folder / "script.blam"
    script.write_text("\n".join(batchfiles.script_lines(real_map_file)) + "\n")
    subprocess.run([program, "--batch", str(script), "--output-dir", str(folder), "--quiet"],
                   check=True, timeout=60, cwd=folder)
    return folder / "out"
