// One printer's link: the port and everything the exchanges, commands and transfers keep between
// calls. The flat interface acts on the calling thread's selected link, which is the process-wide
// link unless the thread selected another.
#pragma once

#include <cstddef>
#include <cstdint>

#include "comm/Comm.h"
#include "link/HeldText.h"
#include "link/PortError.h"
#include "link/PortFailure.h"
#include "zarelcom/zarelcom.h"

constexpr std::size_t kRcvBufferSize = 1024;

// How a link's exchanges wait for the printer. Polled: sleeps between looks at the port, poll for
// poll as the printer's pacing has it. Events: waits on the line for the same conditions, with
// the same deadlines and outcomes, and goes on the moment a condition holds.
enum class Pacing { Polled, Events };
// Events when the environment variable ZARELCOM_PACING is "events", else polled.
Pacing InitialPacing();

class Link {
public:
    Link() = default;
    Link(const Link &) = delete;
    Link &operator=(const Link &) = delete;

    // Aborts pending transfers and empties both queues of the port; nothing while it is closed.
    void ClearQueues() {
        port.PurgeIn();
        port.PurgeOut();
    }

    // The serial port, created closed ("Com1", br19200, no parity, one stop bit, eight data bits).
    TComm port;
    // How this link's exchanges wait for the printer; every link starts with the process's setting.
    Pacing pacing = InitialPacing();

    // The last reply, from its lead byte on (reply code at byte 1, reply data byte k at byte
    // 2 + k), followed by its checksum and ETX; terminal answers from byte 0.
    uint8_t rcvBuffer[kRcvBufferSize] = {};
    // N of the request being sent, then N of the reply being received.
    int32_t currentLength = 0;
    // The attempt (0, 1, 2) of the running packet exchange; 3 after three failed attempts.
    int32_t retryCount = 0;
    // The outcome of the last readiness wait: 0 nothing arrived, 1 fewer than 8 bytes, 2 no "C".
    int32_t terminalStatus = 0;
    // The reason of the latest failed exchange or transfer: 0 at first, never reset by a success.
    int32_t lastErrorCode = 0;
    // The progress callback; null until CallBackMsgback registers one.
    zc_message_callback messageCallback = nullptr;
    // The progress callback with numbers and its context; null until zc_set_progress sets one.
    zc_progress_callback progressCallback = nullptr;
    void *progressContext = nullptr;
    // The command of the request the trace showed last, which names its reply in the trace.
    uint8_t tracedCommand = 0;
    // Cleared at the start of every export that can set it.
    PortError lastPortError;
    // How the latest open of the port went.
    PortFailure lastOpen;

    // Texts handed out by address, held until the next call of the same function.
    HeldText<8> yearText;
    HeldText<8> rollHourText;
    HeldText<255> formatText;
    HeldText<255> stringText;
};

// The link of every thread that never selected another; it lives as long as the library.
Link &ProcessLink();
