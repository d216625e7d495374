"""The exceptions the package raises."""

from __future__ import annotations


class ZarelcomError(Exception):
    """Something this package or the library could not do; the base of every error it raises."""


class PrinterError(ZarelcomError):
    """A call that talks to the printer failed.

    `code` is the library's last error code after the failure (the printer's own error number,
    or 100 to 104 and 200 for the library's reception and transfer failures), `meaning` what that
    code means, `export` the library function that failed.
    """

    def __init__(self, export: str, code: int, meaning: str, doing: str) -> None:
        self.export = export
        self.code = code
        self.meaning = meaning
        super().__init__(f"could not {doing} ({export} failed; last error code {code}: {meaning})")


class PortError(ZarelcomError):
    """The serial port refused: it could not be opened, or refused a setting.

    `text` is the library's port error text (empty when the library kept none).
    """

    def __init__(self, message: str, text: str) -> None:
        self.text = text
        super().__init__(message + (f": {text}" if text else ""))
