/*
 * zarelcom.h - the C interface of Zarelcom, the serial link library for Zarel HP marking printers.
 *
 * Usable from C99 and C++. Every function here is exported with its plain name; nothing else is.
 * C++ programs may add <zarelcom/zarelcom.hpp>: counted texts and links that give themselves back.
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
 *   failure is kept in GetCurrErrCode(): the printer's error number (0-255) from an error reply,
 *   or one of the library's own codes ZC_ERR_* below. A success never resets it.
 * - A port error (a device refusing a setting, a port already open, ...) becomes the function's
 *   failure result (false, or -1 for the counts); its message, e.g.
 *   "Port already assigned (open) (Error: -1)", is kept for GetLastPortError().
 * - Texts the library hands out by address stay valid until the next exchange with the printer, the
 *   next call of the same function, or the end of the callback, as each function says.
 *
 * Threads and links: every function runs to completion on the caller's thread and acts on that
 * thread's selected link. A link is one printer's state: its port, the receive buffer, the current
 * length, the retry counter, the terminal status, the last error code (GetCurrErrCode), the
 * progress callback, the last port error (GetLastPortError) and the texts held until the next
 * call of the same function. A thread that never calls zc_link_select uses the process-wide link,
 * which all such threads share: one port, one receive buffer and one last-error code for the
 * whole process, as with a single printer. To drive several printers at once, give each its own
 * link (zc_link_new) and select it in the thread that drives it (zc_link_select). A link has no
 * lock: one exchange at a time per link is the caller's rule, so a link is used by one thread at a
 * time (two threads may share one only if the caller orders their calls). Texts and addresses a
 * function hands out belong to the link they came from. Freeing a link that another thread still
 * has selected, or while a call on it runs, is a caller's fault: the link then stays in memory
 * until the running call ends (also when the call's own callback freed it), and that thread's
 * calls fail (false, -1 or null as each function fails, with a message for GetLastPortError)
 * until it selects another link. A handle names one link for the life of the process: a freed
 * handle never names a link made later.
 */
#ifndef ZARELCOM_ZARELCOM_H
#define ZARELCOM_ZARELCOM_H

#include <stdint.h>
#include <stdio.h>

#include <zarelcom/version.h> /* ZARELCOM_VERSION_MAJOR, _MINOR, _PATCH and _STRING */

#if defined(_WIN32)
#if defined(ZARELCOM_BUILDING)
#define ZARELCOM_API __declspec(dllexport)
#else
#define ZARELCOM_API __declspec(dllimport)
#endif
#else
#define ZARELCOM_API __attribute__((visibility("default")))
#endif

/* The calling convention of every export and callback type: stdcall on 32-bit Windows, which is
 * what 32-bit callers (VB6, Delphi, LabVIEW) expect of such a DLL; the platform's own elsewhere. */
#if defined(_WIN32) && !defined(_WIN64)
#define ZARELCOM_CALL __stdcall
#else
#define ZARELCOM_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint8_t zc_bool;
typedef const char *zc_text;

/* Error codes of GetCurrErrCode() that the library sets itself (the printer's own are 0-255). */
#define ZC_ERR_NO_STX 100           /* no STX among the first 11 bytes of a reply */
#define ZC_ERR_NO_LENGTH 101        /* length unreadable, or reply longer than the receive buffer */
#define ZC_ERR_SHORT_REPLY 102      /* fewer than N + 2 bytes followed the length in time */
#define ZC_ERR_SILENT 103           /* the line fell silent while the STX was awaited */
#define ZC_ERR_BAD_REPLY 104        /* the reply was damaged or too short for its command */
#define ZC_ERR_UNEXPECTED_REPLY 200 /* a transfer answered with an unexpected reply code */

/* Receives one zero-terminated progress line per call; the text is valid only during the call. */
typedef void(ZARELCOM_CALL *zc_message_callback)(const char *text);

/* Computer-side line rates, the ordinals taken by SetBaudRate. */
enum {
    ZC_BR110 = 0,
    ZC_BR300,
    ZC_BR600,
    ZC_BR1200,
    ZC_BR2400,
    ZC_BR4800,
    ZC_BR9600,
    ZC_BR14400,
    ZC_BR19200,
    ZC_BR38400,
    ZC_BR56000,
    ZC_BR57600,
    ZC_BR115200,
    ZC_BR128000,
    ZC_BR256000
};

/* The printer's facts, for every caller to take from here. */
#define ZC_BLOCK_SIZE 512       /* bytes of a transfer's block; a file's last block is padded */
#define ZC_LOGO_MAX_BYTES 16000 /* the largest logo file a printer takes into a slot */
#define ZC_LOGO_SLOTS 50        /* logo slots, numbered 1 to 50 */
#define ZC_SEARCH_RATE_COUNT 5  /* the line rates a printer may be set to, which the search tries */
/* Those rates as ZC_BR* ordinals, in the order the search tries them, to initialise an array:
 * int32_t rates[ZC_SEARCH_RATE_COUNT] = ZC_SEARCH_RATES; a rate's index here is the printer's
 * own number for it (SetZarelBaud) and what a search reports. */
#define ZC_SEARCH_RATES                                                                            \
    { ZC_BR9600, ZC_BR19200, ZC_BR38400, ZC_BR57600, ZC_BR115200 }

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
ZARELCOM_API zc_text ZARELCOM_CALL MakeText(const char *bytes, int32_t len);

/* Gives back one reference to a counted text made by MakeText or returned by the library; the text
 * is freed when its last reference goes. Null and constant texts are ignored. */
ZARELCOM_API void ZARELCOM_CALL ReleaseText(zc_text text);

/* The message of the latest port error that a function turned into its failure result on the
 * calling thread's link, with the code filled in, e.g. "Port not open (Error: -1)" or
 * "Error updating DataControlBlock (Error: 22)"; an empty text when the last function that could
 * set one did not. Every function that can set it clears it first, so it always belongs to the
 * latest such call. A failed open, which raises nothing, keeps the system's reason and the device
 * the name led to here, always beginning with "Cannot open ", e.g.
 * "Cannot open Com33: /dev/ttyUSB0: Permission denied (Error: 13)" (the code is the system's error
 * number). Never null. Valid until the next GetLastPortError on this thread. */
ZARELCOM_API const char *ZARELCOM_CALL GetLastPortError(void);

/* True when the failure GetLastPortError tells of was this computer's, not the port's or the
 * printer's: a local file that could not be read, created or written (a full disk, a folder that
 * takes no new file, a file that changed while it was sent). *os_error, when os_error is not
 * null, then gets the system's error number (errno's numbers, on Windows too), -1 where there is
 * none; it is left alone when the result is false. */
ZARELCOM_API zc_bool ZARELCOM_CALL zc_local_failure(int32_t *os_error);

/* Why the last open of a port failed (zc_port_failure). */
#define ZC_PORT_OK 0      /* the last open succeeded (or no port was opened yet) */
#define ZC_PORT_MISSING 1 /* no device: the number is mapped to none, or the device is not there */
#define ZC_PORT_DENIED 2  /* the user may not open the device */
#define ZC_PORT_BUSY 3    /* another program holds the line */
#define ZC_PORT_NOT_SERIAL 4 /* the device is no serial port (a disk file, /dev/null, ...) */
#define ZC_PORT_OTHER 5      /* any other reason: see os_error and GetLastPortError */

typedef struct zc_port_failure_info {
    int32_t kind;       /* ZC_PORT_* */
    int32_t os_error;   /* the system's error number (errno; on Windows GetLastError's code);
                           ENOTTY for a device that is no serial port, -1 where the refusal is
                           the library's own (a number outside 0-255, a port already open) */
    char device[260];   /* the device (or address) the name led to, "" when it leads to none */
    int32_t holder_pid; /* for ZC_PORT_BUSY: the process that holds the line, 0 when unknown */
    char holder[64];    /* that process's program name, "" when unknown */
} zc_port_failure_info;

/* Fills *out with how the calling thread's link last tried to open a port (OpenComPort,
 * zc_open_port_device, or a search): kind ZC_PORT_OK with the device when it opened, otherwise
 * why it did not. The holder of a busy line is looked up on Linux (the program holding its lock,
 * else one that has it open; processes of other users cannot be looked into); on Windows it is
 * unknown, and a port held by another program is ZC_PORT_BUSY. Texts are zero-terminated, cut to
 * fit. True when that open failed (kind is not ZC_PORT_OK); false when it succeeded, when no open
 * was tried yet (kind ZC_PORT_OK, the rest empty), and for a null out. */
ZARELCOM_API zc_bool ZARELCOM_CALL zc_port_failure(zc_port_failure_info *out);

/* ---- Links ------------------------------------------------------------------------------------- */

/* One printer's link. */
typedef struct zc_link zc_link;

/* A new link with its own port, closed ("Com1" at 19200 bit/s), and its own state as the
 * process-wide link has it at load: empty receive buffer, error code 0, no callback. Null when
 * memory runs out. Give it back with zc_link_free. */
ZARELCOM_API zc_link *ZARELCOM_CALL zc_link_new(void);

/* Closes the link's port and frees it. Null, the process-wide link and a link already freed are
 * ignored. A link that a thread still has selected stays in memory until that thread selects
 * another (or ends); its calls fail meanwhile (see Threads and links). */
ZARELCOM_API void ZARELCOM_CALL zc_link_free(zc_link *link);

/* From now on the calling thread's functions act on link; null selects the process-wide link.
 * Returns the link selected before (null for the process-wide one, or for one freed meanwhile),
 * which the caller may select again when done. A link that is not live (freed, or not made by
 * zc_link_new) is refused, and loudly: the thread is then on no link at all, not even the
 * process-wide one, so every call fails (false, -1 or null; GetCurrErrCode -1; CallBackMsgback
 * and zc_set_progress register nothing; zc_port_failure is false) and GetLastPortError begins
 * "No such link", until the thread selects a live link or null. The result is still the link
 * selected before. */
ZARELCOM_API zc_link *ZARELCOM_CALL zc_link_select(zc_link *link);

/* ---- Port and library state ----------------------------------------------------------------- */

/* Opens serial port "Com" n (on Linux: the entry com<n> in $ZARELCOM_PORT_DIR, by default
 * $XDG_CONFIG_HOME/zarelcom/ports or ~/.config/zarelcom/ports, else COM1-32 /dev/ttyS0-31,
 * COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31), exclusively: raw 8-bit line at the rate
 * last set with SetBaudRate (19200 at first), no parity, one stop bit.
 * A port already open is closed first, except for n = 0, which keeps it open and fails.
 * True when the port is open afterwards. False for a number without a device, a device that is
 * not a serial port, one held by another program, a port error (for each of these
 * GetLastPortError says why), and for n outside 0-255 (the port is then closed). */
ZARELCOM_API zc_bool ZARELCOM_CALL OpenComPort(int32_t n);

/* Opens the port on a device named by its path or name instead of a COM number ("/dev/ttyUSB0",
 * a /dev/serial/by-id path, "COM5"), with the rules and results of OpenComPort: the open port is
 * closed first; false for a null or empty name and when the device cannot be opened. */
ZARELCOM_API zc_bool ZARELCOM_CALL zc_open_port_device(const char *device);

/* One serial port of this machine, as zc_list_ports gives it. Texts are zero-terminated, cut to
 * fit. */
typedef struct zc_port_info {
    int32_t number;         /* the COM number OpenComPort takes */
    char device[256];       /* what it resolves to: "/dev/ttyUSB0", "\\.\COM5" */
    char by_id[256];        /* stable name, e.g. "/dev/serial/by-id/usb-FTDI_...", or "" */
    char description[128];  /* USB product or the system's friendly name, or "" */
    char serial_number[64]; /* USB serial number, or "" */
    int32_t usb_vendor;     /* USB vendor id, -1 when unknown */
    int32_t usb_product;    /* USB product id, -1 when unknown */
} zc_port_info;

/* The serial ports OpenComPort can reach, in COM order: on Linux each port directory entry and each
 * default device above that exists and is a serial port (a device the user may not open or that
 * another program holds is listed: its open says why). Fills up to capacity entries (ports may be
 * null when capacity is 0) and returns how many ports there are in all, which may exceed capacity:
 * call again with a larger array. */
ZARELCOM_API int32_t ZARELCOM_CALL zc_list_ports(zc_port_info *ports, int32_t capacity);

/* Closes the port. False only when it is still open afterwards; true also when it was closed. */
ZARELCOM_API zc_bool ZARELCOM_CALL CloseComPort(void);

/* Sets the computer side's line rate to a ZC_BR* ordinal (0 to 14), at once when the port is open
 * and at the next open otherwise. True when the port is open. False while closed (the rate is
 * still kept), for an ordinal outside 0-14 (refused, nothing changes) and when the device refuses
 * the rate (see GetLastPortError). The printer's own rate is changed with SetZarelBaud. */
ZARELCOM_API zc_bool ZARELCOM_CALL SetBaudRate(int32_t ordinal);

/* Aborts pending transfers and empties both queues of the port; nothing when it is closed. */
ZARELCOM_API void ZARELCOM_CALL ClearFiFo(void);

/* One byte read from the port (0-255, so 255 is a byte); -1 when none arrived within 1000 ms, the
 * read failed or the port is closed. */
ZARELCOM_API int32_t ZARELCOM_CALL sio_getchar(void);

/* Reads up to count bytes into buffer: returns at once with what is waiting (at most count),
 * otherwise waits up to 1000 ms for count bytes and returns what arrived.
 * Bytes read (0 for count 0 or when nothing came or the read failed); -1 when the port is closed,
 * buffer is null or count is negative (nothing is read then). */
ZARELCOM_API int32_t ZARELCOM_CALL sio_read(uint8_t *buffer, int32_t count);

/* Writes count bytes from buffer. Bytes written (0 for count 0 or a failed write); -1 when the
 * port is closed, buffer is null or count is negative (nothing is written then). */
ZARELCOM_API int32_t ZARELCOM_CALL sio_write(const uint8_t *buffer, int32_t count);

/* Bytes waiting in the input / output queue; -1 when the port is closed. */
ZARELCOM_API int32_t ZARELCOM_CALL sio_inque(void);
ZARELCOM_API int32_t ZARELCOM_CALL sio_outque(void);

/* The last error code (0 until the first failure; never reset by a success; port functions leave
 * it alone). */
ZARELCOM_API int32_t ZARELCOM_CALL GetCurrErrCode(void);

/* What a last error code means, in English, as a phrase to show after the code: "printer error n"
 * for 0-255 (with the meaning where the library knows one), a sentence with advice for the
 * library's own ZC_ERR_* codes, "unknown error code n" for anything else. Never null; the texts
 * of 0-255 and ZC_ERR_* stay valid for the life of the library, any other until the next call on
 * the same thread. */
ZARELCOM_API const char *ZARELCOM_CALL zc_error_text(int32_t code);

/* Registers the progress callback, called on the thread that runs a transfer. Null keeps the
 * registered one and returns 0; otherwise returns the function's address as an integer. */
ZARELCOM_API intptr_t ZARELCOM_CALL CallBackMsgback(zc_message_callback callback);

/* Receives every transfer's progress as numbers: done bytes (whole blocks, so it can pass the
 * total on the last block), the total announced (0 when none), the progress line the message
 * callback gets (ShowTxRxInfo), and the context given with it. The line is valid only during the
 * call. */
typedef void(ZARELCOM_CALL *zc_progress_callback)(int64_t done, int64_t total, const char *line,
                                                  void *context);

/* Registers the calling thread's link's progress callback, with a context it is handed back; null
 * removes it. It is called on the thread that runs a transfer, after every finished block, just
 * after the message callback (CallBackMsgback), which stays as it is. Returns the context
 * registered before as an integer (0 when there was none), so that a caller that allocated it can
 * free it. */
ZARELCOM_API intptr_t ZARELCOM_CALL zc_set_progress(zc_progress_callback callback, void *context);

/* The library's version number: 247. */
ZARELCOM_API int32_t ZARELCOM_CALL DllVersion(void);

/* ---- Packet exchange and terminal mode ------------------------------------------------------- */
/* Frames: STX 0x02, payload length N (big-endian 16 bits), N payload bytes ("0", command,
 * parameters; values inside little-endian), checksum (low 8 bits of the sum of the two length
 * bytes and the payload), ETX 0x03.
 * The receive buffer is the library's own 1024 bytes. After a packet exchange it holds the reply
 * from its lead byte on: reply code at byte 1, reply data byte k at byte 2 + k, then checksum and
 * ETX. It keeps its contents until the next exchange; addresses into it that functions hand out
 * are valid until then. A reply's checksum and ETX are not checked.
 * Reception failures set GetCurrErrCode(): 100 no STX among the first 11 bytes; 101 the length
 * could not be read, or the reply (N + 2 bytes) is longer than the receive buffer (it is read off
 * the line and dropped); 102 fewer than N + 2 bytes followed the length in time (the count that
 * did arrive is then sent to the printer in decimal digits); 103 the line fell silent while the
 * STX was awaited; 104 a reply without a reply code (N below 2), or an error reply without its
 * error number; 0-255 the printer's error number from an error reply (reply code "1"). A printer
 * that does not answer at all (about 2 s per attempt) and a closed port set no code.
 * An attempt's reception lasts at most 3.2 s plus the time the reply's bytes take on the line at
 * the port's line rate, however slowly the printer sends.
 * The terminal-mode functions never set GetCurrErrCode(). */

/* Sends a request frame and waits for a good reply: up to three attempts, the queues emptied
 * before the first and after each failed one. An error reply 16 to the attempt just made stops the
 * retries. frame: STX, length, payload, one spare byte for the checksum (filled in; nothing else
 * is written), ETX. True when a good reply is in the receive buffer; false on failure and for a
 * null frame. */
ZARELCOM_API zc_bool ZARELCOM_CALL SendPackToZarel(uint8_t *frame);

/* As SendPackToZarel, but always makes all three attempts, whatever error the printer returns
 * (used for data blocks). */
ZARELCOM_API zc_bool ZARELCOM_CALL SendPackToZarel2(uint8_t *frame);

/* Receives one reply frame into the library's receive buffer. The argument is not used: the reply
 * always lands in the library's own buffer. True for a good reply; false with the code above. */
ZARELCOM_API zc_bool ZARELCOM_CALL RcvPack(uint8_t *buffer);

/* Types one command line (with its closing carriage return) in terminal mode: up to three
 * attempts, each emptying the queues first, with 2 s after every failed one. True when the printer
 * echoed the line (its text less the last two characters) or answered ACK or NAK. */
ZARELCOM_API zc_bool ZARELCOM_CALL SendTermCmd(zc_text line);

/* Waits about 4 s for a terminal answer and reads it (at most 1024 bytes) into the library's
 * receive buffer; the buffer argument is not used. True when the answer holds the expected text
 * less its last two characters (an expected text of two characters or fewer matches only through
 * ACK / NAK), an ACK (0x06) or a NAK (0x15); false when fewer bytes came than expected holds. */
ZARELCOM_API zc_bool ZARELCOM_CALL RcvCmdPack1(zc_text expected, uint8_t *buffer);

/* Waits for the readiness character "C" in terminal mode, reading into the library's receive
 * buffer (the argument is not used). True when it came. On failure the terminal status tells why:
 * 0 nothing arrived, 1 fewer than 8 bytes, 2 no "C" among them. */
ZARELCOM_API zc_bool ZARELCOM_CALL RcvCmdPack(uint8_t *buffer);

/* Writes the text's bytes as they are; true when the port took every one. Nothing is purged and
 * nothing awaited. */
ZARELCOM_API zc_bool ZARELCOM_CALL StringSend(zc_text text);

/* Pacing: how the exchanges above wait for the printer.
 * ZC_PACING_POLLED (the default): they sleep between looks at the port, 20 ms for the first reply
 * byte, 30 ms while the reply settles, 100 ms in terminal mode, as the printer's protocol paces
 * them. ZC_PACING_EVENTS: they wait on the line for the same conditions (a byte, the whole reply,
 * the output sent) and go on the moment each holds, with the same deadlines, retries, outcomes
 * and error codes; the fixed 2 s pause after a failed terminal command stays. Use it with a
 * printer whose firmware keeps up with requests sent back to back: an exchange then takes little
 * more than its time on the wire. The environment variable ZARELCOM_PACING=events makes events
 * pacing the initial setting of every link, so that a program gets it without being rebuilt. */
#define ZC_PACING_POLLED 0
#define ZC_PACING_EVENTS 1
/* Sets the pacing of the calling thread's link; true, or false (nothing changed) for any value
 * other than ZC_PACING_POLLED and ZC_PACING_EVENTS. */
ZARELCOM_API zc_bool ZARELCOM_CALL zc_set_pacing(int32_t pacing);

/* ---- Queries ---------------------------------------------------------------------------------- */
/* One exchange each (GetEncoder two). Outputs are written only after a good reply and a null
 * output pointer fails before anything is sent; the reason of a failure is in GetCurrErrCode().
 * A good reply that carries fewer data bytes than the function reads is a failure too: its
 * failure value, outputs untouched, GetCurrErrCode() 104 (ZC_ERR_BAD_REPLY). */

/* Reply data byte 4 (0-255); -1 on failure */
ZARELCOM_API int32_t ZARELCOM_CALL GetZarelType(void);
/* The five fields of the printer's "B" reply; untouched on failure. */
ZARELCOM_API zc_bool ZARELCOM_CALL GetSysInfo(SystemInfo *info);
/* 1 printing, 0 not printing, -1 on failure */
ZARELCOM_API int32_t ZARELCOM_CALL GetPrintStatus(void);
/* A free logo slot 1-50, above 50 when none, -1 */
ZARELCOM_API int32_t ZARELCOM_CALL GetFreeLogoNo(void);
/* Free bytes; 0 on failure (and for 0 free) */
ZARELCOM_API int32_t ZARELCOM_CALL GetFreeDiskSpc(void);
/* Signed 16-bit value; 0 on failure */
ZARELCOM_API int32_t ZARELCOM_CALL GetMaxMsg(void);
/* 0-255; -1 on failure */
ZARELCOM_API int32_t ZARELCOM_CALL GetMeasure(void);
/* 0-255; -1 on failure */
ZARELCOM_API int32_t ZARELCOM_CALL GetMessageNo(void);
/* 0-255; 255 also on failure */
ZARELCOM_API int32_t ZARELCOM_CALL GetInkStaus(void);
/* 0-255; 2 on failure */
ZARELCOM_API int32_t ZARELCOM_CALL GetBackUpRestoreReg(void);
ZARELCOM_API zc_bool ZARELCOM_CALL GetConveyor(int32_t *value);
/* Two requests: "Y" fills record[0..1], then "[" fills *status. A failed second request leaves the
 * record written and returns false. */
ZARELCOM_API zc_bool ZARELCOM_CALL GetEncoder(int32_t record[2], int32_t *status);
/* record[0] goes out with the request; both fields are filled from the reply. */
ZARELCOM_API zc_bool ZARELCOM_CALL GetMsgDelay(int32_t record[2]);
/* *count: the number of language names handed out (as many whole 8-byte names as the reply
 * carries, at most the number it announces); *current: the language number SetLang sets;
 * *names: a new counted text of *count x 8 bytes (8-byte entries, null for none), released by the
 * caller with ReleaseText. */
ZARELCOM_API zc_bool ZARELCOM_CALL GetLang(int32_t *count, int32_t *current, zc_text *names);
/* Reply data bytes 0-63 as they are */
ZARELCOM_API zc_bool ZARELCOM_CALL GetSysData(uint8_t data[64]);
/* The head number's low byte goes out */
ZARELCOM_API zc_bool ZARELCOM_CALL GetPHCfg(int32_t head);
ZARELCOM_API zc_bool ZARELCOM_CALL GetTaskCfg(void);
ZARELCOM_API zc_bool ZARELCOM_CALL GetTaskNo(void);
/* The reply text of sub-command 0x10 (reply data from byte 1), zero-terminated at the latest where
 * the reply's payload ends; inside the receive buffer, valid until the next exchange. Null on
 * failure. */
ZARELCOM_API const char *ZARELCOM_CALL GetPRCmd(void);

/* ---- Settings and actions ----------------------------------------------------------------------- */
/* One exchange each: true on a good reply, false on any failure (also for a null argument, which
 * sends nothing). Integer arguments sent in one byte send their low 8 bits. */

ZARELCOM_API zc_bool ZARELCOM_CALL ZarelReboot(void);
/* Low byte: index in the printer's list */
ZARELCOM_API zc_bool ZARELCOM_CALL SetZarelBaud(int32_t baudNumber);
ZARELCOM_API zc_bool ZARELCOM_CALL SetLang(int32_t language);
ZARELCOM_API zc_bool ZARELCOM_CALL SetMeasure(int32_t measure);
ZARELCOM_API zc_bool ZARELCOM_CALL SetMessageNo(int32_t message);
ZARELCOM_API zc_bool ZARELCOM_CALL SetTaskCfg(int32_t config);
ZARELCOM_API zc_bool ZARELCOM_CALL SetTaskNo(int32_t task);
ZARELCOM_API zc_bool ZARELCOM_CALL SetPrintOff(void);
ZARELCOM_API zc_bool ZARELCOM_CALL SetPrintOn(void);
ZARELCOM_API zc_bool ZARELCOM_CALL StopTask(void);
ZARELCOM_API zc_bool ZARELCOM_CALL SetConveyor(const int32_t *value);
/* What GetEncoder's "Y" reads */
ZARELCOM_API zc_bool ZARELCOM_CALL SetEncoder(const int32_t record[2]);
/* The byte, then three zero bytes */
ZARELCOM_API zc_bool ZARELCOM_CALL SetEncoderStatus(const uint8_t *status);
/* What GetMsgDelay reads */
ZARELCOM_API zc_bool ZARELCOM_CALL SetMsgDelay(const int32_t record[2]);
/* Print-head configuration, sent byte for byte: cfg[0] is the head number, the rest the
 * printer's values. */
ZARELCOM_API zc_bool ZARELCOM_CALL SetPHCfg(const uint8_t cfg[3]);
ZARELCOM_API zc_bool ZARELCOM_CALL SetPHCfgH(const uint8_t cfg[5]);
/* Head's low byte, then dpi's */
ZARELCOM_API zc_bool ZARELCOM_CALL SetPHDPI(int32_t dpi, int32_t head);
/* Sub-commands 0x12, 0x13, 0x11, 0x14 of the print-registration command. */
ZARELCOM_API zc_bool ZARELCOM_CALL ClearPRCmd(void);
ZARELCOM_API zc_bool ZARELCOM_CALL SetPRCmd(void);
ZARELCOM_API zc_bool ZARELCOM_CALL IncPRCmd(void);
ZARELCOM_API zc_bool ZARELCOM_CALL AdjPRCmd(void);

/* ---- Clock, shifts, counters, date format ----------------------------------------------------- */
/* Hour and minute travel as one value hour x 100 + minute (07:30 is 730). Nothing is range-checked.
 * Outputs are untouched on failure unless said otherwise. */

/* clock[0] the year (signed 16 bits on the wire), clock[1..5] the printer's five one-byte clock
 * fields, in record order. */
ZARELCOM_API zc_bool ZARELCOM_CALL GetSystemClock(int32_t clock[6]);
ZARELCOM_API zc_bool ZARELCOM_CALL SetZarelClock(const int32_t clock[6]);
/* *text: the year code as decimal text, held by the library until the next GetCYear; set to
 * "dffd" before anything is sent, so it stays "dffd" when the printer did not answer. */
ZARELCOM_API zc_bool ZARELCOM_CALL GetCYear(const char **text);
ZARELCOM_API zc_bool ZARELCOM_CALL SetCYear(int32_t year);
/* *text: "hh:mm", held by the library until the next GetRollHour. */
ZARELCOM_API zc_bool ZARELCOM_CALL GetRollHour(const char **text);
/* Hour x 100 + minute */
ZARELCOM_API zc_bool ZARELCOM_CALL SetRollHour(int32_t hourMinute);
/* Five groups of (code, hour, minute). The printer marks an empty shift slot with the code " ";
 * GetShift hands such a group out as 0, 0, 0. SetZarelShift sends every code as it is. */
ZARELCOM_API zc_bool ZARELCOM_CALL GetShift(int8_t shifts[15]);
ZARELCOM_API zc_bool ZARELCOM_CALL SetZarelShift(const int8_t shifts[15]);
/* record: counter number (in and out), three counter values, on/off state (nonzero on); second:
 * one more byte the printer takes with every counter request. */
ZARELCOM_API zc_bool ZARELCOM_CALL GetCounter(int32_t record[5], int32_t second);
ZARELCOM_API zc_bool ZARELCOM_CALL SetZarelCount(const int32_t record[5], int32_t second);
/* 1 with *text the readable pattern (textForm nonzero; e.g. "YYYY/MM/DD", held until the next
 * GetTDFormat) or the address of the count byte and the raw codes in the receive buffer (valid
 * until the next exchange); -1 with " Not use Time Date format" when the printer has no format;
 * 0 on failure (*text untouched). */
ZARELCOM_API int32_t ZARELCOM_CALL GetTDFormat(const char **text, uint8_t textForm);
/* codes[0] is the count C (0 to 127), codes[1..C] the codes. A count of 128 or more is refused:
 * false, nothing is sent. */
ZARELCOM_API zc_bool ZARELCOM_CALL SetTDFormat(const uint8_t *codes);

/* ---- Data blocks and user strings --------------------------------------------------------------- */
/* Blocks carry the low 8 bits of their number and the complement of that byte. */

/* Sends the next 512 bytes of file, read once from its current position (zero-filled where the
 * file ends), as data block `block`; up to three whole SendPackToZarel2 exchanges. True when the
 * printer acknowledged the block with "O". A null file sends nothing.
 * On Windows, file must come from the C runtime zarelcom.dll itself uses (msvcrt.dll, which the
 * mingw-w64 compilers use too). A FILE of any other runtime, such as the Universal CRT of current
 * Visual C++, is a different object there, and passing it is undefined. Programs built so, and
 * other languages, send a whole file by its path instead: StxSendAllPack after an announcement,
 * or one of the announcing transfers (StxSendLogo, StxSendFile). */
ZARELCOM_API zc_bool ZARELCOM_CALL StxSendPack(uint8_t block, FILE *file);
/* Asks for data block `block`, up to three exchanges. True when the printer returned the whole
 * block with reply code "}" and a checksum and ETX that agree with it (a short or damaged block is
 * asked for again); its 512 bytes are then at receive-buffer bytes 4 to 515, valid until the next
 * exchange. */
ZARELCOM_API zc_bool ZARELCOM_CALL StxGetPack(uint8_t block);
/* The user string, up to its first zero byte, as a new counted text (released by the caller with
 * ReleaseText; null for an empty string); the text "0" when the exchange failed. */
ZARELCOM_API zc_text ZARELCOM_CALL StxGetString(int32_t number);
/* *text: the string, held by the library until the next StxGetStringC; " Not use this string" for
 * an empty one; untouched on failure. */
ZARELCOM_API zc_bool ZARELCOM_CALL StxGetStringC(uint8_t number, const char **text);
/* Writes user string `number` (low 8 bits). Texts of more than 251 bytes are refused: false,
 * nothing is sent. Zero bytes in a counted text are sent as they are. */
ZARELCOM_API zc_bool ZARELCOM_CALL StxSdString(zc_text text, int32_t number);
ZARELCOM_API zc_bool ZARELCOM_CALL StxSdStringC(const char *text, int32_t number);

/* ---- Printer search and link modes ------------------------------------------------------------- */

/* list[0]: one more than the number of ports, list[1..]: the COM numbers to try, in order. Opens
 * each and tries the rates of ZC_SEARCH_RATES (9600 to 115200) with GetSysInfo, until one answers
 * with a model number above 100: then list[0] is the position (1-based) of that port, list[1] the
 * index (0-4) of its rate, the port stays open at that rate, and the result is true. On failure
 * the list is unchanged, the port is left open at the last port tried (if it opened), and the
 * rate is 115200, also for the next open when no port opened.
 * A port that opens but does not answer costs about 30 s; an entry whose port does not open
 * (also 0 while a port is open, and numbers outside 0-255) costs no exchange and is passed over. */
ZARELCOM_API zc_bool ZARELCOM_CALL AutoConnect(int32_t *list);
/* Asked before each port and rate of a search is tried: the COM number, the ZC_BR* ordinal and
 * the context given to zc_search. Zero stops the search. */
typedef zc_bool(ZARELCOM_CALL *zc_search_callback)(int32_t port, int32_t rate_ordinal,
                                                   void *context);
/* AutoConnect with a say: calls on_try (when not null) before each port and rate is tried, the
 * first time for a port before it is opened (a port that does not open is asked about once).
 * When on_try returns 0 the search stops at once: the result is false, the list unchanged and the
 * port closed. Otherwise the rule, order, list and results are AutoConnect's. A caller that must
 * stop a search from another thread makes on_try answer 0 and closes the port (CloseComPort): the
 * try under way then fails at once and the search asks on_try next. */
ZARELCOM_API zc_bool ZARELCOM_CALL zc_search(int32_t *list, zc_search_callback on_try,
                                             void *context);
/* Switches the printer to terminal mode: sends the switch packet, then single carriage returns
 * until the prompt "CMD: " comes back, up to 25 tries of about 4 s. True when it came. */
ZARELCOM_API zc_bool ZARELCOM_CALL SetCmdProtocol(void);
/* Switches the printer to packet mode with "STX.PROTOCOL": up to 5 tries. True when the printer
 * then stays silent in terminal mode and answers a print-status packet. */
ZARELCOM_API zc_bool ZARELCOM_CALL SetStxProtocol(void);

/* ---- Logo and file transfers ------------------------------------------------------------------- */
/* The printer must be in packet mode, except for the terminal-mode announcements at the end.
 * A transfer announces (or requests) the file, then moves it in 512-byte blocks numbered from 1
 * (only the number's low 8 bits go out), each acknowledged before the next; a length L gives
 * (L + 511) / 512 blocks, none for L <= 0. One block is in memory at a time whatever the file's
 * size. After every finished block the progress line (ShowTxRxInfo) goes to the callback. A
 * transfer blocks the calling thread to its end; there is no cancellation.
 * A block not acknowledged or not delivered after its three tries of three exchange attempts ends
 * the transfer: false, LastErrorCode as that exchange left it, nothing more is sent.
 *
 * Local paths are counted texts (RestoreMsg: a plain text) opened as given; a path holding a zero
 * byte is refused. Where a printer-side name is taken from a local path, its file-name part is
 * what follows the last "\", ":" or "/".
 *
 * Sending: the file is opened for reading only, so read-only files are sent with their content;
 * a path that is not a readable regular file (or is 2 GiB or larger) is refused before anything
 * goes on the wire: false, LastErrorCode unchanged. An announcement answered with another code
 * than "O" gives false, LastErrorCode 200, and no block. An empty file is announced with length 0
 * and then gives false. Every block is read before it goes: a read that fails, or a file now
 * shorter than when the send began, ends the send before that block (false, LastErrorCode
 * unchanged, GetLastPortError says why); no zeros stand in for the file's missing bytes.
 *
 * Fetching: the blocks go into a temporary file beside the local file, which replaces it only
 * when every block arrived and was written. On Linux a symbolic link is followed to the file it
 * names (also one not there yet), which is replaced in its own folder: the link stays. The folder
 * is the one that was there when the fetch began, also if it is moved meanwhile (on Windows it
 * cannot be moved while the fetch runs). The result is then
 * exactly block count x 512 bytes (the printer's padding of the last block included), readable
 * and writable by its owner, with an existing file's other permissions except set-user-id and
 * set-group-id, and (on Linux, where the system allows it) its owner and group. A failed fetch
 * (refused request, length 0 or below, a block not delivered, a local file that cannot be
 * created or written, a full disk) returns false and leaves the local file as it was; when the
 * new version cannot be created (a folder without write permission, a path naming a device or
 * folder) nothing goes on the wire. A failure of the local file leaves LastErrorCode unchanged;
 * GetLastPortError says what failed with the system's reason, and zc_local_failure is true. */

/* The size in bytes of the file at path, opened for reading only; -1 when it is not a readable
 * regular file (or is 2 GiB or larger). mode is accepted and not used (callers pass 0x8002). */
ZARELCOM_API int32_t ZARELCOM_CALL GetFileLen(zc_text path, int32_t mode);
/* Puts a logo file into a logo slot: announcement 0x7C (length, kind 2, slot's low 16 bits),
 * answered "O", then the file's blocks. True when every block was acknowledged. The file's bytes
 * go unchanged; the library does not look at their content or set a size limit. */
ZARELCOM_API zc_bool ZARELCOM_CALL StxSendLogo(zc_text path, int32_t slot);
/* The block loop alone, for a file already announced: sends (length + 511) / 512 blocks from the
 * file's start (zero-filled past its end). False when the file cannot be read (nothing is sent),
 * length is 0 or below, or a block fails. */
ZARELCOM_API zc_bool ZARELCOM_CALL StxSendAllPack(zc_text path, int32_t length);
/* Terminal mode: types "SEND.LOGO LOGOnn.BMP <length>\r" (nn: the 2nd and 3rd digits of slot +
 * 100). True when the printer echoed it. An announcement only: no content follows. A file that
 * cannot be read is refused and nothing is typed. */
ZARELCOM_API zc_bool ZARELCOM_CALL XmodemSendLogo(zc_text path, int32_t slot);
/* Does nothing; kept for callers that import it. */
ZARELCOM_API void ZARELCOM_CALL xCallback(int32_t a, int32_t b, int32_t c, int32_t d);

/* Sends a file into the printer's store: announcement "x" (length, kind 3, 24-byte name field),
 * answered "O", then its blocks. nameKind chooses the printer-side name: 1 the path's file-name
 * part, 2 "HP.ZIP", 3 "ZAREL.DAT", 4 "bmp\" + the file-name part, anything else the name argument
 * (unused for 1 to 4). The name is cut to 24 bytes or padded with blanks to 24. */
ZARELCOM_API zc_bool ZARELCOM_CALL StxSendFile(zc_text path, zc_text name, int32_t nameKind);
/* StxSendFile(path, name, 0). */
ZARELCOM_API zc_bool ZARELCOM_CALL StxDownLoadFile(zc_text path, zc_text name);
/* StxSendFile with kind 4: into the printer's "bmp\" folder under the file's own name. */
ZARELCOM_API zc_bool ZARELCOM_CALL XmodemFileSend(zc_text path);
/* The parameter file as "ZAREL.DAT", then the printer's restart (ZarelReboot). True when the
 * file went, whatever the restart's outcome; the printer is not waited for. */
ZARELCOM_API zc_bool ZARELCOM_CALL StxDownLoadParameter(zc_text path);
/* The same as StxDownLoadParameter. */
ZARELCOM_API zc_bool ZARELCOM_CALL DownLoadParameter(zc_text path);
/* The program update package as "HP.ZIP", then the restart, as StxDownLoadParameter. */
ZARELCOM_API zc_bool ZARELCOM_CALL StxUpdateZarel(zc_text path);
/* The block loop alone: fetches (length + 511) / 512 blocks into the local file at path (see
 * Fetching above). False for a length of 0 or below. */
ZARELCOM_API zc_bool ZARELCOM_CALL StxGetFile(zc_text path, int32_t length);
/* Fetches the printer's file called name (cut or blank-padded to 24) into the local file at path:
 * request "w", answered "w" with the length (another code: false, LastErrorCode 200), then the
 * blocks. */
ZARELCOM_API zc_bool ZARELCOM_CALL StxUpLoadFile(zc_text path, zc_text name);
/* As StxUpLoadFile under the request 0x81 (the printer's screen image), answered 0x81. */
ZARELCOM_API zc_bool ZARELCOM_CALL StxGetScr(zc_text path, zc_text name);
/* As StxUpLoadFile for the message-name list: name field "MsgName.dat", 11 blanks, 2 zero bytes. */
ZARELCOM_API zc_bool ZARELCOM_CALL StxUpLoadMsgName(zc_text path);
/* As StxUpLoadFile for the parameter file: name field "ZAREL.PAR", 14 blanks, 1 zero byte. */
ZARELCOM_API zc_bool ZARELCOM_CALL StxUpLoadParameter(zc_text path);

/* Backs up a logo (request "{") or a message (request "y"), number's low 16 bits, into the local
 * file at path. Answered with the request's own code and the length; another code gives false
 * with LastErrorCode unchanged. */
ZARELCOM_API zc_bool ZARELCOM_CALL BackUpLogo(zc_text path, int32_t logo);
ZARELCOM_API zc_bool ZARELCOM_CALL BackUpMsg(zc_text path, int32_t message);
/* Restores a message from the local file at the plain zero-terminated path (null is refused):
 * announcement "z" (length, kind 1, message number), answered "O", then the blocks. */
ZARELCOM_API zc_bool ZARELCOM_CALL RestoreMsg(const char *path, uint16_t message);
/* Sends an image file for printing: announcement "v" (length, kind 4, option byte, 0), answered
 * "O", then the blocks. The option byte goes unchanged. */
ZARELCOM_API zc_bool ZARELCOM_CALL PrintImage(zc_text path, uint8_t option);
/* Loads a message given as 2 x D hexadecimal digits (either case), first pair first, in one
 * packet "C" (message number, D bytes). True on any good reply. An odd count, a pair that is not
 * hexadecimal or more than 65532 bytes sends nothing and gives false. */
ZARELCOM_API zc_bool ZARELCOM_CALL DownLoadMessage(uint8_t message, zc_text hex);
/* Terminal-mode announcements only, true when the printer echoed the line; no content follows.
 * DownLoadFile: "SEND.DOS <file-name part><length>\r" (no blank before the length); unused is
 * ignored. UpdateZarel: "ZAREL.PROGRAM.UPGRAD <length>\r". A file that cannot be read is refused
 * and nothing is typed. UpLoadParameter: "UPLOAD.PARAMETER\r"; unused is ignored. */
ZARELCOM_API zc_bool ZARELCOM_CALL DownLoadFile(zc_text path, zc_text unused);
ZARELCOM_API zc_bool ZARELCOM_CALL UpdateZarel(zc_text path);
ZARELCOM_API zc_bool ZARELCOM_CALL UpLoadParameter(zc_text unused);
/* Replaces the counted text in *text by its part after the last "\" (only the backslash counts: a
 * drive colon stays; a text ending in "\" becomes empty, i.e. null). The new text is the
 * library's, released by the caller with ReleaseText; the variable's old reference is released.
 * A text without "\" is left as it is. True; false only for a null text address or when memory
 * runs out (the variable is then unchanged). */
ZARELCOM_API zc_bool ZARELCOM_CALL DelPathString(zc_text *text);

/* ---- Progress ----------------------------------------------------------------------------------- */

/* Builds the progress line for block n of a transfer of total bytes (done = n x 512, whole
 * blocks, so it can pass the total on the last block) and hands it to the registered callback;
 * nothing without one. The line: name, two blanks, the per-cent field of exactly four characters
 * (done x 100 / total, at most 100, then "%" and blanks), done, " / ", total, " Bytes"; for a
 * total of 0 only "done / 0". "  Retry count:r" follows when the last exchange needed retry r > 0.
 * Example: "C:\logo.bmp  34% 512 / 1500 Bytes". The text is valid only during the callback. */
ZARELCOM_API void ZARELCOM_CALL ShowTxRxInfo(zc_text name, int32_t total, int32_t n);

#ifdef __cplusplus
}
#endif

#endif /* ZARELCOM_ZARELCOM_H */
