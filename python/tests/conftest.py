"""Shared fixtures: simulated printers on pseudo-terminals, registered as COM numbers.

The simulator is ZAREL_SIM, else the default build's build/default/sim/zarel-sim. The library is
found as the package finds it; set ZARELCOM_LIBRARY to test another.
"""

from __future__ import annotations

import itertools
import os
import signal
import subprocess
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Iterator

import pytest

ROOT = Path(__file__).resolve().parents[2]
SIMULATOR = Path(os.environ.get("ZAREL_SIM", ROOT / "build/default/sim/zarel-sim"))
_numbers = itertools.count(200)


@dataclass
class SimulatedPrinter:
    com: int
    device: str
    state: Path

    def logo(self, slot: int) -> bytes:
        """The logo the printer holds in `slot`, as it stored it."""
        return (self.state / "logos" / f"LOGO{slot:02d}.BMP").read_bytes()


@pytest.fixture(scope="session")
def port_directory(tmp_path_factory: pytest.TempPathFactory) -> Path:
    directory = tmp_path_factory.mktemp("ports")
    os.environ["ZARELCOM_PORT_DIR"] = str(directory)
    return directory


@pytest.fixture
def start_printer(port_directory: Path, tmp_path: Path) -> Iterator[Callable[..., SimulatedPrinter]]:
    """Starts a simulated printer with the simulator's options given; stopped after the test."""
    running: list[subprocess.Popen[str]] = []

    def start(*options: str) -> SimulatedPrinter:
        com = next(_numbers)
        state = tmp_path / f"printer{com}"
        process = subprocess.Popen(
            [str(SIMULATOR), "--com", str(com), "--state", str(state), "--reboot-ms", "50", *options],
            stdout=subprocess.PIPE,
            text=True,
            env={**os.environ, "ZARELCOM_PORT_DIR": str(port_directory)},
        )
        running.append(process)
        assert process.stdout is not None
        device = process.stdout.readline().strip()
        assert device.startswith("/dev/"), f"the simulator did not start: {device!r}"
        return SimulatedPrinter(com, device, state)

    yield start
    for process in running:
        process.send_signal(signal.SIGTERM)
        process.wait(timeout=10)


@pytest.fixture
def printer_com(start_printer: Callable[..., SimulatedPrinter]) -> SimulatedPrinter:
    """One simulated printer at 19200 bit/s."""
    return start_printer()


def write_logo(path: Path, width: int, height: int) -> bytes:
    """A logo file with a diagonal, its bytes."""
    import zarelcom

    logo = zarelcom.Logo(width, height)
    for i in range(min(width, height)):
        logo[i, i] = True
    logo.write(path)
    return path.read_bytes()
