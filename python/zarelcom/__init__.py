"""Zarelcom for Python: drive Zarel HP marking printers over a serial line.

    import zarelcom

    with zarelcom.Printer(1, baud=19200) as printer:
        print(printer.system_info())
        slot = printer.send_logo("lot.bmp")

The package calls the Zarelcom library (libzarelcom) through ctypes; see `Printer` for every
query, setting and transfer, `ports()` for this machine's serial ports and `Logo` for logo files.
"""

from .errors import LocalFileError, PortError, PrinterError, PrinterTimeout, ZarelcomError
from .logo import Logo
from .printer import Printer, ports
from .records import PORT_RATES, PRINTER_RATES, Counter, Encoder, Languages, PortInfo, Shift, SystemInfo

__all__ = [
    "Counter",
    "Encoder",
    "Languages",
    "LocalFileError",
    "Logo",
    "PORT_RATES",
    "PRINTER_RATES",
    "PortError",
    "PortInfo",
    "Printer",
    "PrinterError",
    "PrinterTimeout",
    "Shift",
    "SystemInfo",
    "ZarelcomError",
    "ports",
]
