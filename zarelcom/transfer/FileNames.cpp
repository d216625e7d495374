#include "transfer/FileNames.h"

#include <zarelcom/zarelcom.h>

#include "link/CountedText.h"
#include "link/Library.h"

std::string_view FileNamePart(std::string_view path) {
    const size_t separator = path.find_last_of("\\:/");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string LogoSlotFileName(int32_t slot) {
    // Slots outside 0..99 take whatever stands at those two places (slot 150 gives LOGO50.BMP,
    // slot -95 gives LOGO.BMP); the line is only an announcement, the printer judges the name.
    const std::string digits = std::to_string(static_cast<int64_t>(slot) + 100);
    return "LOGO" + digits.substr(1, 2) + ".BMP";
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL DelPathString(zc_text *text) {
    return GuardExport<zc_bool>(false, [&](Link &) {
        if (text == nullptr) return false;
        const std::string_view whole = TextView(*text);
        // Only the backslash counts here, unlike the printer-side names: a drive colon stays.
        const size_t separator = whole.rfind('\\');
        if (separator == std::string_view::npos) return true;
        const zc_text replacement = NewText(whole.substr(separator + 1));
        ReleaseText(*text);
        *text = replacement;
        return true;
    });
}
