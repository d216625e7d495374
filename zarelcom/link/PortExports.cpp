// The exports that manage the library's port: open, close, line rate, queues, raw bytes, and
// the library's state.
#include <algorithm>
#include <cstring>
#include <string>

#include "comm/PortList.h"
#include "link/Library.h"

namespace {
// Windows numbers its ports up to COM255; a negative or larger number names no port.
constexpr int32_t MaxPortNumber = 255;

// Opens the library's port on the named device; an open that leaves the port closed keeps its
// reason for GetLastPortError.
bool OpenLibraryPort(const std::string& name) {
    LibraryPort.SetDeviceName(name);
    LibraryPort.Open();
    if (!LibraryPort.Enabled()) KeepPortError(LibraryPort.OpenFailure().c_str());
    return LibraryPort.Enabled();
}

// Copies text into a fixed field, cut to fit, always zero-terminated.
template <size_t Size> void CopyField(char (&field)[Size], const std::string& text) {
    const size_t length = std::min(text.size(), Size - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

zc_port_info AsPortInfo(const PortInfo& port) {
    zc_port_info info{};
    info.number = port.number;
    CopyField(info.device, port.device);
    CopyField(info.by_id, port.byId);
    CopyField(info.description, port.description);
    CopyField(info.serial_number, port.serialNumber);
    info.usb_vendor = port.usbVendor;
    info.usb_product = port.usbProduct;
    return info;
}
}  // namespace

extern "C" {

ZARELCOM_API zc_bool OpenComPort(int32_t n) {
    return GuardExport<zc_bool>(false, [n] {
        if (n != 0) LibraryPort.Close();
        if (n < 0 || n > MaxPortNumber) return false;
        return OpenLibraryPort("Com" + std::to_string(n));
    });
}

ZARELCOM_API zc_bool zc_open_port_device(const char* device) {
    if (!device || !*device) return false;
    return GuardExport<zc_bool>(false, [device] {
        LibraryPort.Close();
        return OpenLibraryPort(device);
    });
}

ZARELCOM_API int32_t zc_list_ports(zc_port_info* ports, int32_t capacity) {
    return GuardExport<int32_t>(0, [=] {
        const std::vector<PortInfo> found = ListPorts();
        const size_t filled = ports ? std::min<size_t>(found.size(), size_t(std::max(capacity, 0))) : 0;
        for (size_t i = 0; i < filled; ++i) ports[i] = AsPortInfo(found[i]);
        return int32_t(found.size());
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
