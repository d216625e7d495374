// Arbitrary printer bytes, arriving at arbitrary times, into every reader of the printer's
// answers: the reply reception, the terminal answer and readiness waits, and the command
// functions that take texts and counts out of a reply. AddressSanitizer guards the receive buffer;
// the checks below guard what the reception promises.
//
// Input: byte 0 picks the reader; for the terminal answer wait, byte 1 is the length of the
// expected text that follows. The rest is arrivals: a delay in 10 ms steps, a count, the bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <zarelcom/zarelcom.h>

#include "VirtualPlatform.h"
#include "link/CountedText.h"
#include "link/Exchange.h"
#include "link/Library.h"

namespace {

class Input {
public:
    Input(const uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    uint8_t Byte() { return Empty() ? 0 : data_[at_++]; }
    std::vector<uint8_t> Bytes(std::size_t count) {
        const std::size_t n = std::min(count, size_ - std::min(at_, size_));
        std::vector<uint8_t> bytes(data_ + at_, data_ + at_ + n);
        at_ += n;
        return bytes;
    }

private:
    const uint8_t *data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void Require(bool condition) {
    if (!condition) std::abort();
}

// Runs one reader and checks what it promises about the buffer and the texts it hands out.
void RunReader(uint8_t reader, Input &input, VirtualPlatform &line) {
    switch (reader % 8) {
    case 0:
        if (RcvPack(nullptr)) Require(CurrentLength >= 0 && CurrentLength + 2 <= int32_t(kRcvBufferSize));
        break;
    case 1: {
        const std::vector<uint8_t> expected = input.Bytes(input.Byte() % 64);
        const zc_text text = NewText({reinterpret_cast<const char *>(expected.data()), expected.size()});
        // Everything else of the input arrives as the answer.
        line.Arrive(input.Bytes(SIZE_MAX), 0);
        RcvCmdPack1(text, nullptr);
        ReleaseText(text);
        break;
    }
    case 2:
        if (!RcvCmdPack(nullptr)) Require(TerminalStatus >= 0 && TerminalStatus <= 2);
        break;
    case 3: {
        int32_t count = 0, current = 0;
        zc_text names = nullptr;
        if (GetLang(&count, &current, &names)) {
            Require(TextLength(names) == count * 8);
            ReleaseText(names);
        }
        break;
    }
    case 4:
        // The text ends where the reply's payload does, at the latest (or at once for no data).
        if (const char *text = GetPRCmd())
            Require(text + std::strlen(text) <= reinterpret_cast<const char *>(RcvBuffer) + std::max(CurrentLength, 3));
        break;
    case 5:
        ReleaseText(StxGetString(1));
        break;
    case 6: {
        const char *text = nullptr;
        if (StxGetStringC(1, &text)) Require(std::strlen(text) <= 255);
        break;
    }
    default: {
        const char *text = nullptr;
        if (GetTDFormat(&text, reader & 8) == 1) Require(std::strlen(text) <= 255 || !(reader & 8));
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    Input input(data, size);
    const uint8_t reader = input.Byte();
    VirtualPlatform line;
    line.AddDevice("Com1");
    LibraryPort.Close();
    LibraryPort.UsePlatform(line);
    OpenComPort(1);
    if (reader % 8 != 1) {
        uint64_t delay = 0;
        while (!input.Empty()) {
            delay += input.Byte() * 10u;
            line.Arrive(input.Bytes(input.Byte()), delay);
        }
    }
    RunReader(reader, input, line);
    LibraryPort.Close();
    LibraryPort.UsePlatform(SystemPlatform());
    return 0;
}
