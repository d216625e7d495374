// A printer unplugged in the middle of an exchange or a block transfer (its side of the
// pseudo-terminal closed), then plugged in again: the call fails within the time its waits
// allow, and the next OpenComPort and exchange work.
#include <gtest/gtest.h>

#include <zarelcom/zarelcom.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <thread>

#include "PrinterOnPty.h"

namespace {

using namespace std::chrono_literals;

void ExpectThePrinterAnswersAfterReopening(PrinterOnPty& line) {
    line.PlugIn();
    ASSERT_TRUE(OpenComPort(kPrinterCom));
    SystemInfo info{};
    EXPECT_TRUE(GetSysInfo(&info));
    EXPECT_EQ(info.ModelNo, 230);
}

TEST(Unplug, DuringAnExchange) {
    zarelsim::Options options;
    options.faults.push_back(zarelsim::ParseFault("delay:1500@B")); // the reply is under way
    PrinterOnPty line(options);
    auto query = std::async(std::launch::async, [] {
        SystemInfo info{};
        bool ok = false;
        const double ms = MillisecondsOf([&] { ok = GetSysInfo(&info); });
        return std::make_pair(ok, ms);
    });
    std::this_thread::sleep_for(300ms);
    line.Unplug();
    ASSERT_EQ(query.wait_for(20s), std::future_status::ready)
        << "the exchange hangs after the unplug";
    const auto [ok, ms] = query.get();
    EXPECT_FALSE(ok);
    EXPECT_LT(ms, 3 * 7000.0) << "longer than three attempts may take";
    std::printf("exchange failed %.0f ms after it began (unplugged at 300 ms)\n", ms);
    ExpectThePrinterAnswersAfterReopening(line);
}

TEST(Unplug, DuringABlockTransfer) {
    const Bytes item = Pattern(200 * 512, 3);
    TemporaryFile file(item);
    PrinterOnPty line;
    Bytes announcement = LogoAnnouncement(int32_t(item.size()), 3);
    ASSERT_TRUE(SendPackToZarel(announcement.data()));
    std::atomic<int> sent{0};
    auto transfer = std::async(std::launch::async, [&] {
        FILE* stream = std::fopen(file.Path().c_str(), "rb");
        bool ok = true;
        double lastMs = 0;
        for (int n = 1; ok && n <= 200; ++n) {
            lastMs = MillisecondsOf([&] { ok = StxSendPack(uint8_t(n), stream); });
            if (ok) ++sent;
        }
        std::fclose(stream);
        return std::make_pair(ok, lastMs);
    });
    while (sent < 5) std::this_thread::sleep_for(1ms);
    line.Unplug();
    ASSERT_EQ(transfer.wait_for(60s), std::future_status::ready)
        << "the transfer hangs after the unplug";
    const auto [ok, lastMs] = transfer.get();
    EXPECT_FALSE(ok);
    EXPECT_LT(sent.load(), 200);
    EXPECT_LT(lastMs, 9 * 7000.0) << "the failing block took longer than its nine attempts may";
    std::printf("transfer stopped after %d blocks; the failing block took %.0f ms\n", sent.load(),
                lastMs);
    ExpectThePrinterAnswersAfterReopening(line);
}

} // namespace
