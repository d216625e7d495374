#include "link/Library.h"

#include <string>

// Static initialisation creates the port at load. Its destructor closes the port when the process
// ends or the library is unloaded, so that the event thread never outlives the library's code.
TComm LibraryPort;
int32_t LastErrorCode = 0;
zc_message_callback MessageCallback = nullptr;

namespace {
thread_local std::string lastPortError;
}

void KeepPortError(const char* message) { lastPortError = message; }

extern "C" ZARELCOM_API const char* GetLastPortError(void) { return lastPortError.c_str(); }
