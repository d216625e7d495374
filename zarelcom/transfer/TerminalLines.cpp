// Terminal-mode announcements: one command line each, echoed by the printer. No content follows
// from the library.
#include <zarelcom/zarelcom.h>

#include <string>

#include "link/Exchange.h"
#include "link/Library.h"
#include "transfer/BlockSend.h"
#include "transfer/FileNames.h"
#include "transfer/TextArgs.h"

namespace {

bool SendLine(const std::string &line)
{
    return Guarded<zc_bool>(false, [&] { return SendCommandLine(line); });
}

// The announced length of a file; nullopt for a file that cannot be read, which is refused
// before anything is typed.
std::optional<std::string> DecimalLength(zc_text path)
{
    const int32_t length = OpenForSending(TextBytes(path)).size;
    if (length < 0)
        return std::nullopt;
    return std::to_string(length);
}

} // namespace

extern "C" ZARELCOM_API zc_bool XmodemSendLogo(zc_text path, int32_t slot)
{
    const auto length = DecimalLength(path);
    return length && SendLine("SEND.LOGO " + LogoSlotFileName(slot) + " " + *length + "\r");
}

extern "C" ZARELCOM_API zc_bool DownLoadFile(zc_text path, zc_text)
{
    // No blank between the name and the length: the printer reads the line so.
    const auto length = DecimalLength(path);
    return length && SendLine("SEND.DOS " + std::string(FileNamePart(TextBytes(path))) + *length + "\r");
}

extern "C" ZARELCOM_API zc_bool UpdateZarel(zc_text path)
{
    const auto length = DecimalLength(path);
    return length && SendLine("ZAREL.PROGRAM.UPGRAD " + *length + "\r");
}

extern "C" ZARELCOM_API zc_bool UpLoadParameter(zc_text)
{
    return SendLine("UPLOAD.PARAMETER\r");
}
