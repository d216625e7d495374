#!/usr/bin/python3
"""send_logo.py: the road of a logo through zarelcom for Python. Opens COM port N, reads the
printer's system information and sends a logo file into a free logo slot.

    send_logo.py PORT LOGO.BMP

Exit status 0 when the printer took the logo, 1 when it refused or did not answer, 2 for bad
arguments.
"""

import sys

import zarelcom

if len(sys.argv) != 3 or not sys.argv[1].isdigit():
    print("usage: send_logo.py PORT LOGO.BMP", file=sys.stderr)
    sys.exit(2)
try:
    with zarelcom.Printer(int(sys.argv[1]), baud=19200) as printer:
        info = printer.system_info()
        print(f"ZAREL HP MODEL {info.model} {info.firmware_text}, serial number {info.serial_number}")
        slot = printer.send_logo(sys.argv[2], progress=lambda done, total, line: print(" ", line))
        print(f"logo stored in slot {slot}")
except (zarelcom.ZarelcomError, OSError) as error:
    sys.exit(f"send_logo.py: {error}")
