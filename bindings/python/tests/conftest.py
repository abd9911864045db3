"""What the tests need: the built libraries (QUVO_SDK_LIBRARY and
QUVO_PLATFORM_LIBRARY), the virtual board's modules registered into the test's
own registry (QUVO_REGISTRY_DIR) with regsvr, and boardctl to set the board.
The test command sets every variable."""

import os
import subprocess

import pytest

import quvo

MODULES = ("KestorBoard", "MpegDecoders", "TvrFileWriter", "MakerFilters")


def env(name: str) -> str:
    value = os.environ.get(name)
    if not value:
        pytest.exit(f"{name} is not set; run these tests through the test command (ctest -R python)", 2)
    return value


def run(*command: str) -> str:
    done = subprocess.run(command, capture_output=True, text=True, timeout=60)
    assert done.returncode == 0, f"{command}: {done.stdout}{done.stderr}"
    return done.stdout


def boardctl(*args: str) -> str:
    return run(env("QUVO_BOARDCTL"), *args)


def register(module: str, unregister: bool = False) -> None:
    path = os.path.join(env("QUVO_MODULE_DIR"), module + ".so")
    run(env("QUVO_REGSVR"), "-s", *(["-u"] if unregister else []), path)


def probe(path: os.PathLike) -> str:
    """'codec WIDTHxHEIGHT' of the file's first video stream, as ffprobe reads it."""
    out = run("ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
              "stream=codec_name,width,height", "-of", "csv=p=0", os.fspath(path))
    codec, width, height = out.strip().split(",")[:3]
    return f"{codec} {width}x{height}"


@pytest.fixture(scope="session", autouse=True)
def modules():
    for module in MODULES:
        register(module)


@pytest.fixture
def board():
    """An open device on the virtual board in its default state."""
    boardctl("fault", "clear")
    boardctl("devices", "--default")
    boardctl("signal", "on")
    boardctl("lines", "0")
    with quvo.Device() as device:
        yield device
