// The printer's numbered user strings, read and written whole. The string read reply carries the
// length at reply data byte 1 and the bytes from byte 2 on.
#include <zarelcom/zarelcom.h>

#include "link/Command.h"
#include "link/CountedText.h"
#include "link/HeldText.h"
#include "link/Library.h"

namespace {

constexpr std::size_t kStringLengthAt = 1;
constexpr std::size_t kStringBytesAt = 2;
constexpr std::size_t kMaxStringBytes = 251; // so that N = L + 4 fits one byte
constexpr char kUnanswered[] = "0";
constexpr char kUnusedString[] = " Not use this string";

HeldText<255> stringText;

bool RequestString(int32_t number) {
    Request request(command::GetString);
    return ExchangeFor(request.Byte(2, number), kStringBytesAt);
}

// The string's bytes as far as the reply carries them.
std::string_view ReplyString() {
    const std::size_t length = ReplyBytesHeld(kStringBytesAt, ReplyByte(kStringLengthAt));
    return {reinterpret_cast<const char *>(&RcvBuffer[kReplyDataOffset + kStringBytesAt]), length};
}

bool SendString(std::string_view text, int32_t number) {
    if (text.size() > kMaxStringBytes) return false;
    const auto length = static_cast<uint8_t>(text.size());
    auto frame = VariableRequest(command::SendString, {static_cast<uint8_t>(number & 0xFF), length},
                                 reinterpret_cast<const uint8_t *>(text.data()), length);
    return Exchange(frame.data());
}

} // namespace

extern "C" {

ZARELCOM_API zc_text StxGetString(int32_t number) {
    return GuardExport<zc_text>(nullptr, [&] {
        if (!RequestString(number)) return NewText(kUnanswered);
        const std::string_view string = ReplyString();
        // The string ends at its first zero byte; one is put behind it in the receive buffer.
        RcvBuffer[kReplyDataOffset + kStringBytesAt + string.size()] = 0;
        return NewText(string.data());
    });
}

ZARELCOM_API zc_bool StxGetStringC(uint8_t number, const char **text) {
    return GuardExport<zc_bool>(false, [&] {
        if (!text || !RequestString(number)) return false;
        *text = stringText.Hold(ReplyByte(kStringLengthAt) == 0 ? kUnusedString : ReplyString());
        return true;
    });
}

// Texts of more than 251 bytes are refused and nothing is sent.
ZARELCOM_API zc_bool StxSdString(zc_text text, int32_t number) {
    return GuardExport<zc_bool>(false, [&] { return SendString(TextArgument(text).View(), number); });
}

ZARELCOM_API zc_bool StxSdStringC(const char *text, int32_t number) {
    return GuardExport<zc_bool>(false, [&] { return text && SendString(text, number); });
}

} // extern "C"
