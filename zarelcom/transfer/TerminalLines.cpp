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

bool SendLine(const std::string &line)
{
    return GuardExport<zc_bool>(false, [&] { return SendCommandLine(line); });
}

// The announced length of a file; nullopt for a file that cannot be read, which is refused
// before anything is typed.
std::optional<std::string> DecimalLength(std::string_view path)
{
    const int32_t length = OpenForSending(path).size;
    if (length < 0)
        return std::nullopt;
    return std::to_string(length);
}

} // namespace

extern "C" ZARELCOM_API zc_bool XmodemSendLogo(zc_text pathText, int32_t slot)
{
    const TextArgument path(pathText);
    const auto length = DecimalLength(path.View());
    return length && SendLine("SEND.LOGO " + LogoSlotFileName(slot) + " " + *length + "\r");
}

extern "C" ZARELCOM_API zc_bool DownLoadFile(zc_text pathText, zc_text)
{
    const TextArgument path(pathText);
    const auto length = DecimalLength(path.View());
    // No blank between the name and the length: the printer reads the line so.
    return length && SendLine("SEND.DOS " + std::string(FileNamePart(path.View())) + *length + "\r");
}

extern "C" ZARELCOM_API zc_bool UpdateZarel(zc_text pathText)
{
    const TextArgument path(pathText);
    const auto length = DecimalLength(path.View());
    return length && SendLine("ZAREL.PROGRAM.UPGRAD " + *length + "\r");
}

extern "C" ZARELCOM_API zc_bool UpLoadParameter(zc_text)
{
    return SendLine("UPLOAD.PARAMETER\r");
}
