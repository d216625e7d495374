/*
 * zarelcom.h - the C interface of Zarelcom, the serial link library for Zarel HP marking printers.
 *
 * Usable from C99 and C++. Every function here is exported with its plain name; nothing else is.
 *
 * Conventions
 * - zc_bool is one byte; test it for nonzero.
 * - Counted text (zc_text): a pointer to 8-bit characters followed by a zero byte. The four bytes
 *   just before the first character hold the length in bytes (int32_t), the four bytes before that
 *   a reference count (int32_t). A null pointer is the empty text. Make one with MakeText and give
 *   it back with ReleaseText; texts the library returns as zc_text are released the same way.
 *   The library never changes a caller's text.
 * - Plain texts (const char *) are zero-terminated.
 * - A function that talks to the printer returns a boolean, a value with a stated failure value,
 *   or an address inside the library's receive buffer (null on failure). The reason of the latest
 *   failure is kept in GetCurrErrCode(): 100 to 103 for the library's own reception failures, the
 *   printer's error number from an error reply, 200 for a transfer answered with an unexpected
 *   reply code. A success never resets it.
 * - A port error (a device refusing a setting, a port already open, ...) becomes the function's
 *   failure result (false, or -1 for the counts); its message, e.g.
 *   "Port already assigned (open) (Error: -1)", is kept for GetLastPortError().
 * - Texts the library hands out by address stay valid until the next exchange with the printer, the
 *   next call of the same function, or the end of the callback, as each function says.
 *
 * Threads: every function runs to completion on the caller's thread. The library keeps one port,
 * one receive buffer and one last-error code for the whole process, without a lock: one exchange
 * at a time per process is the caller's rule.
 */
#ifndef ZARELCOM_ZARELCOM_H
#define ZARELCOM_ZARELCOM_H

#include <stdint.h>
#include <stdio.h>

#if defined(_WIN32)
#  if defined(ZARELCOM_BUILDING)
#    define ZARELCOM_API __declspec(dllexport)
#  else
#    define ZARELCOM_API __declspec(dllimport)
#  endif
#else
#  define ZARELCOM_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint8_t zc_bool;
typedef const char *zc_text;

/* Receives one zero-terminated progress line per call; the text is valid only during the call. */
typedef void (*zc_message_callback)(const char *text);

/* Computer-side line rates, the ordinals taken by SetBaudRate. */
enum {
    ZC_BR110 = 0, ZC_BR300, ZC_BR600, ZC_BR1200, ZC_BR2400, ZC_BR4800, ZC_BR9600, ZC_BR14400,
    ZC_BR19200, ZC_BR38400, ZC_BR56000, ZC_BR57600, ZC_BR115200, ZC_BR128000, ZC_BR256000
};

/* What GetSysInfo fills in, in the printer's order. */
typedef struct SystemInfo {
    int32_t SerialNo;    /* serial number */
    int32_t ModelNo;     /* printer model number; a printer answers with more than 100 */
    int32_t Version;     /* firmware version x 100 (206 is V2.6) */
    int32_t RefYear;     /* reference date: year */
    int32_t RefMonthDay; /* reference date: month x 31 + day */
} SystemInfo;

/* ---- Counted texts and port errors ---------------------------------------------------------- */

/* Layout of a counted text t (zc_text), all in the machine's byte order:
 *   ((const int32_t *)t)[-2]  reference count (a negative count marks a constant, never freed)
 *   ((const int32_t *)t)[-1]  length in bytes
 *   t[0] ... t[length - 1]    the bytes, which may include zero bytes
 *   t[length]                 a zero byte
 * A null pointer is the empty text. */

/* A new counted text holding len bytes copied from bytes, reference count 1 (a zero byte is added
 * behind them). Null (the empty text) for len 0, and also when len is negative, bytes is null or
 * memory runs out. Give it back with ReleaseText. */
ZARELCOM_API zc_text MakeText(const char *bytes, int32_t len);

/* Gives back one reference to a counted text made by MakeText or returned by the library; the text
 * is freed when its last reference goes. Null and constant texts are ignored. */
ZARELCOM_API void ReleaseText(zc_text text);

/* The message of the latest port error that a function called on this thread turned into its
 * failure result, with the code filled in, e.g. "Port not open (Error: -1)" or
 * "Error updating DataControlBlock (Error: 22)"; an empty text when there was none. Never null.
 * Valid until the next port error on this thread. */
ZARELCOM_API const char *GetLastPortError(void);

/* ---- Port and library state ----------------------------------------------------------------- */

/* Opens serial port "Com" n (on Linux: the entry com<n> in $ZARELCOM_PORT_DIR, by default
 * $XDG_CONFIG_HOME/zarelcom/ports or ~/.config/zarelcom/ports, else COM1-32 /dev/ttyS0-31,
 * COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31), exclusively: raw 8-bit line at the rate
 * last set with SetBaudRate (19200 at first), no parity, one stop bit.
 * A port already open is closed first, except for n = 0, which keeps it open and fails.
 * True when the port is open afterwards. False for a number without a device, a device that is
 * not a serial port, one held by another program, a port error (see GetLastPortError), and for
 * n outside 0-255 (refused without touching the open port). */
ZARELCOM_API zc_bool OpenComPort(int32_t n);

/* Closes the port. False only when it is still open afterwards; true also when it was closed. */
ZARELCOM_API zc_bool CloseComPort(void);

/* Sets the computer side's line rate to a ZC_BR* ordinal (0 to 14), at once when the port is open
 * and at the next open otherwise. True when the port is open. False while closed (the rate is
 * still kept), for an ordinal outside 0-14 (refused, nothing changes) and when the device refuses
 * the rate (see GetLastPortError). The printer's own rate is changed with SetZarelBaud. */
ZARELCOM_API zc_bool SetBaudRate(int32_t ordinal);

/* Aborts pending transfers and empties both queues of the port; nothing when it is closed. */
ZARELCOM_API void ClearFiFo(void);

/* One byte read from the port (0-255, so 255 is a byte); -1 when none arrived within 1000 ms, the
 * read failed or the port is closed. */
ZARELCOM_API int32_t sio_getchar(void);

/* Reads up to count bytes into buffer: returns at once with what is waiting (at most count),
 * otherwise waits up to 1000 ms for count bytes and returns what arrived.
 * Bytes read (0 for count 0 or when nothing came or the read failed); -1 when the port is closed,
 * buffer is null or count is negative (nothing is read then). */
ZARELCOM_API int32_t sio_read(uint8_t *buffer, int32_t count);

/* Writes count bytes from buffer. Bytes written (0 for count 0 or a failed write); -1 when the
 * port is closed, buffer is null or count is negative (nothing is written then). */
ZARELCOM_API int32_t sio_write(const uint8_t *buffer, int32_t count);

/* Bytes waiting in the input / output queue; -1 when the port is closed. */
ZARELCOM_API int32_t sio_inque(void);
ZARELCOM_API int32_t sio_outque(void);

/* The last error code (0 until the first failure; never reset by a success; port functions leave
 * it alone). */
ZARELCOM_API int32_t GetCurrErrCode(void);

/* Registers the progress callback, called on the thread that runs a transfer. Null keeps the
 * registered one and returns 0; otherwise returns the function's address as an integer. */
ZARELCOM_API intptr_t CallBackMsgback(zc_message_callback callback);

/* The library's version number: 247. */
ZARELCOM_API int32_t DllVersion(void);

/* ---- Packet exchange and terminal mode ------------------------------------------------------- */
/* Frames: STX 0x02, payload length N (big-endian 16 bits), N payload bytes ("0", command,
 * parameters), checksum (low 8 bits of the sum of the length bytes and the payload), ETX 0x03.
 * The receive buffer is the library's own 1024 bytes; reply data byte k is buffer byte 2 + k. */

/* Sends a request frame (its checksum byte is filled in) and waits for a good reply, up to three
 * attempts; an error reply 16 to the attempt just made stops the retries. True when a good reply
 * is in the receive buffer. */
ZARELCOM_API zc_bool SendPackToZarel(uint8_t *frame);

/* As SendPackToZarel, but always makes all three attempts (used for data blocks). */
ZARELCOM_API zc_bool SendPackToZarel2(uint8_t *frame);

/* Receives one reply frame into the library's receive buffer (the argument is not written; pass
 * the address the library hands out or null). True for a good reply. */
ZARELCOM_API zc_bool RcvPack(uint8_t *buffer);

/* Types one command line (with its closing carriage return) in terminal mode; up to three attempts.
 * True when the printer echoed it (or answered ACK / NAK). */
ZARELCOM_API zc_bool SendTermCmd(zc_text line);

/* Waits for the expected terminal answer (the text without its last two characters, or ACK / NAK).
 * Reads into the library's receive buffer; the buffer argument is not written. */
ZARELCOM_API zc_bool RcvCmdPack1(zc_text expected, uint8_t *buffer);

/* Waits for the readiness character "C" in terminal mode; reads into the library's receive buffer. */
ZARELCOM_API zc_bool RcvCmdPack(uint8_t *buffer);

/* Writes the text's bytes; true when every byte was accepted. Nothing is awaited. */
ZARELCOM_API zc_bool StringSend(zc_text text);

/* ---- Queries ---------------------------------------------------------------------------------- */

ZARELCOM_API int32_t GetZarelType(void);          /* printer type byte; -1 on failure */
ZARELCOM_API zc_bool GetSysInfo(SystemInfo *info); /* untouched on failure */
ZARELCOM_API int32_t GetPrintStatus(void);        /* 1 printing, 0 not printing, -1 on failure */
ZARELCOM_API int32_t GetFreeLogoNo(void);         /* a free logo slot 1-50, above 50 when none, -1 */
ZARELCOM_API int32_t GetFreeDiskSpc(void);        /* free bytes; 0 on failure */
ZARELCOM_API int32_t GetMaxMsg(void);             /* signed 16-bit value; 0 on failure */
ZARELCOM_API int32_t GetMeasure(void);            /* -1 on failure */
ZARELCOM_API int32_t GetMessageNo(void);          /* -1 on failure */
ZARELCOM_API int32_t GetInkStaus(void);           /* 255 on failure */
ZARELCOM_API int32_t GetBackUpRestoreReg(void);   /* 2 on failure */
ZARELCOM_API zc_bool GetConveyor(int32_t *value);
/* Two requests: "Y" fills record[0..1], then "[" fills *status. A failed second request leaves the
 * record written and returns false. */
ZARELCOM_API zc_bool GetEncoder(int32_t record[2], int32_t *status);
/* record[0] goes out with the request; both fields are filled from the reply. */
ZARELCOM_API zc_bool GetMsgDelay(int32_t record[2]);
/* count: number of languages; current: the language number; names: a new counted text of
 * count x 8 bytes (8-byte entries), released by the caller with ReleaseText. */
ZARELCOM_API zc_bool GetLang(int32_t *count, int32_t *current, zc_text *names);
ZARELCOM_API zc_bool GetSysData(uint8_t data[64]);
ZARELCOM_API zc_bool GetPHCfg(int32_t head);
ZARELCOM_API zc_bool GetTaskCfg(void);
ZARELCOM_API zc_bool GetTaskNo(void);
/* The reply text of sub-command 0x10, inside the receive buffer; null on failure. */
ZARELCOM_API const char *GetPRCmd(void);

/* ---- Settings and actions ----------------------------------------------------------------------- */

ZARELCOM_API zc_bool ZarelReboot(void);
ZARELCOM_API zc_bool SetZarelBaud(int32_t baudNumber); /* low byte: index in the printer's list */
ZARELCOM_API zc_bool SetLang(int32_t language);
ZARELCOM_API zc_bool SetMeasure(int32_t measure);
ZARELCOM_API zc_bool SetMessageNo(int32_t message);
ZARELCOM_API zc_bool SetTaskCfg(int32_t config);
ZARELCOM_API zc_bool SetTaskNo(int32_t task);
ZARELCOM_API zc_bool SetPrintOff(void);
ZARELCOM_API zc_bool SetPrintOn(void);
ZARELCOM_API zc_bool StopTask(void);
ZARELCOM_API zc_bool SetConveyor(const int32_t *value);
ZARELCOM_API zc_bool SetEncoder(const int32_t record[2]);
ZARELCOM_API zc_bool SetEncoderStatus(const uint8_t *status);
ZARELCOM_API zc_bool SetMsgDelay(const int32_t record[2]);
/* Print-head configuration: cfg[0] is the head number, the rest the printer's values. */
ZARELCOM_API zc_bool SetPHCfg(const uint8_t cfg[3]);
ZARELCOM_API zc_bool SetPHCfgH(const uint8_t cfg[5]);
ZARELCOM_API zc_bool SetPHDPI(int32_t dpi, int32_t head);
ZARELCOM_API zc_bool ClearPRCmd(void);
ZARELCOM_API zc_bool SetPRCmd(void);
ZARELCOM_API zc_bool IncPRCmd(void);
ZARELCOM_API zc_bool AdjPRCmd(void);

/* ---- Clock, shifts, counters, date format ----------------------------------------------------- */

/* clock[0] the year, clock[1..5] the printer's five one-byte clock fields. */
ZARELCOM_API zc_bool GetSystemClock(int32_t clock[6]);
ZARELCOM_API zc_bool SetZarelClock(const int32_t clock[6]);
/* *text: the year code as decimal text, held by the library until the next GetCYear; "dffd" when
 * the printer did not answer. */
ZARELCOM_API zc_bool GetCYear(const char **text);
ZARELCOM_API zc_bool SetCYear(int32_t year);
/* *text: "hh:mm", held by the library until the next GetRollHour; untouched on failure. */
ZARELCOM_API zc_bool GetRollHour(const char **text);
ZARELCOM_API zc_bool SetRollHour(int32_t hourMinute); /* hour x 100 + minute */
/* Five groups of (code, hour, minute); a group of code 0 is an empty shift slot. */
ZARELCOM_API zc_bool GetShift(int8_t shifts[15]);
ZARELCOM_API zc_bool SetZarelShift(const int8_t shifts[15]);
/* record: counter number (in and out), three counter values, on/off state. */
ZARELCOM_API zc_bool GetCounter(int32_t record[5], int32_t second);
ZARELCOM_API zc_bool SetZarelCount(const int32_t record[5], int32_t second);
/* 1 with *text the readable pattern (textForm nonzero, held until the next GetTDFormat) or the
 * address of the count byte and raw codes in the receive buffer; -1 with " Not use Time Date format"
 * when the printer has no format; 0 on failure (*text untouched). */
ZARELCOM_API int32_t GetTDFormat(const char **text, uint8_t textForm);
/* codes[0] is the count C (0 to 127), codes[1..C] the codes. */
ZARELCOM_API zc_bool SetTDFormat(const uint8_t *codes);

/* ---- Data blocks and user strings --------------------------------------------------------------- */

/* Sends the next 512 bytes of file (zero-filled at its end) as data block `block`. */
ZARELCOM_API zc_bool StxSendPack(uint8_t block, FILE *file);
/* Asks for data block `block`; its 512 bytes are then at receive-buffer bytes 4 to 515. */
ZARELCOM_API zc_bool StxGetPack(uint8_t block);
/* The user string as a new counted text (released by the caller), "0" when the exchange failed. */
ZARELCOM_API zc_text StxGetString(int32_t number);
/* *text: the string, held by the library until the next StxGetStringC; " Not use this string" for
 * an empty one; untouched on failure. */
ZARELCOM_API zc_bool StxGetStringC(uint8_t number, const char **text);
/* Texts of at most 251 bytes; a longer one is refused and nothing is sent. */
ZARELCOM_API zc_bool StxSdString(zc_text text, int32_t number);
ZARELCOM_API zc_bool StxSdStringC(const char *text, int32_t number);

/* ---- Printer search and link modes ------------------------------------------------------------- */

/* list[0]: one more than the number of ports, list[1..]: the COM numbers to try. Tries the five
 * rates 9600, 19200, 38400, 57600, 115200 on each port; on success list[0] is the position of the
 * port that answered and list[1] the index of its rate, and the port stays open at that rate. */
ZARELCOM_API zc_bool AutoConnect(int32_t *list);
/* Switches the printer to terminal mode; true when its prompt "CMD: " came. */
ZARELCOM_API zc_bool SetCmdProtocol(void);
/* Switches the printer back to packet mode. */
ZARELCOM_API zc_bool SetStxProtocol(void);

/* ---- Logo and file transfers ------------------------------------------------------------------- */

/* The file's size in bytes, -1 when it cannot be opened for reading. mode is not used. */
ZARELCOM_API int32_t GetFileLen(zc_text path, int32_t mode);
/* Announces the logo for a slot and sends it in 512-byte blocks. */
ZARELCOM_API zc_bool StxSendLogo(zc_text path, int32_t slot);
/* Sends the file in blocks after an announcement; length is the announced length. */
ZARELCOM_API zc_bool StxSendAllPack(zc_text path, int32_t length);
/* Terminal mode: announces the logo with "SEND.LOGO LOGOnn.BMP <length>". */
ZARELCOM_API zc_bool XmodemSendLogo(zc_text path, int32_t slot);
/* Does nothing. */
ZARELCOM_API void xCallback(int32_t a, int32_t b, int32_t c, int32_t d);

/* nameKind: 1 the path's file name, 2 "HP.ZIP", 3 "ZAREL.DAT", 4 "bmp\" + the file name,
 * anything else the name argument; the name is cut or blank-padded to 24 characters. */
ZARELCOM_API zc_bool StxSendFile(zc_text path, zc_text name, int32_t nameKind);
ZARELCOM_API zc_bool StxDownLoadFile(zc_text path, zc_text name);
ZARELCOM_API zc_bool XmodemFileSend(zc_text path);
ZARELCOM_API zc_bool StxDownLoadParameter(zc_text path);
ZARELCOM_API zc_bool DownLoadParameter(zc_text path);
ZARELCOM_API zc_bool StxUpdateZarel(zc_text path);
/* Fetches length bytes' worth of blocks into the local file; an existing file is replaced only
 * when every block arrived. */
ZARELCOM_API zc_bool StxGetFile(zc_text path, int32_t length);
ZARELCOM_API zc_bool StxUpLoadFile(zc_text path, zc_text name);
ZARELCOM_API zc_bool StxGetScr(zc_text path, zc_text name);
ZARELCOM_API zc_bool StxUpLoadMsgName(zc_text path);
ZARELCOM_API zc_bool StxUpLoadParameter(zc_text path);

ZARELCOM_API zc_bool BackUpLogo(zc_text path, int32_t logo);
ZARELCOM_API zc_bool BackUpMsg(zc_text path, int32_t message);
ZARELCOM_API zc_bool RestoreMsg(const char *path, uint16_t message);
ZARELCOM_API zc_bool PrintImage(zc_text path, uint8_t option);
/* hex: 2 x D hexadecimal digits; an odd count or a pair that is not hexadecimal sends nothing. */
ZARELCOM_API zc_bool DownLoadMessage(uint8_t message, zc_text hex);
/* Terminal-mode announcements only: no content follows. */
ZARELCOM_API zc_bool DownLoadFile(zc_text path, zc_text unused);
ZARELCOM_API zc_bool UpdateZarel(zc_text path);
ZARELCOM_API zc_bool UpLoadParameter(zc_text unused);
/* Replaces *text by its part after the last "\" (the variable's old reference is released). */
ZARELCOM_API zc_bool DelPathString(zc_text *text);

/* ---- Progress ----------------------------------------------------------------------------------- */

/* Builds the progress line for block n of a transfer of total bytes and hands it to the callback. */
ZARELCOM_API void ShowTxRxInfo(zc_text name, int32_t total, int32_t n);

#ifdef __cplusplus
}
#endif

#endif /* ZARELCOM_ZARELCOM_H */
