// The exports that manage the link's port: open, close, line rate, queues, raw bytes, and the
// link's state.
#include <string>

#include "link/Library.h"
#include "link/Printer.h"

namespace {
// Windows numbers its ports up to COM255; a negative or larger number names no port.
constexpr int32_t MaxPortNumber = 255;
}  // namespace

bool OpenPort(Link &link, int32_t n) {
    if (n != 0) link.port.Close();
    if (n < 0 || n > MaxPortNumber) return false;
    link.port.SetDeviceName("Com" + std::to_string(n));
    link.port.Open();
    return link.port.Enabled();
}

bool SetPortRate(Link &link, int32_t ordinal) {
    if (ordinal < 0 || ordinal >= BaudRateCount) return false;
    link.port.SetBaudRate(static_cast<TBaudRate>(ordinal));
    return link.port.Enabled();
}

extern "C" {

ZARELCOM_API zc_bool OpenComPort(int32_t n) {
    return GuardExport<zc_bool>(false, [n](Link &link) { return OpenPort(link, n); });
}

ZARELCOM_API zc_bool CloseComPort(void) {
    return GuardExport<zc_bool>(false, [](Link &link) {
        link.port.Close();
        return !link.port.Enabled();
    });
}

ZARELCOM_API zc_bool SetBaudRate(int32_t ordinal) {
    return GuardExport<zc_bool>(false, [ordinal](Link &link) { return SetPortRate(link, ordinal); });
}

ZARELCOM_API void ClearFiFo(void) {
    GuardExport([](Link &link) { link.ClearQueues(); });
}

ZARELCOM_API int32_t sio_getchar(void) {
    return GuardExport<int32_t>(-1, [](Link &link) {
        uint8_t byte = 0;
        return link.port.Read(&byte, 1) == 1 ? int32_t(byte) : -1;
    });
}

ZARELCOM_API int32_t sio_read(uint8_t* buffer, int32_t count) {
    return GuardExport<int32_t>(-1, [=](Link &link) {
        return buffer && count >= 0 ? link.port.Read(buffer, uint32_t(count)) : -1;
    });
}

ZARELCOM_API int32_t sio_write(const uint8_t* buffer, int32_t count) {
    return GuardExport<int32_t>(-1, [=](Link &link) {
        return buffer && count >= 0 ? link.port.Write(buffer, uint32_t(count)) : -1;
    });
}

ZARELCOM_API int32_t sio_inque(void) {
    return GuardExport<int32_t>(-1, [](Link &link) { return link.port.InQueCount(); });
}

ZARELCOM_API int32_t sio_outque(void) {
    return GuardExport<int32_t>(-1, [](Link &link) { return link.port.OutQueCount(); });
}

ZARELCOM_API int32_t GetCurrErrCode(void) { return SelectedLink().lastErrorCode; }

// A copy for the calling thread: another thread on the same link cannot change it under the caller.
ZARELCOM_API const char* GetLastPortError(void) {
    static thread_local std::string message;
    try {
        message = SelectedLink().lastPortError.Message();
    } catch (...) {
        message.clear();
    }
    return message.c_str();
}

ZARELCOM_API intptr_t CallBackMsgback(zc_message_callback callback) {
    if (!callback) return 0;
    SelectedLink().messageCallback = callback;
    return reinterpret_cast<intptr_t>(callback);
}

ZARELCOM_API int32_t DllVersion(void) { return 247; }

}  // extern "C"
