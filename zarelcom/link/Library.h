// The library's process-wide state and the guard every export that touches the port runs in.
#pragma once

#include <cstdint>
#include <exception>
#include <new>

#include "comm/Comm.h"
#include "zarelcom/zarelcom.h"

// The one serial port, created closed at load ("Com1", br19200, no parity, one stop bit, eight
// data bits).
extern TComm LibraryPort;
// The reason of the latest failed exchange or transfer: 0 at load, never reset by a success.
extern int32_t LastErrorCode;
// The progress callback; null until CallBackMsgback registers one.
extern zc_message_callback MessageCallback;

// Keeps the message of a failure that an export turned into its failure result, for
// GetLastPortError on this thread.
void KeepPortError(const char* message);

// Runs body and returns its result. A port error (or any other exception) raised inside becomes
// failure, and its message is kept for GetLastPortError: no exception crosses the C interface.
template <typename Result, typename Body>
Result GuardExport(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        KeepPortError("Out of memory: close other programs and try again (Error: 12)");
    } catch (const std::exception& error) {
        KeepPortError(error.what());
    } catch (...) {
        KeepPortError("Unexpected internal failure in the library (Error: -1)");
    }
    return failure;
}

// The same for exports without a result.
template <typename Body>
void GuardExport(Body&& body) noexcept {
    GuardExport(0, [&] {
        body();
        return 0;
    });
}
