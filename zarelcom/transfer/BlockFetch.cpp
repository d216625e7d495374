#include "transfer/BlockFetch.h"

#include <zarelcom/zarelcom.h>

#include <string>

#include "link/CountedText.h"
#include "link/Library.h"
#include "link/LocalFailure.h"
#include "link/Printer.h"
#include "link/Reply.h"
#include "transfer/BlockSend.h"
#include "transfer/LocalPath.h"
#include "transfer/Progress.h"
#include "transfer/ReplacementFile.h"

namespace {

// A failure of the local file, never the printer's: GetLastPortError says so, with the reason.
bool LocalFileFailed(Link &link, const std::string &path, const ReplacementFile &file) {
    KeepLocalFailure(link, "Cannot save the fetched file " + path, file.Error());
    return false;
}

} // namespace

bool FetchToFile(Link &link, std::string_view pathText, const FetchRequest &request) {
    const auto path = LocalPath(pathText);
    if (!path) return false;
    ReplacementFile file(*path);
    if (!file.IsOpen()) return LocalFileFailed(link, *path, file);
    const std::optional<int32_t> length = request();
    if (!length) return false;
    const int32_t blocks = BlockCount(*length);
    for (int32_t n = 1; n <= blocks; ++n) {
        // The reply's block number is not compared with the one asked for.
        if (!FetchBlock(link, static_cast<uint8_t>(n))) return false;
        if (!file.Write(BlockData(link), ZC_BLOCK_SIZE)) return LocalFileFailed(link, *path, file);
        ReportProgress(link, pathText, *length, n);
    }
    if (blocks <= 0) return false;
    return file.Commit() || LocalFileFailed(link, *path, file);
}

bool FetchRequested(Link &link, std::string_view pathText, uint8_t *request, uint8_t expectedReply,
                    WrongReplyCode onWrongCode) {
    return FetchToFile(link, pathText, [&]() -> std::optional<int32_t> {
        if (!AnnounceTransfer(link, request, expectedReply, onWrongCode)) return std::nullopt;
        return RepliedLength(link);
    });
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL StxGetFile(zc_text pathText, int32_t length) {
    const TextArgument path(pathText);
    return GuardExport<zc_bool>(false, [&](Link &link) {
        return FetchToFile(link, path.View(), [length] { return std::optional<int32_t>(length); });
    });
}
