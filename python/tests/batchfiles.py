"""The pictures the tests make both ways: through the module, and through a
batch script of the same settings run by the program, whose files they read."""

import csv
import pathlib

import numpy as np

import rootweaver

# Four roots where the circle x^2 + y^2 = r meets the hyperbola x y = c;
# the derivatives are derived, and the Jacobian is singular on y = +-x.
REAL_MAP = """// circle and hyperbola
r = 2
c = 0.5
f1 = x^2 + y^2 - r
f2 = x*y - c
"""
# Set by the script and through set_parameter alike; exact in single
# precision, in which scripts read numbers.
C = 0.375

# The settings of basins() that a script sets, with basins()'s defaults.
DEFAULTS = dict(size=512, bounds=(-2, 2, -2, 2), method="NewtonSolver", iterations=100, step=1.0,
                jitter=1, jitter_first=False, random_colors=True, shade_by_speed=False,
                wada_test=False, singular_set=False)
COMMON = dict(size=64, bounds=(-1.5, 2.5, -2.25, 1.75), seed=11, wada_test=True)
PICTURES = [
    dict(),
    dict(jitter=4, jitter_first=True),
    dict(shade_by_speed=True, random_colors=False),
    dict(method="HeunSolver", iterations=60, step=0.5, size=100),
    dict(singular_set=True),
]


def settings_of(picture):
    return {**DEFAULTS, **COMMON, **picture}


def flag(value):
    return "true" if value else "false"


def run_lines(settings, prefix):
    min_x, max_x, min_y, max_y = settings["bounds"]
    return [f"_imageDimension = {settings['size']}",
            f"_minX = {min_x}", f"_maxX = {max_x}", f"_minY = {min_y}", f"_maxY = {max_y}",
            f"_maxIterations = {settings['iterations']}", f"_stepSize = {settings['step']}",
            f"_jitter = {settings['jitter']}", f"_jitterFirst = {flag(settings['jitter_first'])}",
            f"_seed = {settings['seed']}",
            f"_useRandomColors = {flag(settings['random_colors'])}",
            f"_shadeBySpeed = {flag(settings['shade_by_speed'])}",
            f"_wadaTest = {flag(settings['wada_test'])}",
            f"_singularSet = {flag(settings['singular_set'])}",
            f"use {settings['method']}", f'_outputPrefix = "{prefix}"', "run f"]


def script_lines(function_path):
    """Every picture of PICTURES in one batch "t", as t-p-1.tga and on."""
    lines = ['_outputDir = "out"', '_imageFormat = "tga"', f'f = loadFunction "{function_path}"',
             f"c = {C}", 'batch "t" of 1']
    for picture in PICTURES:
        lines += run_lines(settings_of(picture), "p")
    return lines + ["end"]


def compute(function, picture):
    settings = settings_of(picture)
    if settings.pop("singular_set"):
        return rootweaver.singular_set(function, **{name: settings[name] for name in (
            "bounds", "size", "method", "iterations", "step")})
    return rootweaver.basins(function, **settings)


def image_name(index):
    return f"t-p-{index + 1}.tga"


def read_tga(path):
    """A 24-bit TGA as the program writes it, as rgb rows with the top row first."""
    data = pathlib.Path(path).read_bytes()
    width = int.from_bytes(data[12:14], "little")
    height = int.from_bytes(data[14:16], "little")
    assert data[2] == 2 and data[16] == 24 and data[17] & 0x20 == 0, "not a bottom-up 24-bit TGA"
    pixels = np.frombuffer(data, dtype=np.uint8, offset=18 + data[0]).reshape(height, width, 3)
    return pixels[::-1, :, ::-1]


def read_csv(path):
    with open(path, newline="") as file:
        return list(csv.DictReader(file))
