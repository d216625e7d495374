// What scripts and people read: JSON that stays valid for any printer bytes, the progress bar
// drawn from the library's figures, the advice for a port that did not open, and logo files drawn
// as text.
#include "Json.h"
#include "LogoArt.h"
#include "Ports.h"
#include "Progress.h"
#include "TestLogo.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>

using namespace zarelctl;

namespace {

TEST(Json, ObjectsKeepTheirOrderAndEscapeEveryAwkwardByte) {
    Json object = Json::Object();
    object.Add("b", 1)
        .Add("a", "x\"y\\z\n\t\x01")
        .Add("list", Json::List({true, Json(), -5}))
        .Add("none", Json());
    EXPECT_EQ(object.Dump(),
              "{\"b\":1,\"a\":\"x\\\"y\\\\z\\n\\t\\u0001\",\"list\":[true,null,-5],\"none\":null}");
    // Printer texts are 8-bit: a Big5 or Latin-1 byte becomes one \u00XX character.
    EXPECT_EQ(Json("\xA4\xA4 \x7F").Dump(), "\"\\u00a4\\u00a4 \\u007f\"");
}

TEST(Progress, TheBarFillsWithTheBytesAndStopsAtTheEnd) {
    EXPECT_EQ(ProgressBar({512, 1500}, 10), "[###-------]  34%  512 / 1500 bytes");
    EXPECT_EQ(ProgressBar({0, 1500}, 4), "[----]   0%  0 / 1500 bytes");
    // The last block counts whole, past the announced length: the bar ends at the file's size.
    EXPECT_EQ(ProgressBar({1536, 1500}, 4), "[####] 100%  1500 / 1500 bytes");
    EXPECT_EQ(ProgressBar({1024, 0}, 4), "[####] 100%  1024 / 0 bytes");
    // Once the rate is known: the rate and the time the rest takes at it.
    EXPECT_EQ(ProgressBar({500, 1500}, 10, 250),
              "[###-------]  33%  500 / 1500 bytes  0.2 kB/s  0:04 left");
    EXPECT_EQ(ProgressBar({0, 192000}, 4, 1920),
              "[----]   0%  0 / 192000 bytes  1.9 kB/s  1:40 left");
}

TEST(Ports, AFailedOpenIsAnsweredWithWhatToDo) {
    const struct {
        std::string port;
        int32_t kind, error;
        std::string device, holder;
        int32_t holderPid;
        std::string reason, advice;
    } cases[] = {
        {"COM33", ZC_PORT_DENIED, EACCES, "/dev/ttyUSB0", "", 0, "Permission denied",
         "could not open COM33 (/dev/ttyUSB0): you may not use this port. Add yourself to its "
         "group with 'sudo usermod -aG dialout $USER', then log out and in again"},
        {"COM97", ZC_PORT_MISSING, -1, "", "", 0, "no device is mapped to this name",
         "could not open COM97: no device belongs to this number."},
        {"/dev/ttyACM0", ZC_PORT_BUSY, EBUSY, "/dev/ttyACM0", "", 0, "Device or resource busy",
         "could not open /dev/ttyACM0: another program holds it. Close that program and try again "
         "('fuser -v /dev/ttyACM0' names it)"},
        {"COM5", ZC_PORT_BUSY, EBUSY, "/dev/pts/7", "picocom", 4242, "Device or resource busy",
         "could not open COM5 (/dev/pts/7): another program holds it (picocom, process 4242). "
         "Close that program and try again"},
        {"COM8", ZC_PORT_NOT_SERIAL, ENOTTY, "/dev/null", "", 0, "not a serial port",
         "could not open COM8 (/dev/null): /dev/null is not a serial port."},
        {"COM2", ZC_PORT_OTHER, EIO, "/dev/ttyS1", "", 0, "Input/output error",
         "could not open COM2 (/dev/ttyS1): Input/output error (system error 5)"},
    };
    for (const auto &refused : cases) {
        zc_port_failure_info failure{};
        failure.kind = refused.kind;
        failure.os_error = refused.error;
        std::snprintf(failure.device, sizeof failure.device, "%s", refused.device.c_str());
        std::snprintf(failure.holder, sizeof failure.holder, "%s", refused.holder.c_str());
        failure.holder_pid = refused.holderPid;
        EXPECT_EQ(OpenReason(failure), refused.reason);
        EXPECT_EQ(OpenAdvice(refused.port, failure).rfind(refused.advice, 0), 0u)
            << OpenAdvice(refused.port, failure);
    }
}

class LogoFile : public ::testing::Test {
protected:
    std::string path = ::testing::TempDir() + "logo_art_test.bmp";
    void TearDown() override { std::remove(path.c_str()); }

    void Write(const std::vector<std::string> &rows, bool truncate = false) {
        std::string bytes = OneBitLogo(rows);
        if (truncate) bytes.pop_back();
        std::ofstream(path, std::ios::binary) << bytes;
    }
};

TEST_F(LogoFile, RowsComeOutTopFirstWithBlackAsHash) {
    std::vector<std::string> picture = {"#.........#", "..#######..", "#.#.....#.#"};
    Write(picture);
    LogoBitmap logo;
    std::string problem;
    ASSERT_TRUE(ReadLogoBitmap(path, logo, problem)) << problem;
    EXPECT_EQ(logo.width, 11);
    EXPECT_EQ(logo.height, 3);
    EXPECT_EQ(LogoArt(logo), picture);
}

TEST_F(LogoFile, DamagedOrForeignFilesAreRefused) {
    LogoBitmap logo;
    std::string problem;
    Write(std::vector<std::string>(17, std::string(40, '#')), true);
    EXPECT_FALSE(ReadLogoBitmap(path, logo, problem));
    EXPECT_NE(problem.find("cut short"), std::string::npos) << problem;
    std::ofstream(path, std::ios::binary)
        << "GIF89a not a bitmap, but long enough to hold a bitmap header......";
    EXPECT_FALSE(ReadLogoBitmap(path, logo, problem));
    EXPECT_NE(problem.find("not a BMP"), std::string::npos) << problem;
    EXPECT_FALSE(ReadLogoBitmap(path + ".missing", logo, problem));
}

} // namespace
