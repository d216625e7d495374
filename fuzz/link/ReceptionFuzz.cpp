// Arbitrary bytes into the reply reader, the part of the reception that decides what arrived: the
// looks for the STX, the length bytes and the rest of the reply, with no port, no clock and no
// event thread. AddressSanitizer guards the receive buffer; the checks below guard what the
// reception promises.
//
// Input: up to 11 probes, a byte each (0xFF: the probe found the line silent); then a byte whose
// value modulo 3 is how many length bytes came, those bytes; the rest is what came of the reply.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

#include <zarelcom/zarelcom.h>

#include "link/Frame.h"
#include "link/ReplyReader.h"

namespace {

constexpr int kProbes = 11;
constexpr uint8_t kSilent = 0xFF;
constexpr int32_t kUntouched = -7;

void Require(bool condition) {
    if (!condition) std::abort();
}

class Input {
public:
    Input(const uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    uint8_t Byte() { return Empty() ? 0 : data_[at_++]; }
    // Copies up to count bytes; how many there were.
    std::size_t Take(uint8_t *into, std::size_t count) {
        const std::size_t n = std::min(count, size_ - std::min(at_, size_));
        std::memcpy(into, data_ + at_, n);
        at_ += n;
        return n;
    }

private:
    const uint8_t *data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

Reception Receive(ReplyReader &reader, Input &input) {
    bool found = false;
    for (int probe = 0; probe < kProbes && !found && !input.Empty(); ++probe) {
        const uint8_t byte = input.Byte();
        found = reader.Probe(byte == kSilent ? std::nullopt : std::optional<uint8_t>(byte));
    }
    if (!found) return reader.NoStx();
    uint8_t length[2];
    const std::size_t rest = reader.Length(length, input.Take(length, input.Byte() % 3));
    if (rest == 0) return Reception::Failed;
    if (reader.TooLong()) return reader.Dropped();
    return reader.Judge(input.Take(reader.Rest(), rest));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    static Link link; // memory only: its port stays closed
    link.lastErrorCode = kUntouched;
    link.currentLength = -1;
    Input input(data, size);
    ReplyReader reader(link);
    const Reception reception = Receive(reader, input);

    const int32_t n = link.currentLength;
    switch (reception) {
    case Reception::Good:
        Require(n >= 2 && static_cast<std::size_t>(n) + 2 <= kRcvBufferSize);
        Require(link.rcvBuffer[1] != kErrorReplyCode && link.lastErrorCode == kUntouched &&
                !reader.Short());
        break;
    case Reception::ErrorReply:
        Require(n >= 3 && static_cast<std::size_t>(n) + 2 <= kRcvBufferSize);
        Require(link.lastErrorCode == link.rcvBuffer[2]);
        break;
    case Reception::Failed:
        Require(link.lastErrorCode >= ZC_ERR_NO_STX && link.lastErrorCode <= ZC_ERR_BAD_REPLY);
        Require(reader.Short() == (link.lastErrorCode == ZC_ERR_SHORT_REPLY));
        break;
    }
    return 0;
}
