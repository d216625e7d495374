#include "Frame.h"

#include <algorithm>

namespace zarelsim {

uint8_t Checksum(const uint8_t* lengthAndPayload, size_t count) {
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i) sum += lengthAndPayload[i];
    return static_cast<uint8_t>(sum);
}

Bytes BuildReply(uint8_t code, const Bytes& data) {
    const size_t n = data.size() + 2;
    Bytes frame;
    frame.reserve(n + 5);
    frame.push_back(kStx);
    frame.push_back(static_cast<uint8_t>(n >> 8));
    frame.push_back(static_cast<uint8_t>(n));
    frame.push_back(kLeadByte);
    frame.push_back(code);
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(Checksum(frame.data() + 1, n + 2));
    frame.push_back(kEtx);
    return frame;
}

Bytes BuildErrorReply(uint8_t number) { return BuildReply(kErrorCode, {number}); }

void FrameReader::Reset() {
    state_ = Hunting;
    frame_.clear();
    needed_ = 0;
}

size_t FrameReader::Feed(const uint8_t* data, size_t count, Result& result) {
    result = Result{};
    size_t used = 0;
    while (used < count) {
        if (state_ == Hunting) {
            if (data[used++] != kStx) {
                ++skipped_;
                continue;
            }
            state_ = Length;
            needed_ = 2;
            frame_.clear();
            continue;
        }
        const size_t take = std::min(needed_, count - used);
        frame_.insert(frame_.end(), data + used, data + used + take);
        used += take;
        needed_ -= take;
        if (needed_ > 0) break;
        if (state_ == Length) {
            const size_t n = size_t(frame_[0]) << 8 | frame_[1];
            if (n < 2 || n > kMaxRequestPayload) {
                Reset();
                result.kind = Result::BadFrame;
                result.error = kBadLength;
                return used;
            }
            state_ = Body;
            needed_ = n + 2;
            continue;
        }
        // A whole frame: length (2), payload (n), checksum, ETX.
        const size_t n = frame_.size() - 4;
        const bool etxOk = frame_.back() == kEtx;
        const bool sumOk = Checksum(frame_.data(), n + 2) == frame_[n + 2];
        if (!etxOk || !sumOk) {
            result.kind = Result::BadFrame;
            result.error = etxOk ? kBadChecksum : kMissingEtx;
        } else {
            result.kind = Result::Frame;
            result.payload.assign(frame_.begin() + 2, frame_.begin() + 2 + n);
        }
        Reset();
        return used;
    }
    return used;
}

} // namespace zarelsim
