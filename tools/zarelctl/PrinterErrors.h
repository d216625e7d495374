// A failure that the printer, the line or the port caused, with the library's last error code.
#pragma once

#include <stdexcept>
#include <string>

namespace zarelctl {

// The printer refused, did not answer, or the port or a local file could not be used: the tool
// exits with 1. source says where it failed, and so what code counts: "printer" (the library's
// last error code, -1 when none was set), "port" or "local" (the system's error number, -1 when
// there is none).
class PrinterFailure : public std::runtime_error {
public:
    PrinterFailure(const std::string &message, int code, std::string reason,
                   const char *source = "printer")
        : std::runtime_error(message), code_(code), reason_(std::move(reason)), source_(source) {}
    int Code() const { return code_; }
    const std::string &Reason() const { return reason_; }
    const char *Source() const { return source_; }

private:
    int code_;
    std::string reason_;
    const char *source_;
};

} // namespace zarelctl
