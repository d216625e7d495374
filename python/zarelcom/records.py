"""The values the printer reports and takes, as Python types."""

from __future__ import annotations

import datetime
from dataclasses import dataclass
from typing import Optional

# The printer's facts as the library's header gives them (ZC_BLOCK_SIZE, ZC_LOGO_MAX_BYTES,
# ZC_LOGO_SLOTS, ZC_SEARCH_RATES); the package's tests hold them to the header.
BLOCK_SIZE = 512
LOGO_SLOT_BYTES = 16000  # a logo file longer than this does not fit a logo slot
LOGO_SLOTS = 50
SEARCH_RATE_ORDINALS = (6, 8, 9, 11, 12)

# The computer side's line rates in bit/s, in the order of the library's rate ordinals.
PORT_RATES = (110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000)
# The printer's own line rates, in the order of its rate list (what the printer search reports).
PRINTER_RATES = tuple(PORT_RATES[ordinal] for ordinal in SEARCH_RATE_ORDINALS)


@dataclass(frozen=True)
class SystemInfo:
    """The printer's system information.

    `firmware` is the firmware version times 100 (312 is V3.12); `reference_month_day` is the
    reference date's month times 31 plus its day, as the printer keeps it.
    """

    serial_number: int
    model: int
    firmware: int
    reference_year: int
    reference_month_day: int

    @property
    def firmware_text(self) -> str:
        """The firmware version as the printer's display shows it, e.g. "V3.12"."""
        return f"V{self.firmware // 100}.{self.firmware % 100:02d}"

    @property
    def reference_date(self) -> Optional[datetime.date]:
        """The reference date, or None when the printer's value is not a date."""
        month, day = divmod(self.reference_month_day - 1, 31)
        try:
            return datetime.date(self.reference_year, month, day + 1)
        except ValueError:
            return None


@dataclass(frozen=True)
class Shift:
    """One of the printer's five shifts: its one-character code and when it starts."""

    code: str
    start: datetime.time


@dataclass(frozen=True)
class Counter:
    """A printer counter: its number, its three values and whether it counts."""

    number: int
    values: tuple[int, int, int]
    on: bool


@dataclass(frozen=True)
class Encoder:
    """The encoder's two values (what `Printer.set_encoder` sets) and its status byte."""

    values: tuple[int, int]
    status: int


@dataclass(frozen=True)
class Languages:
    """The printer's display languages and the number of the one in use (`Printer.set_language`)."""

    names: list[str]
    current: int


@dataclass(frozen=True)
class PortInfo:
    """A serial port of this machine, as the library lists it.

    `number` is the COM number `Printer` takes; `device` the device it resolves to; `by_id` its
    stable name, `description` and `serial_number` what USB reports ("" when unknown);
    `usb_vendor` and `usb_product` the USB ids (None when unknown).
    """

    number: int
    device: str
    by_id: str
    description: str
    serial_number: str
    usb_vendor: Optional[int]
    usb_product: Optional[int]
