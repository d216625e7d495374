// The printer's numbered user strings, read and written whole. The string read reply carries the
// length at reply data byte 1 and the bytes from byte 2 on.
#include <zarelcom/zarelcom.h>

#include "link/Command.h"
#include "link/CountedText.h"
#include "link/Library.h"

namespace {

constexpr std::size_t kStringLengthAt = 1;
constexpr std::size_t kStringBytesAt = 2;
constexpr std::size_t kMaxStringBytes = 251; // so that N = L + 4 fits one byte
constexpr char kUnanswered[] = "0";
constexpr char kUnusedString[] = " Not use this string";

bool RequestString(Link &link, int32_t number) {
    Request request(command::GetString);
    return ExchangeFor(link, request.Byte(2, number), kStringBytesAt);
}

// The string's bytes as far as the reply carries them.
std::string_view ReplyString(const Link &link) {
    const std::size_t length =
        ReplyBytesHeld(link, kStringBytesAt, ReplyByte(link, kStringLengthAt));
    return {reinterpret_cast<const char *>(&link.rcvBuffer[kReplyDataOffset + kStringBytesAt]),
            length};
}

bool SendString(Link &link, std::string_view text, int32_t number) {
    if (text.size() > kMaxStringBytes) return false;
    const auto length = static_cast<uint8_t>(text.size());
    auto frame = VariableRequest(command::SendString, {static_cast<uint8_t>(number & 0xFF), length},
                                 reinterpret_cast<const uint8_t *>(text.data()), length);
    return Exchange(link, frame.data());
}

} // namespace

extern "C" {

ZARELCOM_API zc_text ZARELCOM_CALL StxGetString(int32_t number) {
    return GuardExport<zc_text>(nullptr, [&](Link &link) {
        if (!RequestString(link, number)) return NewText(kUnanswered);
        const std::string_view string = ReplyString(link);
        // The string ends at its first zero byte; one is put behind it in the receive buffer.
        link.rcvBuffer[kReplyDataOffset + kStringBytesAt + string.size()] = 0;
        return NewText(string.data());
    });
}

ZARELCOM_API zc_bool ZARELCOM_CALL StxGetStringC(uint8_t number, const char **text) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!text || !RequestString(link, number)) return false;
        *text = link.stringText.Hold(ReplyByte(link, kStringLengthAt) == 0 ? kUnusedString
                                                                           : ReplyString(link));
        return true;
    });
}

// Texts of more than 251 bytes are refused and nothing is sent.
ZARELCOM_API zc_bool ZARELCOM_CALL StxSdString(zc_text text, int32_t number) {
    return GuardExport<zc_bool>(
        false, [&](Link &link) { return SendString(link, TextArgument(text).View(), number); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL StxSdStringC(const char *text, int32_t number) {
    return GuardExport<zc_bool>(false,
                                [&](Link &link) { return text && SendString(link, text, number); });
}

} // extern "C"
