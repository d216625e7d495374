"""python3 -m zarelcom: a small command line that shows the package at work.

    python3 -m zarelcom [--port N|DEVICE] [--baud RATE] info
    python3 -m zarelcom [--port N|DEVICE] [--baud RATE] send-logo FILE [--slot N]
    python3 -m zarelcom ports
"""

from __future__ import annotations

import argparse
import re
import sys
from typing import Callable, Optional, Sequence, Union

from . import PRINTER_RATES, Printer, ZarelcomError, ports
from ._checks import COM_NUMBER, LOGO_SLOT, Range, whole


def _port(text: str) -> Union[int, str]:
    if not text:
        raise argparse.ArgumentTypeError("give a COM number or a device path, not an empty word")
    if re.fullmatch(r"[-+]?\d+", text):
        return _number(COM_NUMBER, "the COM number")(text)
    return text


def _number(bounds: Range, what: str) -> Callable[[str], int]:
    def parse(text: str) -> int:
        if not re.fullmatch(r"[-+]?\d+", text):
            raise argparse.ArgumentTypeError(f"{what} is a number, not {text!r}")
        try:
            return whole(int(text), what, bounds)
        except ValueError as error:
            raise argparse.ArgumentTypeError(str(error)) from None

    return parse


def _parser() -> argparse.ArgumentParser:
    parser = argparse.ArgumentParser(prog="python3 -m zarelcom", description="Drive a Zarel HP printer.")
    parser.add_argument("--port", type=_port, default=1, help="COM number or device path (default 1)")
    parser.add_argument(
        "--baud", type=int, choices=PRINTER_RATES, default=19200, help="line rate in bit/s (default 19200)"
    )
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser("info", help="show the printer's system information")
    send = commands.add_parser("send-logo", help="send a logo file into a logo slot")
    send.add_argument("file", help="a one-bit logo bitmap")
    send.add_argument("--slot", type=_number(LOGO_SLOT, "the slot"), help="the slot, 1-50 (default: a free one)")
    commands.add_parser("ports", help="list this machine's serial ports")
    return parser


def main(argv: Optional[Sequence[str]] = None) -> int:
    """Runs the command line; returns the exit status (0 done, 1 failed, 2 usage)."""
    arguments = _parser().parse_args(argv)
    try:
        if arguments.command == "ports":
            for port in ports():
                print(f"COM{port.number}  {port.device}  {port.by_id or port.description}".rstrip())
            return 0
        with Printer(arguments.port, arguments.baud) as printer:
            if arguments.command == "info":
                info = printer.system_info()
                print(f"ZAREL HP MODEL {info.model} {info.firmware_text}")
                print(f"serial number {info.serial_number}, reference date {info.reference_date}")
                print(f"printer clock {printer.clock()}, printing {'on' if printer.printing() else 'off'}")
            else:
                def show(done: int, total: int, line: str) -> None:
                    print(f"  {line}", file=sys.stderr)

                slot = printer.send_logo(arguments.file, arguments.slot, progress=show)
                print(f"logo stored in slot {slot}")
    except (ZarelcomError, OSError) as error:
        print(f"zarelcom: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
