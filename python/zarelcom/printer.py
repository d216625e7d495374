"""The printer: one serial port on a link of its own, every query, setting and transfer."""

from __future__ import annotations

import ctypes
import datetime
import os
import stat
from types import TracebackType
from typing import Iterable, Optional, Sequence, Union

from ._library import PortInfoRecord, SystemInfoRecord, library
from ._link import Link, PathLike, Progress, counted_texts, path_bytes, read_c_bytes
from .errors import PortError, ZarelcomError
from .records import (
    LOGO_SLOT_BYTES,
    LOGO_SLOTS,
    PORT_RATES,
    PRINTER_RATES,
    Counter,
    Encoder,
    Languages,
    PortInfo,
    Shift,
    SystemInfo,
)

# The longest user string the printer keeps.
USER_STRING_BYTES = 251

Port = Union[int, str, "os.PathLike[str]"]
Text = Union[str, bytes]

_PACINGS = {"polled": 0, "events": 1}


def _port_rate_ordinal(rate: int) -> int:
    if rate not in PORT_RATES:
        raise ValueError(f"{rate} bit/s is not a serial rate; use one of {', '.join(map(str, PORT_RATES))}")
    return PORT_RATES.index(rate)


def _as_bytes(text: Text) -> bytes:
    # The printer's texts are one byte a character.
    return text.encode("latin-1") if isinstance(text, str) else bytes(text)


def _readable_file(path: PathLike) -> bytes:
    """The path's bytes, once it is known to name a regular file (else the OSError that tells why)."""
    if not stat.S_ISREG(os.stat(path).st_mode):
        raise ZarelcomError(f"{os.fspath(path)} is not a regular file")
    return path_bytes(path)


class Printer:
    """A Zarel HP printer on a serial port, driven over a link of its own.

    `port` is a COM number (see the README's port mapping) or a device path such as
    "/dev/ttyUSB0"; `baud` the line rate in bit/s. `pacing` chooses how the library waits on the
    line: "polled" (the library's default) or "events" (needs a library that has it).
    The port opens here and closes with `close()` or at the end of a `with` block. Several
    printers may be driven at once, each from its own thread; one printer serves one call at a
    time. Every failure raises: `PrinterError` when the printer refused or did not answer,
    `PortError` when the port refused, `ZarelcomError` for the rest. A progress callable must not
    call its printer; an exception it raises comes out of the transfer when the transfer ends (the
    library cannot stop one midway).
    """

    def __init__(self, port: Port, baud: int = 19200, *, pacing: Optional[str] = None) -> None:
        ordinal = _port_rate_ordinal(baud)
        if pacing is not None and pacing not in _PACINGS:
            raise ValueError(f"pacing is 'polled' or 'events', not {pacing!r}")
        self._link = Link()
        try:
            with self._link.selected() as lib:
                if pacing is not None:
                    if not lib.has("zc_set_pacing"):
                        raise ZarelcomError(
                            f"pacing={pacing!r} needs a library with the pacing choice (zc_set_pacing); "
                            f"{lib.path} has none: install libzarelcom 1.1 or later, or leave pacing out"
                        )
                    lib.zc_set_pacing(_PACINGS[pacing])
                lib.SetBaudRate(ordinal)  # false while closed, but kept for the open below
                if isinstance(port, int):
                    opened, name = lib.OpenComPort(port), f"COM{port}"
                else:
                    name = os.fspath(port)
                    opened = lib.zc_open_port_device(os.fsencode(name))
                if not opened:
                    raise PortError(f"could not open {name} at {baud} bit/s", lib.GetLastPortError().decode())
        except BaseException:
            self._link.close()
            raise
        self._port = port
        self._baud = baud

    def __enter__(self) -> Printer:
        return self

    def __exit__(
        self, kind: Optional[type[BaseException]], error: Optional[BaseException], trace: Optional[TracebackType]
    ) -> None:
        self.close()

    def close(self) -> None:
        """Closes the port; the printer can then no longer be used. Closing twice does nothing."""
        self._link.close()

    @property
    def port(self) -> Port:
        """The port as given when opened."""
        return self._port

    @property
    def baud(self) -> int:
        """The computer side's line rate in bit/s."""
        return self._baud

    @staticmethod
    def search(ports: Iterable[int]) -> tuple[int, int]:
        """Looks for a printer on the COM numbers given, in order, at each of the printer's five
        rates; returns (COM number, rate in bit/s) of the first that answers. The port is closed
        again: open it with `Printer(port, baud)`. A port that opens but where nothing answers
        costs about 30 seconds. Raises PrinterError when none answered."""
        candidates = list(ports)
        if not candidates:
            raise ValueError("give at least one COM number to search")
        record = (ctypes.c_int32 * (len(candidates) + 2))(len(candidates) + 1, *candidates)
        link = Link()
        try:
            link.call("AutoConnect", f"find a printer on COM {', '.join(map(str, candidates))}", record)
        finally:
            link.close()
        return candidates[record[0] - 1], PRINTER_RATES[record[1]]

    # ---- Line rates and link modes ---------------------------------------------------------------

    def set_port_baud(self, rate: int) -> None:
        """Changes the computer side's line rate (bit/s) only, e.g. after the printer was changed."""
        ordinal = _port_rate_ordinal(rate)
        with self._link.selected() as lib:
            # While the port is open only the device can refuse a rate.
            if not lib.SetBaudRate(ordinal):
                raise PortError(f"the port refused {rate} bit/s", lib.GetLastPortError().decode())
        self._baud = rate

    def set_printer_baud(self, rate: int) -> None:
        """Changes the printer's line rate (9600, 19200, 38400, 57600 or 115200 bit/s), then the
        computer side's to match."""
        if rate not in PRINTER_RATES:
            raise ValueError(f"the printer takes {', '.join(map(str, PRINTER_RATES))} bit/s, not {rate}")
        self._link.call("SetZarelBaud", f"set the printer to {rate} bit/s", PRINTER_RATES.index(rate))
        self.set_port_baud(rate)

    def terminal_mode(self) -> None:
        """Switches the printer to terminal mode (waits for its prompt, up to about 100 s)."""
        self._link.call("SetCmdProtocol", "switch the printer to terminal mode")

    def packet_mode(self) -> None:
        """Switches the printer back to packet mode, which every other method needs."""
        self._link.call("SetStxProtocol", "switch the printer to packet mode")

    def terminal_command(self, line: Text) -> None:
        """Types a command line in terminal mode (a carriage return is added when missing) and
        waits for the printer's echo."""
        data = _as_bytes(line)
        data += b"" if data.endswith(b"\r") else b"\r"
        with counted_texts(self._link.library, data) as (text,):
            self._link.call("SendTermCmd", f"type {data!r} in terminal mode", text)

    # ---- Queries ---------------------------------------------------------------------------------

    def printer_type(self) -> int:
        """The printer's type number (0-255)."""
        return int(self._link.call("GetZarelType", "read the printer type", failure=-1))

    def system_info(self) -> SystemInfo:
        """Serial number, model, firmware version and reference date."""
        record = SystemInfoRecord()
        self._link.call("GetSysInfo", "read the system information", ctypes.byref(record))
        return SystemInfo(record.SerialNo, record.ModelNo, record.Version, record.RefYear, record.RefMonthDay)

    def system_data(self) -> bytes:
        """The printer's 64 bytes of system data, as it sends them."""
        data = (ctypes.c_uint8 * 64)()
        self._link.call("GetSysData", "read the system data", data)
        return bytes(data)

    def printing(self) -> bool:
        """Whether the printer prints."""
        return bool(self._link.call("GetPrintStatus", "read the print status", failure=-1))

    def free_logo_slot(self) -> Optional[int]:
        """A free logo slot (1-50), or None when all fifty hold a logo."""
        slot = int(self._link.call("GetFreeLogoNo", "ask for a free logo slot", failure=-1))
        return slot if slot <= LOGO_SLOTS else None

    def free_disk_space(self) -> int:
        """Free bytes in the printer's store."""
        return int(self._link.call("GetFreeDiskSpc", "read the free disk space", failure=0, confirm=True))

    def max_messages(self) -> int:
        """How many messages the printer can hold."""
        return int(self._link.call("GetMaxMsg", "read the message limit", failure=0, confirm=True))

    def ink_status(self) -> int:
        """The ink status byte (its meaning is the printer's)."""
        return int(self._link.call("GetInkStaus", "read the ink status", failure=255, confirm=True))

    def backup_restore_register(self) -> int:
        """The backup/restore register: 1 while a transfer expects blocks, else 0."""
        return int(self._link.call("GetBackUpRestoreReg", "read the backup register", failure=2, confirm=True))

    def measure(self) -> int:
        """The measure setting (0-255)."""
        return int(self._link.call("GetMeasure", "read the measure setting", failure=-1))

    def message_number(self) -> int:
        """The number of the message selected for printing."""
        return int(self._link.call("GetMessageNo", "read the message number", failure=-1))

    def conveyor(self) -> int:
        """The conveyor value."""
        value = ctypes.c_int32()
        self._link.call("GetConveyor", "read the conveyor value", ctypes.byref(value))
        return value.value

    def encoder(self) -> Encoder:
        """The encoder's two values and its status byte."""
        values, status = (ctypes.c_int32 * 2)(), ctypes.c_int32()
        self._link.call("GetEncoder", "read the encoder", values, ctypes.byref(status))
        return Encoder((values[0], values[1]), status.value)

    def message_delay(self, message: int) -> int:
        """The print delay of a message."""
        record = (ctypes.c_int32 * 2)(message, 0)
        self._link.call("GetMsgDelay", f"read the delay of message {message}", record)
        return record[1]

    def languages(self) -> Languages:
        """The printer's display languages and the one in use."""
        lib = self._link.library
        count, current, names = ctypes.c_int32(), ctypes.c_int32(), ctypes.c_void_p()
        self._link.call(
            "GetLang", "read the languages", ctypes.byref(count), ctypes.byref(current), ctypes.byref(names)
        )
        try:
            data = read_c_bytes(names.value, 8 * count.value)
        finally:
            if names.value:
                lib.ReleaseText(names.value)
        entries = [data[i : i + 8].decode("latin-1").rstrip(" \0") for i in range(0, len(data), 8)]
        return Languages(entries, current.value)

    def product_counter(self) -> str:
        """The print-registration counter, as the printer's text."""
        text = self._link.call("GetPRCmd", "read the product counter", failure=None)
        return bytes(text).decode("latin-1")

    def query_head_config(self, head: int) -> None:
        """Asks for a print head's configuration. The library keeps the reply to itself: this
        shows only that the printer answered."""
        self._link.call("GetPHCfg", f"read the configuration of head {head}", head)

    def query_task(self) -> None:
        """Asks for the task number (the library hands out no value: this shows the printer answered)."""
        self._link.call("GetTaskNo", "read the task number")

    def query_task_config(self) -> None:
        """Asks for the task configuration (the library hands out no value)."""
        self._link.call("GetTaskCfg", "read the task configuration")

    # ---- Settings and actions --------------------------------------------------------------------

    def reboot(self) -> None:
        """Restarts the printer (it is deaf for a moment afterwards)."""
        self._link.call("ZarelReboot", "restart the printer")

    def print_on(self) -> None:
        """Starts printing."""
        self._link.call("SetPrintOn", "switch printing on")

    def print_off(self) -> None:
        """Stops printing."""
        self._link.call("SetPrintOff", "switch printing off")

    def stop_task(self) -> None:
        """Stops the running task."""
        self._link.call("StopTask", "stop the task")

    def set_language(self, language: int) -> None:
        """Chooses the display language by its number in `languages()`."""
        self._link.call("SetLang", f"set language {language}", language)

    def set_measure(self, measure: int) -> None:
        """Sets the measure setting."""
        self._link.call("SetMeasure", f"set the measure to {measure}", measure)

    def set_message_number(self, message: int) -> None:
        """Selects the message to print."""
        self._link.call("SetMessageNo", f"select message {message}", message)

    def set_task(self, task: int) -> None:
        """Sets the task number."""
        self._link.call("SetTaskNo", f"set task {task}", task)

    def set_task_config(self, config: int) -> None:
        """Sets the task configuration."""
        self._link.call("SetTaskCfg", f"set the task configuration to {config}", config)

    def set_conveyor(self, value: int) -> None:
        """Sets the conveyor value."""
        self._link.call("SetConveyor", f"set the conveyor to {value}", ctypes.byref(ctypes.c_int32(value)))

    def set_encoder(self, first: int, second: int) -> None:
        """Sets the encoder's two values."""
        self._link.call("SetEncoder", "set the encoder", (ctypes.c_int32 * 2)(first, second))

    def set_encoder_status(self, status: int) -> None:
        """Sets the encoder status byte."""
        self._link.call("SetEncoderStatus", "set the encoder status", ctypes.byref(ctypes.c_uint8(status)))

    def set_message_delay(self, message: int, delay: int) -> None:
        """Sets the print delay of a message."""
        self._link.call("SetMsgDelay", f"set the delay of message {message}", (ctypes.c_int32 * 2)(message, delay))

    def set_head_config(self, head: int, values: bytes) -> None:
        """Sends a print head's two configuration bytes."""
        self._head_bytes("SetPHCfg", head, values, 2)

    def set_head_parameters(self, head: int, values: bytes) -> None:
        """Sends a print head's four parameter bytes."""
        self._head_bytes("SetPHCfgH", head, values, 4)

    def _head_bytes(self, export: str, head: int, values: bytes, count: int) -> None:
        if len(values) != count:
            raise ValueError(f"a head takes {count} bytes here, not {len(values)}")
        cfg = (ctypes.c_uint8 * (count + 1))(head, *values)
        self._link.call(export, f"configure head {head}", cfg)

    def set_head_dpi(self, head: int, dpi: int) -> None:
        """Sets a print head's resolution in dots per inch (sent in one byte)."""
        self._link.call("SetPHDPI", f"set head {head} to {dpi} dpi", dpi, head)

    def clear_product_counter(self) -> None:
        """Clears the print-registration counter."""
        self._link.call("ClearPRCmd", "clear the product counter")

    def preset_product_counter(self) -> None:
        """Loads the print-registration counter's preset."""
        self._link.call("SetPRCmd", "preset the product counter")

    def increment_product_counter(self) -> None:
        """Adds one to the print-registration counter. The library reports only a refusal here,
        not a printer that did not answer."""
        self._link.call("IncPRCmd", "count a product")

    def take_back_product_counter(self) -> None:
        """Takes one back from the print-registration counter."""
        self._link.call("AdjPRCmd", "take back a product")

    # ---- Clock, shifts, counters, date format ----------------------------------------------------

    def clock(self) -> datetime.datetime:
        """The printer's clock."""
        fields = (ctypes.c_int32 * 6)()
        self._link.call("GetSystemClock", "read the clock", fields)
        try:
            return datetime.datetime(*fields)
        except ValueError:
            raise ZarelcomError(f"the printer's clock reads {list(fields)}, which is no date and time") from None

    def set_clock(self, when: datetime.datetime) -> None:
        """Sets the printer's clock (to the fields as given; the printer knows no time zone)."""
        fields = (when.year, when.month, when.day, when.hour, when.minute, when.second)
        self._link.call("SetZarelClock", f"set the clock to {when:%Y-%m-%d %H:%M:%S}", (ctypes.c_int32 * 6)(*fields))

    def year_code(self) -> int:
        """The printer's year code."""
        text = ctypes.c_char_p()
        with self._link.selected():  # the library keeps the text until the next call
            self._link.call("GetCYear", "read the year code", ctypes.byref(text))
            return int(text.value or b"0")

    def set_year_code(self, year: int) -> None:
        """Sets the year code."""
        self._link.call("SetCYear", f"set the year code to {year}", year)

    def roll_hour(self) -> datetime.time:
        """The time of day at which the printer's date rolls over."""
        text = ctypes.c_char_p()
        with self._link.selected():  # the library keeps the text until the next call
            self._link.call("GetRollHour", "read the roll-over hour", ctypes.byref(text))
            hour, minute = (int(part) for part in (text.value or b"00:00").split(b":"))
        return datetime.time(hour, minute)

    def set_roll_hour(self, when: datetime.time) -> None:
        """Sets the roll-over hour (hours and minutes)."""
        self._link.call("SetRollHour", f"set the roll-over hour to {when:%H:%M}", when.hour * 100 + when.minute)

    def shifts(self) -> list[Optional[Shift]]:
        """The five shifts; None for an unused one."""
        groups = (ctypes.c_int8 * 15)()
        self._link.call("GetShift", "read the shifts", groups)
        result: list[Optional[Shift]] = []
        for code, hour, minute in zip(groups[0::3], groups[1::3], groups[2::3]):
            used = code not in (0, ord(" "))
            result.append(Shift(chr(code & 0xFF), datetime.time(hour, minute)) if used else None)
        return result

    def set_shifts(self, shifts: Sequence[Optional[Shift]]) -> None:
        """Sets up to five shifts; missing ones and None are unused."""
        if len(shifts) > 5:
            raise ValueError(f"the printer has five shifts, not {len(shifts)}")
        groups = (ctypes.c_int8 * 15)(*(ord(" "), 0, 0) * 5)
        for g, shift in enumerate(shifts):
            if shift is not None:
                code = _as_bytes(shift.code)
                if len(code) != 1:
                    raise ValueError(f"a shift code is one character, not {shift.code!r}")
                groups[3 * g : 3 * g + 3] = [ctypes.c_int8(code[0]).value, shift.start.hour, shift.start.minute]
        self._link.call("SetZarelShift", "set the shifts", groups)

    def counter(self, number: int, extra: int = 0) -> Counter:
        """Counter `number`; `extra` is the byte the printer takes with every counter request."""
        record = (ctypes.c_int32 * 5)(number)
        self._link.call("GetCounter", f"read counter {number}", record, extra)
        return Counter(record[0], (record[1], record[2], record[3]), bool(record[4]))

    def set_counter(self, counter: Counter, extra: int = 0) -> None:
        """Sets a counter's values and state."""
        record = (ctypes.c_int32 * 5)(counter.number, *counter.values, int(counter.on))
        self._link.call("SetZarelCount", f"set counter {counter.number}", record, extra)

    def date_format(self) -> Optional[str]:
        """The time-and-date print format as a pattern such as "YYYY/MM/DD"; None when the
        printer has none."""
        text = ctypes.c_void_p()
        with self._link.selected():  # the library keeps the text until the next call
            kind = self._link.call("GetTDFormat", "read the date format", ctypes.byref(text), 1)
            return ctypes.string_at(text.value).decode("latin-1") if kind == 1 and text.value else None

    def date_format_codes(self) -> bytes:
        """The time-and-date print format as the printer's codes."""
        text = ctypes.c_void_p()
        with self._link.selected():  # the codes lie in the receive buffer until the next exchange
            kind = self._link.call("GetTDFormat", "read the date format", ctypes.byref(text), 0)
            if kind != 1 or not text.value:
                return b""
            return read_c_bytes(text.value + 1, ctypes.string_at(text.value, 1)[0])

    def set_date_format(self, codes: bytes) -> None:
        """Sets the time-and-date print format from the printer's codes (at most 127)."""
        if len(codes) > 127:
            raise ValueError(f"a date format has at most 127 codes, not {len(codes)}")
        data = (ctypes.c_uint8 * (len(codes) + 1))(len(codes), *codes)
        self._link.call("SetTDFormat", "set the date format", data)

    # ---- User strings and messages ---------------------------------------------------------------

    def user_string(self, number: int) -> bytes:
        """User string `number` (0-255); b"" when it is empty."""
        text = ctypes.c_char_p()
        with self._link.selected():  # the library keeps the text until the next call
            self._link.call("StxGetStringC", f"read user string {number}", number, ctypes.byref(text))
            value = text.value or b""
        return b"" if value == b" Not use this string" else value

    def set_user_string(self, number: int, text: Text) -> None:
        """Writes user string `number` (at most 251 bytes)."""
        data = _as_bytes(text)
        if len(data) > USER_STRING_BYTES:
            raise ValueError(f"a user string holds at most {USER_STRING_BYTES} bytes, not {len(data)}")
        with counted_texts(self._link.library, data) as (counted,):
            self._link.call("StxSdString", f"write user string {number}", counted, number)

    def load_message(self, message: int, data: bytes) -> None:
        """Loads message `message` with the printer's bytes for it (at most 65532)."""
        if len(data) > 65532:
            raise ValueError(f"a message holds at most 65532 bytes, not {len(data)}")
        with counted_texts(self._link.library, data.hex().encode()) as (hex_text,):
            self._link.call("DownLoadMessage", f"load message {message}", message, hex_text)

    # ---- Transfers -------------------------------------------------------------------------------

    def send_logo(self, path: PathLike, slot: Optional[int] = None, *, progress: Optional[Progress] = None) -> int:
        """Sends a logo file into a logo slot, a free one when `slot` is None; returns the slot."""
        data = _readable_file(path)
        size = os.path.getsize(path)
        if size > LOGO_SLOT_BYTES:
            raise ZarelcomError(f"{os.fspath(path)} is {size} bytes; a logo slot holds at most {LOGO_SLOT_BYTES}")
        if slot is None:
            slot = self.free_logo_slot()
            if slot is None:
                raise ZarelcomError("all fifty logo slots hold a logo: the printer has no free slot")
        with counted_texts(self._link.library, data) as (text,):
            self._link.transfer("StxSendLogo", f"send {os.fspath(path)} into logo slot {slot}", progress, text, slot)
        return slot

    def backup_logo(self, slot: int, path: PathLike, *, progress: Optional[Progress] = None) -> None:
        """Copies the logo in `slot` into a local file (the printer pads it to whole 512-byte blocks)."""
        with counted_texts(self._link.library, path_bytes(path)) as (text,):
            self._link.transfer("BackUpLogo", f"back up logo slot {slot}", progress, text, slot)

    def send_file(self, path: PathLike, name: Optional[Text] = None, *, progress: Optional[Progress] = None) -> None:
        """Sends a file into the printer's store under `name` (at most 24 bytes), by default its
        own file name."""
        data = _readable_file(path)
        kind, printer_name = (1, None) if name is None else (0, _as_bytes(name))
        with counted_texts(self._link.library, data, printer_name) as (text, counted_name):
            self._link.transfer("StxSendFile", f"send {os.fspath(path)}", progress, text, counted_name, kind)

    def send_bitmap(self, path: PathLike, *, progress: Optional[Progress] = None) -> None:
        """Sends a bitmap into the printer's bitmap folder under its own file name."""
        with counted_texts(self._link.library, _readable_file(path)) as (text,):
            self._link.transfer("StxSendFile", f"send {os.fspath(path)} as a bitmap", progress, text, None, 4)

    def fetch_file(self, name: Text, path: PathLike, *, progress: Optional[Progress] = None) -> None:
        """Copies the printer's file `name` into a local file."""
        with counted_texts(self._link.library, path_bytes(path), _as_bytes(name)) as (text, counted_name):
            self._link.transfer("StxUpLoadFile", f"fetch {name!r} from the printer", progress, text, counted_name)

    def fetch_screen(self, path: PathLike, *, progress: Optional[Progress] = None) -> None:
        """Copies the printer's screen image into a local file."""
        with counted_texts(self._link.library, path_bytes(path)) as (text,):
            self._link.transfer("StxGetScr", "fetch the screen image", progress, text, None)

    def fetch_message_names(self, path: PathLike, *, progress: Optional[Progress] = None) -> None:
        """Copies the printer's message-name list into a local file."""
        with counted_texts(self._link.library, path_bytes(path)) as (text,):
            self._link.transfer("StxUpLoadMsgName", "fetch the message names", progress, text)

    def fetch_parameters(self, path: PathLike, *, progress: Optional[Progress] = None) -> None:
        """Copies the printer's parameter file into a local file."""
        with counted_texts(self._link.library, path_bytes(path)) as (text,):
            self._link.transfer("StxUpLoadParameter", "fetch the parameter file", progress, text)

    def send_parameters(self, path: PathLike, *, progress: Optional[Progress] = None) -> None:
        """Sends a parameter file, then restarts the printer (not waited for)."""
        with counted_texts(self._link.library, _readable_file(path)) as (text,):
            self._link.transfer("StxDownLoadParameter", f"send the parameters {os.fspath(path)}", progress, text)

    def update(self, path: PathLike, *, progress: Optional[Progress] = None) -> None:
        """Sends a program update package, then restarts the printer (not waited for)."""
        with counted_texts(self._link.library, _readable_file(path)) as (text,):
            self._link.transfer("StxUpdateZarel", f"send the update {os.fspath(path)}", progress, text)

    def backup_message(self, message: int, path: PathLike, *, progress: Optional[Progress] = None) -> None:
        """Copies message `message` into a local file."""
        with counted_texts(self._link.library, path_bytes(path)) as (text,):
            self._link.transfer("BackUpMsg", f"back up message {message}", progress, text, message)

    def restore_message(self, path: PathLike, message: int, *, progress: Optional[Progress] = None) -> None:
        """Restores message `message` from a local file made by `backup_message`."""
        self._link.transfer(
            "RestoreMsg", f"restore message {message}", progress, _readable_file(path), message & 0xFFFF
        )

    def print_image(self, path: PathLike, option: int = 0, *, progress: Optional[Progress] = None) -> None:
        """Sends an image file for printing; `option` goes to the printer unchanged."""
        with counted_texts(self._link.library, _readable_file(path)) as (text,):
            self._link.transfer("PrintImage", f"send {os.fspath(path)} for printing", progress, text, option)

    # ---- Terminal-mode announcements -------------------------------------------------------------

    def announce_logo(self, path: PathLike, slot: int) -> None:
        """Terminal mode: announces a logo file for `slot` (no content follows)."""
        with counted_texts(self._link.library, _readable_file(path)) as (text,):
            self._link.call("XmodemSendLogo", f"announce logo slot {slot}", text, slot)

    def announce_file(self, path: PathLike) -> None:
        """Terminal mode: announces a file for the printer's store (no content follows)."""
        with counted_texts(self._link.library, _readable_file(path)) as (text,):
            self._link.call("DownLoadFile", f"announce {os.fspath(path)}", text, None)

    def announce_update(self, path: PathLike) -> None:
        """Terminal mode: announces a program update package (no content follows)."""
        with counted_texts(self._link.library, _readable_file(path)) as (text,):
            self._link.call("UpdateZarel", f"announce the update {os.fspath(path)}", text)

    def announce_parameter_upload(self) -> None:
        """Terminal mode: announces a parameter upload."""
        self._link.call("UpLoadParameter", "announce a parameter upload", None)


def ports() -> list[PortInfo]:
    """The serial ports of this machine, in COM order, as the library lists them."""
    lib = library()
    count = 0
    while True:
        records = (PortInfoRecord * count)()
        total = lib.zc_list_ports(records, count)
        if total <= count:
            break
        count = total
    return [
        PortInfo(
            r.number,
            r.device.decode(errors="replace"),
            r.by_id.decode(errors="replace"),
            r.description.decode(errors="replace"),
            r.serial_number.decode(errors="replace"),
            None if r.usb_vendor < 0 else r.usb_vendor,
            None if r.usb_product < 0 else r.usb_product,
        )
        for r in records[:total]
    ]
