"""The play frame in every view, shadow and mirror setting, by the
display-list path and the plain path, against the reference pictures in
tests/render/: the plain path pixel for pixel, the display-list path within
a few pixels (see reference_pictures.py there, which also renders them
anew)."""
import os
import sys

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "render"))
import reference_pictures  # noqa: E402


@pytest.mark.cost(10)
def test_both_drawing_paths_give_the_reference_pictures(options, display):
    failures = reference_pictures.compare(options["bin"], options["data"], display,
                                          options["artifacts"])
    assert not failures, f"{len(failures)} renders differ:\n" + "\n".join(failures)
