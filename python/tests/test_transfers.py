"""Transfers against simulated printers: progress, round trips through the printer, threads."""

from __future__ import annotations

import errno
import resource
import signal
import threading
from pathlib import Path
from typing import Callable

import pytest
from conftest import SimulatedPrinter, write_logo

import zarelcom
from zarelcom import Printer


def padded(data: bytes) -> bytes:
    """What a fetch gives back: whole blocks of 512 bytes."""
    return data + bytes(-len(data) % 512)


def test_send_logo_into_a_free_slot_and_back(printer_com: SimulatedPrinter, tmp_path: Path) -> None:
    sent = write_logo(tmp_path / "logo.bmp", 200, 50)  # 1462 bytes: three blocks
    calls: list[tuple[int, int, str]] = []
    with Printer(printer_com.com) as printer:
        assert printer.send_logo(tmp_path / "logo.bmp", progress=lambda d, t, line: calls.append((d, t, line))) == 1
        assert printer.send_logo(str(tmp_path / "logo.bmp"), slot=7) == 7
        assert printer.free_logo_slot() == 2
        printer.backup_logo(7, tmp_path / "back.bmp")
    assert printer_com.logo(1) == printer_com.logo(7) == sent
    assert (tmp_path / "back.bmp").read_bytes() == padded(sent)
    assert zarelcom.Logo.from_bmp((tmp_path / "back.bmp").read_bytes()) == zarelcom.Logo.read(tmp_path / "logo.bmp")
    name = str(tmp_path / "logo.bmp")
    assert calls == [
        (512, 1462, f"{name}  35% 512 / 1462 Bytes"),
        (1024, 1462, f"{name}  70% 1024 / 1462 Bytes"),
        (1462, 1462, f"{name}  100%1536 / 1462 Bytes"),
    ]


def test_file_transfers_round_trip(printer_com: SimulatedPrinter, tmp_path: Path) -> None:
    data = bytes(range(256)) * 5
    (tmp_path / "data.bin").write_bytes(data)
    seen: list[int] = []
    progress = lambda done, total, line: seen.append(done)  # noqa: E731
    with Printer(printer_com.com) as printer:
        printer.send_file(tmp_path / "data.bin", progress=progress)
        printer.fetch_file("data.bin", tmp_path / "own-name.bin", progress=progress)
        printer.send_file(tmp_path / "data.bin", "OTHER.DAT")
        printer.fetch_file(b"OTHER.DAT", tmp_path / "other.bin")
        printer.send_bitmap(tmp_path / "data.bin")
        printer.fetch_file("bmp\\data.bin", tmp_path / "bitmap.bin")
        printer.load_message(3, b"\x10\x20")
        printer.backup_message(3, tmp_path / "msg3")
        printer.restore_message(tmp_path / "msg3", 4)
        printer.backup_message(4, tmp_path / "msg4")
        printer.fetch_message_names(tmp_path / "names.txt")
        printer.send_parameters(tmp_path / "data.bin")
        printer.fetch_parameters(tmp_path / "params.bin")
        printer.fetch_screen(tmp_path / "screen.bmp")
        printer.print_image(tmp_path / "data.bin", 1)
        printer.update(tmp_path / "data.bin")
    for fetched in ("own-name.bin", "other.bin", "bitmap.bin", "params.bin"):
        assert (tmp_path / fetched).read_bytes() == padded(data), fetched
    assert (tmp_path / "msg4").read_bytes() == (tmp_path / "msg3").read_bytes() == padded(b"\x10\x20")
    assert b"003 MSG003\r\n004 MSG004\r\n" in (tmp_path / "names.txt").read_bytes()
    assert zarelcom.Logo.from_bmp((tmp_path / "screen.bmp").read_bytes()).width == 128
    assert seen == [512, 1024, 1280] * 2


def test_a_fetch_that_fails_on_this_computer_says_so(printer_com: SimulatedPrinter, tmp_path: Path) -> None:
    (tmp_path / "data.bin").write_bytes(bytes(3000))
    with Printer(printer_com.com) as printer:
        printer.send_file(tmp_path / "data.bin")
        # A file-size limit stands in for a full disk: writes past it fail with EFBIG.
        limits = resource.getrlimit(resource.RLIMIT_FSIZE)
        previous = signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (1024, limits[1]))
        try:
            with pytest.raises(zarelcom.LocalFileError) as failure:
                printer.fetch_file("data.bin", tmp_path / "fetched.bin")
        finally:
            resource.setrlimit(resource.RLIMIT_FSIZE, limits)
            signal.signal(signal.SIGXFSZ, previous)
    assert failure.value.errno == errno.EFBIG
    assert str(tmp_path / "fetched.bin") in str(failure.value)
    assert not (tmp_path / "fetched.bin").exists()


def test_what_is_refused_before_anything_is_sent(printer_com: SimulatedPrinter, tmp_path: Path) -> None:
    write_logo(tmp_path / "wide.bmp", 2560, 50)  # 16062 bytes
    with Printer(printer_com.com) as printer:
        with pytest.raises(zarelcom.ZarelcomError, match="16062 bytes"):
            printer.send_logo(tmp_path / "wide.bmp")
        with pytest.raises(FileNotFoundError):
            printer.send_logo(tmp_path / "missing.bmp")
        with pytest.raises(zarelcom.ZarelcomError, match="not a regular file"):
            printer.send_file(tmp_path)
        with pytest.raises(ValueError, match="251"):
            printer.set_user_string(1, b"x" * 252)
        assert printer.free_logo_slot() == 1


def test_a_failing_progress_callable_ends_in_its_own_exception(printer_com: SimulatedPrinter, tmp_path: Path) -> None:
    write_logo(tmp_path / "logo.bmp", 200, 50)

    def refuse(done: int, total: int, line: str) -> None:
        raise KeyboardInterrupt("stop")

    with Printer(printer_com.com) as printer:
        with pytest.raises(KeyboardInterrupt):
            printer.send_logo(tmp_path / "logo.bmp", 4, progress=refuse)
        assert printer.send_logo(tmp_path / "logo.bmp", 4) == 4


def test_two_printers_from_two_threads(start_printer: Callable[..., SimulatedPrinter], tmp_path: Path) -> None:
    printers = [start_printer(), start_printer()]
    logos = [write_logo(tmp_path / f"logo{i}.bmp", 64 + 64 * i, 50) for i in range(2)]
    lines: list[list[str]] = [[], []]
    failures: list[BaseException] = []

    def drive(i: int) -> None:
        try:
            with Printer(printers[i].com) as printer:
                for _ in range(3):
                    slot = printer.send_logo(tmp_path / f"logo{i}.bmp", progress=lambda d, t, line: lines[i].append(line))
                    printer.backup_logo(slot, tmp_path / f"back{i}-{slot}.bmp")
                    assert printer.system_info().model == 230
        except BaseException as error:
            failures.append(error)

    threads = [threading.Thread(target=drive, args=(i,)) for i in range(2)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert failures == []
    for i in range(2):
        assert [printers[i].logo(slot) for slot in (1, 2, 3)] == [logos[i]] * 3
        assert all(line.startswith(str(tmp_path / f"logo{i}.bmp")) for line in lines[i])
        assert (tmp_path / f"back{i}-3.bmp").read_bytes() == padded(logos[i])
