"""Fixtures of the end-to-end suite: one Xvfb for the whole pytest session,
and per test a fresh copy of the asset folder (`session`). A failing test
leaves its last screenshot in the artefacts folder.

    pytest tests/e2e --bin build/bin --data build/data --artifacts build/artifacts
"""
import os
import re
import sys

import pytest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402


def pytest_addoption(parser):
    parser.addoption("--bin", required=True, help="folder of the built programs")
    parser.addoption("--data", required=True, help="the asset folder the programs run from")
    parser.addoption("--artifacts", required=True, help="where screenshots are kept")
    parser.addoption("--deb", help="a folder holding the package built already (the "
                     "package tests build their own without it)")


def pytest_configure(config):
    config.addinivalue_line(
        "markers", "cost(seconds): how long the test takes on a quiet machine; ctest starts "
        "the costliest first")


@pytest.fixture(scope="session")
def options(request):
    get = request.config.getoption
    artifacts = os.path.abspath(get("--artifacts"))
    os.makedirs(artifacts, exist_ok=True)
    deb = get("--deb")
    return {"bin": os.path.abspath(get("--bin")), "data": os.path.abspath(get("--data")),
            "artifacts": artifacts, "deb": deb and os.path.abspath(deb)}


@pytest.fixture(scope="session")
def display():
    xvfb, name = harness.start_xvfb()
    yield name
    harness.stop(xvfb)


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    s = getattr(item, "funcargs", {}).get("session")
    if report.failed and isinstance(s, harness.Session):
        path = s.keep_last("failed")
        if path:
            report.sections.append(("last screenshot", path))


@pytest.fixture
def session(request, options, display):
    name = re.sub(r"[^A-Za-z0-9_.-]", "_", request.node.name)
    s = harness.Session(options["bin"], options["data"], options["artifacts"], display, name)
    yield s
    s.close()
