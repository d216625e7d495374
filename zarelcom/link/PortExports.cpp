// The exports that manage the library's port: open, close, line rate, queues, raw bytes, and
// the library's state.
#include <string>

#include "link/Library.h"

namespace {
// Windows numbers its ports up to COM255; a negative or larger number names no port.
constexpr int32_t MaxPortNumber = 255;
}  // namespace

extern "C" {

ZARELCOM_API zc_bool OpenComPort(int32_t n) {
    return GuardExport<zc_bool>(false, [n] {
        if (n != 0) LibraryPort.Close();
        if (n < 0 || n > MaxPortNumber) return false;
        LibraryPort.SetDeviceName("Com" + std::to_string(n));
        LibraryPort.Open();
        return LibraryPort.Enabled();
    });
}

ZARELCOM_API zc_bool CloseComPort(void) {
    return GuardExport<zc_bool>(false, [] {
        LibraryPort.Close();
        return !LibraryPort.Enabled();
    });
}

ZARELCOM_API zc_bool SetBaudRate(int32_t ordinal) {
    if (ordinal < 0 || ordinal >= BaudRateCount) return false;
    return GuardExport<zc_bool>(false, [ordinal] {
        LibraryPort.SetBaudRate(static_cast<TBaudRate>(ordinal));
        return LibraryPort.Enabled();
    });
}

ZARELCOM_API void ClearFiFo(void) {
    GuardExport([] {
        LibraryPort.PurgeIn();
        LibraryPort.PurgeOut();
    });
}

ZARELCOM_API int32_t sio_getchar(void) {
    return GuardExport<int32_t>(-1, [] {
        uint8_t byte = 0;
        return LibraryPort.Read(&byte, 1) == 1 ? int32_t(byte) : -1;
    });
}

ZARELCOM_API int32_t sio_read(uint8_t* buffer, int32_t count) {
    if (!buffer || count < 0) return -1;
    return GuardExport<int32_t>(-1, [=] { return LibraryPort.Read(buffer, uint32_t(count)); });
}

ZARELCOM_API int32_t sio_write(const uint8_t* buffer, int32_t count) {
    if (!buffer || count < 0) return -1;
    return GuardExport<int32_t>(-1, [=] { return LibraryPort.Write(buffer, uint32_t(count)); });
}

ZARELCOM_API int32_t sio_inque(void) {
    return GuardExport<int32_t>(-1, [] { return LibraryPort.InQueCount(); });
}

ZARELCOM_API int32_t sio_outque(void) {
    return GuardExport<int32_t>(-1, [] { return LibraryPort.OutQueCount(); });
}

ZARELCOM_API int32_t GetCurrErrCode(void) { return LastErrorCode; }

ZARELCOM_API intptr_t CallBackMsgback(zc_message_callback callback) {
    if (!callback) return 0;
    MessageCallback = callback;
    return reinterpret_cast<intptr_t>(callback);
}

ZARELCOM_API int32_t DllVersion(void) { return 247; }

}  // extern "C"
