// Terminal-mode announcements: one command line each, echoed by the printer. No content follows
// from the library.
#include <zarelcom/zarelcom.h>

#include <string>

#include "link/CountedText.h"
#include "link/Exchange.h"
#include "link/Library.h"
#include "transfer/BlockSend.h"
#include "transfer/FileNames.h"

namespace {

// The announced length of a file; nullopt for a file that cannot be read, which is refused
// before anything is typed.
std::optional<std::string> DecimalLength(std::string_view path) {
    const int32_t length = OpenForSending(path).size;
    if (length < 0) return std::nullopt;
    return std::to_string(length);
}

// Types the line that makeLine builds from the file's path and length; a file that cannot be read
// types nothing.
template <class MakeLine>
zc_bool AnnounceFile(zc_text pathText, MakeLine makeLine) {
    const TextArgument path(pathText);
    return GuardExport<zc_bool>(false, [&](Link &link) {
        const auto length = DecimalLength(path.View());
        return length && SendCommandLine(link, makeLine(path.View(), *length));
    });
}

} // namespace

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL XmodemSendLogo(zc_text path, int32_t slot) {
    return AnnounceFile(path, [slot](std::string_view, const std::string &length) {
        return "SEND.LOGO " + LogoSlotFileName(slot) + " " + length + "\r";
    });
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL DownLoadFile(zc_text path, zc_text) {
    // No blank between the name and the length: the printer reads the line so.
    return AnnounceFile(path, [](std::string_view local, const std::string &length) {
        return "SEND.DOS " + std::string(FileNamePart(local)) + length + "\r";
    });
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL UpdateZarel(zc_text path) {
    return AnnounceFile(path, [](std::string_view, const std::string &length) {
        return "ZAREL.PROGRAM.UPGRAD " + length + "\r";
    });
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL UpLoadParameter(zc_text) {
    return GuardExport<zc_bool>(
        false, [](Link &link) { return SendCommandLine(link, "UPLOAD.PARAMETER\r"); });
}
