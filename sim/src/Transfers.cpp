#include "Transfers.h"

#include "Frame.h"

#include <algorithm>

namespace zarelsim {

void Transfers::BeginIncoming(IncomingItem item) {
    Abandon();
    session_.blocks = uint32_t((uint64_t(item.length) + kBlockSize - 1) / kBlockSize);
    // Nothing is set aside for the announced length: the item grows with the blocks that arrive.
    item.data.clear();
    incoming_ = std::move(item);
}

void Transfers::BeginOutgoing(Bytes item) {
    Abandon();
    session_.blocks = uint32_t((item.size() + kBlockSize - 1) / kBlockSize);
    outgoing_ = std::move(item);
}

void Transfers::Abandon() {
    incoming_.reset();
    outgoing_.reset();
    session_ = Session{};
}

size_t Transfers::BytesHeld() const {
    return incoming_ ? incoming_->data.capacity() : outgoing_ ? outgoing_->capacity() : 0;
}

void Transfers::HangUpAfter(uint32_t blocks) { session_.answerLimit = blocks; }

// The host numbers blocks from 1 and sends their low 8 bits; it repeats a block whose answer it
// did not get, so the last block again is answered again (and not stored twice).
Transfers::BlockAnswer Transfers::Check(Session& s, const uint8_t* params, uint8_t& error,
                                        uint32_t& block) {
    if (s.answered >= s.answerLimit) return BlockAnswer::Silent;
    if (uint8_t(~params[0]) != params[1]) {
        error = kBadComplement;
        return BlockAnswer::Error;
    }
    const uint32_t next = s.done + 1;
    if (params[0] == uint8_t(next) && next <= s.blocks) {
        block = next;
    } else if (s.done > 0 && params[0] == uint8_t(s.done)) {
        block = s.done;
    } else {
        error = kOutOfSequence;
        return BlockAnswer::Error;
    }
    ++s.answered;
    return BlockAnswer::Ack;
}

Transfers::BlockAnswer Transfers::TakeBlock(const uint8_t* params, size_t count, uint8_t& error,
                                            std::optional<IncomingItem>& done) {
    if (!incoming_) {
        error = kNoTransfer;
        return BlockAnswer::Error;
    }
    if (count != 2 + kBlockSize) {
        error = kBadParameters;
        return BlockAnswer::Error;
    }
    uint32_t block = 0;
    const BlockAnswer answer = Check(session_, params, error, block);
    if (answer != BlockAnswer::Ack || block == session_.done) return answer;
    incoming_->data.insert(incoming_->data.end(), params + 2, params + 2 + kBlockSize);
    session_.done = block;
    if (block == session_.blocks) {
        // The session stays, so that a repeat of the last block is still acknowledged.
        incoming_->data.resize(incoming_->length);
        done = std::move(*incoming_);
        incoming_->data.clear();
    }
    return answer;
}

Transfers::BlockAnswer Transfers::ServeBlock(const uint8_t* params, size_t count, uint8_t& error,
                                             Bytes& data) {
    if (!outgoing_) {
        error = kNoTransfer;
        return BlockAnswer::Error;
    }
    if (count != 2) {
        error = kBadParameters;
        return BlockAnswer::Error;
    }
    uint32_t block = 0;
    const BlockAnswer answer = Check(session_, params, error, block);
    if (answer != BlockAnswer::Ack) return answer;
    session_.done = block;
    data.assign(2 + kBlockSize, 0);
    data[0] = params[0];
    data[1] = params[1];
    const size_t from = size_t(block - 1) * kBlockSize;
    const size_t size = std::min(kBlockSize, outgoing_->size() - from);
    std::copy_n(outgoing_->begin() + from, size, data.begin() + 2);
    return answer;
}

} // namespace zarelsim
