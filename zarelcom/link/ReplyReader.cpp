#include "link/ReplyReader.h"

#include <zarelcom/zarelcom.h>

#include "link/Frame.h"

bool ReplyReader::Probe(std::optional<uint8_t> byte) {
    silent_ = !byte;
    return byte == kStx;
}

Reception ReplyReader::NoStx() {
    link_.lastErrorCode = silent_ ? ZC_ERR_SILENT : ZC_ERR_NO_STX;
    return Reception::Failed;
}

std::size_t ReplyReader::Length(const uint8_t *bytes, std::size_t got) {
    if (got < 2) {
        link_.lastErrorCode = ZC_ERR_NO_LENGTH;
        return 0;
    }
    link_.currentLength = bytes[0] << 8 | bytes[1];
    rest_ = static_cast<std::size_t>(link_.currentLength) + 2; // payload, checksum, ETX
    return rest_;
}

Reception ReplyReader::Dropped() {
    link_.lastErrorCode = ZC_ERR_NO_LENGTH;
    return Reception::Failed;
}

Reception ReplyReader::Judge(std::size_t got) {
    short_ = got < rest_;
    if (short_) {
        link_.lastErrorCode = ZC_ERR_SHORT_REPLY;
        return Reception::Failed;
    }
    // A payload without a reply code, or an error reply without its number, answers nothing.
    const int32_t n = link_.currentLength;
    const bool errorReply = n >= 2 && link_.rcvBuffer[1] == kErrorReplyCode;
    if (n < 2 || (errorReply && n < 3)) {
        link_.lastErrorCode = ZC_ERR_BAD_REPLY;
        return Reception::Failed;
    }
    if (errorReply) {
        link_.lastErrorCode = link_.rcvBuffer[2];
        return Reception::ErrorReply;
    }
    return Reception::Good;
}
