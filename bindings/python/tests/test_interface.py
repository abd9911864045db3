"""The binding against the C headers: each export declared there has a prototype
of the same argument widths and is called by the Device; each result code and
named constant has its Python name and value; before initialization every
export answers through the binding as the SDK documents."""

import ctypes
import inspect
import os
import re

import pytest

import quvo
import quvo.device
from quvo import _native, records

HEADER_DIR = os.environ.get("QUVO_INCLUDE_DIR", os.path.join(os.path.dirname(__file__), "../../../sdk/include"))


def header(name: str) -> str:
    for root in HEADER_DIR.split(os.pathsep):
        path = os.path.join(root, "quvo", name)
        if os.path.exists(path):
            with open(path, encoding="utf-8") as f:
                return f.read()
    raise FileNotFoundError(name)


P = ctypes.POINTER
C_TYPES = {
    "uint32_t": ctypes.c_uint32, "int32_t": ctypes.c_int32, "uint32_t*": P(ctypes.c_uint32),
    "int32_t*": P(ctypes.c_int32), "uint64_t*": P(ctypes.c_uint64), "double*": P(ctypes.c_double),
    "const char*": ctypes.c_char_p, "QUVO_HWND": ctypes.c_void_p, "QUVO_WCHAR*": P(ctypes.c_uint16),
    "const QUVO_GUID*": P(records.Guid),
}


def c_type(parameter: str):
    words = parameter.replace("*", "* ").split()
    spelled = " ".join(words[:-1]).replace(" *", "*").replace("* ", "*")
    if spelled.rstrip("*") in records.__all__:
        return P(getattr(records, spelled.rstrip("*")))
    return C_TYPES[spelled]


def test_every_export_has_its_prototype_and_a_caller():
    declared = dict(re.findall(r"QUVO_API QUVO_RESULT (\w+)\(([^)]*)\);", header("QuvoSDK.h")))
    assert len(declared) == 81 and set(declared) == set(_native.SDK_PROTOTYPES)
    device_source = inspect.getsource(quvo.device)
    for name, parameters in declared.items():
        expected = [] if parameters.strip() == "void" else [c_type(p) for p in parameters.split(",")]
        assert list(_native.SDK_PROTOTYPES[name]) == expected, name
        assert re.search(rf"\b{name}\b", device_source), f"{name} has no caller in the binding"
    window_api = re.findall(r"QUVO_WINDOW_API \w+ (\w+)\(", header("QuvoWindow.h"))
    assert sorted(window_api) == sorted(_native.WINDOW_PROTOTYPES)


def test_codes_and_constants_match_the_header():
    defines = dict(re.findall(r"#define QUVO_(\w+)\s+(0x[0-9A-Fa-f]+|\d+)u", header("QuvoSDK.h")))
    groups = [  # longest prefix first
        ("INFO_", quvo.Result, "INFO_"), ("WARN_", quvo.Result, "WARN_"), ("ERR_", quvo.Result, "ERR_"),
        ("SUCCESS", quvo.Result, "SUCCESS"), ("INIT_", quvo.InitStatus, ""),
        ("GRAPH_STATE_", quvo.GraphState, ""), ("GRAPH_MODE_", quvo.GraphMode, ""),
        ("PREVIEW_CAPABILITIES", None, "PREVIEW_CAPABILITIES"), ("PREVIEW_", quvo.PreviewMode, ""),
        ("PLAYBACK_", quvo.PlaybackMode, ""), ("DEBUG_TARGET_", quvo.DebugTarget, ""),
        ("STANDARD_", quvo.CompressionStandard, ""), ("RESOLUTION_", quvo.Resolution, "R"),
        ("RATE_", quvo.RateMode, ""), ("AUDIO_FORMAT_", quvo.AudioFormat, ""),
        ("AUDIO_BITRATE_", quvo.AudioBitrate, ""), ("AUDIO_RATE_", quvo.AudioRate, "R"),
        ("AUDIO_", quvo.AudioProperty, ""), ("TV_", quvo.TvStandard, ""), ("CHANNEL_", quvo.Channel, ""),
        ("OUTPUT_", quvo.Output, ""), ("PROCAMP_", quvo.ProcAmp, ""), ("WM_DEVICE_EVENT", None, "DEVICE_EVENT_MESSAGE"),
    ]
    for name, text in defines.items():
        prefix, group, lead = next(g for g in groups if name.startswith(g[0]))
        value = getattr(quvo, lead) if group is None else group[lead + name[len(prefix):]]
        assert int(value) == int(text, 0), name
    assert {r.c_name for r in quvo.Result} == {"QUVO_" + n for n in defines if n.split("_")[0] in
                                               ("SUCCESS", "INFO", "WARN", "ERR")}


def test_only_the_error_severity_raises_and_names_its_code():
    for result in quvo.Result:
        if result.severity == quvo.Severity.ERROR:
            with pytest.raises(quvo.QuvoError, match=f"QuvoX failed: {result.c_name}") as raised:
                quvo.check("QuvoX", result)
            assert raised.value.result is result
        else:
            assert quvo.check("QuvoX", result) is result
    with pytest.raises(quvo.QuvoError, match="unknown code 0xC0000099"):
        quvo.check("QuvoX", 0xC0000099)
    assert quvo.check("QuvoX", 0x40000077) == 0x40000077


def test_every_export_answers_before_initialization():
    sdk = _native.libraries().sdk
    decoders = ["{2BE4D120-6F2E-4B3A-B0BD-E880917238DC}", "{2BE4D130-6F2E-4B3A-B0BD-E880917238DC}",
                "{2BE4D140-6F2E-4B3A-B0BD-E880917238DC}"]  # the stand-in decoders: later opens still find them
    no_device = {"QuvoGetSDKVersion": 0, "QuvoSetDebugLevel": 0, "QuvoSetDebugTarget": 0, "QuvoSetFilters": 0,
                 "QuvoGetSupportedInputChannels": 0}
    for name in ("QuvoEnableVCRSource", "QuvoDisableVCRSource", "QuvoEnableAnalogVideoDecoder",
                 "QuvoDisableAnalogVideoDecoder", "QuvoSetOutputChannel", "QuvoGetCurrentOutputChannel"):
        no_device[name] = quvo.Result.ERR_NOT_SUPPORTED
    for name in ("QuvoGetPlaybackCurrentPos", "QuvoGetPlaybackFileDuration", "QuvoSetPlaybackCurrentPos"):
        no_device[name] = quvo.Result.ERR_NOT_IMPLEMENTED
    for name, argtypes in _native.SDK_PROTOTYPES.items():
        if name in ("QuvoInitialize", "QuvoUninitialize"):
            continue  # opening and closing: every Device test
        args = []
        for index, t in enumerate(argtypes):
            if t is P(records.Guid):
                args.append(ctypes.byref(records.Guid.parse(decoders[index])))
            elif t is P(ctypes.c_uint16):
                args.append((ctypes.c_uint16 * 64)())
            elif issubclass(t, ctypes._Pointer):
                args.append(ctypes.byref(t._type_()))
            else:  # the log keeps its level (1) and stays off
                args.append({ctypes.c_char_p: b"x.mpg", ctypes.c_void_p: None}.get(t, int(name == "QuvoSetDebugLevel")))
        assert getattr(sdk, name)(*args) == no_device.get(name, quvo.Result.ERR_DEVICE_NOT_FOUND), name


def test_an_x11_window_without_a_display_is_an_error(monkeypatch):
    monkeypatch.delenv("DISPLAY", raising=False)
    with pytest.raises(OSError, match="no X display"):
        quvo.Window(x11_window=0x200001)
    with pytest.raises(ValueError):
        quvo.Window(on_frame=lambda frame: None, x11_window=0x200001)
