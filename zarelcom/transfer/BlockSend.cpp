#include "transfer/BlockSend.h"

#include <zarelcom/zarelcom.h>

#include <algorithm>
#include <limits>

#include "link/CountedText.h"
#include "link/Library.h"
#include "link/Printer.h"
#include "transfer/LocalPath.h"
#include "transfer/Progress.h"

SendableFile OpenForSending(std::string_view pathText) {
    SendableFile source;
    const auto path = LocalPath(pathText);
    if (!path) return source;
    int64_t size = 0;
    FileHandle file = OpenRegularFile(*path, size);
    if (!file || size > std::numeric_limits<int32_t>::max()) return source;
    // Each block is read from the file itself when it goes, not from a buffer filled earlier, so
    // that a file that changes during the send is noticed at the block it changed.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    source.file = std::move(file);
    source.size = static_cast<int32_t>(size);
    return source;
}

int32_t BlockCount(int32_t length) {
    return length <= 0 ? 0
                       : static_cast<int32_t>((static_cast<int64_t>(length) + ZC_BLOCK_SIZE - 1) /
                                              ZC_BLOCK_SIZE);
}

bool SendBlocks(Link &link, const SendableFile &source, std::string_view name, int32_t length) {
    const int32_t blocks = BlockCount(length);
    for (int32_t n = 1; n <= blocks; ++n) {
        // What the file held at the start must still be there; past it the block is zero-filled.
        const int64_t left = static_cast<int64_t>(source.size) - int64_t{512} * (n - 1);
        const auto expected = static_cast<std::size_t>(std::clamp<int64_t>(left, 0, 512));
        // Only the low 8 bits of the block number reach the wire.
        if (!SendBlock(link, static_cast<uint8_t>(n), source.file.get(), expected)) return false;
        ReportProgress(link, name, length, n);
    }
    return blocks > 0;
}

extern "C" ZARELCOM_API int32_t ZARELCOM_CALL GetFileLen(zc_text pathText, int32_t /*mode*/) {
    const TextArgument path(pathText);
    return GuardExport<int32_t>(-1, [&](Link &) { return OpenForSending(path.View()).size; });
}

extern "C" ZARELCOM_API zc_bool ZARELCOM_CALL StxSendAllPack(zc_text pathText, int32_t length) {
    const TextArgument path(pathText);
    return GuardExport<zc_bool>(false, [&](Link &link) {
        SendableFile source = OpenForSending(path.View());
        return source.file && SendBlocks(link, source, path.View(), length);
    });
}
