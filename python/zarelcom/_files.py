"""Local files as the package reads and writes them: only regular files, never a pipe or a device
(a pipe would hang the caller, a device pour out bytes without end or be overwritten)."""

from __future__ import annotations

import errno
import os
import secrets
import stat
from typing import BinaryIO, Union

from .errors import ZarelcomError

PathLike = Union[str, "os.PathLike[str]"]


def _not_regular(path: PathLike) -> ZarelcomError:
    return ZarelcomError(f"{os.fspath(path)} is not a regular file (a folder, a device or a pipe): name a file")


def open_regular(path: PathLike) -> BinaryIO:
    """The file at `path` opened for reading, once it is known to be a regular file; OSError when
    it does not open. Opening does not wait, as it would for a pipe without a writer."""
    flags = os.O_RDONLY | getattr(os, "O_NONBLOCK", 0) | getattr(os, "O_NOCTTY", 0) | getattr(os, "O_BINARY", 0)
    descriptor = os.open(path, flags)
    try:
        if not stat.S_ISREG(os.fstat(descriptor).st_mode):
            raise _not_regular(path)
        return os.fdopen(descriptor, "rb")
    except BaseException:
        os.close(descriptor)
        raise


def check_regular(path: PathLike) -> None:
    """Raises unless `path` names a regular file (OSError when there is nothing to read)."""
    if not stat.S_ISREG(os.stat(path).st_mode):
        raise _not_regular(path)


def check_writable(path: PathLike) -> str:
    """The file that writing `path` replaces (a symbolic link's target), once it is known that a
    new file can be made beside it and that what is there is a regular file or nothing."""
    target = os.path.realpath(path)
    if os.path.lexists(target) and not os.path.isfile(target):
        raise _not_regular(path)
    folder = os.path.dirname(target)
    if not os.path.isdir(folder):
        raise FileNotFoundError(errno.ENOENT, "the folder to write into does not exist", folder)
    if not os.access(folder, os.W_OK):
        raise PermissionError(errno.EACCES, "no new file can be made in this folder", folder)
    return target


def replace_file(path: PathLike, data: bytes) -> None:
    """Writes `data` as the file `path` names, following symbolic links: into a new file beside it,
    which takes its place only once complete. A new file gets the mode the umask leaves; a file
    replaced keeps its mode. Only a regular file is replaced."""
    target = check_writable(path)
    try:
        mode = stat.S_IMODE(os.stat(target).st_mode)
    except FileNotFoundError:
        mode = None
    flags = os.O_WRONLY | os.O_CREAT | os.O_EXCL | getattr(os, "O_BINARY", 0)
    while True:
        temporary = os.path.join(os.path.dirname(target), f".{os.path.basename(target)}.{secrets.token_hex(4)}")
        try:
            descriptor = os.open(temporary, flags, 0o666)  # the system applies the umask
            break
        except FileExistsError:
            continue
    try:
        with os.fdopen(descriptor, "wb") as file:
            file.write(data)
        if mode is not None:
            os.chmod(temporary, mode)
        os.replace(temporary, target)
    except BaseException:
        os.unlink(temporary)
        raise
