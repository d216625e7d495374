"""Logo files: the exact bytes the printer takes, and reading what drawing programs write."""

from __future__ import annotations

import os
import stat
import struct
from pathlib import Path

import pytest
from hypothesis import given
from hypothesis import strategies as st

from zarelcom import Logo, ZarelcomError

dots = st.integers(1, 80).flatmap(
    lambda w: st.integers(1, 20).flatmap(
        lambda h: st.tuples(st.just(w), st.just(h), st.sets(st.tuples(st.integers(0, w - 1), st.integers(0, h - 1))))
    )
)


def make(width: int, height: int, black: set[tuple[int, int]]) -> Logo:
    logo = Logo(width, height)
    for dot in black:
        logo[dot] = True
    return logo


@given(dots)
def test_a_logo_survives_its_file(case: tuple[int, int, set[tuple[int, int]]]) -> None:
    width, height, black = case
    data = make(width, height, black).to_bmp()
    assert len(data) == Logo.file_length(width, height) == 62 + 4 * ((width + 31) // 32) * height
    read = Logo.from_bmp(data)
    assert {(x, y) for x in range(width) for y in range(height) if read[x, y]} == black
    assert read.to_bmp() == data


def test_header_palette_and_bottom_up_rows() -> None:
    logo = make(56, 50, {(0, 0), (55, 49)})
    data = logo.to_bmp()
    assert len(data) == 462
    assert data[:2] == b"BM"
    assert struct.unpack_from("<IIIIiiHHIII", data, 2) == (462, 0, 62, 40, 56, 50, 1, 1, 0, 400, 3780)
    assert struct.unpack_from("<II", data, 46) == (2, 2)
    assert data[54:62] == b"\x00\x00\x00\x00\xff\xff\xff\x00"
    # The last file row is the top row: its first dot black; the first file row ends black.
    assert data[62 + 49 * 8 : 62 + 50 * 8] == b"\x7f\xff\xff\xff\xff\xff\xff\x00"
    assert data[62:70] == b"\xff\xff\xff\xff\xff\xff\xfe\x00"


def other_form(width: int, rows: list[bytes], top_down: bool, white_first: bool) -> bytes:
    """A one-bit bitmap as other programs may write it: rows top-down, colours swapped."""
    row_bytes = 4 * ((width + 31) // 32)
    body = b"".join(r.ljust(row_bytes, b"\0") for r in (rows if top_down else reversed(rows)))
    palette = b"\xff\xff\xff\x00\x00\x00\x00\x00" if white_first else b"\x00\x00\x00\x00\xff\xff\xff\x00"
    height = -len(rows) if top_down else len(rows)
    header = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 62 + len(body), 0, 0, 62, 40, width, height, 1, 1, 0, 0, 0, 0, 2, 2)
    return header + palette + body


@pytest.mark.parametrize("top_down", [False, True])
@pytest.mark.parametrize("white_first", [False, True])
def test_reads_other_row_orders_and_colour_tables(top_down: bool, white_first: bool) -> None:
    # Top row: first dot black; second row: all black. Bits are in the file's colour table.
    black_bit, white_bit = (1, 0) if white_first else (0, 1)
    top = bytes([(black_bit << 7) | (0x7F if white_bit else 0)])
    second = bytes([0xFF if black_bit else 0x00])
    logo = Logo.from_bmp(other_form(8, [top, second], top_down, white_first))
    assert [logo[x, 0] for x in range(8)] == [True] + [False] * 7
    assert all(logo[x, 1] for x in range(8))


@pytest.mark.parametrize(
    "change, complaint",
    [
        (lambda d: d[:3000], "cut short"),
        (lambda d: b"XX" + d[2:], "bitmap header"),
        (lambda d: d[:28] + b"\x08\x00" + d[30:], "8 bits a pixel"),
        (lambda d: d[:18] + b"\x00\x00\x00\x00" + d[22:], "holds no logo"),
        (lambda d: d[:22] + b"\x00\x00\x00\x00" + d[26:], "holds no logo"),
    ],
)
def test_refuses_what_is_no_one_bit_logo(change: object, complaint: str) -> None:
    data = make(2000, 50, set()).to_bmp()
    with pytest.raises(ValueError, match=complaint):
        Logo.from_bmp(change(data))  # type: ignore[operator]


def test_write_replaces_the_file_whole(tmp_path: Path) -> None:
    path = tmp_path / "logo.bmp"
    path.write_bytes(b"old")
    make(9, 3, {(8, 2)}).write(path)
    assert Logo.read(path) == make(9, 3, {(8, 2)})
    assert [p.name for p in tmp_path.iterdir()] == ["logo.bmp"]


def test_write_follows_links_and_keeps_modes(tmp_path: Path) -> None:
    logo = make(8, 2, {(0, 0)})
    kept = tmp_path / "kept.bmp"
    kept.write_bytes(b"old")
    kept.chmod(0o640)
    (tmp_path / "link.bmp").symlink_to(kept)
    previous = os.umask(0o027)
    try:
        logo.write(tmp_path / "new.bmp")
        logo.write(tmp_path / "link.bmp")
    finally:
        os.umask(previous)
    assert stat.S_IMODE((tmp_path / "new.bmp").stat().st_mode) == 0o640  # 0666 less the umask
    assert (tmp_path / "link.bmp").is_symlink() and Logo.read(kept) == logo
    assert stat.S_IMODE(kept.stat().st_mode) == 0o640


@pytest.fixture
def not_files(tmp_path: Path) -> list[Path]:
    """A folder, a pipe with no writer, and a device that never ends."""
    os.mkfifo(tmp_path / "pipe.bmp")
    (tmp_path / "folder.bmp").mkdir()
    return [tmp_path / "folder.bmp", tmp_path / "pipe.bmp", Path("/dev/zero")]


def test_only_regular_files_are_read_or_replaced(not_files: list[Path]) -> None:
    for path in not_files:
        with pytest.raises(ZarelcomError, match="not a regular file"):
            Logo.read(path)
    for path in not_files[:2]:
        with pytest.raises(ZarelcomError, match="not a regular file"):
            make(8, 1, set()).write(path)
    assert stat.S_ISFIFO(not_files[1].stat().st_mode)

