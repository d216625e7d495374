#include "core/Printer.h"

#include "logo/FilePaths.h"

#include <zarelcom/zarelcom.hpp>

#include <algorithm>
#include <string_view>

namespace {

// GetFileLen's second argument, as the printer tools have always passed it.
constexpr int32_t kFileLenMode = 32770;

// The path as the library takes it: a counted text in the file system's encoding.
zarelcom::Text CountedPath(const std::string &path) {
    const std::string bytes = PathOf(path).string();
    return zarelcom::Text(std::string_view(bytes));
}

// The library's callbacks, named and in the library's calling convention (stdcall on 32-bit
// Windows, which a lambda cannot take).
zc_bool ZARELCOM_CALL AskBeforeTry(int32_t port, int32_t rate, void *context) {
    return (*static_cast<std::function<bool(int32_t, int32_t)> *>(context))(port, rate);
}

void ZARELCOM_CALL HearProgress(int64_t, int64_t, const char *line, void *context) {
    (*static_cast<std::function<void(const std::string &)> *>(context))(line);
}

} // namespace

LibraryPrinter::~LibraryPrinter() {
    if (listener_) zc_set_progress(nullptr, nullptr);
}

std::vector<zc_port_info> LibraryPrinter::Ports() {
    // A port may come between the two calls: the second one says how many were filled.
    std::vector<zc_port_info> ports(size_t(std::max<int32_t>(zc_list_ports(nullptr, 0), 0)) + 4);
    const int32_t count = zc_list_ports(ports.data(), int32_t(ports.size()));
    ports.resize(std::min(ports.size(), size_t(std::max<int32_t>(count, 0))));
    return ports;
}

bool LibraryPrinter::OpenPort(int32_t number) { return OpenComPort(number); }
bool LibraryPrinter::SetPortRate(int32_t rateOrdinal) { return SetBaudRate(rateOrdinal); }
bool LibraryPrinter::ClosePort() { return CloseComPort(); }

zc_port_failure_info LibraryPrinter::PortFailure() {
    zc_port_failure_info failure{};
    zc_port_failure(&failure);
    return failure;
}

std::string LibraryPrinter::RaisedPortError() {
    const std::string message = GetLastPortError();
    // A port that does not open raises nothing; its reason is in PortFailure.
    return message.rfind("Cannot open ", 0) == 0 ? std::string() : message;
}

int32_t LibraryPrinter::PrintStatus() { return GetPrintStatus(); }
int32_t LibraryPrinter::ZarelType() { return GetZarelType(); }
bool LibraryPrinter::ReadSystemInfo(SystemInfo *info) { return GetSysInfo(info); }

bool LibraryPrinter::Search(int32_t *list, std::function<bool(int32_t, int32_t)> onTry) {
    return zc_search(list, AskBeforeTry, &onTry);
}

void LibraryPrinter::ListenToProgress(std::function<void(const std::string &)> listener) {
    listener_ = std::move(listener);
    zc_set_progress(HearProgress, &listener_);
}

int32_t LibraryPrinter::FileLength(const std::string &path) {
    return GetFileLen(CountedPath(path), kFileLenMode);
}

int32_t LibraryPrinter::FreeLogoSlot() { return GetFreeLogoNo(); }

bool LibraryPrinter::SendLogo(const std::string &path, int32_t slot) {
    return StxSendLogo(CountedPath(path), slot);
}
