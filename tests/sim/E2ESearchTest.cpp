// The printer search and both link-mode switches against simulated printers.
#include "LibraryPrinter.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace zarelsim::test {
namespace {

TEST(E2ESearchTest, AutoConnectFindsThePrinterOnItsPortAndRateAmongDecoys) {
    // Port 1 of the list leads nowhere, port 2 is a device that answers as no printer does (model
    // 100), port 3 is the printer at 38400 bit/s.
    const Options missing = PrinterOnNewPort();
    const std::string nowhere = PortDirectory() + "/com" + std::to_string(missing.comNumber);
    ASSERT_EQ(symlink("/dev/pts/no-such-terminal", nowhere.c_str()), 0);
    Simulator decoy(PrinterOnNewPort());
    decoy.Update([](PrinterState& s) { s.modelNumber = 100; });
    decoy.Start();
    Simulator printer(PrinterOnNewPort(38400));
    printer.Start();
    const int32_t decoyPort = missing.comNumber + 1, printerPort = missing.comNumber + 2;

    int32_t list[] = {4, missing.comNumber, decoyPort, printerPort};
    ASSERT_TRUE(AutoConnect(list));
    EXPECT_EQ(list[0], 3);
    EXPECT_EQ(list[1], 2); // 38400 is the third rate of the search
    EXPECT_EQ(list[2], decoyPort);
    EXPECT_EQ(decoy.Stats().requests, 1u); // understood only at its own rate, and refused there
    EXPECT_EQ(GetPrintStatus(), 0);        // the port stays open on the printer at its rate
    EXPECT_GT(printer.Stats().requests, 1u);
    CloseComPort();
    unlink(nowhere.c_str());
}

TEST(E2ESearchTest, AutoConnectWithAnEmptyListTriesNothing) {
    int32_t list[] = {1, 5};
    EXPECT_FALSE(AutoConnect(list));
    EXPECT_EQ(list[0], 1);
    EXPECT_EQ(list[1], 5);
}

TEST(E2ESearchTest, SwitchesToTerminalModeAndBack) {
    LibraryPrinter line;
    Simulator& printer = line.printer();
    ASSERT_TRUE(SetCmdProtocol());
    EXPECT_EQ(printer.Mode(), LinkMode::Terminal);
    EXPECT_EQ(GetPrintStatus(), -1); // packets mean nothing to a printer in terminal mode
    EXPECT_TRUE(SendTermCmd(Text("UPLOAD.PARAMETER\r")));
    EXPECT_EQ(printer.State().terminalAnnouncements, std::vector<std::string>{"UPLOAD.PARAMETER"});
    ASSERT_TRUE(SetStxProtocol());
    EXPECT_EQ(printer.Mode(), LinkMode::Packet);
    EXPECT_EQ(GetPrintStatus(), 0);
}

} // namespace
} // namespace zarelsim::test
