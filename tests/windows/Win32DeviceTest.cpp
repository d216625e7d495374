// The Win32 serial device on a real line: a Linux pseudo-terminal that echoes every byte,
// registered as a COM port of the Wine prefix. What only Windows itself can show is marked so and
// skipped under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "comm/Comm.h"
#include "comm/Device.h"
#include "comm/PortList.h"

namespace {
const std::string LoopbackPort = "Com" + std::to_string(ZARELCOM_TEST_LOOPBACK_COM);

std::unique_ptr<Device> Open(const std::string& name) {
    OpenAttempt attempt;
    return SystemPlatform().OpenDevice(name, attempt);
}

bool UnderWine() {
    return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Processor time of this process so far.
double ProcessorMs() {
    FILETIME created, ended, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto ms = [](FILETIME time) {
        return double(ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart) / 1e4;
    };
    return ms(kernel) + ms(user);
}

#define SKIP_UNDER_WINE(why)                                                                       \
    if (UnderWine()) GTEST_SKIP() << "needs real Windows: " << why

class Win32DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        device = Open(LoopbackPort);
        ASSERT_TRUE(device) << LoopbackPort << " does not open";
        CommTimeouts timeouts; // as the port sets them: at once with what waits, else 1000 ms
        timeouts.ReadIntervalTimeout = CommTimeouts::NoInterval;
        timeouts.ReadTotalTimeoutConstant = 1000;
        ASSERT_EQ(device->SetTimeouts(timeouts), 0);
        ASSERT_EQ(device->Purge(purgeRxClear | purgeTxClear), 0);
    }

    // Writes bytes and reads their echo until count bytes came back or a read brought nothing.
    std::vector<uint8_t> Echo(const std::vector<uint8_t>& bytes, size_t count) {
        uint32_t written = 0;
        EXPECT_EQ(device->Write(bytes.data(), uint32_t(bytes.size()), written), 0);
        EXPECT_EQ(written, bytes.size());
        std::vector<uint8_t> back;
        for (;;) {
            uint8_t buffer[512];
            uint32_t got = 0;
            EXPECT_EQ(device->Read(buffer,
                                   uint32_t(std::min<size_t>(sizeof buffer, count - back.size())),
                                   got),
                      0);
            back.insert(back.end(), buffer, buffer + got);
            if (got == 0 || back.size() >= count) return back;
        }
    }

    std::unique_ptr<Device> device;
};

TEST_F(Win32DeviceTest, OpensComPortsByNumberAsSerialDevices) {
    EXPECT_TRUE(device->IsSerialDevice());
    EXPECT_FALSE(Open("Com249"));
    EXPECT_FALSE(Open(""));
}

TEST_F(Win32DeviceTest, LineSettingsAreWrittenAndReadBackWithoutSoftwareFlowControl) {
    LineSettings settings;
    ASSERT_EQ(device->GetLineSettings(settings), 0);
    EXPECT_FALSE(settings.fOutX); // cleared at open: XON and XOFF bytes are frame bytes here
    EXPECT_FALSE(settings.fInX);
    // A pseudo-terminal keeps the rate and the stop bits; it holds every frame at 8 bits, no parity.
    settings.BaudRate = 38400;
    settings.StopBits = 2;
    ASSERT_EQ(device->SetLineSettings(settings), 0);
    LineSettings back;
    ASSERT_EQ(device->GetLineSettings(back), 0);
    EXPECT_EQ(back.BaudRate, 38400u);
    EXPECT_EQ(back.StopBits, 2);
}

TEST_F(Win32DeviceTest, EveryByteValuePassesBothWays) {
    std::vector<uint8_t> all(256);
    for (int i = 0; i < 256; ++i) all[i] = uint8_t(i);
    EXPECT_EQ(Echo(all, all.size()), all);
}

TEST_F(Win32DeviceTest, ReadGivesWhatWaitsAndATimeOutIsNoFailure) {
    const std::vector<uint8_t> three{0x02, 0x11, 0x13};
    EXPECT_EQ(Echo(three, 3), three);
    uint8_t buffer[16];
    uint32_t got = 99;
    EXPECT_EQ(device->Read(buffer, sizeof buffer, got), 0); // nothing waits: the time-out
    EXPECT_EQ(got, 0u);

    uint32_t written = 0;
    ASSERT_EQ(device->Write(three.data(), 3, written), 0);
    uint32_t errors = 0;
    CommStatus status;
    while (status.InQue < 3) ASSERT_EQ(device->ClearError(errors, status), 0);
    EXPECT_EQ(device->Read(buffer, sizeof buffer, got), 0); // more asked than waits
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + got), three);
}

TEST_F(Win32DeviceTest, PurgeEndsAPendingRead) {
    CommTimeouts forever; // a read that would wait a minute for bytes that never come
    forever.ReadTotalTimeoutConstant = 60000;
    ASSERT_EQ(device->SetTimeouts(forever), 0);
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::thread reader([&] {
        uint8_t buffer[4];
        uint32_t got = 0;
        device->Read(buffer, sizeof buffer, got);
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
        finished.notify_all();
    });
    // The read may not have started yet: purge until it has ended.
    std::unique_lock<std::mutex> lock(mutex);
    while (!finished.wait_for(lock, std::chrono::milliseconds(20), [&] { return done; }))
        device->Purge(purgeRxAbort | purgeRxClear);
    lock.unlock();
    reader.join();
}

// A purge right after a write (the switch to terminal mode does it) never takes back the bytes
// written: each round's echo comes back whole.
TEST_F(Win32DeviceTest, APurgeLeavesTheBytesOfAFinishedWrite) {
    const std::vector<uint8_t> packet = {0x02, 0x00, 0x02, 0x30, 0x80, 0xB2, 0x03};
    for (int round = 0; round < 50; ++round) {
        uint32_t written = 0;
        ASSERT_EQ(device->Write(packet.data(), uint32_t(packet.size()), written), 0);
        ASSERT_EQ(device->Purge(purgeTxAbort | purgeTxClear), 0);
        std::vector<uint8_t> back;
        uint8_t buffer[16];
        for (uint32_t got = 1; got > 0 && back.size() < packet.size();) {
            ASSERT_EQ(device->Read(buffer, uint32_t(packet.size() - back.size()), got), 0);
            back.insert(back.end(), buffer, buffer + got);
        }
        ASSERT_EQ(back, packet) << "round " << round;
    }
}

// Events pacing waits on the line: a wait for input ends once its count has arrived, or at its
// limit with what came; meanwhile it sleeps rather than spinning on the bytes that wait unread.
TEST_F(Win32DeviceTest, InputWaitEndsOnceItsCountHasArrived) {
    uint32_t written = 0, queued = 0;
    ASSERT_EQ(device->Write("\x01\x02\x03\x04\x05", 5, written), 0);
    const ULONGLONG start = ::GetTickCount64();
    ASSERT_EQ(device->WaitInput(5, 60000, queued), 0);
    EXPECT_EQ(queued, 5u);
    EXPECT_LT(::GetTickCount64() - start, 30000u) << "the wait ran to its limit";
}

TEST_F(Win32DeviceTest, InputWaitSleepsToItsLimitWhileTooFewBytesWait) {
    uint32_t written = 0, queued = 0, unsent = 99;
    ASSERT_EQ(device->Write("\x01\x02\x03", 3, written), 0);
    ASSERT_EQ(device->WaitInput(3, 60000, queued), 0);
    const double before = ProcessorMs();
    ASSERT_EQ(device->WaitInput(10, 500, queued), 0);
    const double used = ProcessorMs() - before;
    EXPECT_EQ(queued, 3u);
    std::printf("processor time while waiting 500 ms with 3 of 10 bytes queued: %.1f ms\n", used);
    EXPECT_LT(used, 50.0) << "a wait that spun would burn the whole half second";
    EXPECT_EQ(device->WaitOutputEmpty(500, unsent), 0);
    EXPECT_EQ(unsent, 0u);
}

TEST_F(Win32DeviceTest, ExclusiveOpen) {
    SKIP_UNDER_WINE("Wine opens a COM port twice");
    EXPECT_FALSE(Open(LoopbackPort));
}

TEST_F(Win32DeviceTest, ModemLinesAndTheirEscapes) {
    SKIP_UNDER_WINE("Wine has no modem lines on a pseudo-terminal (error 50)");
    uint32_t lines = 0;
    EXPECT_EQ(device->GetModemStatus(lines), 0);
    for (uint32_t code : {escSetDtr, escClrDtr, escSetRts, escClrRts})
        EXPECT_EQ(device->Escape(code), 0);
}

TEST(Win32PortList, PortsComeFromTheSystemsSerialPortMap) {
    HKEY map;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                          REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &map,
                          nullptr) != ERROR_SUCCESS)
        GTEST_SKIP() << "needs the right to write the serial port map (an administrator)";
    const char driver[] = "\\Device\\ZarelcomTest", name[] = "COM77";
    ASSERT_EQ(
        ::RegSetValueExA(map, driver, 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof name),
        0);
    const std::vector<PortInfo> ports = ListPorts();
    ::RegDeleteValueA(map, driver);
    ::RegCloseKey(map);
    const auto found = std::find_if(ports.begin(), ports.end(),
                                    [](const PortInfo& port) { return port.number == 77; });
    ASSERT_NE(found, ports.end());
    EXPECT_EQ(found->device, "\\\\.\\COM77");
    EXPECT_EQ(found->description, driver);
    EXPECT_TRUE(
        std::is_sorted(ports.begin(), ports.end(),
                       [](const PortInfo& a, const PortInfo& b) { return a.number < b.number; }));
}

// The port with its event thread on the line.
class Win32PortTest : public ::testing::Test {
protected:
    void TearDown() override { port.Close(); }
    TComm port;
};

TEST_F(Win32PortTest, CharactersArrivingAreReportedOnceEach) {
    std::mutex mutex;
    std::condition_variable reported;
    int reports = 0;
    port.OnRxChar = [&](TThreadComm&, uint32_t) {
        std::lock_guard<std::mutex> lock(mutex);
        ++reports;
        reported.notify_all();
    };
    port.SetDeviceName(LoopbackPort);
    port.Open();
    ASSERT_TRUE(port.Enabled());
    port.PurgeIn();
    const auto waitFor = [&](int count) {
        std::unique_lock<std::mutex> lock(mutex);
        return reported.wait_for(lock, std::chrono::seconds(10), [&] { return reports >= count; });
    };
    // The first byte stays unread: it must not be reported again and again while it waits.
    ASSERT_EQ(port.Write("A", 1), 1);
    ASSERT_TRUE(waitFor(1));
    ASSERT_EQ(port.Write("B", 1), 1);
    ASSERT_TRUE(waitFor(2));
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(reports, 2);
}

TEST_F(Win32PortTest, CloseEndsTheEventWaitAtOnce) {
    port.SetDeviceName(LoopbackPort);
    for (int round = 0; round < 3; ++round) {
        port.Open();
        ASSERT_TRUE(port.Enabled());
        port.Close(); // nothing arrives: only the close can end the thread's wait
        EXPECT_FALSE(port.Enabled());
    }
}
} // namespace
