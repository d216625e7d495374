"""A link of the library (one port, its receive buffer and last error) and the calls made over it."""

from __future__ import annotations

import ctypes
import os
import threading
from contextlib import contextmanager
from typing import Any, Callable, Iterator, Optional, Union

from ._library import PROGRESS_CALLBACK, Library, library
from .errors import LocalFileError, PrinterError, PrinterTimeout, ZarelcomError

Progress = Callable[[int, int, str], None]
"""A progress callable: (bytes done, total bytes, the library's progress line)."""

PathLike = Union[str, "os.PathLike[str]"]


class Link:
    """One link of the library, used by one caller at a time from any thread.

    Every call selects the link on the calling thread and restores the thread's previous link
    afterwards, so links of different printers never meet.
    """

    def __init__(self) -> None:
        self.library: Library = library()
        handle = self.library.zc_link_new()
        if not handle:
            raise ZarelcomError("the library could not make a new link: out of memory")
        self._handle: Optional[int] = handle
        self._lock = threading.RLock()  # a method may hold it across calls that read what the library keeps
        self._progress: Optional[Progress] = None
        self._progress_error: Optional[BaseException] = None
        # Kept as long as the link: the library calls it during every transfer on this link.
        self._callback = PROGRESS_CALLBACK(self._on_progress)
        with self.selected() as lib:
            lib.zc_set_progress(self._callback, None)

    @contextmanager
    def selected(self) -> Iterator[Library]:
        """The library with this link selected on the calling thread, for one caller at a time."""
        with self._lock:
            if self._handle is None:
                raise ZarelcomError("the printer was closed; open a new Printer")
            previous = self.library.zc_link_select(self._handle)
            try:
                yield self.library
            finally:
                self.library.zc_link_select(previous)

    def close(self) -> None:
        """Closes the port and frees the link; closing twice does nothing."""
        with self._lock:
            if self._handle is None:
                return
            previous = self.library.zc_link_select(self._handle)
            try:
                self.library.CloseComPort()
            finally:
                self.library.zc_link_select(previous)
            self.library.zc_link_free(self._handle)
            self._handle = None

    def call(self, export: str, doing: str, *args: Any, failure: Any = 0, confirm: bool = False) -> Any:
        """Calls an export and returns its result, raising PrinterError when it is `failure`.

        With `confirm`, `failure` is also a value the printer may really report: the result stands
        unless the call set an error code or the printer then fails a status query.
        """
        with self.selected() as lib:
            before = lib.GetCurrErrCode()
            result = getattr(lib, export)(*args)
            if result != failure:
                return result
            code = lib.GetCurrErrCode()
            if code == before:
                answers = self.answers(lib, code)
                if confirm and answers:
                    return result
                if not answers:
                    raise PrinterTimeout(export, doing)
            raise self.refusal(lib, export, code, doing)

    def transfer(self, export: str, doing: str, progress: Optional[Progress], *args: Any) -> None:
        """Runs a transfer export, handing its progress lines to `progress`."""
        with self.selected() as lib:
            before = lib.GetCurrErrCode()
            self._progress, self._progress_error = progress, None
            try:
                ok = getattr(lib, export)(*args)
            finally:
                self._progress = None
            if self._progress_error is not None:
                raise self._progress_error
            if not ok:
                error = ctypes.c_int32(-1)
                if lib.zc_local_failure(ctypes.byref(error)):
                    raise LocalFileError(export, lib.GetLastPortError().decode("utf-8", "replace"), error.value)
                code = lib.GetCurrErrCode()
                if code == before and not self.answers(lib, code):
                    raise PrinterTimeout(export, doing)
                raise self.refusal(lib, export, code, doing)

    # A failure that changed no code is a printer that did not answer, unless a status query shows
    # that it answers: then it refused again with the code it gave before.
    @staticmethod
    def answers(lib: Library, code: int) -> bool:
        """Whether the printer answers a status query (an error reply, which changes the code, is
        an answer too)."""
        return bool(lib.GetPrintStatus() != -1 or lib.GetCurrErrCode() != code)

    @staticmethod
    def refusal(lib: Library, export: str, code: int, doing: str) -> PrinterError:
        """The error for a failed export, with its code and the library's meaning of it."""
        return PrinterError.from_code(export, code, lib.zc_error_text(code).decode("utf-8", "replace"), doing)

    def _on_progress(self, done: int, total: int, line: Optional[bytes], _context: Optional[int]) -> None:
        # Runs inside the library's transfer: an exception cannot cross the C frames, so it waits
        # for the transfer's end and is raised there.
        if self._progress is None or self._progress_error is not None:
            return
        text = os.fsdecode(line or b"")  # the line starts with the local path
        try:
            self._progress(min(done, total) if total > 0 else done, total, text)
        except BaseException as error:  # noqa: B036 - handed back to the caller after the transfer
            self._progress_error = error


@contextmanager
def counted_texts(lib: Library, *values: Optional[bytes]) -> Iterator[list[Optional[int]]]:
    """Counted texts of the library made from bytes (None and b"" are the empty text)."""
    texts: list[Optional[int]] = []
    try:
        for value in values:
            text = lib.MakeText(value, len(value)) if value else None
            if value and not text:
                raise MemoryError("the library could not make a text")
            texts.append(text)
        yield texts
    finally:
        for text in texts:
            if text:
                lib.ReleaseText(text)


def path_bytes(path: PathLike) -> bytes:
    """A local path as the bytes the library opens."""
    return os.fsencode(os.fspath(path))


def read_c_bytes(address: Optional[int], length: int) -> bytes:
    """`length` bytes at an address the library handed out."""
    return ctypes.string_at(address, length) if address and length > 0 else b""
