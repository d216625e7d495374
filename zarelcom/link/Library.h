// The guard every export runs in: it picks the calling thread's selected link, clears the link's
// kept port error and turns whatever the work raises into the export's failure result.
#pragma once

#include <cstdint>
#include <exception>
#include <new>

#include "link/Link.h"
#include "link/Selection.h"

// Runs body() and returns its result. A port error (or any other exception) raised inside becomes
// failure, and its message is kept in the link for GetLastPortError.
template <typename Result, typename Body>
Result KeepingErrors(Link &link, Result failure, Body &&body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc &) {
        link.lastPortError.Keep("Out of memory: close other programs and try again (Error: 12)");
    } catch (const std::exception &error) {
        link.lastPortError.Keep(error.what());
    } catch (...) {
        link.lastPortError.Keep("Unexpected internal failure in the library (Error: -1)");
    }
    return failure;
}

// Runs body(link) on the calling thread's selected link, its kept port error cleared first, and
// returns its result; whatever body raises becomes failure (see KeepingErrors), so no exception
// crosses the C interface. The link is held to the end of the call; a thread whose link was freed,
// or whose latest selection was refused, runs nothing.
template <typename Result, typename Body>
Result GuardExport(Result failure, Body &&body) noexcept {
    const HeldLink held;
    if (held.Refused()) return failure; // GetLastPortError says why
    Link &link = held.Get();
    link.lastPortError.Clear();
    if (held.Freed()) {
        link.lastPortError.Keep(
            "This thread's link was freed: select another with zc_link_select (Error: -1)");
        return failure;
    }
    return KeepingErrors(link, failure, [&] { return body(link); });
}

// The same for exports without a result.
template <typename Body>
void GuardExport(Body &&body) noexcept {
    GuardExport(0, [&](Link &link) {
        body(link);
        return 0;
    });
}
