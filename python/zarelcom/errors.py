"""The exceptions the package raises."""

from __future__ import annotations

import os
from typing import Optional


class ZarelcomError(Exception):
    """Something this package or the library could not do; the base of every error it raises."""


class PrinterError(ZarelcomError):
    """A call that talks to the printer failed.

    `export` is the library function that failed. `code` is the error code the failure left in the
    library (the printer's own error number 0-255 from its error reply, or the library's 100-104
    and 200 for reception and transfer failures), and `meaning` what the library says it means;
    both are in the message. `code` is None for a `PrinterTimeout`, which sets none.
    """

    def __init__(self, export: str, code: Optional[int], meaning: str, doing: str, detail: str) -> None:
        self.export = export
        self.code = code
        self.meaning = meaning
        super().__init__(f"could not {doing}: {detail} ({export} failed)")

    @classmethod
    def from_code(cls, export: str, code: int, meaning: str, doing: str) -> PrinterError:
        """The printer refused (its error number) or its reply did not come through (the library's)."""
        return cls(export, code, meaning, doing, f"error code {code}, {meaning}")


class PrinterTimeout(PrinterError):
    """The printer did not answer: it is off, not cabled, or listens at another line rate."""

    def __init__(self, export: str, doing: str) -> None:
        super().__init__(
            export,
            None,
            "the printer did not answer",
            doing,
            "the printer did not answer. Check that it is switched on and cabled, and that the port "
            "and the line rate are the printer's",
        )


class PortError(ZarelcomError, OSError):
    """The serial port refused: it could not be opened, or refused a setting.

    An OSError as well, so that `except OSError` catches a port that did not open, as with pyserial.
    `errno` is the system's error number when there is one (ENOENT for a missing device, EACCES
    for one the user may not open, EBUSY for one another program holds), else None; `text` is the
    library's port error text (empty when it kept none).
    """

    def __init__(self, message: str, text: str, error: Optional[int] = None) -> None:
        super().__init__(message + (f": {text}" if text else ""))
        self.text = text
        if error is not None:
            self.errno, self.strerror = error, os.strerror(error)

    def __str__(self) -> str:
        return str(self.args[0])


class LocalFileError(ZarelcomError, OSError):
    """A transfer failed on this computer's side, not the printer's: a local file that could not be
    read, made or written (a full disk, a file that changed while it was sent).

    An OSError as well: `errno` is the system's error number (None when the library had none), and
    the message is the library's, which names the file and the system's reason.
    """

    def __init__(self, export: str, text: str, error: Optional[int]) -> None:
        super().__init__(f"{text} ({export} failed)")
        if error is not None and error >= 0:
            self.errno, self.strerror = error, os.strerror(error)

    def __str__(self) -> str:
        return str(self.args[0])
