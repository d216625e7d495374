"""Every query, setting and action of a Printer against a simulated printer, and their failures."""

from __future__ import annotations

import datetime
import errno
import os
from pathlib import Path
from typing import Any, Callable

import pytest
from conftest import SimulatedPrinter, write_logo

import zarelcom
from zarelcom import Counter, Printer, PrinterError, Shift, SystemInfo

# The simulated printer's state when it starts.
QUERIES: list[tuple[str, tuple[Any, ...], Any]] = [
    ("system_info", (), SystemInfo(20260001, 230, 312, 2025, 201)),
    ("printer_type", (), 2),
    ("printing", (), False),
    ("free_logo_slot", (), 1),
    ("free_disk_space", (), 8 * 1024 * 1024),
    ("max_messages", (), 100),
    ("backup_restore_register", (), 0),
    ("encoder", (), zarelcom.Encoder((2500, 100), 0)),
    ("message_delay", (3,), 0),
    ("languages", (), zarelcom.Languages(["English", "Chinese", "Deutsch"], 0)),
    ("product_counter", (), "0"),
    ("date_format", (), "YYYY/MM/DD"),
    ("date_format_codes", (), bytes([0, 0, 0, 0, 4, 5, 6, 7, 8, 9])),
    ("user_string", (7,), b""),
    ("shifts", (), [None] * 5),
]


@pytest.fixture
def printer(printer_com: SimulatedPrinter) -> Any:
    with Printer(printer_com.com) as printer:
        yield printer


def test_queries_report_the_printer_state(printer: Printer) -> None:
    for method, arguments, expected in QUERIES:
        assert getattr(printer, method)(*arguments) == expected, method
    assert printer.system_data().startswith(b"ZAREL HP 230 FW 3.12\0")
    assert printer.system_info().firmware_text == "V3.12"
    assert printer.system_info().reference_date == datetime.date(2025, 6, 15)
    assert abs(printer.clock() - datetime.datetime.now(datetime.timezone.utc).replace(tzinfo=None)).total_seconds() < 60
    for method in ("ink_status", "measure", "message_number", "conveyor", "year_code", "roll_hour"):
        getattr(printer, method)()
    for method, arguments in (("query_head_config", (1,)), ("query_task", ()), ("query_task_config", ())):
        assert getattr(printer, method)(*arguments) is None


# (setter, its arguments, getter, its arguments, what the getter then reports)
SETTINGS: list[tuple[str, tuple[Any, ...], str, tuple[Any, ...], Any]] = [
    ("set_measure", (1,), "measure", (), 1),
    ("set_message_number", (12,), "message_number", (), 12),
    ("set_conveyor", (-70000,), "conveyor", (), -70000),
    ("set_encoder", (3000, 7), "encoder", (), zarelcom.Encoder((3000, 7), 0)),
    ("set_encoder_status", (5,), "encoder", (), zarelcom.Encoder((3000, 7), 5)),
    ("set_message_delay", (4, 250), "message_delay", (4,), 250),
    ("set_language", (2,), "languages", (), zarelcom.Languages(["English", "Chinese", "Deutsch"], 2)),
    ("set_year_code", (26,), "year_code", (), 26),
    ("set_roll_hour", (datetime.time(6, 30),), "roll_hour", (), datetime.time(6, 30)),
    (
        "set_shifts",
        ([Shift("A", datetime.time(6)), None, Shift("C", datetime.time(22, 15))],),
        "shifts",
        (),
        [Shift("A", datetime.time(6)), None, Shift("C", datetime.time(22, 15)), None, None],
    ),
    ("set_counter", (Counter(3, (1, -2, 300000), True), 9), "counter", (3, 9), Counter(3, (1, -2, 300000), True)),
    ("set_date_format", (bytes([11, 12, 13, 14, 15]),), "date_format", (), "hh:mm"),
    ("set_user_string", (7, "Lot 42"), "user_string", (7,), b"Lot 42"),
    ("print_on", (), "printing", (), True),
    ("print_off", (), "printing", (), False),
    ("print_on", (), "printing", (), True),
    ("stop_task", (), "printing", (), False),
    ("clear_product_counter", (), "product_counter", (), "0"),
    ("increment_product_counter", (), "product_counter", (), "1"),
    ("increment_product_counter", (), "product_counter", (), "2"),
    ("take_back_product_counter", (), "product_counter", (), "1"),
    ("preset_product_counter", (), "product_counter", (), "0"),
    ("load_message", (5, b"\x01\x02\xfe"), "backup_restore_register", (), 0),
]


def test_settings_are_read_back(printer: Printer) -> None:
    for setter, arguments, getter, getter_arguments, expected in SETTINGS:
        getattr(printer, setter)(*arguments)
        assert getattr(printer, getter)(*getter_arguments) == expected, setter


def test_clock_head_task_and_restart(printer: Printer) -> None:
    printer.set_clock(datetime.datetime(2027, 2, 28, 23, 59, 30))
    assert datetime.timedelta(0) <= printer.clock() - datetime.datetime(2027, 2, 28, 23, 59, 30) < datetime.timedelta(minutes=1)
    for method, arguments in [
        ("set_head_config", (1, b"\x10\x20")),
        ("set_head_parameters", (1, b"\x01\x02\x03\x04")),
        ("set_head_dpi", (1, 180)),
        ("set_task", (2,)),
        ("set_task_config", (1,)),
        ("reboot", ()),
    ]:
        assert getattr(printer, method)(*arguments) is None, method
    assert printer.system_info().model == 230  # back after the restart


def test_line_rate_of_both_sides(printer: Printer) -> None:
    printer.set_printer_baud(38400)
    assert printer.baud == 38400 and printer.printer_type() == 2
    printer.set_port_baud(19200)
    with pytest.raises(PrinterError):
        printer.printer_type()  # the printer no longer understands the port
    printer.set_port_baud(38400)
    assert printer.printer_type() == 2
    with pytest.raises(ValueError, match="57600"):
        printer.set_printer_baud(14400)


def test_terminal_mode_and_its_announcements(printer: Printer, tmp_path: Path) -> None:
    file = tmp_path / "LOGO.BMP"
    file.write_bytes(b"x" * 100)
    printer.terminal_mode()
    printer.terminal_command("HELP")
    printer.announce_logo(file, 5)
    printer.announce_file(file)
    printer.announce_update(file)
    printer.announce_parameter_upload()
    printer.packet_mode()
    assert printer.printer_type() == 2


ERRORS: list[tuple[Callable[[Printer], object], str, int]] = [
    (lambda p: p.set_language(9), "SetLang", 5),
    (lambda p: p.set_message_number(100), "SetMessageNo", 5),
    (lambda p: p.counter(10), "GetCounter", 5),
    (lambda p: p.backup_logo(50, "/tmp/never-written.bmp"), "BackUpLogo", 9),
    (lambda p: p.fetch_file("NOFILE.TXT", "/tmp/never-written.txt"), "StxUpLoadFile", 9),
]


def test_refusals_raise_with_the_printer_code(printer: Printer) -> None:
    for call, export, code in ERRORS:
        with pytest.raises(PrinterError) as raised:
            call(printer)
        assert (raised.value.export, raised.value.code) == (export, code)
        assert raised.value.meaning and str(code) in str(raised.value)


# Numbers outside what their argument takes, which ctypes would cut to another value.
OUT_OF_RANGE: list[tuple[Callable[[Printer, Path], object], str]] = [
    (lambda p, logo: p.set_user_string(256, "x"), "number must be from 0 to 255, not 256"),
    (lambda p, logo: p.set_user_string(-1, "x"), "number must be from 0 to 255, not -1"),
    (lambda p, logo: p.user_string(256), "number must be from 0 to 255"),
    (lambda p, logo: p.send_logo(logo, 2**32 + 3), "slot must be from 1 to 50"),
    (lambda p, logo: p.send_logo(logo, 0), "slot must be from 1 to 50, not 0"),
    (lambda p, logo: p.send_logo(logo, -1), "slot must be from 1 to 50, not -1"),
    (lambda p, logo: p.send_logo(logo, 51), "slot must be from 1 to 50, not 51"),
    (lambda p, logo: p.backup_logo(65539, logo), "slot must be from 1 to 50"),
    (lambda p, logo: p.set_measure(256), "measure must be from 0 to 255"),
    (lambda p, logo: p.set_message_number(256), "message must be from 0 to 255"),
    (lambda p, logo: p.set_language(-1), "language must be from 0 to 255"),
    (lambda p, logo: p.set_encoder_status(256), "status must be from 0 to 255"),
    (lambda p, logo: p.set_conveyor(2**31), "value must be from -2147483648 to 2147483647"),
    (lambda p, logo: p.set_head_dpi(1, 300), "dpi must be from 0 to 255"),
    (lambda p, logo: p.set_head_config(256, b"\x01\x02"), "head must be from 0 to 255"),
    (lambda p, logo: p.set_date_format([1, 256]), "each of codes must be from 0 to 255"),
    (lambda p, logo: p.counter(256), "number must be from 0 to 255"),
    (lambda p, logo: p.set_counter(Counter(1, (2**31, 0, 0), True)), "each counter value must be from"),
    (lambda p, logo: p.restore_message(logo, 65536), "message must be from 0 to 65535"),
    (lambda p, logo: p.load_message(256, b"\x01"), "message must be from 0 to 255"),
    (lambda p, logo: p.print_image(logo, 256), "option must be from 0 to 255"),
    (lambda p, logo: p.set_year_code(65536), "year must be from -32768 to 65535"),
    (lambda p, logo: p.send_file(logo, "N" * 25), "1 to 24 bytes, not 25"),
    (lambda p, logo: Printer(2**32 + 5), "COM number must be from 1 to 255"),
    (lambda p, logo: Printer.search([0]), "each COM number must be from 1 to 255, not 0"),
]


def test_numbers_out_of_range_never_reach_the_printer(printer: Printer, tmp_path: Path) -> None:
    logo = tmp_path / "logo.bmp"
    write_logo(logo, 16, 8)
    for call, complaint in OUT_OF_RANGE:
        with pytest.raises(ValueError, match=complaint):
            call(printer, logo)
    assert (printer.user_string(0), printer.user_string(255), printer.free_logo_slot()) == (b"", b"", 1)


def test_a_silent_printer_is_a_timeout_and_a_repeated_refusal_keeps_its_code(
    start_printer: Callable[..., SimulatedPrinter],
) -> None:
    with Printer(start_printer("--fault", "silence").com) as printer:
        with pytest.raises(zarelcom.PrinterTimeout, match="the printer did not answer") as silent:
            printer.system_info()
    assert (silent.value.export, silent.value.code) == ("GetSysInfo", None)
    assert isinstance(silent.value, PrinterError)
    with Printer(start_printer().com) as printer:
        for _ in range(2):
            with pytest.raises(PrinterError, match="error code 5, printer error 5") as refused:
                printer.set_language(9)
            assert not isinstance(refused.value, zarelcom.PrinterTimeout)


@pytest.mark.parametrize(
    "fault, call, export, code",
    [
        ("error:7@B", lambda p, logo: p.system_info(), "GetSysInfo", 7),
        ("wrongcode@|", lambda p, logo: p.send_logo(logo, 3), "StxSendLogo", 200),
    ],
)
def test_a_fault_reaches_the_caller(
    start_printer: Callable[..., SimulatedPrinter], tmp_path: Path, fault: str, call: Any, export: str, code: int
) -> None:
    logo = tmp_path / "logo.bmp"
    write_logo(logo, 16, 8)
    with Printer(start_printer("--fault", fault).com) as printer:
        with pytest.raises(PrinterError) as raised:
            call(printer, logo)
    assert (raised.value.export, raised.value.code) == (export, code)


@pytest.mark.parametrize("port, error", [(99, errno.ENOENT), ("/dev/null", errno.ENOTTY), ("/nonexistent/tty", errno.ENOENT)])
def test_a_port_that_does_not_open(port_directory: Path, port: Any, error: int) -> None:
    with pytest.raises(OSError, match="could not open") as raised:
        Printer(port)
    assert isinstance(raised.value, zarelcom.PortError) and raised.value.errno == error


def test_a_busy_port_names_its_holder(printer_com: SimulatedPrinter) -> None:
    with Printer(printer_com.com):
        with pytest.raises(OSError, match=f"another program holds it: .*, process {os.getpid()}") as raised:
            Printer(printer_com.device)
    assert raised.value.errno == errno.EBUSY


def test_a_closed_printer_refuses_calls(printer_com: SimulatedPrinter) -> None:
    printer = Printer(printer_com.com)
    printer.close()
    printer.close()
    with pytest.raises(zarelcom.ZarelcomError, match="closed"):
        printer.printing()


def test_search_finds_the_port_and_rate(start_printer: Callable[..., SimulatedPrinter]) -> None:
    found = start_printer("--baud", "9600")
    assert Printer.search([found.com]) == (found.com, 9600)
    with Printer(*Printer.search([found.com])) as printer:
        assert printer.printer_type() == 2


def test_ports_lists_the_simulated_printer(printer_com: SimulatedPrinter) -> None:
    listed = {port.number: port for port in zarelcom.ports()}
    assert Path(listed[printer_com.com].device).resolve() == Path(printer_com.device).resolve()
    assert (listed[printer_com.com].vid, listed[printer_com.com].pid) == (None, None)  # no USB


def test_pacing(printer_com: SimulatedPrinter) -> None:
    from zarelcom._library import library

    if library().has("zc_set_pacing"):
        with Printer(printer_com.com, pacing="events") as printer:
            assert printer.printer_type() == 2
    else:
        with pytest.raises(zarelcom.ZarelcomError, match="zc_set_pacing"):
            Printer(printer_com.com, pacing="events")
    with pytest.raises(ValueError, match="events"):
        Printer(printer_com.com, pacing="fast")
