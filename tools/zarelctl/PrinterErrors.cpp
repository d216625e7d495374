#include "PrinterErrors.h"

namespace zarelctl {

std::string MeaningOfErrorCode(int code)
{
    switch (code) {
    case 100:
        return "the reply held no frame start (STX) within its first 11 bytes: noise on the line or a "
               "wrong baud rate";
    case 101:
        return "the reply broke off before its length";
    case 102:
        return "the reply was shorter than its length said: the line lost bytes";
    case 103:
        return "the reply stopped before its frame start (STX)";
    case 104:
        return "the reply was damaged or too short for its command: check the cable and the baud rate, "
               "then try again";
    case 200:
        return "the printer answered with another reply code than the transfer expects: it did not "
               "accept the request";
    default:
        if (code >= 0 && code <= 255)
            return "the printer reported its error number " + std::to_string(code);
        return "unknown error code " + std::to_string(code);
    }
}

} // namespace zarelctl
