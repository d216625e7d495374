// The export boundary: port errors become failure results with their messages kept, on the
// library's own port put on the virtual line.
#include <gtest/gtest.h>

#include <cerrno>

#include "VirtualPlatform.h"
#include "link/Library.h"

class ExportsOnVirtualLine : public ::testing::Test {
protected:
    void SetUp() override {
        line.AddDevice("Com1");
        line.AddDevice("Com2");
        ProcessLink().port.UsePlatform(line);
    }
    void TearDown() override {
        CloseComPort();
        SetBaudRate(ZC_BR19200);
        ProcessLink().port.UsePlatform(SystemPlatform());
    }
    VirtualPlatform line;
};

TEST_F(ExportsOnVirtualLine, RefusedRateBecomesFalseWithItsMessage) {
    ASSERT_TRUE(OpenComPort(1));
    line.FailNext(VirtualPlatform::Operation::SetLineSettings, EINVAL);
    EXPECT_FALSE(SetBaudRate(ZC_BR38400));
    EXPECT_STREQ(GetLastPortError(), "Error updating DataControlBlock (Error: 22)");
    EXPECT_TRUE(SetBaudRate(ZC_BR57600));
    EXPECT_EQ(line.Line().BaudRate, 57600u);
    EXPECT_STREQ(GetLastPortError(), ""); // each call that can set one clears it first
    EXPECT_EQ(GetCurrErrCode(), 0);       // port functions leave the exchange's code alone
}

TEST_F(ExportsOnVirtualLine, OpenErrorsBecomeFalseAndThePortStaysUsable) {
    line.FailNext(VirtualPlatform::Operation::SetTimeouts, EIO);
    EXPECT_FALSE(OpenComPort(1));
    EXPECT_STREQ(GetLastPortError(), "Error updating CommTimeouts (Error: 5)");
    EXPECT_EQ(sio_inque(), -1);
    EXPECT_TRUE(OpenComPort(1));
}

TEST_F(ExportsOnVirtualLine, OpenClosesThePreviousPortFirstAndNamesItComN) {
    ASSERT_TRUE(OpenComPort(1));
    EXPECT_TRUE(OpenComPort(2)); // the line is exclusive: only works when Com1 was closed first
    EXPECT_EQ(ProcessLink().port.DeviceName(), "Com2");
    EXPECT_EQ(line.OpenCount(), 2);
    EXPECT_FALSE(OpenComPort(3)); // no such device: closed afterwards
    EXPECT_EQ(ProcessLink().port.DeviceName(), "Com3");
    EXPECT_FALSE(ProcessLink().port.Enabled());
}

TEST_F(ExportsOnVirtualLine, RateSetWhileClosedIsUsedAtTheNextOpen) {
    EXPECT_FALSE(SetBaudRate(ZC_BR9600));
    EXPECT_EQ(line.LineWrites(), 0);
    ASSERT_TRUE(OpenComPort(1));
    EXPECT_EQ(line.Line().BaudRate, 9600u);
    EXPECT_EQ(line.Timeouts().WriteTotalTimeoutMultiplier, 3200u);
}

TEST_F(ExportsOnVirtualLine, ClearFiFoPurgesInThenOut) {
    ClearFiFo(); // closed: nothing
    EXPECT_TRUE(line.Purges().empty());
    ASSERT_TRUE(OpenComPort(1));
    ClearFiFo();
    const std::vector<uint32_t> purges = line.Purges();
    ASSERT_GE(purges.size(), 2u);
    EXPECT_EQ(std::vector<uint32_t>(purges.end() - 2, purges.end()),
              (std::vector<uint32_t>{10, 5}));
}

TEST_F(ExportsOnVirtualLine, GetcharWaitsTheReadTimeoutOnASilentLine) {
    ASSERT_TRUE(OpenComPort(1));
    EXPECT_EQ(sio_getchar(), -1);
    EXPECT_EQ(line.Now(), 1000u);
    line.Arrive({0xFF}, 300);
    EXPECT_EQ(sio_getchar(), 255);
    EXPECT_EQ(line.Now(), 1300u);
}
