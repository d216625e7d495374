#!/usr/bin/env python3
"""A serial line that echoes every byte, on a pseudo-terminal registered as com<N> in the folder
$ZARELCOM_PORT_DIR (a Wine prefix's dosdevices), so that the Windows device can be tested against
a real Linux line.

Usage: loopback_line.py N   (runs until SIGTERM; removes com<N> again)
"""
import os
import pty
import select
import signal
import sys
import tty


def main():
    folder, number = os.environ["ZARELCOM_PORT_DIR"], int(sys.argv[1])
    master, slave = pty.openpty()
    tty.setraw(slave)
    entry = os.path.join(folder, "com%d" % number)
    if os.path.lexists(entry):
        os.unlink(entry)
    os.symlink(os.ttyname(slave), entry)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    try:
        while True:
            select.select([master], [], [])
            try:
                data = os.read(master, 4096)
            except OSError:  # no one has the line open now
                continue
            os.write(master, data)
    finally:
        os.unlink(entry)


if __name__ == "__main__":
    main()
