// The exports that manage the link's port: open, close, line rate, queues, raw bytes, and the
// link's state.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "comm/PortList.h"
#include "link/Library.h"
#include "link/Printer.h"

namespace {
// Windows numbers its ports up to COM255; a negative or larger number names no port.
constexpr int32_t MaxPortNumber = 255;

// Copies text into a fixed field, cut to fit, always zero-terminated.
template <size_t Size>
void CopyField(char (&field)[Size], const std::string &text) noexcept {
    const size_t length = std::min(text.size(), Size - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

zc_port_failure_info AsPortFailure(const OpenAttempt &attempt) noexcept {
    static_assert(
        int(OpenRefused::No) == ZC_PORT_OK && int(OpenRefused::Missing) == ZC_PORT_MISSING &&
        int(OpenRefused::Denied) == ZC_PORT_DENIED && int(OpenRefused::Busy) == ZC_PORT_BUSY &&
        int(OpenRefused::NotSerial) == ZC_PORT_NOT_SERIAL &&
        int(OpenRefused::Other) == ZC_PORT_OTHER);
    zc_port_failure_info info{};
    info.kind = int32_t(attempt.refused);
    info.os_error = attempt.error;
    CopyField(info.device, attempt.device);
    info.holder_pid = attempt.holderPid;
    CopyField(info.holder, attempt.holder);
    return info;
}

// Keeps how the port's open went for zc_port_failure, also when the open raised.
class OpenOutcomeKeeper {
public:
    explicit OpenOutcomeKeeper(Link &link) : link_(link) {}
    ~OpenOutcomeKeeper() {
        try {
            link_.lastOpen.Keep(AsPortFailure(link_.port.LastOpen()));
        } catch (const std::bad_alloc &) {
            zc_port_failure_info unknown{};
            unknown.kind = ZC_PORT_OTHER;
            unknown.os_error = ENOMEM;
            link_.lastOpen.Keep(unknown);
        }
    }
    OpenOutcomeKeeper(const OpenOutcomeKeeper &) = delete;
    OpenOutcomeKeeper &operator=(const OpenOutcomeKeeper &) = delete;

private:
    Link &link_;
};

// Opens the link's port on the named device; an open that leaves the port closed keeps its
// reason for GetLastPortError.
bool OpenNamedPort(Link &link, const std::string &name) {
    const OpenOutcomeKeeper keeper(link);
    link.port.SetDeviceName(name);
    link.port.Open();
    if (!link.port.Enabled()) link.lastPortError.Keep(link.port.OpenFailure().c_str());
    return link.port.Enabled();
}

zc_port_info AsPortInfo(const PortInfo &port) {
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
} // namespace

bool OpenPort(Link &link, int32_t n) {
    if (n != 0) link.port.Close();
    if (n < 0 || n > MaxPortNumber) {
        zc_port_failure_info noSuchPort{};
        noSuchPort.kind = ZC_PORT_MISSING;
        noSuchPort.os_error = -1;
        link.lastOpen.Keep(noSuchPort);
        return false;
    }
    return OpenNamedPort(link, "Com" + std::to_string(n));
}

bool SetPortRate(Link &link, int32_t ordinal) {
    if (ordinal < 0 || ordinal >= BaudRateCount) return false;
    link.port.SetBaudRate(static_cast<TBaudRate>(ordinal));
    return link.port.Enabled();
}

extern "C" {

ZARELCOM_API zc_bool ZARELCOM_CALL OpenComPort(int32_t n) {
    return GuardExport<zc_bool>(false, [n](Link &link) { return OpenPort(link, n); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL zc_open_port_device(const char *device) {
    return GuardExport<zc_bool>(false, [device](Link &link) {
        if (!device || !*device) return false;
        link.port.Close();
        return OpenNamedPort(link, device);
    });
}

ZARELCOM_API int32_t ZARELCOM_CALL zc_list_ports(zc_port_info *ports, int32_t capacity) {
    return GuardExport<int32_t>(0, [=](Link &) {
        const std::vector<PortInfo> found = ListPorts();
        const size_t filled =
            ports ? std::min<size_t>(found.size(), size_t(std::max(capacity, 0))) : 0;
        for (size_t i = 0; i < filled; ++i) ports[i] = AsPortInfo(found[i]);
        return int32_t(found.size());
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL CloseComPort(void) {
    return GuardExport<zc_bool>(false, [](Link &link) {
        link.port.Close();
        return !link.port.Enabled();
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL SetBaudRate(int32_t ordinal) {
    return GuardExport<zc_bool>(false,
                                [ordinal](Link &link) { return SetPortRate(link, ordinal); });
}

ZARELCOM_API void ZARELCOM_CALL ClearFiFo(void) {
    GuardExport([](Link &link) { link.ClearQueues(); });
}

ZARELCOM_API int32_t ZARELCOM_CALL sio_getchar(void) {
    return GuardExport<int32_t>(-1, [](Link &link) {
        uint8_t byte = 0;
        return link.port.Read(&byte, 1) == 1 ? int32_t(byte) : -1;
    });
}

ZARELCOM_API int32_t ZARELCOM_CALL sio_read(uint8_t *buffer, int32_t count) {
    return GuardExport<int32_t>(-1, [=](Link &link) {
        return buffer && count >= 0 ? link.port.Read(buffer, uint32_t(count)) : -1;
    });
}

ZARELCOM_API int32_t ZARELCOM_CALL sio_write(const uint8_t *buffer, int32_t count) {
    return GuardExport<int32_t>(-1, [=](Link &link) {
        return buffer && count >= 0 ? link.port.Write(buffer, uint32_t(count)) : -1;
    });
}

ZARELCOM_API int32_t ZARELCOM_CALL sio_inque(void) {
    return GuardExport<int32_t>(-1, [](Link &link) { return link.port.InQueCount(); });
}

ZARELCOM_API int32_t ZARELCOM_CALL sio_outque(void) {
    return GuardExport<int32_t>(-1, [](Link &link) { return link.port.OutQueCount(); });
}

ZARELCOM_API int32_t ZARELCOM_CALL GetCurrErrCode(void) {
    const HeldLink held;
    return held.Refused() ? -1 : held.Get().lastErrorCode;
}

ZARELCOM_API zc_bool ZARELCOM_CALL zc_port_failure(zc_port_failure_info *out) {
    const HeldLink held;
    if (!out || held.Refused()) return false;
    *out = held.Get().lastOpen.Get();
    return out->kind != ZC_PORT_OK;
}

// A copy for the calling thread: another thread on the same link cannot change it under the caller.
ZARELCOM_API const char *ZARELCOM_CALL GetLastPortError(void) {
    static thread_local std::string message;
    try {
        const HeldLink held;
        message = held.Refused() ? kNoSuchLink : held.Get().lastPortError.Message();
    } catch (...) {
        message.clear();
    }
    return message.c_str();
}

ZARELCOM_API zc_bool ZARELCOM_CALL zc_local_failure(int32_t *osError) {
    const HeldLink held;
    if (held.Refused()) return false;
    const std::optional<int> error = held.Get().lastPortError.LocalError();
    if (error && osError) *osError = *error;
    return error.has_value();
}

ZARELCOM_API intptr_t ZARELCOM_CALL CallBackMsgback(zc_message_callback callback) {
    const HeldLink held;
    if (!callback || held.Refused()) return 0;
    held.Get().messageCallback = callback;
    return reinterpret_cast<intptr_t>(callback);
}

ZARELCOM_API intptr_t ZARELCOM_CALL zc_set_progress(zc_progress_callback callback, void *context) {
    const HeldLink held;
    if (held.Refused()) return 0;
    Link &link = held.Get();
    const intptr_t previous =
        link.progressCallback ? reinterpret_cast<intptr_t>(link.progressContext) : 0;
    link.progressCallback = callback;
    link.progressContext = callback ? context : nullptr;
    return previous;
}

ZARELCOM_API int32_t ZARELCOM_CALL DllVersion(void) { return 247; }

} // extern "C"
