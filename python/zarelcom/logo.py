"""One-bit logo bitmaps, the form the printer takes logos in, without any imaging library.

A logo file is a Windows bitmap: 14-byte file header, 40-byte information header (one plane, one
bit a pixel, no compression, rows bottom-up), two colour entries (0 black, 1 white), then the rows,
each padded to a multiple of 4 bytes. The pixel data starts at byte 62.
"""

from __future__ import annotations

import os
import struct
from typing import Union

from ._files import open_regular, replace_file

PIXEL_OFFSET = 62
_DOTS_PER_METRE = 3780  # 96 dots an inch, as drawing programs write it
# Byte tables that turn a row of another colour table into rows of this one.
_COLOUR_TABLES = {
    (False, True): None,
    (True, False): bytes(255 - b for b in range(256)),
    (True, True): b"\xff" * 256,
    (False, False): bytes(256),
}


def _row_bytes(width: int) -> int:
    return 4 * ((width + 31) // 32)


class Logo:
    """A logo of `width` x `height` dots, each black or white; a new one is all white.

    Dots are addressed as (x, y) with (0, 0) top left: `logo[x, y]` is True for a black dot.
    """

    def __init__(self, width: int, height: int) -> None:
        if width < 1 or height < 1:
            raise ValueError(f"a logo is at least 1 x 1 dots, not {width} x {height}")
        self.width = width
        self.height = height
        # Top row first, the leftmost dot in the highest bit, a set bit white, as in the file.
        self._rows = [bytearray(b"\xff" * ((width + 7) // 8)) for _ in range(height)]

    @staticmethod
    def file_length(width: int, height: int) -> int:
        """The length of the logo file for a logo of this size."""
        return PIXEL_OFFSET + _row_bytes(width) * height

    def _check(self, x: int, y: int) -> None:
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"({x}, {y}) lies outside the {self.width} x {self.height} logo")

    def __getitem__(self, dot: tuple[int, int]) -> bool:
        x, y = dot
        self._check(x, y)
        return not self._rows[y][x >> 3] & (0x80 >> (x & 7))

    def __setitem__(self, dot: tuple[int, int], black: bool) -> None:
        x, y = dot
        self._check(x, y)
        if black:
            self._rows[y][x >> 3] &= ~(0x80 >> (x & 7)) & 0xFF
        else:
            self._rows[y][x >> 3] |= 0x80 >> (x & 7)

    def __eq__(self, other: object) -> bool:
        return isinstance(other, Logo) and (self.width, self.height, self._rows) == (
            other.width,
            other.height,
            other._rows,
        )

    def __repr__(self) -> str:
        return f"Logo({self.width} x {self.height})"

    def art(self) -> str:
        """The logo as text, one line a row: "#" a black dot, "." a white one."""
        return "\n".join("".join("#" if self[x, y] else "." for x in range(self.width)) for y in range(self.height))

    def to_bmp(self) -> bytes:
        """The bytes of the logo file."""
        row_bytes = _row_bytes(self.width)
        length = self.file_length(self.width, self.height)
        header = struct.pack(
            "<2sIHHIIiiHHIIiiII",
            b"BM", length, 0, 0, PIXEL_OFFSET,
            40, self.width, self.height, 1, 1, 0, row_bytes * self.height,
            _DOTS_PER_METRE, _DOTS_PER_METRE, 2, 2,
        )  # fmt: skip
        palette = b"\x00\x00\x00\x00\xff\xff\xff\x00"
        padding = bytes(row_bytes - (self.width + 7) // 8)
        return header + palette + b"".join(bytes(row) + padding for row in reversed(self._rows))

    def write(self, path: Union[str, "os.PathLike[str]"]) -> None:
        """Writes the logo file, replacing an older file only once the new one is complete.

        A symbolic link is followed: the file it leads to is replaced. A new file gets the mode
        the umask leaves, a replaced one keeps its mode; a folder, device or pipe is refused
        (ZarelcomError)."""
        replace_file(path, self.to_bmp())

    @classmethod
    def from_bmp(cls, data: bytes) -> Logo:
        """The logo in the bytes of a one-bit bitmap file (rows bottom-up or top-down, either
        colour order). Raises ValueError for anything else, including a file cut short."""
        if len(data) < 54 or data[:2] != b"BM":
            raise ValueError("not a bitmap file: it does not start with a bitmap header")
        offset, info_size, width, height, planes, bits, compression = struct.unpack_from("<IIiiHHI", data, 10)
        if info_size < 40 or planes != 1 or bits != 1 or compression != 0:
            raise ValueError(f"not a one-bit logo bitmap: {bits} bits a pixel, compression {compression}")
        if width < 1 or height == 0:
            raise ValueError(f"a bitmap of {width} x {height} pixels holds no logo")
        palette = 14 + info_size
        if len(data) < palette + 8:
            raise ValueError("the bitmap file is cut short in its colour table")
        white = [sum(data[palette + 4 * i : palette + 4 * i + 3]) >= 383 for i in (0, 1)]
        table = _COLOUR_TABLES[white[0], white[1]]
        rows, row_bytes, used = abs(height), _row_bytes(width), (width + 7) // 8
        if len(data) < offset + row_bytes * rows:
            raise ValueError(
                f"the bitmap file is cut short: {width} x {rows} pixels need "
                f"{offset + row_bytes * rows} bytes, the file has {len(data)}"
            )
        logo = cls(width, rows)
        unused = 0xFF >> (width % 8 or 8)
        for r in range(rows):
            start = offset + r * row_bytes
            row = bytearray(data[start : start + used])
            if table is not None:
                row = row.translate(table)
            row[-1] |= unused
            logo._rows[rows - 1 - r if height > 0 else r] = row
        return logo

    @classmethod
    def read(cls, path: Union[str, "os.PathLike[str]"]) -> Logo:
        """The logo in a one-bit bitmap file. Only a regular file is read (ZarelcomError for a
        folder, device or pipe), and only as far as its header says the logo reaches."""
        with open_regular(path) as file:
            header = file.read(PIXEL_OFFSET)
            wanted = min(_promised_length(header), os.fstat(file.fileno()).st_size)
            return cls.from_bmp(header + file.read(max(0, wanted - len(header))))


def _promised_length(header: bytes) -> int:
    """How long a bitmap file is by its header: to the end of its pixel rows or colour table."""
    if len(header) < 54 or header[:2] != b"BM":
        return len(header)
    offset, info_size, width, height = struct.unpack_from("<IIii", header, 10)
    return int(max(14 + info_size + 8, offset + _row_bytes(max(width, 0)) * abs(height)))
