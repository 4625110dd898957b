"""Functions read as the program reads them; what is wrong raises, naming its
place or its argument; and nothing is printed."""

import subprocess

import pytest

import rootweaver

REFUSED = "; the function is refused"
BROKEN_TEXTS = [
    ("f1 = x +\nf2 = y", "<text>:1:8: an operand is missing after '+'" + REFUSED),
    ("f(z) = z^2\nf1 = x", "<text>:1:1: f(z) and f1 (at <text>:2:1) both given" + REFUSED),
    ("f1 = x^2 - 1\nf2 = 2y", "<text>:2:6: name '2y' begins with a digit"),
    ("f1 = x\nf2 = y,\nf11 = 1", "<text>:2:7: reading stopped at ','"),
    ("f1 = x", "<text>: incomplete function, missing f2, f21, f22"),
]


@pytest.mark.parametrize("text, message", BROKEN_TEXTS)
def test_broken_text_raises_with_its_place(text, message):
    with pytest.raises(ValueError) as raised:
        rootweaver.Function(text=text)
    assert str(raised.value) == message


def test_broken_file_raises_with_its_path(tmp_path):
    path = tmp_path / "broken.func"
    path.write_text("// z squared\nf(z) = sinn(z)\n")
    with pytest.raises(ValueError) as raised:
        rootweaver.Function(path=path)
    assert str(raised.value) == (f"{path}:2:8: 'sinn' is not a function; functions are sin, cos, "
                                 "tan, sinh, cosh, tanh, exp, abs, sqrt, log" + REFUSED)
    with pytest.raises(FileNotFoundError, match=f"^cannot read function file {tmp_path}/none: "):
        rootweaver.Function(path=tmp_path / "none")


def test_near_name_is_a_warning():
    with pytest.warns(UserWarning) as warned:
        rootweaver.Function(text="a = 1\nf1 = x - A\nf2 = y")
    assert [str(warning.message) for warning in warned] == [
        "<text>:2:10: 'A' is no constant of this file: a script must set it, or it reads as 0 "
        "(did you mean 'a'?)"]


def test_formulas_are_those_check_shows(program, real_map_file):
    report = subprocess.run([program, "--check", str(real_map_file)], capture_output=True,
                            text=True, timeout=30).stdout.splitlines()
    shown = dict(line.strip().split(" = ", 1) for line in report if " = " in line
                 and not line.strip().startswith("local"))
    function = rootweaver.Function(path=real_map_file)
    assert {f"{label} ({'given' if label in ('f1', 'f2') else 'derived'})": formula
            for label, formula in function.formulas.items()} == shown
    assert function.name == str(real_map_file)


def test_parameters_are_set_by_name(real_map_file):
    function = rootweaver.Function(path=real_map_file)
    assert dict(function.parameters) == {"r": 2.0, "c": 0.5}
    function.set_parameter("c", 0.25)
    assert dict(function.parameters) == {"r": 2.0, "c": 0.25}
    with pytest.raises(TypeError):
        function.parameters["c"] = 1.0
    with pytest.raises(KeyError, match="'s' is no parameter of .*; its parameters: r, c"):
        function.set_parameter("s", 1.0)


def test_reading_and_computing_print_nothing(capfd):
    rootweaver.statistics(rootweaver.basins(rootweaver.Function(text="f(z) = z^3 - 1"), size=16))
    assert capfd.readouterr() == ("", "")


ARGUMENT_ERRORS = [
    (dict(text="f1 = x", path="f.func"), TypeError,
     "Function() takes either text or path, exactly one of them"),
    (dict(size=0), ValueError, "size is 0; it must be a whole number from 1 to 4294967295"),
    (dict(size=40000), ValueError,
     "size 40000 makes no picture: its side, the nearest power of two, may be at most 16384"),
    (dict(method="newton"), ValueError, "method 'newton' is unknown; the methods are NewtonSolver, "
     "RefinedNewtonSolver, HeunSolver, RungeKuttaSolver4, RungeKuttaSolver2, "
     "AdamsBashforthSolver2, HalleySolver, ChebyshevSolver, SuperHalleySolver, "
     "ChebyshevHalleySolver, SchroderSolver, TraubSolver, OstrowskiSolver, KingSolver, "
     "JarrattSolver, SteffensenSolver, LaguerreSolver, TraubSystemSolver, JarrattSystemSolver, "
     "ChebyshevSystemSolver, HalleySystemSolver, BacktrackingNewtonSolver"),
    (dict(tolerance=1e-3), TypeError, "basins() got an unexpected keyword argument 'tolerance': "
     "NewtonSolver takes no settings besides iterations and step"),
    (dict(bounds=(1, -1, 0, 1)), ValueError, "bounds must be four finite numbers (min_x, max_x, "
     "min_y, max_y) with min_x < max_x and min_y < max_y, not (1, -1, 0, 1)"),
    (dict(bounds=("a", 1, 0, 1)), ValueError, "bounds must be four finite numbers (min_x, max_x, "
     "min_y, max_y) with min_x < max_x and min_y < max_y, not ('a', 1, 0, 1)"),
    (dict(seed=-1), ValueError, "seed is -1; it must be a whole number from 0 to 16777216"),
    (dict(step=float("nan")), ValueError, "step must be a finite number, not nan"),
]


@pytest.mark.parametrize("arguments, error, message", ARGUMENT_ERRORS)
def test_wrong_argument_is_named(arguments, error, message):
    with pytest.raises(error) as raised:
        if "text" in arguments:
            rootweaver.Function(**arguments)
        else:
            function = rootweaver.Function(text="f(z) = z^2 - 1")
            rootweaver.basins(function, **{"size": 16, **arguments})
    assert str(raised.value) == message


def test_methods_for_f_of_z_refuse_a_real_map():
    real = rootweaver.Function(text="f1 = x^2 - y^2 - 1\nf2 = 2*x*y")
    with pytest.raises(ValueError) as raised:
        rootweaver.basins(real, size=16, method="HalleySolver")
    assert str(raised.value) == ("HalleySolver needs f'' of a map given as f(z), "
                                 "not a map given by real formulas")
    complex_map = rootweaver.Function(text="f(z) = z^2 - 1")
    assert rootweaver.basins(complex_map, size=16, method="HalleySolver").size == 16


def test_methods_for_any_map_draw_a_real_map():
    real = rootweaver.Function(text="f1 = x^2 + y^2 - 4\nf2 = x*y - 1")
    for method in ("TraubSystemSolver", "JarrattSystemSolver", "ChebyshevSystemSolver",
                   "HalleySystemSolver", "BacktrackingNewtonSolver"):
        assert (rootweaver.basins(real, size=16, method=method).labels >= 0).any(), method
    deep = rootweaver.Function(text="f2 = y\nf1 = " + "sin " * 100 + "x")
    with pytest.raises(ValueError) as raised:
        rootweaver.basins(deep, size=16, method="HalleySystemSolver")
    assert str(raised.value) == "HalleySystemSolver needs f1xx, which is too large to derive"
