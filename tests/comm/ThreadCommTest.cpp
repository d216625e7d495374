// The port object on the virtual line: initial state, open and close, the time-out rules,
// setters and line control.
#include <cerrno>

#include "PortFixture.h"

TEST_F(PortOnVirtualLine, FreshPortIsClosedWithItsInitialSettings) {
    EXPECT_FALSE(port.Enabled());
    EXPECT_EQ(port.DeviceName(), "Com1");
    EXPECT_EQ(port.ReadBufSize(), 4096);
    EXPECT_EQ(port.WriteBufSize(), 2048);
    EXPECT_EQ(port.SuspendTime(), 5u);
    EXPECT_EQ(port.MonitorEvents(), 0x1FF);
    EXPECT_EQ(port.GetBaudRate(), br19200);
    EXPECT_EQ(port.GetParity(), paNone);
    EXPECT_EQ(port.GetStopBits(), sb10);
    EXPECT_EQ(port.GetDataBits(), da8);
    EXPECT_EQ(port.GetOptions(), 0);
    EXPECT_EQ(port.GetFlowControl(), fcDefault);
    TCommEventChars& chars = port.EventChars();
    EXPECT_EQ(chars.XOnChar(), 17);
    EXPECT_EQ(chars.XOffChar(), 19);
    EXPECT_EQ(chars.ErrorChar() + chars.EofChar() + chars.EvtChar(), 0);

    uint8_t byte = 0;
    EXPECT_EQ(port.Read(&byte, 1), -1);
    EXPECT_EQ(port.Write(&byte, 1), -1);
    EXPECT_EQ(port.InQueCount(), -1);
    EXPECT_EQ(port.OutQueCount(), -1);
    port.PurgeIn();
    port.PurgeOut();
    EXPECT_TRUE(line.Purges().empty());
    EXPECT_EQ(RaisedMessage([&] { port.SetDTRState(true); }), "Port not open (Error: -1)");
    EXPECT_EQ(RaisedMessage([&] { port.EscapeComm(escSetRts); }), "Port not open (Error: -1)");
    EXPECT_FALSE(port.GetModemState(1));
    EXPECT_FALSE(port.GetComState(1));
    EXPECT_EQ(line.OpenCount(), 0);
}

TEST_F(PortOnVirtualLine, OpenSetsTimeoutsLineSettingsAndEventMask) {
    LineSettings reported; // what the device says before the port writes anything
    reported.BaudRate = 1200;
    reported.fOutxCtsFlow = true;
    reported.fOutxDsrFlow = true;
    reported.fDtrControl = 2;
    reported.fRtsControl = 3;
    reported.fOutX = true;
    reported.fInX = true;
    reported.fAbortOnError = true;
    line.SetLine(reported);

    port.Open();
    ASSERT_TRUE(port.Enabled());
    const CommTimeouts timeouts = line.Timeouts();
    EXPECT_EQ(timeouts.ReadIntervalTimeout, 0xFFFFFFFFu);
    EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 1000u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 2400u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 0u);

    const LineSettings applied = line.Line();
    EXPECT_EQ(applied.BaudRate, 19200u);
    EXPECT_EQ(applied.ByteSize, 8);
    EXPECT_EQ(applied.Parity, 0);
    EXPECT_EQ(applied.StopBits, 0);
    EXPECT_EQ(applied.XonLim, 1024);
    EXPECT_EQ(applied.XoffLim, 1024);
    EXPECT_EQ(applied.XonChar, 17);
    EXPECT_EQ(applied.XoffChar, 19);
    EXPECT_FALSE(applied.fParity || applied.fDsrSensitivity || applied.fTXContinueOnXoff ||
                 applied.fErrorChar || applied.fNull);
    // Flow control and line control stay as the device reported them.
    EXPECT_TRUE(applied.fOutxCtsFlow && applied.fOutxDsrFlow && applied.fOutX && applied.fInX &&
                applied.fAbortOnError);
    EXPECT_EQ(applied.fDtrControl, 2);
    EXPECT_EQ(applied.fRtsControl, 3);
    EXPECT_EQ(line.EventMask(), 0x1FFu);
}

TEST_F(PortOnVirtualLine, WriteMultiplierIsNineteenTwoHundredDivOrdinalAtOpen) {
    const std::pair<TBaudRate, uint32_t> cases[] = {{br9600, 3200},   {br19200, 2400},
                                                    {br115200, 1600}, {br256000, 1371},
                                                    {br300, 19200},   {br110, 19200}};
    for (const auto& [rate, multiplier] : cases) {
        port.SetBaudRate(rate);
        port.Open();
        EXPECT_EQ(line.Timeouts().WriteTotalTimeoutMultiplier, multiplier)
            << "ordinal " << int(rate);
        port.Close();
    }
    port.SetBaudRate(br19200);
    port.Open();
    port.SetBaudRate(br9600); // taken at the next open, not now
    EXPECT_EQ(line.Timeouts().WriteTotalTimeoutMultiplier, 2400u);
}

TEST_F(PortOnVirtualLine, StalledWriteEndsByItsTimeoutWithNothingWritten) {
    port.Open();
    line.StallWrites(true);
    const uint8_t bytes[3] = {1, 2, 3};
    EXPECT_EQ(port.Write(bytes, 3), 0);
    EXPECT_EQ(line.Now(), 3u * 2400u);
    line.StallWrites(false);
    EXPECT_EQ(port.Write(bytes, 3), 3);
    EXPECT_EQ(line.Written(), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(port.Write(bytes, 0), 0);
    EXPECT_EQ(line.Written().size(), 3u);
}

TEST_F(PortOnVirtualLine, ReadReturnsWhatWaitsOrWaitsUpToOneSecond) {
    port.Open();
    uint8_t buffer[8] = {};
    // Nothing waiting: a second, then what arrived in it.
    line.Arrive({1, 2, 3}, 200);
    EXPECT_EQ(port.Read(buffer, 5), 3);
    EXPECT_EQ(line.Now(), 1000u);
    // Nothing waiting, and the count arrives in time: returns when the last byte is there.
    line.Arrive({4, 5}, 100);
    line.Arrive({6, 7, 8}, 300);
    EXPECT_EQ(port.Read(buffer, 5), 5);
    EXPECT_EQ(line.Now(), 1300u);
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(buffer[4], 8);
    // Bytes waiting: at once, at most the count, the rest stays queued.
    line.Arrive({9, 10, 11});
    EXPECT_EQ(port.Read(buffer, 2), 2);
    EXPECT_EQ(line.Now(), 1300u);
    EXPECT_EQ(port.InQueCount(), 1);
    EXPECT_EQ(port.Read(buffer, 8), 1);
    EXPECT_EQ(buffer[0], 11);
    EXPECT_EQ(line.Now(), 1300u);
    // A silent line costs exactly the time-out.
    EXPECT_EQ(port.Read(buffer, 1), 0);
    EXPECT_EQ(line.Now(), 2300u);
    EXPECT_EQ(port.Read(buffer, 0), 0);
    EXPECT_EQ(line.Now(), 2300u);
}

TEST_F(PortOnVirtualLine, OpenFailsQuietlyForMissingOrNonSerialDevices) {
    port.SetDeviceName("Com9");
    port.Open();
    EXPECT_FALSE(port.Enabled());
    EXPECT_EQ(line.OpenCount(), 0);

    line.AddDevice("Disk", VirtualPlatform::Kind::NotSerial);
    port.SetDeviceName("Disk");
    port.Open();
    EXPECT_FALSE(port.Enabled());
    EXPECT_EQ(line.OpenCount(), 1);
    EXPECT_FALSE(line.IsOpen());
    EXPECT_EQ(line.LineWrites(), 0);
}

TEST_F(PortOnVirtualLine, OpenTwiceRaisesAndKeepsThePortOpen) {
    port.Open();
    EXPECT_EQ(RaisedMessage([&] { port.Open(); }), "Port already assigned (open) (Error: -1)");
    EXPECT_EQ(RaisedMessage([&] { port.CheckOpen(); }), "Port already assigned (open) (Error: -1)");
    EXPECT_TRUE(port.Enabled());
    EXPECT_EQ(line.OpenCount(), 1);
    EXPECT_TRUE(LockIsFree());
}

TEST_F(PortOnVirtualLine, RefusedSettingsDuringOpenLeaveThePortClosedAndTheLockFree) {
    line.FailNext(VirtualPlatform::Operation::SetTimeouts, EIO);
    EXPECT_EQ(RaisedMessage([&] { port.Open(); }), "Error updating CommTimeouts (Error: 5)");
    EXPECT_FALSE(port.Enabled());
    EXPECT_FALSE(line.IsOpen());
    EXPECT_TRUE(LockIsFree());

    line.FailNext(VirtualPlatform::Operation::SetLineSettings, EINVAL);
    EXPECT_EQ(RaisedMessage([&] { port.Open(); }), "Error updating DataControlBlock (Error: 22)");
    EXPECT_FALSE(port.Enabled());
    EXPECT_FALSE(line.IsOpen());
    EXPECT_TRUE(LockIsFree());

    port.Open();
    EXPECT_TRUE(port.Enabled());
}

TEST_F(PortOnVirtualLine, RefusedQueueSizesRaiseButTheOpenGoesOn) {
    // The first request (with the line settings) is not checked; the second is.
    line.FailNext(VirtualPlatform::Operation::SetupQueues, ENOMEM, 2);
    EXPECT_EQ(RaisedMessage([&] { port.Open(); }),
              "Error initializing Read/Write Buffers (Error: 12)");
    EXPECT_TRUE(port.Enabled());
    EXPECT_EQ(line.EventMask(), 0x1FFu); // the event thread was made
    EXPECT_TRUE(LockIsFree());
}

TEST_F(PortOnVirtualLine, OpenOnlySettingsAreIgnoredWhileOpen) {
    port.Open();
    port.SetDeviceName("Com2");
    port.SetReadBufSize(100);
    port.SetWriteBufSize(200);
    port.SetMonitorEvents(0);
    port.SetSuspendTime(9);
    port.Close();
    EXPECT_EQ(port.DeviceName(), "Com1");
    EXPECT_EQ(port.ReadBufSize(), 4096);
    EXPECT_EQ(port.WriteBufSize(), 2048);
    EXPECT_EQ(port.MonitorEvents(), 0x1FF);
    EXPECT_EQ(port.SuspendTime(), 5u);
    port.SetDeviceName("Com2");
    port.SetMonitorEvents(CommSet<TCommEventTypes>({evRxChar}));
    EXPECT_EQ(port.DeviceName(), "Com2");
    EXPECT_EQ(port.MonitorEvents(), 1u << evRxChar);
}

TEST_F(PortOnVirtualLine, LineSettersReapplyTheWholeBlockOnlyOnChange) {
    port.Open();
    LineSettings device = line.Line();
    device.fDtrControl = 2; // as if the driver had changed it since
    device.fOutX = true;
    line.SetLine(device);
    const int writes = line.LineWrites();

    port.SetBaudRate(br19200);
    port.SetParity(paNone);
    port.SetOptions(0);
    EXPECT_EQ(line.LineWrites(), writes);

    port.SetBaudRate(br115200);
    EXPECT_EQ(line.LineWrites(), writes + 1);
    EXPECT_EQ(line.Line().BaudRate, 115200u);
    EXPECT_EQ(line.Line().fDtrControl, 2);
    EXPECT_TRUE(line.Line().fOutX);

    port.SetParity(paMark);
    port.SetStopBits(sb20);
    port.SetDataBits(da7);
    port.SetOptions(CommSet<TCommOptions>({coParityCheck, coIgnoreXOff, coNullStrip}));
    port.SetFlowControl(fcNone);
    EXPECT_EQ(line.LineWrites(), writes + 6);
    const LineSettings applied = line.Line();
    EXPECT_EQ(applied.Parity, 3);
    EXPECT_EQ(applied.StopBits, 2);
    EXPECT_EQ(applied.ByteSize, 7);
    EXPECT_TRUE(applied.fParity && applied.fTXContinueOnXoff && applied.fNull);
    EXPECT_FALSE(applied.fDsrSensitivity || applied.fErrorChar);
    EXPECT_EQ(applied.fDtrControl, 2); // flow control is not the port's to change

    const TBaudRate rates[] = {br110, br14400, br56000, br128000, br256000};
    const uint32_t values[] = {110, 14400, 56000, 128000, 256000};
    for (int i = 0; i < 5; ++i) {
        port.SetBaudRate(rates[i]);
        EXPECT_EQ(line.Line().BaudRate, values[i]);
    }
}

TEST_F(PortOnVirtualLine, LineSettersWhileClosedOnlyStore) {
    port.SetBaudRate(br57600);
    port.SetDataBits(da5);
    EXPECT_EQ(line.LineWrites(), 0);
    port.Open();
    EXPECT_EQ(line.Line().BaudRate, 57600u);
    EXPECT_EQ(line.Line().ByteSize, 5);
}

TEST_F(PortOnVirtualLine, RefusedLineRateRaisesWithTheDeviceErrorAndFreesTheLock) {
    port.Open();
    line.FailNext(VirtualPlatform::Operation::SetLineSettings, EINVAL);
    EXPECT_EQ(RaisedMessage([&] { port.SetBaudRate(br9600); }),
              "Error updating DataControlBlock (Error: 22)");
    EXPECT_TRUE(LockIsFree());
    EXPECT_EQ(port.GetBaudRate(), br9600);
    line.FailNext(VirtualPlatform::Operation::GetLineSettings, EIO);
    EXPECT_EQ(RaisedMessage([&] { port.SetParity(paEven); }),
              "Error updating DataControlBlock (Error: 5)");
    EXPECT_TRUE(port.Enabled());
}

TEST_F(PortOnVirtualLine, EventCharactersStoreAndReapplyWhileOpen) {
    TCommEventChars& chars = port.EventChars();
    chars.SetEvtChar(0x0D); // closed: stored only
    EXPECT_EQ(line.LineWrites(), 0);
    port.Open();
    EXPECT_EQ(line.Line().EvtChar, 0x0D);
    int writes = line.LineWrites();
    chars.SetXOnChar(0x11 + 1);
    chars.SetXOffChar(0x13 + 1);
    chars.SetErrorChar('?');
    chars.SetEofChar(0x1A);
    chars.SetEventChar(0, 'x'); // no such character
    chars.SetEventChar(6, 'x');
    EXPECT_EQ(line.LineWrites(), writes + 4);
    const LineSettings applied = line.Line();
    EXPECT_EQ(applied.XonChar, 0x12);
    EXPECT_EQ(applied.XoffChar, 0x14);
    EXPECT_EQ(applied.ErrorChar, '?');
    EXPECT_EQ(applied.EofChar, 0x1A);

    TCommEventChars copy(nullptr);
    copy.Assign(chars);
    EXPECT_EQ(copy.XOnChar(), 0x12);
    EXPECT_EQ(copy.EvtChar(), 0x0D);
    copy.SetEvtChar('!'); // no port: nothing re-applied
    writes = line.LineWrites();
    chars.Assign(copy); // copies the five bytes only
    EXPECT_EQ(chars.EvtChar(), '!');
    EXPECT_EQ(line.LineWrites(), writes);
}

TEST_F(PortOnVirtualLine, LineControlEscapesAndTheirFailures) {
    port.Open();
    port.SetDTRState(true);
    port.SetDTRState(false);
    port.SetRTSState(true);
    port.SetRTSState(false);
    port.SetXONState(true);
    port.SetXONState(false);
    const size_t purgesBefore = line.Purges().size();
    port.SetBREAKState(true);
    port.SetBREAKState(false);
    EXPECT_EQ(line.Escapes(), (std::vector<uint32_t>{5, 6, 3, 4, 2, 1, 8, 9}));
    const std::vector<uint32_t> purges = line.Purges();
    ASSERT_EQ(purges.size(), purgesBefore + 2);
    EXPECT_EQ(purges.back(), 15u);

    line.FailNext(VirtualPlatform::Operation::Escape, EIO);
    EXPECT_EQ(RaisedMessage([&] { port.SetRTSState(true); }),
              "EscapeCommFunction failure (Error: 5)");
    EXPECT_TRUE(LockIsFree());
}

TEST_F(PortOnVirtualLine, BreakDiscardsWhatWaitedInTheInputQueue) {
    port.Open();
    line.Arrive({1, 2, 3});
    EXPECT_EQ(port.InQueCount(), 3);
    port.SetBREAKState(false);
    EXPECT_EQ(port.InQueCount(), 0);
}

TEST_F(PortOnVirtualLine, ModemAndHoldStatesBySelector) {
    port.Open();
    line.SetModemLines(msCtsOn | msRlsdOn);
    EXPECT_TRUE(port.GetModemState(1));
    EXPECT_FALSE(port.GetModemState(2));
    EXPECT_FALSE(port.GetModemState(3));
    EXPECT_TRUE(port.GetModemState(4));
    EXPECT_FALSE(port.GetModemState(0));
    EXPECT_FALSE(port.GetModemState(5));
    line.SetModemLines(msDsrOn | msRingOn);
    EXPECT_TRUE(port.GetModemState(2));
    EXPECT_TRUE(port.GetModemState(3));

    CommStatus holds;
    holds.CtsHold = true;
    holds.XoffSent = true;
    line.SetStatus(holds);
    EXPECT_TRUE(port.GetComState(0));
    EXPECT_TRUE(port.GetComState(1));
    EXPECT_TRUE(port.GetComState(9));
    EXPECT_TRUE(port.GetComState(5));
    EXPECT_FALSE(port.GetComState(2));
    EXPECT_FALSE(port.GetComState(3));
    EXPECT_FALSE(port.GetComState(4));
    port.Close();
    EXPECT_FALSE(port.GetComState(1));
    EXPECT_FALSE(port.GetModemState(1));
}

TEST_F(PortOnVirtualLine, QueueCountsAndPurges) {
    port.Open();
    line.Arrive({1, 2, 3, 4});
    line.Arrive({5}, 50); // not there yet
    CommStatus status;
    status.OutQue = 7;
    line.SetStatus(status);
    EXPECT_EQ(port.InQueCount(), 4);
    EXPECT_EQ(port.OutQueCount(), 7);
    port.PurgeIn();
    EXPECT_EQ(port.InQueCount(), 0);
    port.PurgeOut();
    EXPECT_EQ(port.OutQueCount(), 0);
    const std::vector<uint32_t> purges = line.Purges();
    EXPECT_EQ(std::vector<uint32_t>(purges.end() - 2, purges.end()),
              (std::vector<uint32_t>{10, 5}));
    line.Sleep(50);
    EXPECT_EQ(port.InQueCount(), 1); // later arrivals are not purged ahead of time
}

TEST_F(PortOnVirtualLine, PlatformChangesOnlyWhileClosed) {
    port.Open();
    VirtualPlatform other;
    EXPECT_EQ(RaisedMessage([&] { port.UsePlatform(other); }),
              "Port already assigned (open) (Error: -1)");
    port.Sleep(25);
    EXPECT_EQ(line.Sleeps(), (std::vector<uint32_t>{25}));
}

TEST_F(PortOnVirtualLine, ReopensManyTimesEachWithItsOwnEventThread) {
    for (int i = 0; i < 50; ++i) {
        port.Open();
        ASSERT_TRUE(port.Enabled());
        port.Close();
        ASSERT_FALSE(port.Enabled());
        ASSERT_FALSE(line.IsOpen());
    }
    EXPECT_EQ(line.OpenCount(), 50);
    port.Close(); // closed already: nothing
    EXPECT_EQ(line.OpenCount(), 50);
}
