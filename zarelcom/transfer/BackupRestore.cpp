// Logo and message backups into local files, message restores, image prints and the message load.
#include <zarelcom/zarelcom.h>

#include <string_view>

#include "link/CountedText.h"
#include "link/Exchange.h"
#include "link/Library.h"
#include "transfer/BlockFetch.h"
#include "transfer/BlockSend.h"
#include "transfer/Frames.h"

namespace {

bool BackUp(zc_text pathText, uint8_t command, int32_t number) {
    const TextArgument path(pathText);
    // Unlike file requests, a backup answered with another code leaves the error code.
    return GuardExport<zc_bool>(false, [&](Link &link) {
        BackupRequest request = MakeBackupRequest(command, number);
        return FetchRequested(link, path.View(), request.Frame(), command,
                              WrongReplyCode::LeavesErrorCode);
    });
}

} // namespace

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL BackUpLogo(zc_text path, int32_t logo) {
    return BackUp(path, CmdBackUpLogo, logo);
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL BackUpMsg(zc_text path, int32_t message) {
    return BackUp(path, CmdBackUpMessage, message);
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL RestoreMsg(const char *path, uint16_t message) {
    return GuardExport<zc_bool>(false, [&](Link &link) {
        return path != nullptr && AnnounceAndSend(link, path, [message](int32_t size) {
                   return RestoreAnnouncement(size, message);
               });
    });
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL PrintImage(zc_text pathText, uint8_t option) {
    const TextArgument path(pathText);
    return GuardExport<zc_bool>(false, [&](Link &link) {
        return AnnounceAndSend(link, path.View(),
                               [option](int32_t size) { return PrintAnnouncement(size, option); });
    });
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL DownLoadMessage(uint8_t message, zc_text hex) {
    const TextArgument digits(hex);
    // The printer's reply code is not examined: any good reply takes the message.
    return GuardExport<zc_bool>(false, [&](Link &link) {
        auto frame = MessageLoadFrame(message, digits.View());
        return frame && Exchange(link, frame->data());
    });
}
