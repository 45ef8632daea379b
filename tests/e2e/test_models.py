"""Draws the five shipped models with the model library's own drawing code
on the suite's display and keeps the pictures as PNG files in the artefacts
folder: runs the window part of glm_draw_test (in model_tests), which draws
the models as the game places them and checks that they cover the picture."""
import os
import subprocess

import harness


def test_models_drawn_in_a_window(options, display, tmp_path):
    test = os.path.join(options["bin"], "model_tests")
    assert os.path.exists(test), f"missing {test}"
    env = dict(os.environ, DISPLAY=display, SQ_ARTIFACTS=options["artifacts"],
               XDG_DATA_HOME=str(tmp_path / "data"), XDG_CONFIG_HOME=str(tmp_path / "config"))
    env.pop("XAUTHORITY", None)
    result = subprocess.run([test, "--gtest_filter=GlmDrawWindowTest.*"], env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            timeout=120)
    print(result.stdout)
    assert result.returncode == 0, "the window tests failed"
    assert "SKIPPED" not in result.stdout, "the window tests were skipped"
    for name in ("model_mouse", "model_fruit", "model_cat", "model_materials"):
        ppm = os.path.join(options["artifacts"], name + ".ppm")
        assert os.path.exists(ppm), f"no picture {ppm}"
        harness.read_image(ppm).save(os.path.join(options["artifacts"], name + ".png"))
        os.remove(ppm)
