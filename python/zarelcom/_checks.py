"""Numbers checked against the range the library documents, before ctypes cuts them to their C
type without a word (2**32 + 5 would open COM5, 256 would be user string 0)."""

from __future__ import annotations

import operator
from typing import Iterable

from .records import LOGO_SLOTS

Range = tuple[int, int]

BYTE: Range = (0, 255)
INT32: Range = (-(2**31), 2**31 - 1)
UINT16: Range = (0, 65535)
COM_NUMBER: Range = (1, 255)
LOGO_SLOT: Range = (1, LOGO_SLOTS)
YEAR_CODE: Range = (-32768, 65535)


def whole(value: int, name: str, bounds: Range) -> int:
    """`value` when it is a whole number within `bounds`; TypeError for anything but an integer,
    ValueError naming the argument and the range for an integer outside it."""
    number = operator.index(value)
    low, high = bounds
    if not low <= number <= high:
        raise ValueError(f"{name} must be from {low} to {high}, not {number}")
    return number


def byte_values(values: Iterable[int], name: str) -> bytes:
    """The values as bytes; ValueError naming the argument when one is not 0 to 255."""
    numbers = list(values)
    try:
        return bytes(numbers)
    except ValueError:
        raise ValueError(f"each of {name} must be from 0 to 255, not {numbers}") from None
