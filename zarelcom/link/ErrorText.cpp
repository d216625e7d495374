// The one table of what the last error codes mean, for every program that shows them.
#include <array>
#include <string>

#include <zarelcom/zarelcom.h>

namespace {

constexpr int32_t kPrinterErrors = 256;
// The printer's own error that no retry can help, so the exchange stops at once.
constexpr int32_t kRefusedForGood = 16;

const char *LibraryCodeText(int32_t code) {
    switch (code) {
    case ZC_ERR_NO_STX:
        return "the reply held no frame start (STX) within its first 11 bytes: noise on the line "
               "or a wrong baud "
               "rate";
    case ZC_ERR_NO_LENGTH:
        return "the reply's length could not be read, or the reply was longer than the receive "
               "buffer: check the "
               "cable and the baud rate";
    case ZC_ERR_SHORT_REPLY:
        return "the reply was shorter than its length said: the line lost bytes; check the cable "
               "and the baud rate";
    case ZC_ERR_SILENT:
        return "the line fell silent before the reply's frame start (STX): check the cable, then "
               "try again";
    case ZC_ERR_BAD_REPLY:
        return "the reply was damaged or too short for its command: check the cable and the baud "
               "rate, then try "
               "again";
    case ZC_ERR_UNEXPECTED_REPLY:
        return "the printer answered with another reply code than the transfer expects: it did not "
               "accept the "
               "request";
    default:
        return nullptr;
    }
}

std::string PrinterErrorText(int32_t code) {
    std::string text = "printer error " + std::to_string(code);
    if (code == 0) text += " (also the code before any failure)";
    if (code == kRefusedForGood)
        text += ": the printer refused the command, and repeating it cannot help";
    return text;
}

} // namespace

extern "C" ZARELCOM_API const char *ZARELCOM_CALL zc_error_text(int32_t code) {
    if (const char *text = LibraryCodeText(code)) return text;
    try {
        if (code >= 0 && code < kPrinterErrors) {
            static const auto texts = [] {
                std::array<std::string, kPrinterErrors> all;
                for (int32_t n = 0; n < kPrinterErrors; ++n)
                    all[std::size_t(n)] = PrinterErrorText(n);
                return all;
            }();
            return texts[std::size_t(code)].c_str();
        }
        static thread_local std::string unknown;
        unknown = "unknown error code " + std::to_string(code);
        return unknown.c_str();
    } catch (...) {
        return "unknown error code (out of memory)";
    }
}
