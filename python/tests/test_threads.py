"""Pictures asked for on two threads at once are those made one after the other."""

import threading

import numpy as np

import rootweaver

PICTURES = [dict(size=128, seed=5, jitter=3), dict(size=128, seed=9, method="RungeKuttaSolver4",
                                                   step=0.5, iterations=40)]


def arrays(result):
    return [result.labels, result.iterations, result.rgb, result.roots, result.root_colors]


def test_two_threads_make_the_pictures_of_one(real_map):
    alone = [arrays(rootweaver.basins(real_map, **picture)) for picture in PICTURES]
    together = [None] * len(PICTURES)

    def make(index):
        together[index] = arrays(rootweaver.basins(real_map, threads=2, **PICTURES[index]))

    threads = [threading.Thread(target=make, args=(index,)) for index in range(len(PICTURES))]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join(timeout=60)
        assert not thread.is_alive()
    for one, other in zip(alone, together):
        assert other is not None
        assert all(np.array_equal(a, b) for a, b in zip(one, other))
