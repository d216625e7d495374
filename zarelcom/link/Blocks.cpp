// Numbered 512-byte data blocks in both directions, on which every file and logo transfer rests.
// Each block travels with its number's low 8 bits and their complement.
#include <cerrno>
#include <cstdio>

#include <zarelcom/zarelcom.h>

#include "link/Command.h"
#include "link/Library.h"
#include "link/LocalFailure.h"
#include "link/Printer.h"

namespace {

constexpr std::size_t kBlockSize = ZC_BLOCK_SIZE;
constexpr std::size_t kBlockDataOffset = 2; // reply data: number, complement, then the block
constexpr uint8_t kBlockAcknowledged = 'O';
constexpr uint8_t kBlockDelivered = '}';
constexpr int kBlockAttempts = 3;

template <std::size_t Size>
Request<Size> &Numbered(Request<Size> &request, uint8_t block) {
    return request.Byte(2, block).Byte(3, static_cast<uint8_t>(~block));
}

} // namespace

// The file is read once; the same frame is resent on every attempt. A read is checked before
// anything goes: a block of zeros the printer acknowledged could not be taken back.
bool SendBlock(Link &link, uint8_t block, FILE *file, std::size_t expected) {
    Request request(command::SendBlock);
    Numbered(request, block);
    errno = 0;
    const std::size_t got = std::fread(request.Frame() + kPayloadOffset + 4, 1, kBlockSize, file);
    if (std::ferror(file)) {
        KeepLocalFailure(link, "The file to send could not be read", errno);
        return false;
    }
    if (got < expected) {
        link.lastPortError.Keep("The file became shorter while it was sent: it changed during the "
                                "send; nothing more was sent, send it again (Error: -1)",
                                -1);
        return false;
    }
    for (int attempt = 0; attempt < kBlockAttempts; ++attempt) {
        if (ExchangePacket(link, request.Frame(), Retries::AllThree) &&
            ReplyCode(link) == kBlockAcknowledged)
            return true;
    }
    return false;
}

// A reply that does not carry the whole block, or whose checksum or ETX is wrong, is asked for
// again like a wrong reply code, so that neither stale bytes of the receive buffer nor bytes
// changed on the line pass for block data. A block still damaged at the last attempt is the
// reason of the failure, whatever code an earlier exchange left.
bool FetchBlock(Link &link, uint8_t block) {
    Request request(command::GetBlock);
    Numbered(request, block);
    for (int attempt = 0; attempt < kBlockAttempts; ++attempt) {
        if (!Exchange(link, request) || ReplyCode(link) != kBlockDelivered) continue;
        if (ReplyCarries(link, kBlockDataOffset + kBlockSize) && ReplyFrameIntact(link))
            return true;
        link.lastErrorCode = ZC_ERR_BAD_REPLY;
    }
    return false;
}

const uint8_t *BlockData(const Link &link) {
    return &link.rcvBuffer[kReplyDataOffset + kBlockDataOffset];
}

extern "C" {

ZARELCOM_API zc_bool ZARELCOM_CALL StxSendPack(uint8_t block, FILE *file) {
    return GuardExport<zc_bool>(false,
                                [&](Link &link) { return file && SendBlock(link, block, file); });
}

ZARELCOM_API zc_bool ZARELCOM_CALL StxGetPack(uint8_t block) {
    return GuardExport<zc_bool>(false, [&](Link &link) { return FetchBlock(link, block); });
}

} // extern "C"
