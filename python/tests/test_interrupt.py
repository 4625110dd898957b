"""Ctrl-C stops a picture that would take minutes within a fraction of a
second, and the module goes on working."""

import signal
import subprocess
import sys
import time

import numpy as np
import pytest

import rootweaver

# A picture of some ten thousand times 16 million slow steps.
ENDLESS = dict(size=4096, iterations=1000000, step=0.0001)
CUBE = "f(z) = z^3 - 1"


def test_sigint_raises_keyboard_interrupt():
    code = ("import rootweaver\n"
            f"f = rootweaver.Function(text={CUBE!r})\n"
            "print('computing', flush=True)\n"
            f"rootweaver.basins(f, **{ENDLESS!r})\n")
    process = subprocess.Popen([sys.executable, "-c", code], stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True)
    try:
        assert process.stdout.readline() == "computing\n"
        time.sleep(0.5)
        process.send_signal(signal.SIGINT)
        sent = time.monotonic()
        _, errors = process.communicate(timeout=30)
        assert time.monotonic() - sent < 2.0
    finally:
        process.kill()
    assert process.returncode != 0
    assert errors.rstrip().endswith("KeyboardInterrupt")


def test_interrupted_picture_leaves_the_module_working():
    function = rootweaver.Function(text=CUBE)
    before = rootweaver.basins(function, size=64, seed=1)

    def interrupt(signum, frame):
        raise KeyboardInterrupt

    previous = signal.signal(signal.SIGALRM, interrupt)
    try:
        signal.setitimer(signal.ITIMER_REAL, 0.3)
        started = time.monotonic()
        with pytest.raises(KeyboardInterrupt):
            rootweaver.basins(function, **ENDLESS)
        assert time.monotonic() - started < 2.0
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, previous)
    after = rootweaver.basins(function, size=64, seed=1)
    assert np.array_equal(before.rgb, after.rgb) and np.array_equal(before.labels, after.labels)
