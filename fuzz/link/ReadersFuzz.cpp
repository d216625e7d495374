// Arbitrary printer bytes, arriving at arbitrary times, into every reader of the printer's
// answers: the reply reception, the terminal answer and readiness waits, the command functions
// that take texts, counts and fixed-width values out of a reply, the data blocks, and the fetches
// that read a length and then blocks into a local file. AddressSanitizer guards the receive
// buffer; the checks below guard what the readers promise.
//
// Input: byte 0 picks the reader: below 0x80 the reception and the readers of texts (for the
// terminal answer wait, byte 1 is the length of the expected text that follows); from 0x80 on the
// fixed-width readers, blocks, fetches, sends and the switch to packet mode. The rest is arrivals:
// a delay in 10 ms steps, a count, the bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

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
    case 0: {
        // However the bytes come, the reception ends within its time and the reply's wire time.
        ProcessLink().currentLength = 0;
        const uint64_t start = line.Now();
        if (RcvPack(nullptr))
            Require(ProcessLink().currentLength >= 0 &&
                    ProcessLink().currentLength + 2 <= int32_t(kRcvBufferSize));
        const uint64_t wireMs =
            ((13 + uint64_t(ProcessLink().currentLength) + 2) * 10 * 1000 + 19199) / 19200;
        Require(line.Now() - start <= kReceptionMs + wireMs + 100);
        break;
    }
    case 1: {
        const std::vector<uint8_t> expected = input.Bytes(input.Byte() % 64);
        const zc_text text =
            NewText({reinterpret_cast<const char *>(expected.data()), expected.size()});
        // Everything else of the input arrives as the answer.
        line.Arrive(input.Bytes(SIZE_MAX), 0);
        RcvCmdPack1(text, nullptr);
        ReleaseText(text);
        break;
    }
    case 2:
        if (!RcvCmdPack(nullptr))
            Require(ProcessLink().terminalStatus >= 0 && ProcessLink().terminalStatus <= 2);
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
            Require(text + std::strlen(text) <=
                    reinterpret_cast<const char *>(ProcessLink().rcvBuffer) +
                        std::max(ProcessLink().currentLength, 3));
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

// A good answer to a reader of `width` reply data bytes carried them, and was no error reply.
void RequireWidth(bool answered, std::size_t width) {
    if (answered)
        Require(ProcessLink().currentLength >= int32_t(2 + width) &&
                ProcessLink().rcvBuffer[1] != '1');
}

// The local file of the fetches and sends, with what it held before.
const std::string &LocalFile() {
    static const std::string path = "/tmp/zarelcom-fuzz-" + std::to_string(::getpid()) + ".bin";
    return path;
}
const std::string kOldContent = "old";

std::string ReadLocalFile() {
    std::ifstream file(LocalFile(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A fetch into the local file: replaced whole by its blocks, or left as it was.
void Fetch(const std::function<bool(zc_text path)> &fetch) {
    std::ofstream(LocalFile(), std::ios::binary | std::ios::trunc) << kOldContent;
    const zc_text path = NewText(LocalFile());
    const bool fetched = fetch(path);
    ReleaseText(path);
    const std::string content = ReadLocalFile();
    if (fetched)
        Require(!content.empty() && content.size() % ZC_BLOCK_SIZE == 0);
    else
        Require(content == kOldContent);
}

void RunFixedWidthReader(uint8_t reader) {
    int32_t values[6] = {};
    const char *text = nullptr;
    switch (reader % 26) {
    case 0: {
        SystemInfo info{};
        RequireWidth(GetSysInfo(&info), 20);
        break;
    }
    case 1:
        RequireWidth(GetZarelType() != -1, 5);
        break;
    case 2:
        RequireWidth(GetPrintStatus() != -1, 1);
        break;
    case 3:
        RequireWidth(GetFreeLogoNo() != -1, 1);
        break;
    case 4:
        RequireWidth(GetMeasure() != -1, 1);
        break;
    case 5:
        RequireWidth(GetMessageNo() != -1, 1);
        break;
    case 6:
        GetInkStaus();
        break; // 255 is a value as well as the failure
    case 7:
        GetBackUpRestoreReg();
        break; // as is 2
    case 8:
        GetFreeDiskSpc();
        break; // and 0
    case 9:
        GetMaxMsg();
        break;
    case 10:
        RequireWidth(GetConveyor(values), 4);
        break;
    case 11:
        RequireWidth(GetEncoder(values, &values[2]), 1);
        break;
    case 12:
        RequireWidth(GetMsgDelay(values), 8);
        break;
    case 13: {
        uint8_t data[64];
        RequireWidth(GetSysData(data), 64);
        break;
    }
    case 14:
        RequireWidth(GetSystemClock(values), 7);
        break;
    case 15:
        RequireWidth(GetCYear(&text), 2);
        break;
    case 16:
        RequireWidth(GetRollHour(&text), 2);
        break;
    case 17: {
        int8_t shifts[15];
        RequireWidth(GetShift(shifts), 15);
        break;
    }
    case 18:
        RequireWidth(GetCounter(values, 0), 18);
        break;
    case 19:
        RequireWidth(GetTDFormat(&text, 0) == 1, 1 + std::size_t{ProcessLink().rcvBuffer[2]});
        break;
    case 20:
        RequireWidth(StxGetPack(1), 514);
        break;
    case 21:
        Fetch([](zc_text path) { return StxUpLoadFile(path, nullptr); });
        break;
    case 22:
        Fetch([](zc_text path) { return BackUpLogo(path, 1); });
        break;
    case 23:
        Fetch([](zc_text path) { return StxGetFile(path, 1000); });
        break;
    case 24: {
        std::ofstream(LocalFile(), std::ios::binary | std::ios::trunc) << std::string(1000, 'L');
        const zc_text path = NewText(LocalFile());
        StxSendLogo(path, 1);
        ReleaseText(path);
        break;
    }
    default:
        SetStxProtocol();
        IncPRCmd();
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    Input input(data, size);
    const uint8_t reader = input.Byte();
    VirtualPlatform line;
    line.AddDevice("Com1");
    ProcessLink().port.Close();
    ProcessLink().port.UsePlatform(line);
    OpenComPort(1);
    if (reader % 8 != 1) {
        uint64_t delay = 0;
        while (!input.Empty()) {
            delay += input.Byte() * 10u;
            line.Arrive(input.Bytes(input.Byte()), delay);
        }
    }
    if (reader < 0x80)
        RunReader(reader, input, line);
    else
        RunFixedWidthReader(reader - 0x80);
    ProcessLink().port.Close();
    ProcessLink().port.UsePlatform(SystemPlatform());
    return 0;
}
