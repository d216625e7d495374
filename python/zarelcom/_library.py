"""Finding and loading libzarelcom, and the C signatures of the exports the package calls."""

from __future__ import annotations

import ctypes
import ctypes.util
import os
import sys
import threading
from pathlib import Path
from typing import Any, Callable, Optional

from .errors import ZarelcomError

c_bool8 = ctypes.c_uint8
c_int32 = ctypes.c_int32
c_text = ctypes.c_void_p  # counted text: the library's own memory, given back with ReleaseText
c_int32_p = ctypes.POINTER(ctypes.c_int32)
c_uint8_p = ctypes.POINTER(ctypes.c_uint8)
c_char_pp = ctypes.POINTER(ctypes.c_char_p)

MESSAGE_CALLBACK = ctypes.CFUNCTYPE(None, ctypes.c_char_p)
# zc_progress_callback: bytes done, bytes in all, the progress line, the context.
PROGRESS_CALLBACK = ctypes.CFUNCTYPE(None, ctypes.c_int64, ctypes.c_int64, ctypes.c_char_p, ctypes.c_void_p)
# zc_search_callback: COM number, rate ordinal, the context; zero stops the search.
SEARCH_CALLBACK = ctypes.CFUNCTYPE(c_bool8, c_int32, c_int32, ctypes.c_void_p)


class SystemInfoRecord(ctypes.Structure):
    _fields_ = [(name, c_int32) for name in ("SerialNo", "ModelNo", "Version", "RefYear", "RefMonthDay")]


class PortInfoRecord(ctypes.Structure):
    _fields_ = [
        ("number", c_int32),
        ("device", ctypes.c_char * 256),
        ("by_id", ctypes.c_char * 256),
        ("description", ctypes.c_char * 128),
        ("serial_number", ctypes.c_char * 64),
        ("usb_vendor", c_int32),
        ("usb_product", c_int32),
    ]


class PortFailureRecord(ctypes.Structure):
    _fields_ = [
        ("kind", c_int32),
        ("os_error", c_int32),
        ("device", ctypes.c_char * 260),
        ("holder_pid", c_int32),
        ("holder", ctypes.c_char * 64),
    ]


# Export name: (result type, argument types). Exports that only newer libraries have are looked up
# when first used, so that an older library still loads.
SIGNATURES: dict[str, tuple[Any, list[Any]]] = {
    "MakeText": (c_text, [ctypes.c_char_p, c_int32]),
    "ReleaseText": (None, [c_text]),
    "GetLastPortError": (ctypes.c_char_p, []),
    "OpenComPort": (c_bool8, [c_int32]),
    "CloseComPort": (c_bool8, []),
    "SetBaudRate": (c_bool8, [c_int32]),
    "GetCurrErrCode": (c_int32, []),
    "CallBackMsgback": (ctypes.c_ssize_t, [MESSAGE_CALLBACK]),
    "DllVersion": (c_int32, []),
    "GetZarelType": (c_int32, []),
    "GetSysInfo": (c_bool8, [ctypes.POINTER(SystemInfoRecord)]),
    "GetPrintStatus": (c_int32, []),
    "GetFreeLogoNo": (c_int32, []),
    "GetFreeDiskSpc": (c_int32, []),
    "GetMaxMsg": (c_int32, []),
    "GetMeasure": (c_int32, []),
    "GetMessageNo": (c_int32, []),
    "GetInkStaus": (c_int32, []),
    "GetBackUpRestoreReg": (c_int32, []),
    "GetConveyor": (c_bool8, [c_int32_p]),
    "GetEncoder": (c_bool8, [c_int32_p, c_int32_p]),
    "GetMsgDelay": (c_bool8, [c_int32_p]),
    "GetLang": (c_bool8, [c_int32_p, c_int32_p, ctypes.POINTER(c_text)]),
    "GetSysData": (c_bool8, [c_uint8_p]),
    "GetPHCfg": (c_bool8, [c_int32]),
    "GetTaskCfg": (c_bool8, []),
    "GetTaskNo": (c_bool8, []),
    "GetPRCmd": (ctypes.c_char_p, []),
    "ZarelReboot": (c_bool8, []),
    "SetZarelBaud": (c_bool8, [c_int32]),
    "SetLang": (c_bool8, [c_int32]),
    "SetMeasure": (c_bool8, [c_int32]),
    "SetMessageNo": (c_bool8, [c_int32]),
    "SetTaskCfg": (c_bool8, [c_int32]),
    "SetTaskNo": (c_bool8, [c_int32]),
    "SetPrintOff": (c_bool8, []),
    "SetPrintOn": (c_bool8, []),
    "StopTask": (c_bool8, []),
    "SetConveyor": (c_bool8, [c_int32_p]),
    "SetEncoder": (c_bool8, [c_int32_p]),
    "SetEncoderStatus": (c_bool8, [c_uint8_p]),
    "SetMsgDelay": (c_bool8, [c_int32_p]),
    "SetPHCfg": (c_bool8, [c_uint8_p]),
    "SetPHCfgH": (c_bool8, [c_uint8_p]),
    "SetPHDPI": (c_bool8, [c_int32, c_int32]),
    "ClearPRCmd": (c_bool8, []),
    "SetPRCmd": (c_bool8, []),
    "IncPRCmd": (c_bool8, []),
    "AdjPRCmd": (c_bool8, []),
    "GetSystemClock": (c_bool8, [c_int32_p]),
    "SetZarelClock": (c_bool8, [c_int32_p]),
    "GetCYear": (c_bool8, [c_char_pp]),
    "SetCYear": (c_bool8, [c_int32]),
    "GetRollHour": (c_bool8, [c_char_pp]),
    "SetRollHour": (c_bool8, [c_int32]),
    "GetShift": (c_bool8, [ctypes.POINTER(ctypes.c_int8)]),
    "SetZarelShift": (c_bool8, [ctypes.POINTER(ctypes.c_int8)]),
    "GetCounter": (c_bool8, [c_int32_p, c_int32]),
    "SetZarelCount": (c_bool8, [c_int32_p, c_int32]),
    "GetTDFormat": (c_int32, [ctypes.POINTER(ctypes.c_void_p), c_bool8]),
    "SetTDFormat": (c_bool8, [c_uint8_p]),
    "StxGetString": (c_text, [c_int32]),
    "StxGetStringC": (c_bool8, [ctypes.c_uint8, c_char_pp]),
    "StxSdString": (c_bool8, [c_text, c_int32]),
    "AutoConnect": (c_bool8, [c_int32_p]),
    "SetCmdProtocol": (c_bool8, []),
    "SetStxProtocol": (c_bool8, []),
    "SendTermCmd": (c_bool8, [c_text]),
    "GetFileLen": (c_int32, [c_text, c_int32]),
    "StxSendLogo": (c_bool8, [c_text, c_int32]),
    "XmodemSendLogo": (c_bool8, [c_text, c_int32]),
    "StxSendFile": (c_bool8, [c_text, c_text, c_int32]),
    "StxDownLoadParameter": (c_bool8, [c_text]),
    "StxUpdateZarel": (c_bool8, [c_text]),
    "StxUpLoadFile": (c_bool8, [c_text, c_text]),
    "StxGetScr": (c_bool8, [c_text, c_text]),
    "StxUpLoadMsgName": (c_bool8, [c_text]),
    "StxUpLoadParameter": (c_bool8, [c_text]),
    "BackUpLogo": (c_bool8, [c_text, c_int32]),
    "BackUpMsg": (c_bool8, [c_text, c_int32]),
    "RestoreMsg": (c_bool8, [ctypes.c_char_p, ctypes.c_uint16]),
    "PrintImage": (c_bool8, [c_text, ctypes.c_uint8]),
    "DownLoadMessage": (c_bool8, [ctypes.c_uint8, c_text]),
    "DownLoadFile": (c_bool8, [c_text, c_text]),
    "UpdateZarel": (c_bool8, [c_text]),
    "UpLoadParameter": (c_bool8, [c_text]),
    "zc_error_text": (ctypes.c_char_p, [c_int32]),
    "zc_link_new": (ctypes.c_void_p, []),
    "zc_link_free": (None, [ctypes.c_void_p]),
    "zc_link_select": (ctypes.c_void_p, [ctypes.c_void_p]),
    "zc_list_ports": (c_int32, [ctypes.POINTER(PortInfoRecord), c_int32]),
    "zc_open_port_device": (c_bool8, [ctypes.c_char_p]),
    "zc_set_pacing": (c_bool8, [c_int32]),
    "zc_search": (c_bool8, [c_int32_p, SEARCH_CALLBACK, ctypes.c_void_p]),
    "zc_port_failure": (c_bool8, [ctypes.POINTER(PortFailureRecord)]),
    "zc_local_failure": (c_bool8, [c_int32_p]),
    "zc_set_progress": (ctypes.c_ssize_t, [PROGRESS_CALLBACK, ctypes.c_void_p]),
}

_FILE_NAMES = {
    "win32": ("zarelcom.dll",),
    "darwin": ("libzarelcom.1.dylib", "libzarelcom.dylib"),
}.get(sys.platform, ("libzarelcom.so.1", "libzarelcom.so"))


class Library:
    """The loaded library: its exports with their C signatures, by name."""

    def __init__(self, dll: ctypes.CDLL, path: str) -> None:
        self.path = path
        self._dll = dll
        self._functions: dict[str, Callable[..., Any]] = {}

    def has(self, name: str) -> bool:
        """Whether the loaded library exports `name` (older libraries lack the newer exports)."""
        return hasattr(self._dll, name)

    def __getattr__(self, name: str) -> Callable[..., Any]:
        function = self._functions.get(name)
        if function is None:
            if name not in SIGNATURES:
                raise AttributeError(name)
            if not self.has(name):
                raise ZarelcomError(
                    f"the library {self.path} has no export {name}: it is older than this package; "
                    "install libzarelcom 1.1 or later"
                )
            export = getattr(self._dll, name)
            export.restype, export.argtypes = SIGNATURES[name]
            self._functions[name] = function = export
        return function


def _candidates() -> list[tuple[str, Optional[str]]]:
    """Where the library is looked for, in order: (what was tried, the path or name to load).
    ZARELCOM_LIBRARY, when set, is the only place: a developer testing a build tests that build."""
    override = os.environ.get("ZARELCOM_LIBRARY")
    if override:
        return [(f"ZARELCOM_LIBRARY ({override})", override)]
    here = Path(__file__).resolve().parent
    tried: list[tuple[str, Optional[str]]] = [(str(here / name), str(here / name)) for name in _FILE_NAMES]
    system = ctypes.util.find_library("zarelcom")
    tried.append(("the system's libraries (" + (system or "none found") + ")", system))
    tried.append(("ZARELCOM_LIBRARY (not set)", None))
    return tried


def _load() -> Library:
    reasons = []
    for what, path in _candidates():
        if path is None or (os.sep in path and not os.path.exists(path)):
            reasons.append(what + (": no such file" if path else ""))
            continue
        try:
            return Library(ctypes.CDLL(path), path)
        except OSError as error:
            reasons.append(f"{what}: {error}")
    raise ZarelcomError(
        "libzarelcom was not found. Tried: " + "; ".join(reasons) + ". Install the library (the libzarelcom1 "
        "package or `cmake --install`), or set ZARELCOM_LIBRARY to the path of libzarelcom.so.1."
    )


_library: Optional[Library] = None
_loading = threading.Lock()


def library() -> Library:
    """The library, loaded at first use."""
    global _library
    with _loading:
        if _library is None:
            _library = _load()
        return _library
