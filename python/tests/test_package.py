"""The package as users meet it: finding the library, the command line, installing with pip."""

from __future__ import annotations

import ctypes.util
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

import pytest
from conftest import SimulatedPrinter, write_logo

import zarelcom
from zarelcom import _library, records

PACKAGE_ROOT = Path(__file__).resolve().parents[1]


def run(*arguments: str) -> subprocess.CompletedProcess[str]:
    # Run away from the sources, so that the package under test is the one imported here.
    here = Path(zarelcom.__file__).resolve().parents[1]
    return subprocess.run(
        [sys.executable, *arguments], cwd=here, capture_output=True, text=True, timeout=120,
        env={**os.environ, "PYTHONPATH": str(here)},
    )  # fmt: skip


def test_a_missing_library_names_every_place_tried(monkeypatch: pytest.MonkeyPatch) -> None:
    monkeypatch.setattr(_library, "_FILE_NAMES", ("libzarelcom-absent.so.1",))
    monkeypatch.setattr(ctypes.util, "find_library", lambda name: None)
    monkeypatch.setenv("ZARELCOM_LIBRARY", "/nowhere/libzarelcom.so.1")
    with pytest.raises(zarelcom.ZarelcomError) as raised:
        _library._load()
    message = str(raised.value)
    for tried in ("libzarelcom-absent.so.1", "the system's libraries (none found)", "/nowhere/libzarelcom.so.1"):
        assert tried in message


def test_command_line_info_and_send_logo(printer_com: SimulatedPrinter, tmp_path: Path) -> None:
    info = run("-m", "zarelcom", "--port", str(printer_com.com), "info")
    assert info.returncode == 0, info.stderr
    assert "ZAREL HP MODEL 230 V3.12" in info.stdout and "serial number 20260001" in info.stdout
    write_logo(tmp_path / "logo.bmp", 64, 25)
    sent = run("-m", "zarelcom", "--port", printer_com.device, "send-logo", str(tmp_path / "logo.bmp"))
    assert (sent.returncode, sent.stdout) == (0, "logo stored in slot 1\n"), sent.stderr
    assert "100%" in sent.stderr
    example = run(str(PACKAGE_ROOT.parent / "examples" / "send_logo.py"), str(printer_com.com), str(tmp_path / "logo.bmp"))
    assert example.stdout.startswith("ZAREL HP MODEL 230 V3.12, serial number 20260001\n"), example.stderr
    assert example.stdout.endswith("100%512 / 262 Bytes\nlogo stored in slot 2\n")
    refused = run("-m", "zarelcom", "--port", str(printer_com.com), "send-logo", "--slot", "51", str(tmp_path / "logo.bmp"))
    assert refused.returncode == 1 and "error code 5" in refused.stderr


def test_pip_installs_a_typed_package(tmp_path: Path) -> None:
    # As the README says: a virtual environment that sees Debian's packages, pip without an index.
    source = tmp_path / "source"  # a copy: the build leaves its work files beside the sources
    shutil.copytree(PACKAGE_ROOT, source, ignore=shutil.ignore_patterns("tests", "build", "*.egg-info", "__pycache__"))
    environment = tmp_path / "env"
    subprocess.run(["/usr/bin/python3", "-m", "venv", "--system-site-packages", str(environment)], check=True, timeout=120)
    python = str(environment / "bin" / "python3")
    installed = subprocess.run(
        [python, "-m", "pip", "install", "--no-index", "--no-build-isolation", str(source)],
        capture_output=True, text=True, timeout=300, cwd=tmp_path,
    )  # fmt: skip
    assert installed.returncode == 0, installed.stdout + installed.stderr
    shown = subprocess.run(
        [python, "-c", "import zarelcom, pathlib; p = pathlib.Path(zarelcom.__file__).parent; "
         "print((p / 'py.typed').exists(), zarelcom.Printer.__doc__.splitlines()[0])"],
        capture_output=True, text=True, cwd=tmp_path, env={k: v for k, v in os.environ.items() if k != "PYTHONPATH"},
    )  # fmt: skip
    assert shown.stdout == "True A Zarel HP printer on a serial port, driven over a link of its own.\n", shown.stderr


def test_the_printers_facts_are_the_headers() -> None:
    header = (PACKAGE_ROOT.parent / "zarelcom" / "include" / "zarelcom" / "zarelcom.h").read_text()
    header = header.replace("\\\n", " ")
    defined = dict(re.findall(r"^#define (ZC_\w+) (.+?)(?:\s+/\*.*)?$", header, re.MULTILINE))
    names = re.findall(r"^\s+(ZC_BR\d+)(?: = 0)?,?$", header, re.MULTILINE)
    ordinals = {name: index for index, name in enumerate(names)}
    assert int(defined["ZC_BLOCK_SIZE"]) == records.BLOCK_SIZE
    assert int(defined["ZC_LOGO_MAX_BYTES"]) == records.LOGO_SLOT_BYTES
    assert int(defined["ZC_LOGO_SLOTS"]) == records.LOGO_SLOTS
    search = re.findall(r"ZC_BR\d+", defined["ZC_SEARCH_RATES"])
    assert tuple(ordinals[name] for name in search) == records.SEARCH_RATE_ORDINALS
    assert [int(name[5:]) for name in names] == list(records.PORT_RATES)
