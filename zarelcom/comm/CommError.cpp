#include "comm/CommError.h"

#include <string>

namespace {
std::string Format(const char* format, int32_t code) {
    std::string text(format);
    const auto mark = text.find("%d");
    if (mark != std::string::npos) text.replace(mark, 2, std::to_string(code));
    return text;
}

std::string WithReason(const char* format, int32_t code, const std::string& reason) {
    std::string text = Format(format, code);
    const auto mark = text.rfind(" (Error: ");
    if (!reason.empty() && mark != std::string::npos) text.insert(mark, ": " + reason);
    return text;
}
} // namespace

ECommError::ECommError(const char* format, int32_t code)
    : std::runtime_error(Format(format, code)), code_(code) {}

ECommError::ECommError(const char* format, int32_t code, const std::string& reason)
    : std::runtime_error(WithReason(format, code, reason)), code_(code) {}
