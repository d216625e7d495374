// Soak run, not part of the test suite (scripts/soak runs it): logo sends and file fetches in a
// row against the simulated printer on a noisy line. Prints the success rate, the frames the
// printer saw per transfer (four without noise), every success whose content is wrong (the frame's
// 8-bit sum cannot see two changed bytes whose changes cancel out), and the resident memory before
// and after.
//   reliability_soak [TRANSFERS [NOISE-PER-MILLION [SEED]]]    (default 1000 1000 1)
#include <zarelcom/zarelcom.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "PrinterOnPty.h"

namespace {

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct Tally {
    int succeeded = 0;
    int wrongButReportedGood = 0; // the protocol's checks could have caught these
    uint64_t frames = 0;
    double ms = 0;
};

uint64_t FramesSeen(zarelsim::Simulator& printer) {
    const zarelsim::Statistics s = printer.Stats();
    return s.requests + s.badFrames;
}

// Where a transfer reported good differs from what was sent: the changed bytes, by block.
void ShowDifference(const char* what, const Bytes& expected, const Bytes& got) {
    std::printf("  %s reported good but differs (%zu bytes instead of %zu):", what, got.size(),
                expected.size());
    for (size_t i = 0; i < std::min(expected.size(), got.size()); ++i)
        if (expected[i] != got[i])
            std::printf(" block %zu byte %zu %02X->%02X;", i / 512 + 1, i % 512, expected[i],
                        got[i]);
    std::printf("\n");
}

void Report(const char* what, const Tally& t, int count) {
    std::printf("%-6s %5d of %d succeeded (%.1f %%), %d reported good with wrong content, %.2f "
                "frames a transfer, "
                "%.0f ms a transfer\n",
                what, t.succeeded, count, 100.0 * t.succeeded / count, t.wrongButReportedGood,
                double(t.frames) / count, t.ms / count);
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    zarelsim::Options options;
    options.noisePerMillion = argc > 2 ? uint32_t(std::atol(argv[2])) : 1000;
    options.noiseSeed = argc > 3 ? uint32_t(std::atol(argv[3])) : 1;
    std::printf("%d logo sends and %d file fetches of 1462 bytes (3 blocks), noise %u per million "
                "bytes each way\n",
                count, count, options.noisePerMillion);

    const Bytes logo = Pattern(1462, 5);
    Bytes padded = logo;
    padded.resize(3 * ZC_BLOCK_SIZE, 0);
    TemporaryFile logoFile(logo, "soak.bmp");
    TemporaryFile fetched({}, "fetched.bin");
    const zc_text logoPath = MakeText(logoFile.Path().data(), int32_t(logoFile.Path().size()));
    const zc_text fetchPath = MakeText(fetched.Path().data(), int32_t(fetched.Path().size()));
    const zc_text name = MakeText("SOAK.BIN", 8);

    PrinterOnPty line(options);
    zarelsim::Simulator& printer = line.Printer();
    printer.Update([&](zarelsim::PrinterState& s) { s.files["SOAK.BIN"] = logo; });
    const long residentBefore = ResidentKiB();

    Tally sends, fetches;
    for (int i = 0; i < count; ++i) {
        printer.Update([](zarelsim::PrinterState& s) { s.logos[4].clear(); });
        const uint64_t before = FramesSeen(printer);
        bool ok = false;
        sends.ms += MillisecondsOf([&] { ok = StxSendLogo(logoPath, 5); });
        sends.frames += FramesSeen(printer) - before;
        if (ok) ++sends.succeeded;
        const Bytes stored = printer.State().logos[4];
        if (ok && stored != logo)
            ++sends.wrongButReportedGood, ShowDifference("send", logo, stored);
    }
    for (int i = 0; i < count; ++i) {
        std::remove(fetched.Path().c_str());
        const uint64_t before = FramesSeen(printer);
        bool ok = false;
        fetches.ms += MillisecondsOf([&] { ok = StxUpLoadFile(fetchPath, name); });
        fetches.frames += FramesSeen(printer) - before;
        if (ok) ++fetches.succeeded;
        const Bytes got = fetched.Content();
        if (ok && got != padded)
            ++fetches.wrongButReportedGood, ShowDifference("fetch", padded, got);
    }
    const long residentAfter = ResidentKiB();
    Report("sends", sends, count);
    Report("fetch", fetches, count);
    std::printf("resident memory %ld KiB after the printer started, %ld KiB at the end\n",
                residentBefore, residentAfter);
    ReleaseText(name);
    ReleaseText(fetchPath);
    ReleaseText(logoPath);
    return 0;
}
