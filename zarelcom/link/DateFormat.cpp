// The printer's time-and-date print format: a count and that many codes. A code below 32 is the
// position of its character in the printer's layout; any other code stands for itself.
#include <string>

#include <zarelcom/zarelcom.h>

#include "link/Command.h"
#include "link/Library.h"

namespace {

constexpr std::string_view kLayout = "YYYY/MM/DD hh:mm:ss JJJ WW w AAA";
constexpr char kNoFormat[] = " Not use Time Date format";
constexpr uint8_t kMaxCodes = 127;

char CodeCharacter(uint8_t code) {
    return code < kLayout.size() ? kLayout[code] : static_cast<char>(code);
}

} // namespace

extern "C" {

ZARELCOM_API int32_t ZARELCOM_CALL GetTDFormat(const char **text, uint8_t textForm) {
    return GuardExport<int32_t>(0, [&](Link &link) {
        if (!text || !ExchangeFor(link, command::GetTDFormat, 1)) return 0;
        const uint8_t count = ReplyByte(link, 0);
        if (count == 0) {
            *text = kNoFormat;
            return -1;
        }
        // Every code the count announces must be the reply's own, in either form.
        if (!ReplyCarries(link, 1 + std::size_t{count})) return 0;
        if (!textForm) {
            *text = reinterpret_cast<const char *>(&link.rcvBuffer[kReplyDataOffset]);
            return 1;
        }
        std::string pattern;
        for (std::size_t i = 0; i < count; ++i) pattern += CodeCharacter(ReplyByte(link, 1 + i));
        *text = link.formatText.Hold(pattern);
        return 1;
    });
}

// Codes beyond 127 do not fit the printer's signed count: refused, nothing is sent.
ZARELCOM_API zc_bool ZARELCOM_CALL SetTDFormat(const uint8_t *codes) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        if (!codes || codes[0] > kMaxCodes) return false;
        auto frame = VariableRequest(command::SetTDFormat, {codes[0]}, codes + 1, codes[0]);
        return Exchange(link, frame.data());
    });
}

} // extern "C"
